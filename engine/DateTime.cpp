#include "engine/DateTime.h"

#include <cmath>

namespace engine
{
namespace
{

// Days from 1970-01-01 to the given proleptic Gregorian date.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

constexpr int64_t kDaysFrom1899To1970 = 25569;

} // namespace

TDateTime EncodeDateTime(const platform::CalendarTime& t)
{
    const double day = static_cast<double>(
        DaysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day)) +
        kDaysFrom1899To1970);
    const double fraction =
        (((t.hour * 60.0 + t.minute) * 60.0 + t.second) * 1000.0 + t.milliseconds) / 86400000.0;
    return day < 0 ? day - fraction : day + fraction;
}

std::optional<TDateTime> FileTimeToDateTime(uint64_t fileTimeUtc,
                                            const platform::LocalTimeConverter& localTime)
{
    const std::optional<platform::CalendarTime> local = localTime.ToLocal(fileTimeUtc);
    if (!local)
        return std::nullopt;
    return EncodeDateTime(*local);
}

bool DateInRange(TDateTime time, TDateTime before, TDateTime after)
{
    // Times and fractions are compared in whole milliseconds: a day number of tens of thousands
    // leaves the fraction of a double a few microseconds off, which would put a file written at
    // exactly 17:00 after a 17:00 bound.
    auto ms = [](double value) { return std::llround(value * 86400000.0); };
    const double timeWhole = std::trunc(time);
    // Before 1899-12-30 the fraction is negative; its size is still the time of day.
    const long long timeFractionMs = ms(std::fabs(time - timeWhole));
    bool result = true;
    if (before != 0)
    {
        const double whole = std::trunc(before);
        if (before - whole == 0)
            result = timeWhole <= before;
        else if (whole == 0)
            result = timeFractionMs <= ms(before);
        else
            result = ms(time) <= ms(before);
    }
    if (after != 0)
    {
        const double whole = std::trunc(after);
        if (after - whole == 0)
            result = result && timeWhole >= after;
        else if (whole == 0)
            result = result && timeFractionMs >= ms(after);
        else
            result = result && ms(time) >= ms(after);
    }
    return result;
}

int32_t PackDosDateTime(const platform::CalendarTime& t)
{
    if (t.year < 1980 || t.year > 2107)
        return 0;
    const uint32_t date = (static_cast<uint32_t>(t.year - 1980) << 9) |
                          (static_cast<uint32_t>(t.month) << 5) | static_cast<uint32_t>(t.day);
    const uint32_t time = (static_cast<uint32_t>(t.hour) << 11) | (static_cast<uint32_t>(t.minute) << 5) |
                          static_cast<uint32_t>(t.second / 2);
    return static_cast<int32_t>((date << 16) | time);
}

} // namespace engine
