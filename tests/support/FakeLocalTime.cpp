#include "tests/support/FakeLocalTime.h"

namespace testing_support
{
namespace
{

constexpr int64_t kTicksPerMs = 10000;
constexpr int64_t kTicksPerDay = 86400LL * 1000 * kTicksPerMs;

// Days from 1601-01-01 to the proleptic Gregorian date, and back.
int64_t DaysFrom1601(int64_t y, int64_t m, int64_t d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + 134774; // 134774 days from 1601 to 1970
}

void CivilFrom1601(int64_t days, int& year, int& month, int& day)
{
    const int64_t z = days - 134774 + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

} // namespace

uint64_t FileTimeFromUtc(int year, int month, int day, int hour, int minute, int second, int milliseconds)
{
    const int64_t ms = ((hour * 60LL + minute) * 60 + second) * 1000 + milliseconds;
    return static_cast<uint64_t>(DaysFrom1601(year, month, day) * kTicksPerDay + ms * kTicksPerMs);
}

uint64_t FakeLocalTime::FileTimeFromLocal(int year, int month, int day, int hour, int minute, int second,
                                          int milliseconds) const
{
    return FileTimeFromUtc(year, month, day, hour, minute, second, milliseconds) -
           static_cast<uint64_t>(static_cast<int64_t>(m_offsetMinutes) * 60000 * kTicksPerMs);
}

std::optional<platform::CalendarTime> FakeLocalTime::ToLocal(uint64_t fileTimeUtc) const
{
    ++m_conversions;
    const int64_t local =
        static_cast<int64_t>(fileTimeUtc) + static_cast<int64_t>(m_offsetMinutes) * 60000 * kTicksPerMs;
    if (local < 0)
        return std::nullopt;
    platform::CalendarTime t;
    CivilFrom1601(local / kTicksPerDay, t.year, t.month, t.day);
    int64_t ms = (local % kTicksPerDay) / kTicksPerMs;
    t.milliseconds = static_cast<int>(ms % 1000);
    ms /= 1000;
    t.second = static_cast<int>(ms % 60);
    ms /= 60;
    t.minute = static_cast<int>(ms % 60);
    t.hour = static_cast<int>(ms / 60);
    return t;
}

} // namespace testing_support
