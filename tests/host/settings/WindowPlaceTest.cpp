#include "settings/WindowPlace.h"

#include <gtest/gtest.h>

namespace
{

using settings::PlaceRect;
using settings::WindowPlace;
using settings::WindowPlaceTexts;

WindowPlaceTexts Texts(const std::string& place, const std::string& dpi = "96",
                       const std::string& columns = "", const std::string& view = "",
                       const std::string& maximized = "0")
{
    return WindowPlaceTexts{place, maximized, dpi, columns, view};
}

TEST(WindowPlace, ReadsWhatItWrote)
{
    WindowPlace place;
    place.normal = PlaceRect{-1200, 40, -1200 + 900, 40 + 700};
    place.maximized = true;
    place.dpi = 144;
    place.columns = {150, 300, 150, 120, 0};
    place.view = 2;
    const WindowPlace read = settings::ParseWindowPlace(settings::FormatWindowPlace(place));
    ASSERT_TRUE(read.normal);
    EXPECT_EQ(*read.normal, *place.normal);
    EXPECT_TRUE(read.maximized);
    EXPECT_EQ(read.dpi, 144u);
    EXPECT_EQ(read.columns, place.columns);
    EXPECT_EQ(read.view, 2);
}

TEST(WindowPlace, DamagedPlacesReadAsUnset)
{
    const WindowPlaceTexts damaged[] = {
        Texts(""),
        Texts("10,20,800"),
        Texts("10,20,800,600,5"),
        Texts("10,20,800,,600"),
        Texts("10,20,800,600,"),
        Texts("10;20;800;600"),
        Texts(" 10,20,800,600"),
        Texts("10,20,0x320,600"),
        Texts("10,20,800,abc"),
        Texts("10,20,-800,600"),
        Texts("10,20,800,0"),
        Texts("10,20,99999999999,600"),
        Texts("32000,20,800,600"),
        Texts("10,20,800,600", ""),
        Texts("10,20,800,600", "0"),
        Texts("10,20,800,600", "5000"),
        Texts("10,20,800,600", "-96"),
    };
    for (const WindowPlaceTexts& texts : damaged)
        EXPECT_FALSE(settings::ParseWindowPlace(texts).normal) << texts.place << " at " << texts.dpi;
    EXPECT_TRUE(settings::ParseWindowPlace(Texts("-10,-20,800,600")).normal);
}

TEST(WindowPlace, DamagedListLooksReadAsDefaults)
{
    const std::pair<std::string, std::string> damaged[] = {
        {"100,200,100,80", "4"},
        {"100,200,100,80,80,80", "-1"},
        {"100,200,-5,80,80", "x"},
        {"100,200,100,80,99999", "1.5"},
        {"", ""},
    };
    for (const auto& [columns, view] : damaged)
    {
        const WindowPlace place = settings::ParseWindowPlace(Texts("0,0,800,600", "96", columns, view));
        EXPECT_TRUE(place.columns.empty()) << columns;
        EXPECT_FALSE(place.view) << view;
        EXPECT_TRUE(place.normal);
    }
    // Widths without a sound DPI cannot be converted.
    EXPECT_TRUE(settings::ParseWindowPlace(Texts("", "abc", "100,200,100,80,80")).columns.empty());
    EXPECT_FALSE(settings::ParseWindowPlace(Texts("", "96", "", "", "yes")).maximized);
}

TEST(WindowPlace, RestoresOnlyOnAMonitorThatStillExists)
{
    const std::vector<PlaceRect> monitors = {{0, 0, 1280, 1024}, {1280, 0, 2560, 1024}};
    struct Case
    {
        PlaceRect stored;
        bool restored;
    };
    const Case cases[] = {
        {{100, 100, 900, 700}, true},    {{1500, 50, 2300, 650}, true}, // the second monitor
        {{-700, 100, 100, 700}, false},  // the top edge's middle left of every monitor
        {{-300, 100, 500, 700}, true},   // partly off, the middle still shown
        {{3000, 100, 3800, 700}, false}, // a monitor that was unplugged
        {{100, 1030, 900, 1630}, false}, // below every monitor
        {{100, -5, 900, 595}, false},    // the strip above the screen cannot be grabbed
    };
    for (const Case& c : cases)
    {
        WindowPlace place;
        place.normal = c.stored;
        const auto rect = settings::RestoredRect(place, 96, 652, 492, monitors);
        EXPECT_EQ(rect.has_value(), c.restored) << c.stored.left << "," << c.stored.top;
        if (rect && c.restored)
        {
            EXPECT_EQ(*rect, c.stored);
        }
    }
    WindowPlace place;
    place.normal = PlaceRect{100, 100, 900, 700};
    EXPECT_FALSE(settings::RestoredRect(place, 96, 652, 492, {}));
    EXPECT_FALSE(settings::RestoredRect(WindowPlace{}, 96, 652, 492, monitors));
}

TEST(WindowPlace, RestoresTheSamePhysicalSizeAtLeastTheMinimum)
{
    const std::vector<PlaceRect> monitors = {{0, 0, 4000, 3000}};
    WindowPlace place;
    place.dpi = 144;
    place.normal = PlaceRect{10, 20, 10 + 1200, 20 + 900};
    // Saved at 144 DPI, opened at 96 and at 192: the same size in inches.
    EXPECT_EQ(*settings::RestoredRect(place, 96, 652, 492, monitors),
              (PlaceRect{10, 20, 10 + 800, 20 + 600}));
    EXPECT_EQ(*settings::RestoredRect(place, 192, 1304, 984, monitors),
              (PlaceRect{10, 20, 10 + 1600, 20 + 1200}));
    // Below the minimum: raised to it, in place.
    place.dpi = 96;
    place.normal = PlaceRect{10, 20, 10 + 300, 20 + 200};
    EXPECT_EQ(*settings::RestoredRect(place, 96, 652, 492, monitors),
              (PlaceRect{10, 20, 10 + 652, 20 + 492}));
}

TEST(WindowPlace, ColumnWidthsFollowTheDpi)
{
    WindowPlace place;
    place.dpi = 192;
    place.columns = {200, 400, 200, 160, 160};
    EXPECT_EQ(settings::RestoredColumns(place, 96), (std::vector<int>{100, 200, 100, 80, 80}));
    EXPECT_EQ(settings::RestoredColumns(place, 144), (std::vector<int>{150, 300, 150, 120, 120}));
    EXPECT_TRUE(settings::RestoredColumns(WindowPlace{}, 144).empty());
}

} // namespace
