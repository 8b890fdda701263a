#include "ui/main/SearchCriteria.h"

namespace ui
{

TDateTime DateToDays(int year, int month, int day)
{
    // Days from the civil date (proleptic Gregorian), then shifted to the 1899-12-30 epoch.
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int mp = (month + 9) % 12;
    const int doy = (153 * mp + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long long unixDays = static_cast<long long>(era) * 146097 + doe - 719468;
    constexpr long long kUnixEpochInDays = 25569; // 1970-01-01 counted from 1899-12-30
    return static_cast<TDateTime>(unixDays + kUnixEpochInDays);
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

void ApplySearchPanel(const SearchPanelState& state, const PanelMarkers& markers, CriteriaTarget& target)
{
    target.SetSubfolders(state.subfolders);
    target.SetLocation(LookInToLocation(state.lookIn, state.desktop, state.personal));
    if (state.customSize)
    {
        if (auto size = CustomSizeBounds(state.sizeKindText, state.sizeKilobytes, markers))
            target.SetSizeBounds(*size);
    }
    if (state.customDate)
        target.SetDateBounds(CustomDateBounds(state.dateKindText, state.rangeStart, state.rangeEnd, markers));
    target.SetFilename(NameFieldToMask(state.nameText));
}

} // namespace ui
