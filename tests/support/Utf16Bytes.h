#pragma once
// Test files in UTF-16: the bytes of a text in either byte order, with or without the byte-order
// mark.
#include <string>

namespace fake
{

// text (UTF-16 code units, surrogate pairs included) as little- or big-endian bytes.
inline std::string Utf16(const std::u16string& text, bool bigEndian, bool mark = true)
{
    std::string bytes =
        mark ? (bigEndian ? std::string("\xFE\xFF") : std::string("\xFF\xFE")) : std::string();
    for (char16_t unit : text)
    {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

} // namespace fake
