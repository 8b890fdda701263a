#include "ui/results/PreviewText.h"

#include <gtest/gtest.h>

namespace
{

using engine::HitLine;

TEST(PreviewText, TextIsEscapedAndEveryCharacterBeyondAsciiIsAUnicodeEscape)
{
    const struct
    {
        const char* utf8;
        const char* rtf;
    } cases[] = {
        {"plain text", "plain text"},
        {"a\\b{c}", "a\\\\b\\{c\\}"},
        {"caf\xC3\xA9", "caf\\u233?"},               // é
        {"\xD0\x96", "\\u1046?"},                    // Ж
        {"\xE2\x82\xAC", "\\u8364?"},                // €: above 32767, still positive here
        {"\xEF\xBF\xBD", "\\u-3?"},                  // U+FFFD: a negative 16-bit number
        {"\xF0\x9F\x98\x80", "\\u-10179?\\u-8704?"}, // beyond the BMP: two surrogates
        {"a\tb", "a\\tab b"},                        // tabs stay tabs
        {"a\x01z\x7F", "a\\u-3?z\\u-3?"},            // control characters
        {"\xC3", "\\u-3?"},                          // a sequence cut short
        {"\xC3(", "\\u-3?("},                        // a lead byte without its follower
    };
    for (const auto& c : cases)
        EXPECT_EQ(ui::RtfText(c.utf8), c.rtf) << c.utf8;
}

HitLine Line(uint64_t number, std::string text, std::vector<std::pair<size_t, size_t>> hits = {},
             std::string member = {})
{
    HitLine line;
    line.number = number;
    line.text = std::move(text);
    line.context = hits.empty();
    line.hits = std::move(hits);
    line.member = std::move(member);
    return line;
}

// Each part must appear, in this order.
void ExpectInOrder(const std::string& rtf, const std::vector<std::string>& parts)
{
    size_t at = 0;
    for (const std::string& part : parts)
    {
        const size_t found = rtf.find(part, at);
        ASSERT_NE(found, std::string::npos) << "missing after " << at << ": " << part << "\nin " << rtf;
        at = found + part.size();
    }
}

TEST(PreviewText, LinesShowTheirNumberTheirHitsAndTheGapsBetweenThem)
{
    const std::string rtf = ui::PreviewRtf("report.txt", {"The file has changed."},
                                           {Line(3, "before"), Line(4, "find me and me", {{5, 2}, {12, 2}}),
                                            Line(9, "{me}", {{1, 2}}), Line(10, "after")});
    ExpectInOrder(rtf,
                  {"{\\rtf1", "{\\b report.txt}\\par", "The file has changed.\\par",
                   "{\\cf1 3-}\\tab {\\cf1 before}\\par",
                   "{\\cf1 4:}\\tab find {\\highlight2\\b me} and {\\highlight2\\b me}\\par",
                   "{\\cf1 ...}\\par", // 5 to 8 are not shown
                   "{\\cf1 9:}\\tab \\{{\\highlight2\\b me}\\}\\par", "{\\cf1 10-}\\tab {\\cf1 after}\\par"});
    EXPECT_EQ(rtf.back(), '}');
    EXPECT_EQ(rtf.find("...", rtf.find("9:")), std::string::npos) << "10 follows 9";
}

TEST(PreviewText, EachMemberIsNamedBeforeItsLinesAndHitsBeyondTheTextAreCut)
{
    const std::string rtf =
        ui::PreviewRtf("letters.zip", {},
                       {Line(1, "to anna", {{3, 4}}, "a.txt"), Line(7, "anna", {{0, 4}}, "b.txt"),
                        Line(8, "ann", {{0, 9}}, "b.txt"), Line(9, "x", {{5, 2}}, "b.txt")});
    ExpectInOrder(rtf, {"{\\f1\\b a.txt}\\par", "1:}\\tab to {\\highlight2\\b anna}", "{\\f1\\b b.txt}\\par",
                        "7:}\\tab {\\highlight2\\b anna}", "8:}\\tab {\\highlight2\\b ann}\\par",
                        "9:}\\tab x\\par"});
    EXPECT_EQ(rtf.find("..."), std::string::npos) << "a new member is no gap";
}

} // namespace
