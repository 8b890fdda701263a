#pragma once
// Finds one text in bytes, each byte compared through a fold table (identity, ASCII letters only,
// or a code page's upper case). Two paths give the same answers: a scalar one (Horspool) and, on
// x86 processors with SSE2, a vector one that looks for the text's first and last byte sixteen
// positions at a time and checks the whole text only at those candidates.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace engine
{

using FoldTable = std::array<unsigned char, 256>;

// Every byte onto itself, or the ASCII letters a-z onto A-Z and every other byte onto itself.
FoldTable IdentityFold();
FoldTable AsciiUpperFold();

class TextSearch
{
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    // text is taken as it is, zero bytes included; an empty text is found at every position.
    TextSearch(const std::string& text, const FoldTable& fold);

    size_t Length() const { return m_text.size(); }
    // The first position at or after from where the text starts in data, or npos.
    size_t Find(const char* data, size_t size, size_t from = 0) const;
    bool Contains(const char* data, size_t size) const { return Find(data, size) != npos; }

    // The two paths, for tests that hold them to the same answers. FindVector falls back to the
    // scalar path where the processor or the text does not allow the vector one.
    size_t FindScalar(const char* data, size_t size, size_t from = 0) const;
    size_t FindVector(const char* data, size_t size, size_t from = 0) const;
    // True when FindVector really compares sixteen positions at a time for this text.
    bool UsesVector() const { return m_vector; }

private:
    // The bytes that fold onto one byte of the text, as a compare after OR with a mask: the mask
    // is 0 for a byte that only equals itself, 0x20 for a pair that differs in that bit alone.
    struct ByteClass
    {
        unsigned char mask = 0;
        unsigned char wanted = 0;
        bool exact = false; // the class can be tested this way
    };
    ByteClass ClassOf(unsigned char folded) const;
    bool MatchesAt(const unsigned char* at) const;
    // The first of the candidate positions pos + (each set bit) that holds the whole text.
    size_t FirstWhole(const unsigned char* data, size_t pos, uint32_t candidates) const;
    size_t FindVectorSse2(const unsigned char* data, size_t size, size_t from) const;

    std::string m_text; // folded
    FoldTable m_fold;
    std::array<size_t, 256> m_skip{};
    ByteClass m_first;
    ByteClass m_last;
    bool m_vector = false;
};

} // namespace engine
