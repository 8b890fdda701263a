#include "cmd/CmdOutput.h"

#include "cmd/SkipSummary.h"

#include <gtest/gtest.h>

namespace
{

TEST(CmdOutput, JoinsFolderAndNameWithOneBackslash)
{
    EXPECT_EQ(cmd::JoinPath("C:\\data", "a.txt"), "C:\\data\\a.txt");
    EXPECT_EQ(cmd::JoinPath("C:\\", "a.txt"), "C:\\a.txt");
    EXPECT_EQ(cmd::JoinPath("", "a.txt"), "a.txt");
    EXPECT_EQ(cmd::JoinPath("\\\\server\\share", "Привет.txt"), "\\\\server\\share\\Привет.txt");
}

TEST(CmdOutput, FormatsTheEventLines)
{
    engine::TSearchRec record;
    record.Name = "日本語.doc";
    record.Size = 5368709120LL;
    record.Attr = 0x421;
    platform::CalendarTime time;
    time.year = 2107;
    time.month = 12;
    time.day = 31;
    time.hour = 23;
    time.minute = 5;
    time.second = 9;
    EXPECT_EQ(cmd::FoundLine("C:\\x", record, time),
              "found\tC:\\x\t日本語.doc\t5368709120\t00000421\t2107-12-31 23:05:09\n");
    record.Attr = -1;
    time.year = 1601;
    time.month = 1;
    time.day = 2;
    EXPECT_EQ(cmd::FoundLine("C:\\", record, time),
              "found\tC:\\\t日本語.doc\t5368709120\tffffffff\t1601-01-02 23:05:09\n");
    EXPECT_EQ(cmd::FoundLine("C:\\", record, std::nullopt),
              "found\tC:\\\t日本語.doc\t5368709120\tffffffff\t\n");
    EXPECT_EQ(cmd::FolderLine("D:\\a b"), "folder\tD:\\a b\n");
    EXPECT_EQ(cmd::CompleteLine(12, false), "complete\t12\t0\n");
    EXPECT_EQ(cmd::CompleteLine(0, true), "complete\t0\t1\n");
    EXPECT_EQ(cmd::NetCompleteLine(3), "complete\t3\n");
}

TEST(CmdOutput, NetworkRowsAreOneLineOfFixedFields)
{
    using network::NameSource;
    EXPECT_EQ(cmd::NetRowLine({"PC01", {"10.0.0.1", "WORK", "desk\tnear\r\nwindow"}, NameSource::BrowseList},
                              {"00-0C-29-1A-2B-3C", "VM\tware"}),
              "computer\tPC01\t10.0.0.1\tWORK\tdesk near  window\t00-0C-29-1A-2B-3C\tVM ware\tbrowse\n");
    EXPECT_EQ(cmd::NetRowLine({"", {"", "WORK"}}), "domain\tWORK\n");
    EXPECT_EQ(cmd::NetRowLine({"nas", {"10.0.0.2", "", ""}, NameSource::Dns}, {"?-?-?-?-?-?", ""}),
              "computer\tnas\t10.0.0.2\t\t\t?-?-?-?-?-?\t\tdns\n");
    // A row cut short (stopped while its MAC query ran) still has all eight fields.
    EXPECT_EQ(cmd::NetRowLine({"alpha.local", {"127.0.1.5", ""}, NameSource::Mdns}),
              "computer\talpha.local\t127.0.1.5\t\t\t\t\tmdns\n");
}

TEST(CmdOutput, FormatsTheTsvAndCsvForms)
{
    engine::TSearchRec record;
    record.Name = "a,\"b\".txt";
    record.Size = 5368709120LL;
    record.Attr = 0x20;
    platform::CalendarTime time;
    time.year = 2024;
    time.month = 2;
    time.day = 9;
    time.hour = 7;
    time.minute = 5;
    time.second = 3;
    EXPECT_EQ(cmd::TsvLine("C:\\x", record, time),
              "C:\\x\ta,\"b\".txt\t5368709120\t00000020\t2024-02-09 07:05:03\n");
    EXPECT_EQ(cmd::CsvHeaderLine(), "Name,Folder,Path,Size,Modified,Attributes\n");
    EXPECT_EQ(
        cmd::CsvLine("C:\\x", record, time),
        "\"a,\"\"b\"\".txt\",C:\\x,\"C:\\x\\a,\"\"b\"\".txt\",5368709120,2024-02-09T07:05:03,00000020\n");
    record.Name = "Привет.txt";
    EXPECT_EQ(cmd::CsvLine("C:\\", record, std::nullopt),
              "Привет.txt,C:\\,C:\\Привет.txt,5368709120,,00000020\n");
}

TEST(CmdOutput, SummarisesWhatWasSkippedInOneLine)
{
    engine::SkipCounts counts;
    EXPECT_EQ(cmd::SkipSummaryLine(counts), "");
    counts.foldersDenied = 3;
    EXPECT_EQ(cmd::SkipSummaryLine(counts), "FindFileCmd: 3 folders could not be read (access denied)\n");
    counts.foldersDenied = 1;
    counts.pathsTooLong = 1;
    EXPECT_EQ(
        cmd::SkipSummaryLine(counts),
        "FindFileCmd: 1 folder could not be read (access denied); 1 path was too long for the system\n");
    counts = {0, 2, 1, 5000000000ull, 1, 2};
    EXPECT_EQ(
        cmd::SkipSummaryLine(counts),
        "FindFileCmd: 2 folders could not be read; 1 entry vanished while it was searched; 5000000000 files "
        "could not be read for the containing text; 1 folder link was not followed; 2 paths were too long "
        "for the system\n");
    EXPECT_EQ(cmd::MissingFolderLine("D:\\nowhere"), "FindFileCmd: folder not found: D:\\nowhere\n");
}

} // namespace
