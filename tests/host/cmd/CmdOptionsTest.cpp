#include "cmd/CmdOptions.h"

#include "cmd/SavedSearchOptions.h"
#include "engine/DateTime.h"
#include "engine/FindFile.h"
#include "platform/WaitPolicy.h"
#include "tests/support/CalendarTime.h"
#include "tests/support/FakeFileSystem.h"
#include "tests/support/FakeLocalTime.h"
#include "tests/support/FakeThreadControl.h"
#include "tests/support/QueueSyncCall.h"
#include "ui/search/SearchCriteria.h"

#include <gtest/gtest.h>

namespace
{

using cmd::ParseCommandLine;
using engine::TFileAttributes;

engine::TDateTime Date(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return engine::EncodeDateTime(testing_support::Calendar(year, month, day, hour, minute, second));
}

TEST(CmdOptions, DefaultsMatchTheFinder)
{
    cmd::ParseResult result = ParseCommandLine({});
    ASSERT_EQ(result.error, "");
    const cmd::CmdOptions& o = result.options;
    EXPECT_FALSE(o.locationGiven);
    EXPECT_EQ(o.criteria.location, "");
    EXPECT_EQ(o.criteria.filename, "*.*");
    EXPECT_TRUE(o.criteria.subfolders);
    EXPECT_EQ(o.criteria.attributes,
              (TFileAttributes{engine::ffArchive, engine::ffReadonly, engine::ffHidden, engine::ffSystem}));
    EXPECT_FALSE(o.criteria.exactAttribute || !o.criteria.ignoreCase || o.threaded || o.events || o.help ||
                 o.version);
    EXPECT_EQ(o.criteria.sizeMin, 0);
    EXPECT_EQ(o.criteria.modifiedBefore, 0);
    EXPECT_EQ(o.criteria.containerKinds, (engine::ContainerKinds{true, false}));
}

TEST(CmdOptions, ReadsEveryOptionInShortLongAndEqualsForms)
{
    cmd::ParseResult result = ParseCommandLine({"-n",
                                                "*.txt",
                                                "--include",
                                                "C:\\a\\*.doc",
                                                "-i",
                                                "D:\\*.x",
                                                "-x",
                                                "*.bak",
                                                "--exclude=*\\tmp\\*",
                                                "--no-subfolders",
                                                "-a",
                                                "rh",
                                                "--exact-attributes",
                                                "--size-min",
                                                "10",
                                                "--size-max=2000",
                                                "-c",
                                                "needle",
                                                "--case-sensitive",
                                                "--documents",
                                                "no",
                                                "--archives=yes",
                                                "--threaded",
                                                "--events",
                                                "C:\\data;D:\\"});
    ASSERT_EQ(result.error, "");
    const cmd::CmdOptions& o = result.options;
    EXPECT_EQ(o.criteria.filename, "*.txt");
    EXPECT_EQ(o.criteria.includeFiles, (std::vector<std::string>{"C:\\a\\*.doc", "D:\\*.x"}));
    EXPECT_EQ(o.criteria.excludeFiles, (std::vector<std::string>{"*.bak", "*\\tmp\\*"}));
    EXPECT_FALSE(o.criteria.subfolders);
    EXPECT_EQ(o.criteria.attributes, (TFileAttributes{engine::ffReadonly, engine::ffHidden}));
    EXPECT_TRUE(o.criteria.exactAttribute);
    EXPECT_EQ(o.criteria.sizeMin, 10);
    EXPECT_EQ(o.criteria.sizeMax, 2000);
    EXPECT_EQ(o.criteria.containing, "needle");
    EXPECT_FALSE(o.criteria.ignoreCase);
    EXPECT_EQ(o.criteria.containerKinds, (engine::ContainerKinds{false, true}));
    EXPECT_TRUE(o.threaded);
    EXPECT_TRUE(o.events);
    EXPECT_EQ(o.criteria.location, "C:\\data;D:\\");

    EXPECT_TRUE(ParseCommandLine({"-h"}).options.help);
    EXPECT_TRUE(ParseCommandLine({"--version"}).options.version);
    // After "--" a leading dash is a folder name.
    EXPECT_EQ(ParseCommandLine({"--", "-odd"}).options.criteria.location, "-odd");
    // An empty value is a value: no attributes at all, an empty name.
    EXPECT_EQ(ParseCommandLine({"-a", ""}).options.criteria.attributes, TFileAttributes{});
    EXPECT_EQ(ParseCommandLine({"--name="}).options.criteria.filename, "");
    EXPECT_EQ(ParseCommandLine({}).options.format, cmd::OutputFormat::Paths);
    EXPECT_EQ(ParseCommandLine({"--format", "tsv"}).options.format, cmd::OutputFormat::Tsv);
    EXPECT_EQ(ParseCommandLine({"-f", "csv"}).options.format, cmd::OutputFormat::Csv);
    EXPECT_EQ(ParseCommandLine({"--format=paths"}).options.format, cmd::OutputFormat::Paths);
    EXPECT_EQ(ParseCommandLine({"-f", "jsonl"}).options.format, cmd::OutputFormat::Jsonl);
    EXPECT_EQ(ParseCommandLine({"--computers", "--format", "jsonl"}).options.format,
              cmd::OutputFormat::Jsonl);
    EXPECT_EQ(ParseCommandLine({"--computers", "-f", "tsv"}).error, "");
    // --context implies --lines; a search file may bring the text.
    const cmd::CmdOptions context = ParseCommandLine({"-c", "x", "--context=3"}).options;
    EXPECT_TRUE(context.lines);
    EXPECT_EQ(context.context, 3u);
    EXPECT_EQ(ParseCommandLine({"-c", "x", "--lines", "-f", "jsonl"}).error, "");
    EXPECT_EQ(ParseCommandLine({"--search", "a.ffsearch", "--lines"}).error, "");
    EXPECT_EQ(ParseCommandLine({"-c", "x", "--context", "1000"}).options.context, 1000u);
}

TEST(CmdOptions, RejectsBadCommandLines)
{
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},
        {"-q"},
        {"-nfoo"},
        {"--name"},
        {"-a", "ARX"},
        {"--size-min", "-5"},
        {"--size-max", "1k"},
        {"--size-min", "99999999999999999999"},
        {"--modified-after", "2024-13-01"},
        {"--threaded=yes"},
        {"--no-prefetch=1"},
        {"--scan-ahead=no"},
        {"--documents"},
        {"--documents", "off"},
        {"--archives=YES"},
        {"--archives", "1"},
        {"C:\\", "D:\\"},
        {"--created-before", "yesterday"},
        {"--domains", "pc"},
        {"--search"},
        {"--computers", "--search", "a.ffsearch"},
        {"--computers", "pc", "lab"},
        {"--computers=pc"},
        {"--format", "CSV"},
        {"--format", "json"},
        {"--format", "JSONL"},
        {"--computers", "--format", "csv"},
        {"--computers", "--format", "paths"},
        {"--format"},
        {"--events", "--format", "tsv"},
        {"--sweep", "127.0.0.0/24"},
        {"--computers", "--sweep", "10.0.0.0/16"},
        {"--computers", "--sweep", "127.0.0.1"},
        {"--computers", "--sweep"},
        {"--computers", "--timeout", "500"},
        {"--computers", "--sweep", "local", "--timeout", "2s"},
        {"--computers", "--sweep", "local", "--timeout", "60001"},
        {"--lines"},
        {"--context", "2"},
        {"-c", "x", "--context", "1001"},
        {"-c", "x", "--context", "-1"},
        {"-c", "x", "--context"},
        {"-c", "x", "--lines", "--events"},
        {"-c", "x", "--lines", "-f", "tsv"},
        {"-c", "x", "--context=1", "-f", "csv"},
        {"--computers", "--lines", "-c", "x"},
    };
    for (const auto& args : bad)
    {
        std::string joined;
        for (const auto& a : args)
            joined += a + " ";
        EXPECT_NE(ParseCommandLine(args).error, "") << joined;
    }
}

