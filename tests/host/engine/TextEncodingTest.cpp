// Telling a file's encoding from its first bytes, and the UTF-8 helpers the hit lines use.
#include "engine/TextEncoding.h"

#include "tests/support/Utf16Bytes.h"

#include <gtest/gtest.h>

namespace
{

using engine::RecognisedEncoding;
using engine::TextEncoding;
using fake::Utf16;

// units code units: the first zeroOdd have a zero odd byte, the first zeroEven a zero even byte
// (a unit among both is all zero); the others have two letters.
std::string Units(size_t units, size_t zeroOdd, size_t zeroEven)
{
    std::string bytes;
    for (size_t i = 0; i < units; ++i)
    {
        bytes += i < zeroEven ? '\0' : 'a';
        bytes += i < zeroOdd ? '\0' : 'b';
    }
    return bytes;
}

std::string Swapped(std::string bytes)
{
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        std::swap(bytes[i], bytes[i + 1]);
    return bytes;
}

struct Row
{
    std::string bytes;
    bool wholeFile;
    RecognisedEncoding expected;
    const char* why;
};

TEST(TextEncoding, TellsEachEncodingFromTheFirstBytes)
{
    const RecognisedEncoding ansi{TextEncoding::Ansi, 0};
    const RecognisedEncoding utf8{TextEncoding::Utf8, 0};
    const RecognisedEncoding le{TextEncoding::Utf16Le, 0};
    const RecognisedEncoding be{TextEncoding::Utf16Be, 0};
    const std::string ascii4k(4094, 'x');
    const std::vector<Row> rows = {
        {"", true, ansi, "an empty file"},
        {"a", true, ansi, "one byte"},
        {"\xC3", true, ansi, "one byte that starts a sequence the file cuts"},
        {"\xC3", false, utf8, "a sequence cut by the look, not the file"},
        {"\xEF\xBB\xBF", true, {TextEncoding::Utf8, 3}, "a UTF-8 mark alone"},
        {"\xEF\xBB\xBFplain", true, {TextEncoding::Utf8, 3}, "a UTF-8 mark before ASCII"},
        {"\xEF\xBB", true, ansi, "a cut UTF-8 mark"},
        {"\xFF\xFE", true, {TextEncoding::Utf16Le, 2}, "a UTF-16 LE mark alone"},
        {Utf16(u"text", false), true, {TextEncoding::Utf16Le, 2}, "UTF-16 LE with a mark"},
        {Utf16(u"text", true), true, {TextEncoding::Utf16Be, 2}, "UTF-16 BE with a mark"},
        {Utf16(u"\u0420\u0443\u0441", false), true, {TextEncoding::Utf16Le, 2}, "a mark needs no zero byte"},
        {Utf16(u"text", false, false), true, le, "UTF-16 LE told by its zero bytes"},
        {Utf16(u"text", true, false), true, be, "UTF-16 BE told by its zero bytes"},
        {std::string("a\0", 2), true, le, "one unit"},
        {std::string("a\0b", 3), true, le, "an odd last byte"},
        {Units(4, 2, 0), true, ansi, "half of the units is not more than half"},
        {Units(4, 3, 0), true, le, "more than half"},
        {Swapped(Units(4, 2, 0)), true, ansi, "half, big-endian"},
        {Swapped(Units(4, 3, 0)), true, be, "more than half, big-endian"},
        {Units(10, 8, 1), true, le, "even zero bytes an eighth of the odd ones"},
        {Units(10, 8, 2), true, ansi, "even zero bytes more than an eighth of the odd ones"},
        {Swapped(Units(10, 8, 1)), true, be, "odd zero bytes an eighth of the even ones"},
        {Swapped(Units(10, 8, 2)), true, ansi, "odd zero bytes more than an eighth of the even ones"},
        {std::string("\0\0\0\0", 4), true, ansi, "zero bytes on both sides"},
        {std::string("a\0\0\0b\0\0\0", 8), true, ansi, "UTF-32"},
        {std::string(4096, 'x') + Utf16(u"late", false, false), false, ansi, "zero bytes past the look"},
        {"caf\xC3\xA9", true, utf8, "a two-byte sequence"},
        {"\xF0\x9F\x98\x80", true, utf8, "a four-byte sequence"},
        {"plain ASCII", true, ansi, "no multi-byte sequence"},
        {"caf\xE9", true, ansi, "a code-page letter"},
        {"\xC3\xA9\xE9", true, ansi, "valid, then not"},
        {"\xC0\xAF", true, ansi, "an overlong form"},
        {"\xED\xA0\x80", true, ansi, "an encoded surrogate"},
        {"\xF4\x90\x80\x80", true, ansi, "past U+10FFFF"},
        {"\x80", true, ansi, "a lone continuation byte"},
        {ascii4k + "\xC3\xA9", false, utf8, "a sequence that ends the look"},
        {ascii4k + "x\xC3\xA9", false, utf8, "a sequence the look cuts"},
        {ascii4k + "xy\xC3\xA9", false, ansi, "a sequence past the look"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(engine::RecogniseEncoding(row.bytes.data(), row.bytes.size(), row.wholeFile), row.expected)
            << row.why;
}

TEST(TextEncoding, NamesForCaptions)
{
    EXPECT_EQ(engine::EncodingName({TextEncoding::Ansi, 0}), "ANSI");
    EXPECT_EQ(engine::EncodingName({TextEncoding::Utf8, 3}), "UTF-8 BOM");
    EXPECT_EQ(engine::EncodingName({TextEncoding::Utf16Le, 0}), "UTF-16 LE");
    EXPECT_EQ(engine::EncodingName({TextEncoding::Utf16Be, 2}), "UTF-16 BE BOM");
}

TEST(TextEncoding, RepairsAndCutsUtf8)
{
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(engine::RepairUtf8("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(engine::RepairUtf8("caf\xE9!"), "caf" + replacement + "!");
    EXPECT_EQ(engine::RepairUtf8("\xE2\x82"), replacement + replacement);
    EXPECT_EQ(engine::RepairUtf8("\xC0\xAF"), replacement + replacement);
    EXPECT_TRUE(engine::IsValidUtf8("\xE2\x82", true));
    EXPECT_FALSE(engine::IsValidUtf8("\xE2\x82"));
    EXPECT_EQ(engine::Utf8CutLength("abc", 3), 3u);
    EXPECT_EQ(engine::Utf8CutLength("ab\xC3\xA9", 3), 2u);
    EXPECT_EQ(engine::Utf8CutLength("ab\xC3\xA9", 4), 4u);
    EXPECT_EQ(engine::Utf8CutLength("\xF0\x9F\x98\x80z", 3), 0u);
    EXPECT_EQ(engine::Utf8CutLength("\xF0\x9F\x98\x80z", 4), 4u);
}

TEST(TextEncoding, AnsiFormOnlyWhereItDiffers)
{
    const platform::Latin1CodePage latin1;
    EXPECT_EQ(engine::AnsiForm("caf\xC3\xA9", &latin1), "caf\xE9");
    EXPECT_EQ(engine::AnsiForm("plain", &latin1), "");
    EXPECT_EQ(engine::AnsiForm("\xE2\x82\xAC", &latin1), ""); // the euro sign is not in Latin-1
    EXPECT_EQ(engine::AnsiForm("caf\xC3\xA9", nullptr), "");
    EXPECT_EQ(latin1.ToUtf8("caf\xE9"), "caf\xC3\xA9");
}

} // namespace
