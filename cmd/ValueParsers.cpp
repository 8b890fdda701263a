#include "cmd/ValueParsers.h"

#include "engine/DateTime.h"

#include <cctype>
#include <limits>

namespace cmd
{

namespace
{

// An upper bound at midnight would read as a whole day (or as no bound for a time of day 00:00):
// a tiny fraction, far below the millisecond the file times carry, keeps it an instant.
constexpr engine::TDateTime kInstantNudge = 1e-9;

// Reads exactly `digits` decimal digits at text[pos].
bool ReadNumber(const std::string& text, size_t& pos, size_t digits, int& value)
{
    if (pos + digits > text.size())
        return false;
    value = 0;
    for (size_t i = 0; i < digits; ++i)
    {
        char c = text[pos + i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    pos += digits;
    return true;
}

bool Expect(const std::string& text, size_t& pos, char c)
{
    if (pos >= text.size() || text[pos] != c)
        return false;
    ++pos;
    return true;
}

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// A bound's day number must be 1 or more: day 0 (1899-12-30) is "no bound", a date and time on it
// would read as a time of day, and earlier days count their time of day backwards.
bool BeforeEarliestBound(const platform::CalendarTime& time)
{
    return time.year < 1899 || (time.year == 1899 && (time.month < 12 || time.day < 31));
}

bool ReadDate(const std::string& text, size_t& pos, platform::CalendarTime& time)
{
    if (!ReadNumber(text, pos, 4, time.year) || !Expect(text, pos, '-') ||
        !ReadNumber(text, pos, 2, time.month) || !Expect(text, pos, '-') ||
        !ReadNumber(text, pos, 2, time.day))
        return false;
    return time.month >= 1 && time.month <= 12 && time.day >= 1 &&
           time.day <= DaysInMonth(time.year, time.month) && !BeforeEarliestBound(time);
}

bool ReadTime(const std::string& text, size_t& pos, platform::CalendarTime& time)
{
    if (!ReadNumber(text, pos, 2, time.hour) || !Expect(text, pos, ':') ||
        !ReadNumber(text, pos, 2, time.minute))
        return false;
    time.second = 0;
    if (pos < text.size() && (!Expect(text, pos, ':') || !ReadNumber(text, pos, 2, time.second)))
        return false;
    return time.hour <= 23 && time.minute <= 59 && time.second <= 59;
}

} // namespace

std::optional<engine::TDateTime> ParseDateBound(const std::string& text, bool upperBound)
{
    platform::CalendarTime time;
    size_t pos = 0;
    engine::TDateTime value = 0;
    bool hasTime = false;
    if (text.size() >= 3 && text[2] == ':')
    {
        if (!ReadTime(text, pos, time) || pos != text.size())
            return std::nullopt;
        value = (time.hour * 3600 + time.minute * 60 + time.second) / 86400.0;
        hasTime = true;
    }
    else
    {
        if (!ReadDate(text, pos, time))
            return std::nullopt;
        if (pos < text.size())
        {
            if (!Expect(text, pos, 'T') || !ReadTime(text, pos, time) || pos != text.size())
                return std::nullopt;
            hasTime = true;
        }
        value = engine::EncodeDateTime(time);
    }
    if (upperBound && hasTime && time.hour == 0 && time.minute == 0 && time.second == 0)
        value += kInstantNudge;
    return value;
}

std::optional<engine::TFileAttributes> ParseAttributes(const std::string& letters)
{
    uint8_t bits = 0;
    for (char c : letters)
    {
        switch (std::toupper(static_cast<unsigned char>(c)))
        {
        case 'A':
            bits |= 1u << engine::ffArchive;
            break;
        case 'R':
            bits |= 1u << engine::ffReadonly;
            break;
        case 'H':
            bits |= 1u << engine::ffHidden;
            break;
        case 'S':
            bits |= 1u << engine::ffSystem;
            break;
        case 'D':
            bits |= 1u << engine::ffDirectory;
            break;
        default:
            return std::nullopt;
        }
    }
    return engine::TFileAttributes::FromBits(bits);
}

std::optional<int64_t> ParseSize(const std::string& text)
{
    if (text.empty() || text.size() > 19)
        return std::nullopt;
    int64_t value = 0;
    for (char c : text)
    {
        if (c < '0' || c > '9')
            return std::nullopt;
        int digit = c - '0';
        if (value > (std::numeric_limits<int64_t>::max() - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

} // namespace cmd
