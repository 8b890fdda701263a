#pragma once
// The rows of the results list and their cell texts, independent of the list control that shows
// them. One row holds a caption, up to four detail cells and an icon, for file and computer
// results alike.
#include "platform/LocalTime.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ui
{

struct ResultRow
{
    std::string caption;
    // Detail cells in column order; a row with fewer cells than columns lacks the trailing ones
    // (a file the shell could not describe has no type cell).
    std::vector<std::string> cells;
    int icon = -1; // index into the system image list; -1 when not set
    // The values behind the size and date cells of a file row: those columns sort by them, since
    // their text puts 10 KB before 9 KB and December before February. Computer rows have neither.
    std::optional<int64_t> size;
    std::optional<platform::CalendarTime> modified;

    // Column 0 is the caption, column n the detail cell n - 1; an absent cell reads as empty.
    const std::string& Text(int column) const;
};

// The user's number and date conventions, as the locale reports them.
struct DisplayFormat
{
    std::string thousandsSeparator = ",";
    std::string shortDate = "M/d/yyyy";  // date picture: d dd ddd dddd M MM MMM MMMM y yy yyyy 'text'
    std::string longTime = "h:mm:ss tt"; // time picture: h hh H HH m mm s ss t tt 'text'
    std::string am = "AM";
    std::string pm = "PM";
    std::array<std::string, 12> monthNames{};
    std::array<std::string, 12> monthAbbreviations{};
    std::array<std::string, 7> dayNames{}; // Sunday first
    std::array<std::string, 7> dayAbbreviations{};
};

// Folder and name joined with one backslash (none added when folder already ends with one).
std::string JoinPath(const std::string& folder, const std::string& name);

// The extension of a file name without its dot; empty for a name without one.
std::string ExtensionOf(const std::string& name);

// "###,###,##0 KB" for size / 1024 with the given separator; empty below one byte.
std::string SizeText(int64_t size, const std::string& thousandsSeparator);

// A date or time picture applied to a calendar time.
std::string FormatPicture(const std::string& picture, const platform::CalendarTime& time,
                          const DisplayFormat& format);

// Short date, one space, long time; seconds cut to the even second below (the two-second
// resolution of the packed date format). Any year is shown.
std::string DateText(const platform::CalendarTime& time, const DisplayFormat& format);

// The shell's type name, or, when the shell gave none, prefix (text 201) + the extension.
std::string TypeText(const std::string& shellTypeName, const std::string& name, const std::string& prefix);

// Byte-wise order after folding ASCII a-z to upper case; a proper prefix orders first.
int CompareDisplayText(std::string_view a, std::string_view b);

// The columns whose cells stand for a value.
constexpr int kSizeColumn = 2;
constexpr int kDateColumn = 3;

// Orders calendar times by time (year first, down to the millisecond).
int CompareTimes(const platform::CalendarTime& a, const platform::CalendarTime& b);

// The list's comparison: the size column by bytes and the date column by time where the rows carry
// those values (a row without one orders first, as its empty cell does); otherwise the caption for
// column 0 and that detail cell's text for the others.
int CompareRows(const ResultRow& a, const ResultRow& b, int sortColumn);

// The row indices in sorted order (stable, ascending; the same direction every time).
std::vector<size_t> SortOrder(const std::vector<ResultRow>& rows, int sortColumn);

} // namespace ui
