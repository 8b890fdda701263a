#include "ui/search/SearchCriteria.h"

#include "engine/DateTime.h"

namespace ui
{

TDateTime DateToDays(int year, int month, int day)
{
    platform::CalendarTime date;
    date.year = year;
    date.month = month;
    date.day = day;
    return engine::EncodeDateTime(date);
}

TDateTime Today(const Clock& clock)
{
    const platform::CalendarTime now = clock.Now();
    return DateToDays(now.year, now.month, now.day);
}

bool DateBounds::operator==(const DateBounds& o) const
{
    return modifiedBefore == o.modifiedBefore && modifiedAfter == o.modifiedAfter &&
           createdBefore == o.createdBefore && createdAfter == o.createdAfter &&
           accessedBefore == o.accessedBefore && accessedAfter == o.accessedAfter;
}

DateBounds PresetDateBounds(DatePreset preset, TDateTime today)
{
    DateBounds bounds;
    switch (preset)
    {
    case DatePreset::Any:
        break;
    case DatePreset::Last30Days:
        bounds.modifiedBefore = today + 1;
        bounds.modifiedAfter = today - 30;
        break;
    case DatePreset::LastYear:
        bounds.modifiedBefore = today + 1;
        bounds.modifiedAfter = today - 365.25;
        break;
    }
    return bounds;
}

SizeBounds PresetSizeBounds(SizePreset preset)
{
    constexpr int64_t kMB = 0x100000;
    switch (preset)
    {
    case SizePreset::UpTo1MB:
        return {0, kMB};
    case SizePreset::From1To10MB:
        return {kMB, 10 * kMB};
    case SizePreset::From10MB:
        return {10 * kMB, 0};
    case SizePreset::Any:
        break;
    }
    return {0, 0};
}

std::string NameFieldToMask(const std::string& text)
{
    std::string mask = text.empty() ? std::string("*.*") : text;
    if (mask.find('.') == std::string::npos)
        mask = "*" + mask + "*.*";
    return mask;
}

std::string LookInToLocation(const std::string& lookIn, const std::optional<SpecialPlace>& desktop,
                             const std::optional<SpecialPlace>& personal)
{
    if (desktop && lookIn == desktop->caption)
        return desktop->path;
    if (personal && lookIn == personal->caption)
        return personal->path;
    return lookIn;
}

std::optional<SizeBounds> CustomSizeBounds(const std::string& kindText, int64_t kilobytes,
                                           const PanelMarkers& markers)
{
    const int64_t bytes = kilobytes * 1024;
    if (kindText == markers.sizeAtLeast)
        return SizeBounds{bytes, 0};
    if (kindText == markers.sizeAtMost)
        return SizeBounds{0, bytes};
    return std::nullopt;
}

DateBounds CustomDateBounds(const std::string& kindText, TDateTime start, TDateTime end,
                            const PanelMarkers& markers)
{
    DateBounds bounds;
    if (kindText == markers.dateCreated)
    {
        bounds.createdBefore = end;
        bounds.createdAfter = start;
    }
    else if (kindText == markers.dateModified)
    {
        bounds.modifiedBefore = end;
        bounds.modifiedAfter = start;
    }
    else if (kindText == markers.dateAccessed)
    {
        bounds.accessedBefore = end;
        bounds.accessedAfter = start;
    }
    return bounds;
}

void WriteSizeBounds(const SizeBounds& bounds, engine::FindCriteria& criteria)
{
    criteria.sizeMin = bounds.min;
    criteria.sizeMax = bounds.max;
}

void WriteDateBounds(const DateBounds& bounds, engine::FindCriteria& criteria)
{
    criteria.modifiedBefore = bounds.modifiedBefore;
    criteria.modifiedAfter = bounds.modifiedAfter;
    criteria.createdBefore = bounds.createdBefore;
    criteria.createdAfter = bounds.createdAfter;
    criteria.accessedBefore = bounds.accessedBefore;
    criteria.accessedAfter = bounds.accessedAfter;
}

void ApplySearchPanel(const SearchPanelState& state, const PanelMarkers& markers,
                      engine::FindCriteria& criteria)
{
    criteria.subfolders = state.subfolders;
    criteria.containerKinds = state.containerKinds;
    const std::string location = LookInToLocation(state.lookIn, state.desktop, state.personal);
    engine::CheckLocation(location);
    criteria.location = location;
    if (state.customSize)
    {
        if (auto size = CustomSizeBounds(state.sizeKindText, state.sizeKilobytes, markers))
            WriteSizeBounds(*size, criteria);
    }
    if (state.customDate)
        WriteDateBounds(CustomDateBounds(state.dateKindText, state.rangeStart, state.rangeEnd, markers),
                        criteria);
    const std::string mask = NameFieldToMask(state.nameText);
    engine::CheckFilename(mask);
    criteria.filename = mask;
}

} // namespace ui
