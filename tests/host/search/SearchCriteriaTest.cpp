#include "ui/search/SearchCriteria.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace
{

using ui::DateBounds;
using ui::SizeBounds;

class FixedClock : public ui::Clock
{
public:
    platform::CalendarTime now;
    platform::CalendarTime Now() const override { return now; }
};

// Criteria with every bound the mapping may write set to a value it never writes.
engine::FindCriteria Untouched()
{
    engine::FindCriteria c;
    c.subfolders = true;
    c.location = "untouched";
    c.filename = "untouched.*";
    c.sizeMin = c.sizeMax = -1;
    c.modifiedBefore = c.modifiedAfter = c.createdBefore = c.createdAfter = -1;
    c.accessedBefore = c.accessedAfter = -1;
    return c;
}

SizeBounds Size(const engine::FindCriteria& c)
{
    return {c.sizeMin, c.sizeMax};
}

DateBounds Dates(const engine::FindCriteria& c)
{
    return {c.modifiedBefore, c.modifiedAfter,  c.createdBefore,
            c.createdAfter,   c.accessedBefore, c.accessedAfter};
}

ui::PanelMarkers Markers()
{
    return {"at least", "at most", "created", "modified", "accessed"};
}

TEST(DateToDays, CountsFromTheEpochOfTheDateType)
{
    EXPECT_EQ(ui::DateToDays(1899, 12, 30), 0);
    EXPECT_EQ(ui::DateToDays(1900, 1, 1), 2);
    EXPECT_EQ(ui::DateToDays(1970, 1, 1), 25569);
    EXPECT_EQ(ui::DateToDays(2000, 2, 29), 36585);
    EXPECT_EQ(ui::DateToDays(2000, 3, 1), 36586);
    EXPECT_EQ(ui::DateToDays(2024, 12, 31) - ui::DateToDays(2024, 1, 1), 365);
}

TEST(Today, IsTheClocksDateAtMidnight)
{
    FixedClock clock;
    clock.now = {2026, 12, 8, 23, 59, 58, 999};
    EXPECT_EQ(ui::Today(clock), ui::DateToDays(2026, 12, 8));
}

TEST(PresetDateBounds, WindowsAroundTheClickDate)
{
    const double today = ui::DateToDays(2026, 3, 15);
    EXPECT_EQ(ui::PresetDateBounds(ui::DatePreset::Any, today), DateBounds{});

    DateBounds month = ui::PresetDateBounds(ui::DatePreset::Last30Days, today);
    EXPECT_EQ(month.modifiedBefore, today + 1);
    EXPECT_EQ(month.modifiedAfter, today - 30);
    EXPECT_EQ(month.createdBefore, 0);
    EXPECT_EQ(month.createdAfter, 0);
    EXPECT_EQ(month.accessedBefore, 0);
    EXPECT_EQ(month.accessedAfter, 0);

    DateBounds year = ui::PresetDateBounds(ui::DatePreset::LastYear, today);
    EXPECT_EQ(year.modifiedBefore, today + 1);
    // 18:00 on the 366th day before today
    EXPECT_EQ(year.modifiedAfter, today - 366 + 0.75);
    EXPECT_EQ(year.createdAfter + year.accessedAfter + year.createdBefore + year.accessedBefore, 0);
}

TEST(PresetSizeBounds, MegabyteSteps)
{
    EXPECT_EQ(ui::PresetSizeBounds(ui::SizePreset::Any), (SizeBounds{0, 0}));
    EXPECT_EQ(ui::PresetSizeBounds(ui::SizePreset::UpTo1MB), (SizeBounds{0, 1048576}));
    EXPECT_EQ(ui::PresetSizeBounds(ui::SizePreset::From1To10MB), (SizeBounds{1048576, 10485760}));
    EXPECT_EQ(ui::PresetSizeBounds(ui::SizePreset::From10MB), (SizeBounds{10485760, 0}));
}

TEST(NameFieldToMask, EmptyDotlessAndDotted)
{
    EXPECT_EQ(ui::NameFieldToMask(""), "*.*");
    EXPECT_EQ(ui::NameFieldToMask("report"), "*report*.*");
    EXPECT_EQ(ui::NameFieldToMask("report.txt"), "report.txt");
    EXPECT_EQ(ui::NameFieldToMask("*.cpp;*.h"), "*.cpp;*.h");
    // The whole text is one string: a list without any dot is wrapped as a whole.
    EXPECT_EQ(ui::NameFieldToMask("a;b"), "*a;b*.*");
    EXPECT_EQ(ui::NameFieldToMask("отчёт"), "*отчёт*.*");
}

TEST(LookInToLocation, SpecialCaptionsBecomeTheirPaths)
{
    const ui::SpecialPlace desktop{"Desktop", "C:\\Users\\Me\\Desktop"};
    const ui::SpecialPlace personal{"Documents", "C:\\Users\\Me\\Documents"};
    EXPECT_EQ(ui::LookInToLocation("Desktop", desktop, personal), desktop.path);
    EXPECT_EQ(ui::LookInToLocation("Documents", desktop, personal), personal.path);
    EXPECT_EQ(ui::LookInToLocation("desktop", desktop, personal), "desktop");
    EXPECT_EQ(ui::LookInToLocation("C:\\;D:\\;", desktop, personal), "C:\\;D:\\;");
    EXPECT_EQ(ui::LookInToLocation("Desktop", std::nullopt, std::nullopt), "Desktop");
}

TEST(CustomBounds, KindTextsChooseTheProperty)
{
    const auto m = Markers();
    EXPECT_EQ(ui::CustomSizeBounds("at least", 5, m), (SizeBounds{5120, 0}));
    EXPECT_EQ(ui::CustomSizeBounds("at most", 1000000, m), (SizeBounds{0, 1024000000}));
    EXPECT_EQ(ui::CustomSizeBounds("at most", 0, m), (SizeBounds{0, 0}));
    EXPECT_FALSE(ui::CustomSizeBounds("At least", 5, m).has_value());

    EXPECT_EQ(ui::CustomDateBounds("created", 10, 20, m), (DateBounds{0, 0, 20, 10, 0, 0}));
    EXPECT_EQ(ui::CustomDateBounds("modified", 10, 20, m), (DateBounds{20, 10, 0, 0, 0, 0}));
    EXPECT_EQ(ui::CustomDateBounds("accessed", 10, 20, m), (DateBounds{0, 0, 0, 0, 20, 10}));
    EXPECT_EQ(ui::CustomDateBounds("typed by hand", 10, 20, m), DateBounds{});
}

TEST(ApplySearchPanel, WritesEveryPanelField)
{
    ui::SearchPanelState state;
    state.subfolders = false;
    state.lookIn = "Desktop";
    state.desktop = ui::SpecialPlace{"Desktop", "C:\\Desk"};
    state.customSize = true;
    state.sizeKindText = "at most";
    state.sizeKilobytes = 3;
    state.customDate = true;
    state.dateKindText = "modified";
    state.rangeStart = 100;
    state.rangeEnd = 200;
    state.nameText = "notes";
    state.containerKinds = {false, true};
    engine::FindCriteria c = Untouched();
    ui::ApplySearchPanel(state, Markers(), c);
    EXPECT_FALSE(c.subfolders);
    EXPECT_EQ(c.containerKinds, (engine::ContainerKinds{false, true}));
    EXPECT_EQ(c.location, "C:\\Desk");
    EXPECT_EQ(Size(c), (SizeBounds{0, 3072}));
    EXPECT_EQ(Dates(c), (DateBounds{200, 100, 0, 0, 0, 0}));
    EXPECT_EQ(c.filename, "*notes*.*");
}

TEST(ApplySearchPanel, PresetsAndUnknownSizeKindLeaveBoundsAlone)
{
    ui::SearchPanelState state;
    state.lookIn = "C:\\";
    engine::FindCriteria presets = Untouched();
    ui::ApplySearchPanel(state, Markers(), presets);
    EXPECT_EQ(Size(presets), (SizeBounds{-1, -1}));
    EXPECT_EQ(Dates(presets), (DateBounds{-1, -1, -1, -1, -1, -1}));
    EXPECT_EQ(presets.location, "C:\\");

    // A date kind the list does not know clears the dates; a size kind it does not know writes nothing.
    state.customSize = true;
    state.sizeKindText = "huge";
    state.customDate = true;
    state.dateKindText = "whenever";
    engine::FindCriteria unknown = Untouched();
    ui::ApplySearchPanel(state, Markers(), unknown);
    EXPECT_EQ(Size(unknown), (SizeBounds{-1, -1}));
    EXPECT_EQ(Dates(unknown), DateBounds{});
}

TEST(ApplySearchPanel, ARefusedPropertyStopsTheRestButKeepsEarlierSteps)
{
    ui::SearchPanelState state;
    state.subfolders = false;
    state.lookIn = "C:\\*";
    state.customSize = true;
    state.sizeKindText = "at least";
    state.sizeKilobytes = 1;
    engine::FindCriteria location = Untouched();
    EXPECT_THROW(ui::ApplySearchPanel(state, Markers(), location), engine::EFindFileError);
    EXPECT_FALSE(location.subfolders);
    EXPECT_EQ(location.location, "untouched");
    EXPECT_EQ(Size(location), (SizeBounds{-1, -1}));

    state.lookIn = "C:\\";
    state.nameText = "a:b.txt";
    engine::FindCriteria mask = Untouched();
    EXPECT_THROW(ui::ApplySearchPanel(state, Markers(), mask), engine::EFindFileError);
    EXPECT_EQ(mask.location, "C:\\");
    EXPECT_EQ(Size(mask), (SizeBounds{1024, 0}));
    EXPECT_EQ(mask.filename, "untouched.*");
}

} // namespace
