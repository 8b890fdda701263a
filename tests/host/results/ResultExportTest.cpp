#include "ui/results/ResultExport.h"

#include <gtest/gtest.h>

namespace
{

using ui::ResultRow;

TEST(CsvField, QuotesOnlyWhatNeedsItAndDoublesQuotes)
{
    const std::pair<std::string, std::string> cases[] = {
        {"plain.txt", "plain.txt"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"\"", "\"\"\"\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {"lf\n", "\"lf\n\""},
        {"Пример; тест", "Пример; тест"}, // semicolons and Cyrillic need no quotes
        {" padded ", " padded "},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ui::CsvField(text), expected) << text;
    EXPECT_EQ(ui::CsvLine({"a", "b,c", ""}), "a,\"b,c\",\r\n");
}

ResultRow FileRow(std::string name, std::string folder, int64_t size, std::string type)
{
    ResultRow row;
    row.caption = std::move(name);
    row.cells = {std::move(folder), "shown size", "shown date"};
    if (!type.empty())
        row.cells.push_back(std::move(type));
    row.size = size;
    return row;
}

TEST(ResultsCsv, WritesBomHeaderAndOneQuotedLinePerRow)
{
    platform::CalendarTime time;
    time.year = 2031;
    time.month = 12;
    time.day = 1;
    time.hour = 23;
    time.minute = 59;
    time.second = 58;
    std::vector<ResultRow> rows = {FileRow("report, final.txt", "C:\\data", 5368709120LL, "Text \"doc\""),
                                   FileRow("Отчёт.doc", "C:\\", 0, "")};
    rows[0].modified = time;
    EXPECT_EQ(ui::ResultsCsv(rows), "\xEF\xBB\xBF"
                                    "Name,Folder,Path,Size,Modified,Type\r\n"
                                    "\"report, final.txt\",C:\\data,\"C:\\data\\report, final.txt\","
                                    "5368709120,2031-12-01T23:59:58,\"Text \"\"doc\"\"\"\r\n"
                                    "Отчёт.doc,C:\\,C:\\Отчёт.doc,0,,\r\n");
    EXPECT_EQ(ui::ResultsPathList(rows), "C:\\data\\report, final.txt\r\nC:\\Отчёт.doc\r\n");
    EXPECT_EQ(ui::ResultsCsv({}), "\xEF\xBB\xBFName,Folder,Path,Size,Modified,Type\r\n");
    EXPECT_EQ(ui::ResultsPathList({}), "");
}

} // namespace
