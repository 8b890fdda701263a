#pragma once
// Conversion of UTC file times to the local calendar, with the platform's time-zone rules.
#include <cstdint>
#include <optional>

namespace platform
{

struct CalendarTime
{
    int year = 0;
    int month = 0; // 1..12
    int day = 0;   // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int milliseconds = 0;
};

class LocalTimeConverter
{
public:
    virtual ~LocalTimeConverter() = default;
    // UTC FILETIME ticks to local calendar time; empty when the platform cannot convert it.
    virtual std::optional<CalendarTime> ToLocal(uint64_t fileTimeUtc) const = 0;
};

} // namespace platform
