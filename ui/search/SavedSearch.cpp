#include "ui/search/SavedSearch.h"

#include "engine/AsciiCase.h"

#include <array>
#include <cstdio>
#include <map>
#include <utility>

namespace ui
{

namespace
{

using DateChoice = SavedSearch::DateChoice;
using DateKind = SavedSearch::DateKind;
using SizeChoice = SavedSearch::SizeChoice;

constexpr std::array<std::pair<const char*, DateChoice>, 4> kDateChoices{{
    {"any", DateChoice::Any},
    {"last30days", DateChoice::Last30Days},
    {"lastyear", DateChoice::LastYear},
    {"range", DateChoice::Range},
}};
constexpr std::array<std::pair<const char*, DateKind>, 3> kDateKinds{{
    {"created", DateKind::Created},
    {"modified", DateKind::Modified},
    {"accessed", DateKind::Accessed},
}};
constexpr std::array<std::pair<const char*, SizeChoice>, 5> kSizeChoices{{
    {"any", SizeChoice::Any},
    {"upto1mb", SizeChoice::UpTo1MB},
    {"1to10mb", SizeChoice::From1To10MB},
    {"from10mb", SizeChoice::From10MB},
    {"custom", SizeChoice::Custom},
}};
constexpr std::array<std::pair<const char*, bool>, 2> kSizeKinds{{{"atleast", true}, {"atmost", false}}};
constexpr std::array<std::pair<const char*, bool>, 2> kFlags{{{"1", true}, {"0", false}}};
// The size box's bound: a count of kilobytes that a 64-bit byte count still holds.
constexpr int64_t kMaxKilobytes = INT64_MAX / 1024;

template <typename Table, typename Value> const char* WordOf(const Table& table, Value value)
{
    for (const auto& [word, entry] : table)
        if (entry == value)
            return word;
    return table[0].first;
}

template <typename Table, typename Value>
bool ValueOf(const Table& table, const std::string& word, Value& value)
{
    for (const auto& [entry, meaning] : table)
        if (engine::EqualsIgnoreAsciiCase(word, entry))
        {
            value = meaning;
            return true;
        }
    return false;
}

// A line holds one value: the characters that would end it are dropped.
std::string OneLine(const std::string& text)
{
    std::string line;
    for (char c : text)
        if (c != '\r' && c != '\n')
            line += c;
    return line;
}

std::string DateText(const CalendarDate& date)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

bool LeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool ParseDate(const std::string& text, CalendarDate& date)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[i] < '0' || text[i] > '9')
            return false;
    const int year = std::stoi(text.substr(0, 4));
    const int month = std::stoi(text.substr(5, 2));
    const int day = std::stoi(text.substr(8, 2));
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1601 || month < 1 || month > 12 || day < 1)
        return false;
    if (day > kDays[month - 1] + (month == 2 && LeapYear(year) ? 1 : 0))
        return false;
    date = CalendarDate{year, month, day};
    return true;
}

bool ParseKilobytes(const std::string& text, int64_t& value)
{
    if (text.empty() || text.size() > 19)
        return false;
    int64_t number = 0;
    for (char c : text)
    {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
    }
    if (number > kMaxKilobytes)
        return false;
    value = number;
    return true;
}

// The [Search] section's keys (upper case) and values, the first of a repeated key kept; false
// without that section.
bool SearchSection(const std::string& text, std::map<std::string, std::string>& keys)
{
    size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    bool inSearch = false;
    bool found = false;
    while (start <= text.size())
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line[0] == '[')
        {
            inSearch = engine::EqualsIgnoreAsciiCase(line, "[Search]");
            found = found || inSearch;
            continue;
        }
        const size_t equals = line.find('=');
        if (!inSearch || equals == std::string::npos)
            continue;
        std::string key = line.substr(0, equals);
        for (char& c : key)
            c = engine::AsciiUpper(c);
        keys.emplace(key, line.substr(equals + 1));
    }
    return found;
}

} // namespace

