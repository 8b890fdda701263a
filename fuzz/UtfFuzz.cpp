// The UTF-16 decoders (the text reader's block-wise one and the version block's) against the
// definition and each other, and the UTF-8 stepping of the mask matchers. Input: a byte choosing
// the byte order and the block size, then the bytes.
#include "about/VersionBlock.h"
#include "engine/TextReader.h"
#include "engine/Utf8Char.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/Utf16Reference.h"

#include <algorithm>

namespace
{

// Well-formed UTF-8 back to UTF-16 code units.
std::u16string ToUtf16(const std::string& text)
{
    std::u16string units;
    for (size_t at = 0; at < text.size();)
    {
        const auto lead = static_cast<unsigned char>(text[at]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        uint32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length; ++k)
            c = c << 6 | (static_cast<unsigned char>(text[at + k]) & 0x3F);
        if (c >= 0x10000)
        {
            units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
        else
        {
            units += static_cast<char16_t>(c);
        }
        at += length;
    }
    return units;
}

std::u16string Units(const std::string& bytes, bool bigEndian)
{
    std::u16string units;
    for (size_t at = 0; at + 1 < bytes.size(); at += 2)
        units += static_cast<char16_t>(fuzz::Utf16Unit(bytes, at, bigEndian));
    return units;
}

bool Paired(const std::u16string& units)
{
    for (size_t i = 0; i < units.size(); ++i)
    {
        const bool high = units[i] >= 0xD800 && units[i] <= 0xDBFF;
        const bool low = units[i] >= 0xDC00 && units[i] <= 0xDFFF;
        if (low)
            return false;
        if (high && (i + 1 >= units.size() || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF))
            return false;
        if (high)
            ++i;
    }
    return true;
}

void CheckUtf8Steps(const std::string& text)
{
    size_t count = 0;
    for (size_t at = 0; at < text.size(); ++count)
    {
        const size_t step = engine::Utf8CharLength(text, at);
        fuzz::Check(step >= 1 && step <= 4 && at + step <= text.size(), "a character is 1 to 4 bytes");
        at += step;
    }
    fuzz::Check(engine::Utf8CharLength(text, text.size()) == 0 && engine::Utf8CharCount(text) == count,
                "the characters of a text are counted as they are stepped");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzInput input(data, size);
    const uint8_t choice = input.Byte();
    const bool bigEndian = choice & 1;
    const size_t block = 1 + (choice >> 1);
    const std::string bytes = input.Rest();
    const std::string expected = fuzz::Utf16ToUtf8ByDefinition(bytes, bigEndian);

    std::string carry, whole;
    engine::AppendUtf16AsUtf8(carry, bytes.data(), bytes.size(), bigEndian, whole);
    std::string blockCarry, blocks;
    for (size_t at = 0; at < bytes.size(); at += block)
        engine::AppendUtf16AsUtf8(blockCarry, bytes.data() + at, std::min(block, bytes.size() - at),
                                  bigEndian, blocks);
    fuzz::Check(blocks == whole && blockCarry == carry, "the same text whatever the blocks");
    // What stays in carry at the end is an odd byte or a high surrogate whose pair never came.
    fuzz::Check(carry.size() <= 3, "carry holds less than a whole character");
    const std::string finished = whole + (carry.size() >= 2 ? "\xEF\xBF\xBD" : "");
    fuzz::Check(finished == expected, "text reader decoding against the definition");

    const std::u16string units = Units(bytes, bigEndian);
    fuzz::Check(about::Utf16ToUtf8(units) == expected, "version block decoding against the definition");
    fuzz::Check(fuzz::WellFormedUtf8(expected), "decoded text is well-formed UTF-8");
    if (Paired(units))
        fuzz::Check(ToUtf16(expected) == units, "paired text reads back to the same units");

    CheckUtf8Steps(bytes);
    CheckUtf8Steps(expected);
    return 0;
}
