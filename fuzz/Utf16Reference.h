#pragma once
// UTF-16 to UTF-8 written straight from the definitions, for the targets that hold the program's
// decoders to it: a high surrogate followed by a low one is one character, any other surrogate is
// invalid and becomes U+FFFD, and an odd last byte is no character at all.
#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz
{

inline void AppendUtf8(uint32_t c, std::string& out)
{
    if (c < 0x80)
        out += static_cast<char>(c);
    else if (c < 0x800)
        out += {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
    else if (c < 0x10000)
        out += {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                static_cast<char>(0x80 | (c & 0x3F))};
    else
        out += {static_cast<char>(0xF0 | (c >> 18)), static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
                static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
}

inline uint32_t Utf16Unit(const std::string& bytes, size_t at, bool bigEndian)
{
    const auto first = static_cast<unsigned char>(bytes[at]);
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    return bigEndian ? (first << 8 | second) : (second << 8 | first);
}

inline std::string Utf16ToUtf8ByDefinition(const std::string& bytes, bool bigEndian)
{
    std::string out;
    const size_t units = bytes.size() / 2;
    for (size_t k = 0; k < units; ++k)
    {
        const uint32_t unit = Utf16Unit(bytes, 2 * k, bigEndian);
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const uint32_t next = k + 1 < units ? Utf16Unit(bytes, 2 * k + 2, bigEndian) : 0;
        if (high && next >= 0xDC00 && next <= 0xDFFF)
        {
            AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00), out);
            ++k;
        }
        else
        {
            AppendUtf8(unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit, out);
        }
    }
    return out;
}

// True when text is well-formed UTF-8: shortest forms, no surrogates, nothing past U+10FFFF.
inline bool WellFormedUtf8(const std::string& text)
{
    for (size_t at = 0; at < text.size();)
    {
        const auto lead = static_cast<unsigned char>(text[at]);
        const size_t length = lead < 0x80   ? 1
                              : lead < 0xC2 ? 0
                              : lead < 0xE0 ? 2
                              : lead < 0xF0 ? 3
                              : lead < 0xF5 ? 4
                                            : 0;
        if (length == 0 || at + length > text.size())
            return false;
        uint32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length; ++k)
        {
            const auto trail = static_cast<unsigned char>(text[at + k]);
            if ((trail & 0xC0) != 0x80)
                return false;
            c = c << 6 | (trail & 0x3F);
        }
        const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < least[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        at += length;
    }
    return true;
}

} // namespace fuzz
