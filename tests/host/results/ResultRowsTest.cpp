#include "ui/results/ResultRows.h"

#include "tests/support/CalendarTime.h"

#include <gtest/gtest.h>

namespace
{

using ui::ResultRow;

TEST(SizeText, KilobytesWithSeparatorAndEmptyBelowOneByte)
{
    EXPECT_EQ(ui::SizeText(0, ","), "");
    EXPECT_EQ(ui::SizeText(-5, ","), "");
    EXPECT_EQ(ui::SizeText(1, ","), "0 KB");
    EXPECT_EQ(ui::SizeText(1023, ","), "0 KB");
    EXPECT_EQ(ui::SizeText(1024, ","), "1 KB");
    EXPECT_EQ(ui::SizeText(1536000, ","), "1,500 KB");
    EXPECT_EQ(ui::SizeText(1536000, "."), "1.500 KB");
    EXPECT_EQ(ui::SizeText(1536000, "\xC2\xA0"), "1\xC2\xA0"
                                                 "500 KB"); // no-break space
    EXPECT_EQ(ui::SizeText(999 * 1024, ","), "999 KB");
    EXPECT_EQ(ui::SizeText(1000 * 1024, ","), "1,000 KB");
    EXPECT_EQ(ui::SizeText(1000000 * 1024LL, ""), "1000000 KB");
}

TEST(SizeText, SizesOfTwoGigabytesAndMoreStayExact)
{
    EXPECT_EQ(ui::SizeText(2147483648LL, ","), "2,097,152 KB");
    EXPECT_EQ(ui::SizeText(5LL * 1024 * 1024 * 1024 + 1023, ","), "5,242,880 KB");
    EXPECT_EQ(ui::SizeText(INT64_MAX, ","), "9,007,199,254,740,991 KB");
}

TEST(PathText, JoinAndExtension)
{
    EXPECT_EQ(ui::JoinPath("C:\\Data", "a.txt"), "C:\\Data\\a.txt");
    EXPECT_EQ(ui::JoinPath("C:\\", "a.txt"), "C:\\a.txt");
    EXPECT_EQ(ui::ExtensionOf("report.final.DOC"), "DOC");
    EXPECT_EQ(ui::ExtensionOf("README"), "");
    EXPECT_EQ(ui::ExtensionOf("name."), "");
    EXPECT_EQ(ui::ExtensionOf(".profile"), "profile");
    EXPECT_EQ(ui::TypeText("Text Document", "a.txt", "File "), "Text Document");
    EXPECT_EQ(ui::TypeText("", "a.xyz", "File "), "File xyz");
    EXPECT_EQ(ui::TypeText("", "Makefile", "File "), "File ");
}

platform::CalendarTime At(int y, int mo, int d, int h, int mi, int s)
{
    return testing_support::Calendar(y, mo, d, h, mi, s, 789);
}

TEST(DateText, UsesTheGivenPicturesAtTwoSecondResolution)
{
    ui::DisplayFormat us;
    EXPECT_EQ(ui::DateText(At(2024, 3, 7, 14, 5, 9), us), "3/7/2024 2:05:08 PM");
    EXPECT_EQ(ui::DateText(At(2024, 3, 7, 0, 0, 0), us), "3/7/2024 12:00:00 AM");

    ui::DisplayFormat de;
    de.shortDate = "dd.MM.yyyy";
    de.longTime = "HH:mm:ss";
    EXPECT_EQ(ui::DateText(At(2024, 3, 7, 14, 5, 9), de), "07.03.2024 14:05:08");

    ui::DisplayFormat named;
    named.shortDate = "ddd d MMM yy 'at' ''";
    named.longTime = "H 'h' m t";
    named.dayAbbreviations = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    named.monthAbbreviations = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    EXPECT_EQ(ui::DateText(At(2024, 3, 7, 9, 5, 0), named), "Thu 7 Mar 24 at ' 9 h 5 A");
}

TEST(DateText, YearsOutsideThePackedRangeAreShown)
{
    ui::DisplayFormat iso;
    iso.shortDate = "yyyy-MM-dd";
    iso.longTime = "HH:mm:ss";
    EXPECT_EQ(ui::DateText(At(1970, 1, 1, 0, 0, 1), iso), "1970-01-01 00:00:00");
    EXPECT_EQ(ui::DateText(At(2150, 12, 31, 23, 59, 59), iso), "2150-12-31 23:59:58");
}

TEST(CompareDisplayText, FoldsOnlyAsciiLettersAndOrdersPrefixesFirst)
{
    EXPECT_EQ(ui::CompareDisplayText("abc", "ABC"), 0);
    EXPECT_LT(ui::CompareDisplayText("abc", "abd"), 0);
    EXPECT_GT(ui::CompareDisplayText("b", "A"), 0);
    EXPECT_LT(ui::CompareDisplayText("ab", "abc"), 0);
    EXPECT_GT(ui::CompareDisplayText("abc", "ab"), 0);
    EXPECT_LT(ui::CompareDisplayText("", "a"), 0);
    // '_' (0x5F) sorts after the upper-case letters it is compared with, and before 'a' would.
    EXPECT_GT(ui::CompareDisplayText("_", "z"), 0);
    // Bytes above 0x7F are not folded and sort after ASCII.
    EXPECT_NE(ui::CompareDisplayText("\xC3\xA9", "\xC3\x89"), 0);
    EXPECT_GT(ui::CompareDisplayText("\xC3\xA9", "z"), 0);
    // Displayed text decides, not the value it shows.
    EXPECT_LT(ui::CompareDisplayText("10 KB", "9 KB"), 0);
}

ResultRow Row(std::string caption, std::vector<std::string> cells)
{
    ResultRow row;
    row.caption = std::move(caption);
    row.cells = std::move(cells);
    return row;
}

TEST(SortOrder, SortsByCaptionOrDetailCellWithAbsentCellsEmpty)
{
    std::vector<ResultRow> rows = {
        Row("b.txt", {"C:\\z", "10 KB", "", "Text"}), Row("A.txt", {"C:\\y", "9 KB", "", "Bitmap"}),
        Row("c.txt", {"C:\\x", "", ""}), // the shell gave no type
    };
    EXPECT_EQ(ui::SortOrder(rows, 0), (std::vector<size_t>{1, 0, 2}));
    EXPECT_EQ(ui::SortOrder(rows, 1), (std::vector<size_t>{2, 1, 0}));
    EXPECT_EQ(ui::SortOrder(rows, 2), (std::vector<size_t>{2, 0, 1}));
    EXPECT_EQ(ui::SortOrder(rows, 4), (std::vector<size_t>{2, 1, 0}));
    EXPECT_EQ(rows[2].Text(4), "");
    EXPECT_EQ(rows[2].Text(0), "c.txt");
}

TEST(SortOrder, EqualRowsKeepTheirOrderSoRepeatedSortsAgree)
{
    // Enough rows that an unstable sort (which orders short runs by insertion) shows itself: three
    // keys that compare equal ignoring ASCII case, 40 rows each, interleaved.
    const char* const keys[] = {"b", "A", "B", "a", "c", "C"};
    std::vector<ResultRow> rows;
    for (size_t i = 0; i < 240; ++i)
        rows.push_back(Row("row" + std::to_string(i), {keys[(i * 7) % 6]}));
    std::vector<size_t> expected;
    for (const char* group : {"a", "b", "c"})
        for (size_t i = 0; i < rows.size(); ++i)
            if (ui::CompareDisplayText(rows[i].Text(1), group) == 0)
                expected.push_back(i);
    ASSERT_EQ(expected.size(), rows.size());
    EXPECT_EQ(ui::SortOrder(rows, 1), expected);
    EXPECT_EQ(ui::SortOrder(rows, 1), expected); // and again the same
}

ResultRow ValueRow(const std::string& sizeText, int64_t size, const std::string& dateText,
                   std::optional<platform::CalendarTime> modified)
{
    ResultRow row = Row("f" + sizeText, {"C:\\", sizeText, dateText, "Type"});
    row.size = size;
    row.modified = modified;
    return row;
}

platform::CalendarTime Day(int year, int month, int day, int second = 0)
{
    return testing_support::Calendar(year, month, day, 0, 0, second);
}

TEST(SortOrder, SizeAndDateColumnsSortByValueOtherColumnsByText)
{
    std::vector<ResultRow> rows = {
        ValueRow("10 KB", 10240, "12/1/2024", Day(2024, 12, 1)),
        ValueRow("2,097,152 KB", 2147483648LL, "2/1/2024", Day(2024, 2, 1)),
        ValueRow("9 KB", 9216, "", std::nullopt), // a folder: no date
        ValueRow("", 0, "2/1/2024", Day(2024, 2, 1, 1)),
        ValueRow("10 KB", 10241, "1/5/2025", Day(2025, 1, 5)),
    };
    EXPECT_EQ(ui::SortOrder(rows, ui::kSizeColumn), (std::vector<size_t>{3, 2, 0, 4, 1}));
    EXPECT_EQ(ui::SortOrder(rows, ui::kDateColumn), (std::vector<size_t>{2, 1, 3, 0, 4}));
    // The captions still compare as text.
    EXPECT_EQ(ui::SortOrder(rows, 0), (std::vector<size_t>{3, 0, 4, 1, 2}));
}

TEST(SortOrder, RowsWithoutValuesKeepTheTextOrder)
{
    // Computer rows carry no values; their third and fourth columns are texts.
    std::vector<ResultRow> rows = {Row("PC1", {"10.0.0.1", "WORKGROUP", "b"}),
                                   Row("PC2", {"10.0.0.2", "HOME", "a"})};
    EXPECT_EQ(ui::SortOrder(rows, ui::kSizeColumn), (std::vector<size_t>{1, 0}));
    EXPECT_EQ(ui::SortOrder(rows, ui::kDateColumn), (std::vector<size_t>{1, 0}));
    // Next to a file row, a row without a value orders first, as its empty cell does.
    rows.push_back(ValueRow("1 KB", 1024, "1/1/2000", Day(2000, 1, 1)));
    EXPECT_EQ(ui::SortOrder(rows, ui::kDateColumn).back(), 2u);
    EXPECT_LT(ui::CompareTimes(Day(2024, 2, 1), Day(2024, 12, 1)), 0);
    EXPECT_EQ(ui::CompareTimes(Day(2024, 2, 1), Day(2024, 2, 1)), 0);
    EXPECT_GT(ui::CompareTimes(Day(2025, 1, 1), Day(2024, 12, 31, 59)), 0);
}

} // namespace
