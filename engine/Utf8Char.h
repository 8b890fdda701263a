#pragma once
// Stepping through UTF-8 text one whole character at a time, as the mask matchers do: a "?" stands
// for one character whatever its script, as it does on Windows. A byte that does not start a
// complete sequence counts as a character of its own, so broken text is still walked to its end.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace engine
{

// Bytes of the character that starts at `at`: 1 to 4, and 0 at the end of the text.
inline size_t Utf8CharLength(std::string_view text, size_t at)
{
    if (at >= text.size())
        return 0;
    const auto lead = static_cast<unsigned char>(text[at]);
    const size_t length = lead < 0xC2 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 1;
    if (length == 1 || length > text.size() - at)
        return 1;
    for (size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80)
            return 1;
    return length;
}

inline size_t Utf8CharCount(std::string_view text)
{
    size_t count = 0;
    for (size_t at = 0; at < text.size(); at += Utf8CharLength(text, at))
        ++count;
    return count;
}

} // namespace engine
