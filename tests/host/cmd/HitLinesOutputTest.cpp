#include "cmd/HitLinesOutput.h"

#include "cmd/JsonLines.h"

#include <gtest/gtest.h>

namespace
{

engine::HitLine Line(uint64_t number, const std::string& text, bool context = false,
                     const std::string& member = {})
{
    engine::HitLine line;
    line.number = number;
    line.text = text;
    line.context = context;
    line.member = member;
    if (!context)
        line.hits = {{0, 1}};
    return line;
}

engine::HitLinesResult Result(std::vector<engine::HitLine> lines)
{
    engine::HitLinesResult result;
    result.lines = std::move(lines);
    result.encoding = "UTF-16 LE";
    return result;
}

TEST(HitLinesOutput, PrintsGrepsShapeWithGroupsApart)
{
    cmd::HitLinesPrinter plain(0);
    EXPECT_EQ(plain.Lines("C:\\a.txt", Result({Line(2, "x one"), Line(9, "x two")})),
              "C:\\a.txt:2:x one\nC:\\a.txt:9:x two\n");
    EXPECT_EQ(plain.Lines("C:\\b.txt", Result({Line(1, "x")})), "C:\\b.txt:1:x\n");
    EXPECT_EQ(plain.Lines("C:\\folder", Result({})), "C:\\folder\n");

    cmd::HitLinesPrinter context(1);
    EXPECT_EQ(
        context.Lines("C:\\a.txt", Result({Line(1, "before", true), Line(2, "x"), Line(3, "after", true),
                                           Line(7, "before", true), Line(8, "x")})),
        "C:\\a.txt-1-before\nC:\\a.txt:2:x\nC:\\a.txt-3-after\n--\nC:\\a.txt-7-before\nC:\\a.txt:8:x\n");
    // The next file's lines are a group of their own; a member's lines another.
    EXPECT_EQ(context.Lines("C:\\b.doc", Result({Line(1, "x"), Line(2, "x", false, "word/document.xml")})),
              "--\nC:\\b.doc:1:x\n--\nC:\\b.doc|word/document.xml:2:x\n");
}

TEST(HitLinesOutput, JsonCarriesLinesHitsAndTheCut)
{
    engine::HitLinesResult result =
        Result({Line(3, "a \"q\"", true), Line(4, "x\xC3\xA9"), Line(5, "x", false, "m.xml")});
    result.lines[1].hits = {{0, 1}, {1, 2}};
    EXPECT_EQ(cmd::HitLinesJson(result),
              "[{\"line\":3,\"text\":\"a \\\"q\\\"\",\"hits\":[],\"context\":true},"
              "{\"line\":4,\"text\":\"x\xC3\xA9\",\"hits\":[[0,1],[1,2]],\"context\":false},"
              "{\"member\":\"m.xml\",\"line\":5,\"text\":\"x\",\"hits\":[[0,1]],\"context\":false}]");

    engine::TSearchRec record;
    record.Name = "a.txt";
    result.cutOff = true;
    const std::string line = cmd::FileJsonLine("C:\\d", record, std::nullopt, &result);
    EXPECT_NE(line.find(",\"lines\":[{\"line\":3,"), std::string::npos) << line;
    EXPECT_NE(line.find(",\"encoding\":\"UTF-16 LE\",\"linesCutOff\":true}\n"), std::string::npos) << line;
    result.cutOff = false;
    EXPECT_EQ(cmd::FileJsonLine("C:\\d", record, std::nullopt, &result).find("linesCutOff"),
              std::string::npos);
    EXPECT_EQ(cmd::FileJsonLine("C:\\d", record, std::nullopt).find("\"lines\""), std::string::npos);
}

} // namespace
