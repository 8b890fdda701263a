#pragma once
// A search kept in a file (.ffsearch): what the search panel held, in words that do not depend on
// the language, so that the window and the console read the same file. Ini syntax in UTF-8:
//   [Search]
//   Name=*.txt            Text=needle           LookIn=C:\Data        Subfolders=1
//   Date=range            DateKind=modified     DateFrom=2026-01-31   DateTo=2026-02-28
//   Size=custom           SizeKind=atleast      SizeKB=100
//   Documents=1           Archives=0            (the text inside Office files and zip archives)
// Date is any, last30days, lastyear or range; Size is any, upto1mb, 1to10mb, from10mb or custom.
// Keys that are absent keep their defaults; unknown keys are left for newer versions. Portable.
#include <cstdint>
#include <optional>
#include <string>

namespace ui
{

struct CalendarDate
{
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const CalendarDate& o) const
    {
        return year == o.year && month == o.month && day == o.day;
    }
};

struct SavedSearch
{
    enum class DateChoice
    {
        Any,
        Last30Days,
        LastYear,
        Range,
    };
    enum class DateKind
    {
        Created,
        Modified,
        Accessed,
    };
    enum class SizeChoice
    {
        Any,
        UpTo1MB,
        From1To10MB,
        From10MB,
        Custom,
    };

    std::string name;
    std::string text;
    std::string lookIn;
    bool subfolders = true;
    DateChoice date = DateChoice::Any;
    DateKind dateKind = DateKind::Modified;
    CalendarDate dateFrom;
    CalendarDate dateTo;
    SizeChoice size = SizeChoice::Any;
    bool sizeAtLeast = true;
    int64_t sizeKilobytes = 0;
    bool documents = true; // files written before these keys existed search as the defaults do
    bool archives = false;

    bool operator==(const SavedSearch& o) const;
};

// The file's text for search.
std::string WriteSavedSearch(const SavedSearch& search);

struct SavedSearchResult
{
    std::optional<SavedSearch> search;
    // When refused: the key whose value is wrong ("Search" when the section is missing).
    std::string badKey;
};

// Reads a file's text; a refused file names its first bad key and gives no search.
SavedSearchResult ReadSavedSearch(const std::string& text);

} // namespace ui
