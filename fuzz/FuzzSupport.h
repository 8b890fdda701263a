#pragma once
// What the fuzz targets share: cutting an input into the pieces a target needs (single bytes for
// choices, pieces of text up to a separator, the rest; every cut is defined for every input, so
// the same bytes always mean the same case), ASCII case changes, and the check that ends a run.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz
{

class FuzzInput
{
public:
    FuzzInput(const uint8_t* data, size_t size) : m_text(reinterpret_cast<const char*>(data), size) {}

    // The next byte, or 0 when none is left.
    uint8_t Byte()
    {
        if (m_at >= m_text.size())
            return 0;
        return static_cast<uint8_t>(m_text[m_at++]);
    }

    // The bytes up to the next separator (which is passed over), or up to the end.
    std::string Until(char separator)
    {
        const size_t end = m_text.find(separator, m_at);
        const size_t stop = end == std::string_view::npos ? m_text.size() : end;
        std::string piece(m_text.substr(m_at, stop - m_at));
        m_at = end == std::string_view::npos ? m_text.size() : end + 1;
        return piece;
    }

    // Every piece up to the end, cut at separator.
    std::vector<std::string> Pieces(char separator)
    {
        std::vector<std::string> pieces;
        while (m_at < m_text.size())
            pieces.push_back(Until(separator));
        return pieces;
    }

    std::string Rest()
    {
        std::string rest(m_text.substr(m_at));
        m_at = m_text.size();
        return rest;
    }

private:
    std::string_view m_text;
    size_t m_at = 0;
};

inline std::string AsciiLower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

inline std::string AsciiUpper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// A differential or property check: a failure is a crash for the fuzzer, which saves the input.
inline void Check(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "differential failure: %s\n", what);
    std::abort();
}

} // namespace fuzz