TEST(CmdOptions, ComputersTakeTheTextAsTheirPositionalArgument)
{
    cmd::ParseResult parsed = ParseCommandLine({"--domains", "--computers", "\\\\pc"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_TRUE(parsed.options.computers);
    EXPECT_TRUE(parsed.options.domains);
    EXPECT_EQ(parsed.options.criteria.location, "\\\\pc");
    parsed = ParseCommandLine({"--computers"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_FALSE(parsed.options.locationGiven);
    EXPECT_FALSE(parsed.options.domains);
}

TEST(CmdOptions, SweepRangesAreRepeatableAndLocalNamesTheAdaptersSubnets)
{
    cmd::ParseResult parsed = ParseCommandLine(
        {"--computers", "--sweep", "127.0.0.0/30", "--sweep=127.0.1.5-127.0.1.9", "--timeout", "250", "pc"});
    ASSERT_EQ(parsed.error, "");
    ASSERT_EQ(parsed.options.sweepRanges.size(), 2u);
    EXPECT_EQ(parsed.options.sweepRanges[0].first, 0x7F000001u);
    EXPECT_EQ(parsed.options.sweepRanges[1].last, 0x7F000109u);
    EXPECT_FALSE(parsed.options.sweepLocal);
    EXPECT_EQ(parsed.options.sweepTimeoutMs, 250u);
    EXPECT_EQ(parsed.options.criteria.location, "pc");

    parsed = ParseCommandLine({"--computers", "--sweep", "local"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_TRUE(parsed.options.sweepLocal);
    EXPECT_TRUE(parsed.options.sweepRanges.empty());
    EXPECT_EQ(parsed.options.sweepTimeoutMs, 2000u);
    EXPECT_TRUE(parsed.options.reverseDns);
    EXPECT_FALSE(ParseCommandLine({"--computers"}).options.sweepLocal);

    parsed = ParseCommandLine({"--computers", "--sweep", "local", "--no-dns"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_FALSE(parsed.options.reverseDns);
    EXPECT_EQ(ParseCommandLine({"--computers", "--no-dns"}).error, "option --no-dns needs --sweep");
}

TEST(CmdOptions, DatesBecomeDayNumbersTimesBecomeFractions)
{
    EXPECT_EQ(cmd::ParseDateBound("1899-12-31", false), 1.0);
    EXPECT_EQ(cmd::ParseDateBound("2024-02-29", false), Date(2024, 2, 29));
    EXPECT_DOUBLE_EQ(*cmd::ParseDateBound("12:00", false), 0.5);
    EXPECT_DOUBLE_EQ(*cmd::ParseDateBound("06:00:36", false), (6 * 3600 + 36) / 86400.0);
    EXPECT_DOUBLE_EQ(*cmd::ParseDateBound("2024-02-29T18:00", false), Date(2024, 2, 29) + 0.75);
    EXPECT_DOUBLE_EQ(*cmd::ParseDateBound("1899-12-31T06:00", true), 1.25);

    for (const char* bad : {"2023-02-29", "2024-04-31", "2024-1-01", "24:00", "12:60", "12:00:61", "12",
                            "12:00:", "2024-01-01 12:00", "2024-01-01T", "0000-01-01", ""})
        EXPECT_FALSE(cmd::ParseDateBound(bad, false)) << bad;
    // A bound names no date before 1899-12-31: that day's number would be 0 ("no bound") or its
    // times would read as times of day, and earlier days count their time of day backwards.
    for (const char* early : {"1899-12-30", "1899-12-30T12:00", "1899-12-30T00:00", "1899-12-29T06:00",
                              "1899-12-29", "1601-01-01", "0001-01-01T23:59"})
        for (bool upper : {false, true})
            EXPECT_FALSE(cmd::ParseDateBound(early, upper)) << early << " " << upper;
    const cmd::ParseResult refused = ParseCommandLine({"--modified-before", "1899-12-30"});
    EXPECT_NE(refused.error.find("1899-12-31"), std::string::npos) << refused.error;
}

TEST(CmdOptions, AnUpperBoundAtMidnightIsThatInstant)
{
    // Without care, T00:00 would read as the whole day and 00:00 as no bound at all.
    engine::TDateTime before = *cmd::ParseDateBound("2024-03-10T00:00", true);
    engine::TDateTime midnight = Date(2024, 3, 10);
    EXPECT_TRUE(engine::DateInRange(midnight, before, 0));
    EXPECT_FALSE(engine::DateInRange(midnight + 1.0 / 86400000, before, 0)); // one millisecond later
    EXPECT_FALSE(engine::DateInRange(Date(2024, 3, 10, 12), before, 0));

    engine::TDateTime timeOfDay = *cmd::ParseDateBound("00:00:00", true);
    EXPECT_NE(timeOfDay, 0);
    EXPECT_TRUE(engine::DateInRange(Date(2020, 1, 1), timeOfDay, 0));
    EXPECT_FALSE(engine::DateInRange(Date(2020, 1, 1, 0, 0, 1), timeOfDay, 0));

    // A lower bound at midnight already means "from that instant on", and a date alone a whole day.
    EXPECT_EQ(*cmd::ParseDateBound("2024-03-10T00:00", false), midnight);
    EXPECT_EQ(*cmd::ParseDateBound("2024-03-10", true), midnight);
    EXPECT_TRUE(
        engine::DateInRange(Date(2024, 3, 10, 23, 59, 59), *cmd::ParseDateBound("2024-03-10", true), 0));
}

TEST(CmdOptions, AttributeLettersAndSizes)
{
    EXPECT_EQ(cmd::ParseAttributes("ARHSD"), TFileAttributes::FromBits(0x1F));
    EXPECT_EQ(cmd::ParseAttributes("d"), TFileAttributes{engine::ffDirectory});
    EXPECT_EQ(cmd::ParseAttributes("SA"), (TFileAttributes{engine::ffSystem, engine::ffArchive}));
    EXPECT_EQ(cmd::ParseAttributes(""), TFileAttributes{});
    EXPECT_FALSE(cmd::ParseAttributes("N"));
    EXPECT_FALSE(cmd::ParseAttributes("A R"));

    EXPECT_EQ(cmd::ParseSize("0"), 0);
    EXPECT_EQ(cmd::ParseSize("5368709120"), 5368709120LL); // sizes beyond 32 bits
    EXPECT_EQ(cmd::ParseSize("9223372036854775807"), INT64_MAX);
    EXPECT_FALSE(cmd::ParseSize("9223372036854775808"));
    EXPECT_FALSE(cmd::ParseSize("+1"));
    EXPECT_FALSE(cmd::ParseSize(""));
}

TEST(CmdOptions, ApplyOptionsWritesTheCriteriaIntoTheFinder)
{
    testing_support::FakeFileSystem fs;
    testing_support::FakeLocalTime time;
    testing_support::QueueSyncCall sync;
    testing_support::FakeThreadControl threads;
    engine::TFindFile finder({fs, time, sync, threads});

    cmd::ParseResult result =
        ParseCommandLine({"-n", "*.log", "-x", "*old*", "--no-subfolders", "-a", "D", "--exact-attributes",
                          "--modified-after", "2020-01-01", "--accessed-before", "10:30", "--size-max",
                          "5000000000", "-c", "abc", "--case-sensitive", "--threaded", "C:\\logs"});
    ASSERT_EQ(result.error, "");
    cmd::ApplyOptions(result.options, finder);
    EXPECT_EQ(finder.Filename(), "*.log");
    EXPECT_EQ(finder.Location(), "C:\\logs");
    EXPECT_EQ(finder.ExcludeFiles(), std::vector<std::string>{"*old*"});
    EXPECT_FALSE(finder.Subfolders());
    EXPECT_EQ(finder.Attributes(), TFileAttributes{engine::ffDirectory});
    EXPECT_TRUE(finder.ExactAttribute());
    EXPECT_EQ(finder.ModifiedAfter(), Date(2020, 1, 1));
    EXPECT_DOUBLE_EQ(finder.AccessedBefore(), 10.5 / 24);
    EXPECT_EQ(finder.SizeMax(), 5000000000LL);
    EXPECT_EQ(finder.Containing(), "abc");
    EXPECT_FALSE(finder.IgnoreCase());
    EXPECT_TRUE(finder.Threaded());
    // Threaded or not, the finder opens folders ahead wherever a second processor can do it.
    EXPECT_EQ(finder.Prefetch(), platform::SeveralProcessors());

    // Each case applied in turn to the same finder, and the helper switch read back.
    using HelperCases = std::vector<std::pair<std::vector<std::string>, bool>>;
    auto expectEach = [&finder](const HelperCases& cases, bool (engine::TFindFile::*read)() const) {
        for (const auto& [args, expected] : cases)
        {
            cmd::ParseResult parsed = ParseCommandLine(args);
            ASSERT_EQ(parsed.error, "") << args.front();
            cmd::ApplyOptions(parsed.options, finder);
            EXPECT_EQ((finder.*read)(), expected) << args.size() << " options from " << args.front();
        }
    };
    // The last of --prefetch and --no-prefetch holds, threaded or not.
    expectEach(
        {
            {{"--threaded", "--prefetch"}, true},
            {{"--no-prefetch"}, false},
            {{"--threaded"}, false}, // left as the case before set it
            {{"--prefetch", "--no-prefetch"}, false},
            {{"--no-prefetch", "--threaded", "--prefetch"}, true},
        },
        &engine::TFindFile::Prefetch);
    // The same for --scan-ahead and --no-scan-ahead; neither leaves the finder's own choice.
    expectEach(
        {
            {{"--scan-ahead", "--no-scan-ahead"}, false},
            {{"--threaded"}, false}, // left as the case before set it
            {{"--no-scan-ahead", "--threaded", "--scan-ahead"}, true},
        },
        &engine::TFindFile::ScanAhead);

    // A location with a wildcard is the finder's to refuse.
    cmd::ParseResult wild = ParseCommandLine({"C:\\*"});
    ASSERT_EQ(wild.error, "");
    EXPECT_THROW(cmd::ApplyOptions(wild.options, finder), engine::EFindFileError);
}

} // namespace

// A search file's criteria as the console's: the window's name mask, its place unless the command
// line names one, the date and size choices counted as the window counts them.
TEST(CmdOptions, ASearchFileGivesItsCriteriaAndRefusesABadOne)
{
    const engine::TDateTime today = 46000;
    const std::string file = "[Search]\nName=report\nText=needle\nLookIn=C:\\Data\nSubfolders=0\n"
                             "Date=range\nDateKind=created\nDateFrom=2026-01-01\nDateTo=2026-01-31\n"
                             "Size=custom\nSizeKind=atmost\nSizeKB=100\nDocuments=0\nArchives=1\n";
    cmd::CmdOptions options = cmd::ParseCommandLine({"--search", "x.ffsearch"}).options;
    EXPECT_EQ(options.searchFile, "x.ffsearch");
    ASSERT_EQ(cmd::ApplySearchFileText(file, today, options), "");
    const engine::FindCriteria& c = options.criteria;
    EXPECT_EQ(c.filename, "*report*.*");
    EXPECT_EQ(c.containing, "needle");
    EXPECT_EQ(c.location, "C:\\Data");
    EXPECT_FALSE(c.subfolders);
    EXPECT_EQ(c.createdAfter, ui::DateToDays(2026, 1, 1));
    EXPECT_EQ(c.createdBefore, ui::DateToDays(2026, 1, 31));
    EXPECT_EQ(c.modifiedAfter, 0);
    EXPECT_EQ(c.sizeMax, 100 * 1024);
    EXPECT_EQ(c.sizeMin, 0);
    EXPECT_EQ(c.containerKinds, (engine::ContainerKinds{false, true}));

    cmd::CmdOptions elsewhere = cmd::ParseCommandLine({"--search", "x.ffsearch", "D:\\"}).options;
    ASSERT_EQ(cmd::ApplySearchFileText("[Search]\nDate=last30days\nLookIn=C:\\Data\n", today, elsewhere), "");
    EXPECT_EQ(elsewhere.criteria.location, "D:\\");
    EXPECT_EQ(elsewhere.criteria.modifiedAfter, today - 30);
    EXPECT_EQ(elsewhere.criteria.filename, "*.*");

    cmd::CmdOptions given = cmd::ParseCommandLine({"--search", "x.ffsearch", "--archives", "no"}).options;
    ASSERT_EQ(cmd::ApplySearchFileText("[Search]\nDocuments=0\nArchives=1\n", today, given), "");
    EXPECT_EQ(given.criteria.containerKinds, (engine::ContainerKinds{false, false}));

    cmd::CmdOptions refused;
    EXPECT_EQ(cmd::ApplySearchFileText("[Search]\nSize=huge\n", today, refused),
              "the search file holds a wrong value for the key Size");
}
