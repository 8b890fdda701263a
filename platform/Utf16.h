#pragma once
// UTF-16 to UTF-8 without the platform: code points appended as UTF-8, surrogate pairs joined, and
// every unpaired surrogate read as U+FFFD, the way Windows converts broken UTF-16.
#include <cstdint>
#include <string>

namespace platform
{

constexpr uint32_t kReplacementCharacter = 0xFFFD;

inline bool IsHighSurrogate(uint32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

inline bool IsLowSurrogate(uint32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The code point of a high surrogate followed by a low one.
inline uint32_t JoinSurrogates(uint32_t high, uint32_t low)
{
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

inline void AppendUtf8(uint32_t codePoint, std::string& out)
{
    if (codePoint < 0x80)
        out += static_cast<char>(codePoint);
    else if (codePoint < 0x800)
    {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    else if (codePoint < 0x10000)
    {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    else
    {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

inline std::string Utf16ToUtf8(const std::u16string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
    {
        uint32_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]))
            unit = JoinSurrogates(unit, text[++i]);
        else if (IsHighSurrogate(unit) || IsLowSurrogate(unit))
            unit = kReplacementCharacter;
        AppendUtf8(unit, out);
    }
    return out;
}

} // namespace platform
