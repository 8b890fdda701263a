// The hit lines of a file: line breaks, context, cuts, encodings, and how a read ends.
#include "engine/HitLines.h"

#include "tests/support/FakeFileSystem.h"
#include "tests/support/Utf16Bytes.h"
#include "tests/support/ZipBuilder.h"

#include <gtest/gtest.h>

namespace
{

using engine::HitLinesQuery;
using engine::HitLinesResult;
using fake::Utf16;
using testing_support::FakeEntry;

// One line a row: number, ':' for a hit line or '-' for context, the text with each hit in [].
std::string Render(const HitLinesResult& result)
{
    std::string out;
    for (const engine::HitLine& line : result.lines)
    {
        out += std::to_string(line.number) + (line.context ? "-" : ":");
        size_t at = 0;
        for (const auto& [offset, length] : line.hits)
        {
            out += line.text.substr(at, offset - at) + "[" + line.text.substr(offset, length) + "]";
            at = offset + length;
        }
        out += line.text.substr(at) + "\n";
    }
    return out;
}

class HitLinesTest : public ::testing::Test
{
protected:
    HitLinesResult Find(const std::string& content, const std::string& text, unsigned context = 0,
                        bool ignoreCase = true, size_t maxHits = 1000)
    {
        FakeEntry file;
        file.content = content;
        file.shortReads = shortReads;
        fs.AddFile("C:\\f.txt", file);
        HitLinesQuery query;
        query.text = text;
        query.context = context;
        query.ignoreCase = ignoreCase;
        query.maxHits = maxHits;
        query.codePage = &latin1;
        return engine::FindHitLines(fs, "C:\\f.txt", query);
    }
    std::string Lines(const std::string& content, const std::string& text, unsigned context = 0)
    {
        return Render(Find(content, text, context));
    }
    // Lines "1" to "count", "n needle" on each of hits.
    static std::string Numbered(int count, const std::vector<int>& hits)
    {
        std::string content;
        for (int i = 1; i <= count; ++i)
        {
            content += std::to_string(i);
            for (int hit : hits)
                content += hit == i ? " needle" : "";
            content += "\n";
        }
        return content;
    }

