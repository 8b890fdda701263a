#include "ui/results/ResultStore.h"

#include "tests/support/CalendarTime.h"
#include "ui/results/PackedTime.h"

#include <gtest/gtest.h>
#include <iterator>
#include <random>

namespace
{

using testing_support::Calendar;
using ui::FileRow;
using ui::ResultRow;
using ui::ResultStore;

ui::DisplayFormat Format()
{
    ui::DisplayFormat format;
    format.thousandsSeparator = ".";
    format.shortDate = "dd MMM yyyy";
    format.longTime = "HH:mm:ss";
    format.monthAbbreviations = {"jan", "feb", "mar", "apr", "may", "jun",
                                 "jul", "aug", "sep", "oct", "nov", "dec"};
    return format;
}

struct FileInFolder
{
    std::string folder;
    FileRow file;
};

FileInFolder File(std::string folder, std::string name, int64_t size,
                  std::optional<platform::CalendarTime> modified, std::optional<std::string> type,
                  int icon = 3)
{
    FileRow file;
    file.name = std::move(name);
    file.size = size;
    file.modified = modified;
    file.typeName = std::move(type);
    file.icon = icon;
    return {std::move(folder), std::move(file)};
}

// Rows that tell a faulty store from a sound one: sizes past 4 GiB and below one byte, dates before
// 1980 and after 2107, names in other scripts and ones alike in their first eight letters, folders
// and types that differ in letter case only, a file the shell did not know, a folder without a date.
const std::vector<FileInFolder>& Table()
{
    static const std::vector<FileInFolder> table = {
        File("C:\\Data", "report.txt", 1536000, Calendar(2024, 12, 1, 9, 5, 7, 250), "Text Document"),
        File("C:\\Data", "huge.iso", 5368709121LL, Calendar(2107, 12, 31, 23, 59, 59), "Disc Image"),
        File("c:\\DATA", "Report.TXT", 1536000, Calendar(1601, 1, 1), "text document"),
        File("C:\\Data\\Sub", "\xD0\xBE\xD1\x82\xD1\x87\xD1\x91\xD1\x82.doc", 0, Calendar(2200, 6, 30, 12),
             "Word"),
        File("C:\\Data\\Sub", "\xE6\x96\x87\xE4\xBB\xB6.txt", 1023, Calendar(1979, 12, 31, 23, 59, 58),
             "Text Document"),
        File("C:\\Data\\Sub", "ghost.bin", 4096, Calendar(2024, 12, 1, 9, 5, 6), std::nullopt, -1),
        File("C:\\", "Sub", 0, std::nullopt, "File folder"),
        File("C:\\", "longname_b.txt", 4294967296LL, Calendar(2024, 12, 1, 9, 5, 7, 250), ""),
        File("C:\\", "LONGNAME_a.txt", 4294967295LL, Calendar(30827, 12, 31, 23, 59, 59, 999),
             "Text Document"),
        File("D:\\caf\xC3\xA9", "\xC3\xA9t\xC3\xA9.txt", 1024, Calendar(2024, 2, 1), "Text Document"),
        File("C:\\Data", "report.txt", 1536000, Calendar(2024, 12, 1, 9, 5, 7, 250), "Text Document"),
    };
    return table;
}

ResultStore StoreOf(const std::vector<FileInFolder>& files)
{
    ResultStore store(Format());
    for (const FileInFolder& entry : files)
        store.AddFile(entry.folder, entry.file);
    return store;
}

std::vector<ResultRow> WholeRowsOf(const std::vector<FileInFolder>& files)
{
    std::vector<ResultRow> rows;
    for (const FileInFolder& entry : files)
        rows.push_back(ui::MakeRow(entry.file, entry.folder, Format()));
    return rows;
}

void ExpectSameRow(const ResultRow& actual, const ResultRow& expected, size_t index)
{
    EXPECT_EQ(actual.caption, expected.caption) << index;
    EXPECT_EQ(actual.cells, expected.cells) << index;
    EXPECT_EQ(actual.icon, expected.icon) << index;
    EXPECT_EQ(actual.size, expected.size) << index;
    ASSERT_EQ(actual.modified.has_value(), expected.modified.has_value()) << index;
    if (expected.modified)
    {
        EXPECT_EQ(ui::CompareTimes(*actual.modified, *expected.modified), 0) << index;
    }
}

// Every cell as the list asks for it, the whole row, the path and the icon agree with the row
// made with all its texts at once.
void ExpectStoreShows(const ResultStore& store, const std::vector<ResultRow>& expected)
{
    ASSERT_EQ(store.Size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
    {
        for (int column = 0; column < 8; ++column)
            EXPECT_EQ(store.Text(i, column), expected[i].Text(column)) << i << " column " << column;
        ExpectSameRow(store.Row(i), expected[i], i);
        EXPECT_EQ(store.Caption(i), expected[i].caption) << i;
        EXPECT_EQ(store.Path(i), ui::JoinPath(expected[i].Text(1), expected[i].caption)) << i;
        EXPECT_EQ(store.Icon(i), expected[i].icon) << i;
    }
}

TEST(ResultStore, CellsAndRowsAreThoseOfWholeRows)
{
    const std::vector<ResultRow> expected = WholeRowsOf(Table());
    ExpectStoreShows(StoreOf(Table()), expected);
    // Spot checks of the formats themselves, so that a fault shared by both paths shows too.
    EXPECT_EQ(expected[1].Text(2), "5.242.880 KB");
    EXPECT_EQ(expected[2].Text(3), "01 jan 1601 00:00:00");
    EXPECT_EQ(expected[8].Text(3), "31 dec 30827 23:59:58");
    EXPECT_EQ(expected[5].cells.size(), 3u);
}

TEST(ResultStore, SortsEveryColumnAsWholeRowsSort)
{
    const ResultStore store = StoreOf(Table());
    const std::vector<ResultRow> whole = WholeRowsOf(Table());
    for (int column = 0; column < 7; ++column)
        EXPECT_EQ(store.SortOrder(column), ui::SortOrder(whole, column)) << "column " << column;
}

TEST(ResultStore, SortsManyRowsWithManyTiesAsWholeRowsSort)
{
    // Few distinct values, so that nearly every comparison is a tie that only stability decides.
    const char* const folders[] = {"C:\\a", "C:\\A", "C:\\b", "C:\\", "D:\\\xC3\xA9"};
    const char* const names[] = {"x.txt",
                                 "X.TXT",
                                 "abcdefgh1",
                                 "ABCDEFGH0",
                                 "abcdefgh",
                                 "\xC3\xA9.txt",
                                 "",
                                 "fifteen letters",
                                 "FIFTEEN LETTERSb.txt",
                                 "fifteen lettersA.txt",
                                 "fifteen letters."};
    const char* const types[] = {"Text", "TEXT", "", "Image"};
    std::mt19937 random(20240601);
    std::vector<FileInFolder> files;
    for (int i = 0; i < 3000; ++i)
    {
        std::optional<platform::CalendarTime> modified;
        if (random() % 4)
            modified = Calendar(1970 + static_cast<int>(random() % 3) * 100, 1, 1, 0, 0,
                                static_cast<int>(random() % 3));
        std::optional<std::string> type;
        if (random() % 5)
            type = types[random() % 4];
        files.push_back(File(folders[random() % 5], names[random() % std::size(names)],
                             static_cast<int64_t>(random() % 3) * 3000000000LL - 1, modified, type));
    }
    const ResultStore store = StoreOf(files);
    const std::vector<ResultRow> whole = WholeRowsOf(files);
    for (int column = 0; column < 6; ++column)
        EXPECT_EQ(store.SortOrder(column), ui::SortOrder(whole, column)) << "column " << column;
}

TEST(ResultStore, FolderAndTypeTextsAreKeptOnce)
{
    std::vector<FileInFolder> files;
    for (int i = 0; i < 300; ++i)
        files.push_back(File(i % 3 == 1 ? "C:\\B" : (i % 2 ? "C:\\A" : "c:\\a"), "f" + std::to_string(i), i,
                             Calendar(2024, 1, 1), i % 2 ? "Text" : "Image"));
    const ResultStore store = StoreOf(files);
    EXPECT_EQ(store.FolderCount(), 3u); // letter case makes another text
    EXPECT_EQ(store.TypeCount(), 2u);
    ExpectStoreShows(store, WholeRowsOf(files));
}

TEST(ResultStore, ReorderAndRemoveKeepEachRowWhole)
{
    ResultStore store = StoreOf(Table());
    std::vector<ResultRow> expected = WholeRowsOf(Table());
    const std::vector<size_t> order = store.SortOrder(ui::kSizeColumn);
    store.Reorder(order);
    std::vector<ResultRow> sorted;
    for (size_t from : order)
        sorted.push_back(expected[from]);
    ExpectStoreShows(store, sorted);

    std::vector<char> gone(sorted.size(), 0);
    gone[0] = gone[3] = gone[sorted.size() - 1] = 1;
    store.Remove(gone);
    std::vector<ResultRow> kept;
    for (size_t i = 0; i < sorted.size(); ++i)
        if (!gone[i])
            kept.push_back(sorted[i]);
    ExpectStoreShows(store, kept);

    store.Clear();
    EXPECT_TRUE(store.Empty());
    EXPECT_EQ(store.FolderCount(), 0u);
}

TEST(ResultStore, RowsBuiltElsewhereKeepTheirCellsBesideFileRows)
{
    ResultStore store = StoreOf(Table());
    std::vector<ResultRow> expected = WholeRowsOf(Table());
    ResultRow computer;
    computer.caption = "PC1";
    computer.cells = {"10.0.0.1", "WORKGROUP", "comment", "00-11-22-33-44-55", "Vendor", "browse"};
    computer.icon = 0;
    store.Add(computer);
    expected.push_back(computer);
    // A row that gets a cell after it was shown: a file row too.
    EXPECT_TRUE(store.AddCellToLast("late"));
    expected.back().cells.push_back("late");
    store.AddFile("C:\\", Table()[0].file);
    expected.push_back(ui::MakeRow(Table()[0].file, "C:\\", Format()));
    EXPECT_TRUE(store.AddCellToLast("extra"));
    expected.back().cells.push_back("extra");
    ExpectStoreShows(store, expected);
    for (int column = 0; column < 8; ++column)
        EXPECT_EQ(store.SortOrder(column), ui::SortOrder(expected, column)) << "column " << column;

    ResultStore empty(Format());
    EXPECT_FALSE(empty.AddCellToLast("nowhere"));
}

TEST(ResultStore, TimeOutsideThePackedRangeKeepsTheRowWhole)
{
    const std::vector<FileInFolder> files = {
        File("C:\\", "far.txt", 1, Calendar(40000, 1, 1), "Text"),
        File("C:\\", "odd.txt", 1, Calendar(2024, 13, 40, 25, 61, 61), "Text"),
        File("C:\\", "near.txt", 1, Calendar(2024, 1, 1), "Text")};
    const ResultStore store = StoreOf(files);
    ExpectStoreShows(store, WholeRowsOf(files));
    EXPECT_EQ(store.SortOrder(ui::kDateColumn), ui::SortOrder(WholeRowsOf(files), ui::kDateColumn));
}

TEST(PackedTime, OrdersAsTheTimesAndComesBackWhole)
{
    const std::vector<platform::CalendarTime> times = {Calendar(-32768, 0, 0),
                                                       Calendar(1601, 1, 1),
                                                       Calendar(1979, 12, 31, 23, 59, 59, 999),
                                                       Calendar(1980, 1, 1),
                                                       Calendar(1980, 1, 1, 0, 0, 0, 1),
                                                       Calendar(2024, 2, 1, 13, 30, 14),
                                                       Calendar(2024, 12, 1),
                                                       Calendar(2107, 15, 31, 31, 63, 63, 1023),
                                                       Calendar(32767, 12, 31)};
    for (size_t a = 0; a < times.size(); ++a)
    {
        const std::optional<uint64_t> packedA = ui::PackTime(times[a]);
        ASSERT_TRUE(packedA) << a;
        EXPECT_EQ(ui::CompareTimes(ui::UnpackTime(*packedA), times[a]), 0) << a;
        for (size_t b = 0; b < times.size(); ++b)
        {
            const uint64_t packedB = *ui::PackTime(times[b]);
            EXPECT_EQ(*packedA < packedB, ui::CompareTimes(times[a], times[b]) < 0) << a << " " << b;
        }
    }
    for (const platform::CalendarTime& outside :
         {Calendar(32768, 1, 1), Calendar(-32769, 1, 1), Calendar(2024, 16, 1), Calendar(2024, 1, 32),
          Calendar(2024, 1, 1, 0, 0, 0, 1024), Calendar(2024, -1, 1)})
        EXPECT_FALSE(ui::PackTime(outside)) << outside.year << "-" << outside.month;
}

TEST(TextArena, TextsOfAnyLengthComeBackAcrossBlocks)
{
    ui::TextArena arena;
    std::vector<std::string> texts = {"",
                                      "a",
                                      std::string(127, 'b'),
                                      std::string(128, 'c'),
                                      std::string(70000, 'd'),
                                      "\xE6\x96\x87",
                                      std::string(16384, 'e')};
    for (int i = 0; i < 20000; ++i)
        texts.push_back("name" + std::to_string(i));
    std::vector<ui::TextArena::Ref> refs;
    for (const std::string& text : texts)
        refs.push_back(arena.Add(text));
    for (size_t i = 0; i < texts.size(); ++i)
        ASSERT_EQ(arena.View(refs[i]), texts[i]) << i;
    arena.Clear();
    EXPECT_EQ(arena.ReservedBytes(), 0u);
}

TEST(SharedTexts, RanksFollowTheDisplayOrderWithEqualTextsTogether)
{
    ui::SharedTexts texts;
    const std::vector<std::string> values = {"b", "A", "", "a", "B", "\xC3\xA9", "ab"};
    for (const std::string& value : values)
        texts.Intern(value);
    EXPECT_EQ(texts.Intern("A"), 1u);
    EXPECT_EQ(texts.Count(), values.size());
    const std::vector<uint32_t> ranks = texts.DisplayRanks();
    ASSERT_EQ(ranks.size(), values.size());
    EXPECT_EQ(ranks[2], 0u); // the empty text
    for (size_t a = 0; a < values.size(); ++a)
        for (size_t b = 0; b < values.size(); ++b)
        {
            const int byText = ui::CompareDisplayText(values[a], values[b]);
            EXPECT_EQ(ranks[a] < ranks[b], byText < 0) << values[a] << " " << values[b];
            EXPECT_EQ(ranks[a] == ranks[b], byText == 0) << values[a] << " " << values[b];
        }
}

} // namespace