bool SavedSearch::operator==(const SavedSearch& o) const
{
    return name == o.name && text == o.text && lookIn == o.lookIn && subfolders == o.subfolders &&
           date == o.date && dateKind == o.dateKind && dateFrom == o.dateFrom && dateTo == o.dateTo &&
           size == o.size && sizeAtLeast == o.sizeAtLeast && sizeKilobytes == o.sizeKilobytes &&
           documents == o.documents && archives == o.archives;
}

std::string WriteSavedSearch(const SavedSearch& search)
{
    std::string file = "[Search]\r\n";
    auto line = [&file](const char* key, const std::string& value) {
        file += key;
        file += '=';
        file += OneLine(value);
        file += "\r\n";
    };
    line("Name", search.name);
    line("Text", search.text);
    line("LookIn", search.lookIn);
    line("Subfolders", search.subfolders ? "1" : "0");
    line("Date", WordOf(kDateChoices, search.date));
    line("DateKind", WordOf(kDateKinds, search.dateKind));
    if (search.date == DateChoice::Range)
    {
        line("DateFrom", DateText(search.dateFrom));
        line("DateTo", DateText(search.dateTo));
    }
    line("Size", WordOf(kSizeChoices, search.size));
    line("SizeKind", WordOf(kSizeKinds, search.sizeAtLeast));
    line("SizeKB", std::to_string(search.sizeKilobytes));
    line("Documents", search.documents ? "1" : "0");
    line("Archives", search.archives ? "1" : "0");
    return file;
}

SavedSearchResult ReadSavedSearch(const std::string& text)
{
    std::map<std::string, std::string> keys;
    if (!SearchSection(text, keys))
        return {std::nullopt, "Search"};
    SavedSearch search;
    auto value = [&keys](const char* key) -> const std::string* {
        std::string upper = key;
        for (char& c : upper)
            c = engine::AsciiUpper(c);
        auto it = keys.find(upper);
        return it == keys.end() ? nullptr : &it->second;
    };
    if (const std::string* v = value("Name"))
        search.name = *v;
    if (const std::string* v = value("Text"))
        search.text = *v;
    if (const std::string* v = value("LookIn"))
        search.lookIn = *v;
    struct Check
    {
        const char* key;
        bool (*read)(const std::string&, SavedSearch&);
    };
    static const Check kChecks[] = {
        {"Subfolders", [](const std::string& v, SavedSearch& s) { return ValueOf(kFlags, v, s.subfolders); }},
        {"Date", [](const std::string& v, SavedSearch& s) { return ValueOf(kDateChoices, v, s.date); }},
        {"DateKind", [](const std::string& v, SavedSearch& s) { return ValueOf(kDateKinds, v, s.dateKind); }},
        {"DateFrom", [](const std::string& v, SavedSearch& s) { return ParseDate(v, s.dateFrom); }},
        {"DateTo", [](const std::string& v, SavedSearch& s) { return ParseDate(v, s.dateTo); }},
        {"Size", [](const std::string& v, SavedSearch& s) { return ValueOf(kSizeChoices, v, s.size); }},
        {"SizeKind",
         [](const std::string& v, SavedSearch& s) { return ValueOf(kSizeKinds, v, s.sizeAtLeast); }},
        {"SizeKB", [](const std::string& v, SavedSearch& s) { return ParseKilobytes(v, s.sizeKilobytes); }},
        {"Documents", [](const std::string& v, SavedSearch& s) { return ValueOf(kFlags, v, s.documents); }},
        {"Archives", [](const std::string& v, SavedSearch& s) { return ValueOf(kFlags, v, s.archives); }},
    };
    for (const Check& check : kChecks)
        if (const std::string* v = value(check.key); v && !check.read(*v, search))
            return {std::nullopt, check.key};
    // A range needs both of its ends.
    if (search.date == DateChoice::Range && (!value("DateFrom") || !value("DateTo")))
        return {std::nullopt, value("DateFrom") ? "DateTo" : "DateFrom"};
    return {search, {}};
}

} // namespace ui
