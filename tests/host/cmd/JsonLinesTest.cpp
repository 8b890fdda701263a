#include "cmd/JsonLines.h"

#include "cmd/JsonString.h"
#include "tests/support/CalendarTime.h"

#include <gtest/gtest.h>

namespace
{

using testing_support::Calendar;

// FILETIME ticks of a UTC calendar time, counted here by days so as not to share the code tested.
uint64_t Ticks(int64_t daysSince1601, int hour, int minute, int second, int milliseconds = 0)
{
    return static_cast<uint64_t>(((daysSince1601 * 24 + hour) * 60 + minute) * 60 + second) * 10000000ull +
           static_cast<uint64_t>(milliseconds) * 10000ull;
}

// 2024-02-29 is 154,556 days after 1601-01-01 (423 years of 365 days and 102 leap days, then 59).
constexpr int64_t kLeapDay2024 = 423 * 365 + 102 + 59;

TEST(JsonString, EscapesWhatJsonRequiresAndKeepsWellFormedUtf8)
{
    struct Row
    {
        std::string text;
        std::string json;
    } rows[] = {
        {"", "\"\""},
        {"plain name.txt", "\"plain name.txt\""},
        {"say \"hi\".txt", "\"say \\\"hi\\\".txt\""},
        {"C:\\dir\\a.txt", "\"C:\\\\dir\\\\a.txt\""},
        {"tab\there\nline\rret\bbs\fff", "\"tab\\there\\nline\\rret\\bbs\\fff\""},
        {std::string("nul\0x", 5), "\"nul\\u0000x\""},
        {"\x01\x1f\x7f/", "\"\\u0001\\u001f\x7f/\""},
        {"日本語 Привет é", "\"日本語 Привет é\""},
        {"\xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF \xEF\xBF\xBF",
         "\"\xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF \xEF\xBF\xBF\""},
        // Bytes that are no UTF-8 character become U+FFFD, one for each byte.
        {"a\x80z", "\"a\xEF\xBF\xBDz\""},
        {"\xFF\xFE", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"cut \xE6\x97", "\"cut \xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"\xC3", "\"\xEF\xBF\xBD\""},
        {"\xC0\xAF overlong", "\"\xEF\xBF\xBD\xEF\xBF\xBD overlong\""},
        {"\xE0\x80\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"\xED\xA0\x80 surrogate", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD surrogate\""},
        {"\xF4\x90\x80\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"\xF0\x8F\xBF\xBF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
        // A broken sequence does not swallow the quote that follows it.
        {"\xE6\"", "\"\xEF\xBF\xBD\\\"\""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(cmd::JsonString(row.text), row.json) << row.text;
}

TEST(JsonLines, ModifiedTimeCarriesTheOffsetBetweenLocalTimeAndUtc)
{
    struct Row
    {
        platform::CalendarTime local;
        uint64_t utc;
        const char* text;
    } rows[] = {
        {Calendar(2024, 2, 29, 13, 5, 9), Ticks(kLeapDay2024, 13, 5, 9), "2024-02-29T13:05:09+00:00"},
        {Calendar(2024, 2, 29, 14, 5, 9), Ticks(kLeapDay2024, 13, 5, 9, 999), "2024-02-29T14:05:09+01:00"},
        {Calendar(2024, 3, 1, 2, 50, 0), Ticks(kLeapDay2024, 13, 5, 0), "2024-03-01T02:50:00+13:45"},
        {Calendar(2024, 2, 28, 23, 35, 9), Ticks(kLeapDay2024, 3, 5, 9), "2024-02-28T23:35:09-03:30"},
        {Calendar(1601, 1, 1, 0, 0, 0), Ticks(0, 0, 0, 0), "1601-01-01T00:00:00+00:00"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(cmd::IsoTimeWithOffset(row.utc, row.local), row.text);
}

TEST(JsonLines, AFileLineHoldsEveryField)
{
    engine::TSearchRec record;
    record.Name = "say \"hi\" 日本語.txt";
    record.Size = 5368709120LL; // beyond 32 bits
    record.Attr = 0x821;
    record.FindData.lastWriteTime = Ticks(kLeapDay2024, 6, 0, 0);
    EXPECT_EQ(
        cmd::FileJsonLine("C:\\Привет", record, Calendar(2024, 2, 29, 8, 0, 0)),
        "{\"path\":\"C:\\\\Привет\\\\say \\\"hi\\\" 日本語.txt\",\"name\":\"say \\\"hi\\\" 日本語.txt\","
        "\"folder\":\"C:\\\\Привет\",\"size\":5368709120,\"modified\":\"2024-02-29T08:00:00+02:00\","
        "\"attributes\":2081}\n");
    record.Name = "a";
    record.Size = 0;
    record.Attr = -1;
    EXPECT_EQ(cmd::FileJsonLine("C:\\", record, std::nullopt),
              "{\"path\":\"C:\\\\a\",\"name\":\"a\",\"folder\":\"C:\\\\\",\"size\":0,\"modified\":null,"
              "\"attributes\":4294967295}\n");
}

TEST(JsonLines, NetworkRowsNameTheirFields)
{
    network::NetRow pc{"PC\"01", {"10.0.0.1", "WORK", "desk\tnear"}, network::NameSource::Mdns};
    EXPECT_EQ(cmd::NetRowJsonLine(pc, {"00-0C-29-1A-2B-3C", "VMware"}),
              "{\"name\":\"PC\\\"01\",\"ip\":\"10.0.0.1\",\"workgroup\":\"WORK\",\"comment\":\"desk\\tnear\","
              "\"mac\":\"00-0C-29-1A-2B-3C\",\"vendor\":\"VMware\",\"source\":\"mdns\"}\n");
    // A row cut short (stopped while its MAC query ran) still has every field.
    EXPECT_EQ(cmd::NetRowJsonLine({"PC01", {"?.?.?.?", "WORK"}, network::NameSource::BrowseList}, {}),
              "{\"name\":\"PC01\",\"ip\":\"?.?.?.?\",\"workgroup\":\"WORK\",\"comment\":\"\",\"mac\":\"\","
              "\"vendor\":\"\",\"source\":\"browse\"}\n");
    EXPECT_EQ(cmd::NetRowJsonLine({"", {"", "Рабочая"}}, {}), "{\"domain\":\"Рабочая\"}\n");
}

} // namespace
