#include "ui/results/ResultRows.h"

#include <algorithm>
#include <numeric>

namespace ui
{

namespace
{

const std::string kEmpty;

std::string Padded(int value, size_t width)
{
    std::string digits = std::to_string(value);
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    return digits;
}

// Day of the week, 0 = Sunday (Sakamoto's method, proleptic Gregorian calendar).
int DayOfWeek(int year, int month, int day)
{
    static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3)
        year -= 1;
    int dow = (year + year / 4 - year / 100 + year / 400 + offsets[(month - 1) % 12] + day) % 7;
    return dow < 0 ? dow + 7 : dow;
}

const std::string& Pick(const std::string& name, const std::string& fallback)
{
    return name.empty() ? fallback : name;
}

unsigned char FoldAscii(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

} // namespace

const std::string& ResultRow::Text(int column) const
{
    if (column <= 0)
        return caption;
    size_t cell = static_cast<size_t>(column - 1);
    return cell < cells.size() ? cells[cell] : kEmpty;
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '\\')
        return folder + name;
    return folder + "\\" + name;
}

std::string ExtensionOf(const std::string& name)
{
    size_t dot = name.find_last_of(".\\:");
    if (dot == std::string::npos || name[dot] != '.')
        return {};
    return name.substr(dot + 1);
}

std::string SizeText(int64_t size, const std::string& thousandsSeparator)
{
    if (size < 1)
        return {};
    std::string digits = std::to_string(size / 1024);
    std::string text;
    text.reserve(digits.size() + digits.size() / 3 * thousandsSeparator.size() + 3);
    for (size_t i = 0; i < digits.size(); ++i)
    {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += thousandsSeparator;
        text += digits[i];
    }
    return text + " KB";
}

namespace
{

// A quoted literal starting at picture[i] (the opening quote); two quotes in a row inside it stand
// for one quote. Returns the index after the closing quote.
size_t AppendQuoted(const std::string& picture, size_t i, std::string& out)
{
    ++i;
    while (i < picture.size())
    {
        if (picture[i] == '\'')
        {
            if (i + 1 < picture.size() && picture[i + 1] == '\'')
            {
                out += '\'';
                i += 2;
                continue;
            }
            return i + 1;
        }
        out += picture[i++];
    }
    return i;
}

std::string DayField(size_t run, const platform::CalendarTime& time, const DisplayFormat& format)
{
    const int dow = DayOfWeek(time.year, std::clamp(time.month, 1, 12), time.day);
    if (run == 1)
        return std::to_string(time.day);
    if (run == 2)
        return Padded(time.day, 2);
    if (run == 3)
        return Pick(format.dayAbbreviations[dow], Pick(format.dayNames[dow], std::to_string(dow)));
    return Pick(format.dayNames[dow], std::to_string(dow));
}

std::string MonthField(size_t run, const platform::CalendarTime& time, const DisplayFormat& format)
{
    const int month = std::clamp(time.month, 1, 12) - 1;
    if (run == 1)
        return std::to_string(time.month);
    if (run == 2)
        return Padded(time.month, 2);
    if (run == 3)
        return Pick(format.monthAbbreviations[month], Padded(time.month, 2));
    return Pick(format.monthNames[month], Padded(time.month, 2));
}

std::string YearField(size_t run, const platform::CalendarTime& time)
{
    if (run == 1)
        return std::to_string(time.year % 100);
    if (run == 2)
        return Padded(time.year % 100, 2);
    return Padded(time.year, 4);
}

// One number of the time of day: unpadded for a single letter, two digits otherwise.
std::string ClockField(size_t run, int value)
{
    return run == 1 ? std::to_string(value) : Padded(value, 2);
}

// The text of a run of one picture letter; a letter that is no field stands for itself.
std::string PictureField(char c, size_t run, const platform::CalendarTime& time, const DisplayFormat& format)
{
    const std::string& ampm = time.hour < 12 ? format.am : format.pm;
    switch (c)
    {
    case 'd':
        return DayField(run, time, format);
    case 'M':
        return MonthField(run, time, format);
    case 'y':
        return YearField(run, time);
    case 'g':
        return {}; // era: the Gregorian calendar has none worth showing
    case 'h':
        return ClockField(run, time.hour % 12 == 0 ? 12 : time.hour % 12);
    case 'H':
        return ClockField(run, time.hour);
    case 'm':
        return ClockField(run, time.minute);
    case 's':
        return ClockField(run, time.second);
    case 't':
        return run == 1 ? ampm.substr(0, ampm.empty() ? 0 : 1) : ampm;
    default:
        return std::string(run, c);
    }
}

} // namespace

std::string FormatPicture(const std::string& picture, const platform::CalendarTime& time,
                          const DisplayFormat& format)
{
    std::string out;
    size_t i = 0;
    while (i < picture.size())
    {
        const char c = picture[i];
        if (c == '\'' && i + 1 < picture.size() && picture[i + 1] == '\'')
        {
            out += '\'';
            i += 2;
            continue;
        }
        if (c == '\'')
        {
            i = AppendQuoted(picture, i, out);
            continue;
        }
        size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c)
            ++run;
        out += PictureField(c, run, time, format);
        i += run;
    }
    return out;
}

std::string DateText(const platform::CalendarTime& time, const DisplayFormat& format)
{
    platform::CalendarTime packed = time;
    packed.second -= packed.second % 2;
    packed.milliseconds = 0;
    return FormatPicture(format.shortDate, packed, format) + " " +
           FormatPicture(format.longTime, packed, format);
}

std::string TypeText(const std::string& shellTypeName, const std::string& name, const std::string& prefix)
{
    if (!shellTypeName.empty())
        return shellTypeName;
    return prefix + ExtensionOf(name);
}

int CompareDisplayText(std::string_view a, std::string_view b)
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
    {
        unsigned char ca = FoldAscii(static_cast<unsigned char>(a[i]));
        unsigned char cb = FoldAscii(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

namespace
{

template <typename T> int Sign(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Compares two optional values, an absent one first; nullopt when neither row carries one.
template <typename T, typename Compare>
std::optional<int> CompareValues(const std::optional<T>& a, const std::optional<T>& b, Compare compare)
{
    if (!a && !b)
        return std::nullopt;
    if (!a || !b)
        return a ? 1 : -1;
    return compare(*a, *b);
}

} // namespace

int CompareTimes(const platform::CalendarTime& a, const platform::CalendarTime& b)
{
    const int fields[][2] = {{a.year, b.year},
                             {a.month, b.month},
                             {a.day, b.day},
                             {a.hour, b.hour},
                             {a.minute, b.minute},
                             {a.second, b.second},
                             {a.milliseconds, b.milliseconds}};
    for (const auto& pair : fields)
        if (pair[0] != pair[1])
            return pair[0] < pair[1] ? -1 : 1;
    return 0;
}

int CompareRows(const ResultRow& a, const ResultRow& b, int sortColumn)
{
    std::optional<int> byValue;
    if (sortColumn == kSizeColumn)
        byValue = CompareValues(a.size, b.size, Sign<int64_t>);
    else if (sortColumn == kDateColumn)
        byValue = CompareValues(a.modified, b.modified, CompareTimes);
    if (byValue)
        return *byValue;
    return CompareDisplayText(a.Text(sortColumn), b.Text(sortColumn));
}

std::vector<size_t> SortOrder(const std::vector<ResultRow>& rows, int sortColumn)
{
    std::vector<size_t> order(rows.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return CompareRows(rows[a], rows[b], sortColumn) < 0; });
    return order;
}

} // namespace ui