    testing_support::FakeFileSystem fs;
    platform::Latin1CodePage latin1;
    std::vector<size_t> shortReads;
};

TEST_F(HitLinesTest, LinesEndAtCrLfCrOrLf)
{
    struct Row
    {
        std::string content;
        std::string expected;
    };
    const std::vector<Row> rows = {
        {"", ""},
        {"needle", "1:[needle]\n"},
        {"one\r\ntwo needle\rthree\nNEEDLE four\n", "2:two [needle]\n4:[NEEDLE] four\n"},
        {"a\r\rneedle", "3:[needle]\n"},
        {"a\n\r\nneedle\r\n", "3:[needle]\n"},
        {"a\rb\nneedle", "3:[needle]\n"},
        {"needle\r", "1:[needle]\n"},
        {"\n\n\nneedle needle", "4:[needle] [needle]\n"},
        {"needleneedle", "1:[needle][needle]\n"},
        {"nee\ndle", ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Lines(row.content, "needle"), row.expected) << row.content;
}

TEST_F(HitLinesTest, ContextLinesAppearOnceAroundTheirHits)
{
    struct Row
    {
        std::vector<int> hits;
        unsigned context;
        std::string expected;
    };
    const std::vector<Row> rows = {
        {{3, 6}, 2, "1-1\n2-2\n3:3 [needle]\n4-4\n5-5\n6:6 [needle]\n7-7\n8-8\n"},
        {{1, 10}, 2, "1:1 [needle]\n2-2\n3-3\n8-8\n9-9\n10:10 [needle]\n"},
        {{3, 4}, 1, "2-2\n3:3 [needle]\n4:4 [needle]\n5-5\n"},
        {{2, 9}, 3, "1-1\n2:2 [needle]\n3-3\n4-4\n5-5\n6-6\n7-7\n8-8\n9:9 [needle]\n10-10\n"},
        {{5}, 0, "5:5 [needle]\n"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Lines(Numbered(10, row.hits), "needle", row.context), row.expected) << row.context;
}

TEST_F(HitLinesTest, StopsCollectingPastMaxHits)
{
    const std::string content = Numbered(10, {1, 3, 5, 7, 9});
    HitLinesResult result = Find(content, "needle", 1, true, 3);
    EXPECT_EQ(Render(result), "1:1 [needle]\n2-2\n3:3 [needle]\n4-4\n5:5 [needle]\n6-6\n");
    EXPECT_TRUE(result.cutOff);
    result = Find(content, "needle", 0, true, 5);
    EXPECT_EQ(result.lines.size(), 5u);
    EXPECT_FALSE(result.cutOff);
    result = Find(Numbered(10, {1, 10}), "needle", 0, true, 1);
    EXPECT_TRUE(result.cutOff); // a further hit far after the last one kept
}

TEST_F(HitLinesTest, LongLinesAreCutButCountedAndSearched)
{
    // A hit past the shown cut still makes a hit line, unmarked.
    std::string line(10000, 'x');
    line.replace(100, 6, "needle");
    line.replace(5000, 6, "needle");
    HitLinesResult result = Find(line + "\nneedle", "needle");
    ASSERT_EQ(result.lines.size(), 2u);
    EXPECT_EQ(result.lines[0].text.size(), engine::kHitLineTextLimit);
    EXPECT_EQ(result.lines[0].hits, (std::vector<std::pair<size_t, size_t>>{{100, 6}}));
    EXPECT_EQ(result.lines[1].number, 2u);

    result = Find(std::string(5000, 'x') + "needle", "needle");
    ASSERT_EQ(result.lines.size(), 1u);
    EXPECT_TRUE(result.lines[0].hits.empty());

    // Cut on a character boundary: after "a", every "é" starts at an odd offset.
    std::string accents = "a";
    for (int i = 0; i < 3000; ++i)
        accents += "\xC3\xA9";
    result = Find(accents + " needle", "needle");
    ASSERT_EQ(result.lines.size(), 1u);
    EXPECT_EQ(result.lines[0].text.size(), engine::kHitLineTextLimit - 1);

    // Past the searched length a hit is not looked for; the lines after still count.
    const std::string huge = std::string(engine::kHitLineSearchLimit, 'x') + "needle";
    EXPECT_EQ(Lines(huge + "\nB\nneedle", "needle", 1), "2-B\n3:[needle]\n");
}

TEST_F(HitLinesTest, FindsHitsAcrossReadBlocks)
{
    std::string content;
    while (content.size() < 65536 - 3)
        content += "line\n";
    content.resize(65536 - 3);
    content += "needle\r\nafter";
    const HitLinesResult result = Find(content, "needle", 1);
    ASSERT_EQ(result.lines.size(), 3u);
    EXPECT_EQ(result.lines[0].text, "line");
    EXPECT_EQ(result.lines[1].text, "linneedle");
    EXPECT_EQ(result.lines[1].hits, (std::vector<std::pair<size_t, size_t>>{{3, 6}}));
    EXPECT_EQ(result.lines[1].number, 65533u / 5 + 1);
    EXPECT_EQ(result.lines[2].text, "after");
    EXPECT_TRUE(result.lines[2].context);
}

TEST_F(HitLinesTest, ReadsEachEncodingAsUtf8)
{
    const std::u16string text = u"Gr\u00fc\u00dfe\r\nzweite NEEDLE \u00fc\r\nthird";
    const std::string utf8 = "Gr\xC3\xBC\xC3\x9F"
                             "e\r\nzweite NEEDLE \xC3\xBC\r\nthird";
    const std::string latin1Bytes = "Gr\xFC\xDF"
                                    "e\r\nzweite NEEDLE \xFC\r\nthird";
    struct Row
    {
        std::string content;
        const char* encoding;
    };
    const std::vector<Row> rows = {
        {utf8, "UTF-8"},
        {"\xEF\xBB\xBF" + utf8, "UTF-8 BOM"},
        {Utf16(text, false), "UTF-16 LE BOM"},
        {Utf16(text, true), "UTF-16 BE BOM"},
        {Utf16(text, false, false), "UTF-16 LE"},
        {Utf16(text, true, false), "UTF-16 BE"},
        {latin1Bytes, "ANSI"},
    };
    for (const Row& row : rows)
    {
        HitLinesResult result = Find(row.content, "needle", 1);
        EXPECT_EQ(result.encoding, row.encoding);
        EXPECT_EQ(Render(result), "1-Gr\xC3\xBC\xC3\x9F"
                                  "e\n2:zweite [NEEDLE] \xC3\xBC\n3-third\n")
            << row.encoding;
        // Non-ASCII text is found in every encoding; only its ASCII letters fold.
        EXPECT_EQ(Render(Find(row.content, "GR\xC3\xBC\xC3\x9F"
                                           "E")),
                  "1:[Gr\xC3\xBC\xC3\x9F"
                  "e]\n")
            << row.encoding;
        EXPECT_EQ(Render(Find(row.content, "GR\xC3\x9C")), "") << row.encoding;
        EXPECT_EQ(Render(Find(row.content, "Needle", 0, false)), "") << row.encoding;
    }
}

TEST_F(HitLinesTest, AnAnsiFileStartingInAsciiMayHoldUtf8Lines)
{
    const std::string content = std::string(5000, 'x') + "\ncaf\xC3\xA9 one\ncaf\xE9 two\n";
    EXPECT_EQ(Lines(content, "caf\xC3\xA9"), "2:[caf\xC3\xA9] one\n3:[caf\xC3\xA9] two\n");
}

TEST_F(HitLinesTest, Utf16UnitsSplitAtOddOffsetsBetweenReads)
{
    const std::u16string text =
        std::u16string(40000, u'-') + u"\nx\U0001F600 needle\n" + std::u16string(40000, u'-');
    for (bool big : {false, true})
        for (bool mark : {false, true})
        {
            shortReads = {4097, 7, 65535};
            EXPECT_EQ(Lines(Utf16(text, big, mark), "needle"), "2:x\xF0\x9F\x98\x80 [needle]\n")
                << big << mark;
        }
}

TEST_F(HitLinesTest, ReportsHowTheReadEnded)
{
    HitLinesQuery query;
    query.text = "needle";
    EXPECT_EQ(engine::FindHitLines(fs, "C:\\absent.txt", query).outcome, HitLinesResult::Outcome::Vanished);
    FakeEntry locked;
    locked.openFails = true;
    fs.AddFile("C:\\locked.txt", locked);
    EXPECT_EQ(engine::FindHitLines(fs, "C:\\locked.txt", query).outcome, HitLinesResult::Outcome::Unreadable);

    FakeEntry broken;
    broken.content = "needle\n" + std::string(200000, 'x');
    broken.readFailsFrom = 100000;
    fs.AddFile("C:\\broken.txt", broken);
    HitLinesResult result = engine::FindHitLines(fs, "C:\\broken.txt", query);
    EXPECT_EQ(result.outcome, HitLinesResult::Outcome::Unreadable);
    EXPECT_EQ(result.lines.size(), 1u);

    fs.AddFile("C:\\long.txt").content = std::string(300000, 'x') + "\nneedle";
    int polls = 0;
    result = engine::FindHitLines(fs, "C:\\long.txt", query, [&polls] { return ++polls == 2; });
    EXPECT_EQ(result.outcome, HitLinesResult::Outcome::Stopped);
    EXPECT_TRUE(result.lines.empty());
    EXPECT_EQ(fs.OpenFiles(), 0);

    query.text.clear();
    result = engine::FindHitLines(fs, "C:\\long.txt", query);
    EXPECT_EQ(result.outcome, HitLinesResult::Outcome::Read);
    EXPECT_TRUE(result.lines.empty());
}

// A container's lines are those of each text part, named by it, numbered within it; maxHits counts
// over all parts, and a kind not opened reads as the file's own bytes.
TEST_F(HitLinesTest, DocumentsAndArchivesGiveTheLinesOfEachPartNamedByIt)
{
    FakeEntry docx;
    docx.content = testing_support::OfficeFile(
        {{"word/document.xml", "<w:document><w:body><w:p><w:r><w:t>intro</w:t></w:r></w:p>"
                               "<w:p><w:r><w:t>a nee</w:t></w:r><w:r><w:t>dle &amp; more</w:t></w:r></w:p>"
                               "</w:body></w:document>"}});
    fs.AddFile("C:\\letter.docx", docx);
    FakeEntry zip;
    zip.content = testing_support::ZipBuilder()
                      .Add("one.txt", "needle first\nplain\n")
                      .Add("pic.bin", std::string("needle\0\1\2", 9))
                      .Add("dir/two.txt", "x\nthe needle again\n")
                      .Build();
    fs.AddFile("C:\\box.zip", zip);

    HitLinesQuery query;
    query.text = "needle";
    query.context = 0;
    query.codePage = &latin1;
    query.containers = {true, true};
    const HitLinesResult document = engine::FindHitLines(fs, "C:\\letter.docx", query);
    ASSERT_EQ(document.lines.size(), 1u);
    EXPECT_EQ(document.lines[0].member, "word/document.xml");
    EXPECT_EQ(Render(document), "2:a [needle] & more\n");

    HitLinesResult archive = engine::FindHitLines(fs, "C:\\box.zip", query);
    std::vector<std::string> members;
    for (const engine::HitLine& line : archive.lines)
        members.push_back(line.member);
    EXPECT_EQ(members, (std::vector<std::string>{"one.txt", "dir/two.txt"}))
        << "the binary member is no text";
    EXPECT_EQ(Render(archive), "1:[needle] first\n2:the [needle] again\n");

    query.maxHits = 1;
    archive = engine::FindHitLines(fs, "C:\\box.zip", query);
    EXPECT_EQ(archive.lines.size(), 1u);
    EXPECT_TRUE(archive.cutOff);

    query.containers = {true, false};
    archive = engine::FindHitLines(fs, "C:\\box.zip", query);
    for (const engine::HitLine& line : archive.lines)
        EXPECT_TRUE(line.member.empty()) << "an archive not opened is read as bytes";
    EXPECT_EQ(engine::FindHitLines(fs, "C:\\gone.docx", query).outcome, HitLinesResult::Outcome::Vanished);
}

} // namespace
