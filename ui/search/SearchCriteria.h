#pragma once
// How the search panel's state becomes the finder's criteria. Portable: the window reads its
// controls into a SearchPanelState and hands the result to a CriteriaTarget (the finder itself in
// the program, a recorder in tests).
#include "engine/FindCriteria.h"
#include "platform/Clock.h"

#include <cstdint>
#include <optional>
#include <string>

namespace ui
{

using engine::TDateTime;

// The date at 00:00 as days since 1899-12-30.
TDateTime DateToDays(int year, int month, int day);

using platform::Clock;

// The current date at 00:00.
TDateTime Today(const Clock& clock);

struct DateBounds
{
    TDateTime modifiedBefore = 0;
    TDateTime modifiedAfter = 0;
    TDateTime createdBefore = 0;
    TDateTime createdAfter = 0;
    TDateTime accessedBefore = 0;
    TDateTime accessedAfter = 0;
    bool operator==(const DateBounds& o) const;
};

struct SizeBounds
{
    int64_t min = 0;
    int64_t max = 0;
    bool operator==(const SizeBounds& o) const { return min == o.min && max == o.max; }
};

enum class DatePreset
{
    Any,
    Last30Days,
    LastYear,
};

enum class SizePreset
{
    Any,
    UpTo1MB,
    From1To10MB,
    From10MB,
};

// The bounds a date radio button writes at its click, today being the date of the click.
DateBounds PresetDateBounds(DatePreset preset, TDateTime today);
SizeBounds PresetSizeBounds(SizePreset preset);

// The name field's text as the finder's mask: "*.*" for nothing, "*TEXT*.*" for a text without a
// dot, the text itself otherwise.
std::string NameFieldToMask(const std::string& text);

// A special-folder entry of the look-in list: what it shows and the folder it stands for.
struct SpecialPlace
{
    std::string caption;
    std::string path;
};

// The look-in text as a search location: a special entry's caption (exact, case-sensitive) gives
// its full path, any other text stays as it is.
std::string LookInToLocation(const std::string& lookIn, const std::optional<SpecialPlace>& desktop,
                             const std::optional<SpecialPlace>& personal);

// The language module's words the mapping compares the kind lists with.
struct PanelMarkers
{
    std::string sizeAtLeast;
    std::string sizeAtMost;
    std::string dateCreated;
    std::string dateModified;
    std::string dateAccessed;
};

// What the panel shows when a search starts.
struct SearchPanelState
{
    bool subfolders = true;
    engine::ContainerKinds containerKinds;
    std::string lookIn;
    std::optional<SpecialPlace> desktop;
    std::optional<SpecialPlace> personal;
    bool customSize = false;
    std::string sizeKindText;
    int64_t sizeKilobytes = 0;
    bool customDate = false;
    std::string dateKindText;
    TDateTime rangeStart = 0;
    TDateTime rangeEnd = 0;
    std::string nameText;
};

// Writes bounds into the finder's criteria (a preset's radio click, a search start).
void WriteSizeBounds(const SizeBounds& bounds, engine::FindCriteria& criteria);
void WriteDateBounds(const DateBounds& bounds, engine::FindCriteria& criteria);

// Writes the panel's state into criteria in the order of a search start: subfolders and the kinds
// of file searched inside, location, the
// custom size, the custom date range, the masks. Presets are not written here: they were written
// at their radio click and stay. A refused location or mask throws engine::EFindFileError before it
// is written; the steps before it keep their effect in criteria.
void ApplySearchPanel(const SearchPanelState& state, const PanelMarkers& markers,
                      engine::FindCriteria& criteria);

// The custom size bound by the kind list's text; empty when the text is neither kind.
std::optional<SizeBounds> CustomSizeBounds(const std::string& kindText, int64_t kilobytes,
                                           const PanelMarkers& markers);

// The custom date range by the kind list's text; all zero for a text that is no kind.
DateBounds CustomDateBounds(const std::string& kindText, TDateTime start, TDateTime end,
                            const PanelMarkers& markers);

} // namespace ui
