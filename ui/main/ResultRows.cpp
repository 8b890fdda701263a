#include "ui/main/ResultRows.h"

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

std::string FormatPicture(const std::string& picture, const platform::CalendarTime& time,
                          const DisplayFormat& format)
{
    std::string out;
    size_t i = 0;
    while (i < picture.size())
    {
        char c = picture[i];
        if (c == '\'' && i + 1 < picture.size() && picture[i + 1] == '\'')
        {
            out += '\'';
            i += 2;
            continue;
        }
        if (c == '\'')
        {
            // Quoted literal; two quotes in a row inside it stand for one quote.
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
                    ++i;
                    break;
                }
                out += picture[i++];
            }
            continue;
        }
        size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c)
            ++run;
        const int hour12 = time.hour % 12 == 0 ? 12 : time.hour % 12;
        const std::string& ampm = time.hour < 12 ? format.am : format.pm;
        const int month = std::clamp(time.month, 1, 12) - 1;
        const int dow = DayOfWeek(time.year, std::clamp(time.month, 1, 12), time.day);
        switch (c)
        {
        case 'd':
            if (run == 1)
                out += std::to_string(time.day);
            else if (run == 2)
                out += Padded(time.day, 2);
            else if (run == 3)
                out += Pick(format.dayAbbreviations[dow], Pick(format.dayNames[dow], std::to_string(dow)));
            else
                out += Pick(format.dayNames[dow], std::to_string(dow));
            break;
        case 'M':
            if (run == 1)
                out += std::to_string(time.month);
            else if (run == 2)
                out += Padded(time.month, 2);
            else if (run == 3)
                out += Pick(format.monthAbbreviations[month], Padded(time.month, 2));
            else
                out += Pick(format.monthNames[month], Padded(time.month, 2));
            break;
        case 'y':
            if (run == 1)
                out += std::to_string(time.year % 100);
            else if (run == 2)
                out += Padded(time.year % 100, 2);
            else
                out += Padded(time.year, 4);
            break;
        case 'g':
            break; // era: the Gregorian calendar has none worth showing
        case 'h':
            out += run == 1 ? std::to_string(hour12) : Padded(hour12, 2);
            break;
        case 'H':
            out += run == 1 ? std::to_string(time.hour) : Padded(time.hour, 2);
            break;
        case 'm':
            out += run == 1 ? std::to_string(time.minute) : Padded(time.minute, 2);
            break;
        case 's':
            out += run == 1 ? std::to_string(time.second) : Padded(time.second, 2);
            break;
        case 't':
            out += run == 1 ? ampm.substr(0, ampm.empty() ? 0 : 1) : ampm;
            break;
        default:
            out.append(run, c);
            break;
        }
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

int CompareDisplayText(const std::string& a, const std::string& b)
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

int CompareRows(const ResultRow& a, const ResultRow& b, int sortColumn)
{
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
