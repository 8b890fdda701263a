#include "engine/TextSearch.h"

#if defined(__i386__) || defined(__x86_64__)
#define FF_TEXT_SEARCH_SSE2 1
#include <emmintrin.h>
#endif

namespace engine
{

namespace
{

bool ProcessorHasSse2()
{
#if defined(__x86_64__) || defined(__SSE2__)
    return true;
#elif defined(FF_TEXT_SEARCH_SSE2)
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse2");
#else
    return false;
#endif
}

unsigned LowestBit(uint32_t bits)
{
    return static_cast<unsigned>(__builtin_ctz(bits));
}

} // namespace

FoldTable IdentityFold()
{
    FoldTable table{};
    for (size_t c = 0; c < table.size(); ++c)
        table[c] = static_cast<unsigned char>(c);
    return table;
}

FoldTable AsciiUpperFold()
{
    FoldTable table = IdentityFold();
    for (size_t c = 'a'; c <= 'z'; ++c)
        table[c] = static_cast<unsigned char>(c - 'a' + 'A');
    return table;
}

TextSearch::TextSearch(const std::string& text, const FoldTable& fold) : m_text(text), m_fold(fold)
{
    for (char& c : m_text)
        c = static_cast<char>(m_fold[static_cast<unsigned char>(c)]);
    const size_t length = m_text.size();
    // Horspool shifts, indexed by the raw byte under the window's last position (the folding is
    // built into the table, so a step costs one lookup).
    std::array<size_t, 256> lastAt; // the last position of each folded byte before the text's end
    lastAt.fill(npos);
    for (size_t i = 0; i + 1 < length; ++i)
        lastAt[static_cast<unsigned char>(m_text[i])] = i;
    for (size_t c = 0; c < m_skip.size(); ++c)
    {
        const size_t at = lastAt[m_fold[c]];
        m_skip[c] = at == npos ? length : length - 1 - at;
    }
    if (length == 0)
        return;
    m_first = ClassOf(static_cast<unsigned char>(m_text.front()));
    m_last = ClassOf(static_cast<unsigned char>(m_text.back()));
    static const bool hasSse2 = ProcessorHasSse2();
    m_vector = hasSse2 && m_first.exact && m_last.exact;
}

TextSearch::ByteClass TextSearch::ClassOf(unsigned char folded) const
{
    unsigned char members[3];
    size_t count = 0;
    for (size_t c = 0; c < m_fold.size(); ++c)
        if (m_fold[c] == folded && count++ < 3)
            members[count - 1] = static_cast<unsigned char>(c);
    ByteClass result;
    if (count == 1)
    {
        result.wanted = members[0];
        result.exact = true;
    }
    else if (count == 2 && (members[0] ^ members[1]) == 0x20)
    {
        result.mask = 0x20;
        result.wanted = static_cast<unsigned char>(members[0] | 0x20);
        result.exact = true;
    }
    return result;
}

bool TextSearch::MatchesAt(const unsigned char* at) const
{
    const auto* text = reinterpret_cast<const unsigned char*>(m_text.data());
    for (size_t j = 0; j < m_text.size(); ++j)
        if (m_fold[at[j]] != text[j])
            return false;
    return true;
}

size_t TextSearch::FirstWhole(const unsigned char* data, size_t pos, uint32_t candidates) const
{
    for (; candidates != 0; candidates &= candidates - 1)
    {
        const size_t at = pos + LowestBit(candidates);
        if (MatchesAt(data + at))
            return at;
    }
    return npos;
}

size_t TextSearch::Find(const char* data, size_t size, size_t from) const
{
    return m_vector ? FindVector(data, size, from) : FindScalar(data, size, from);
}

size_t TextSearch::FindScalar(const char* data, size_t size, size_t from) const
{
    const size_t length = m_text.size();
    if (length == 0)
        return from <= size ? from : npos;
    if (size < length || from > size - length)
        return npos;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    const auto lastOfText = static_cast<unsigned char>(m_text.back());
    const size_t lastStart = size - length;
    size_t pos = from;
    while (pos <= lastStart)
    {
        const unsigned char last = bytes[pos + length - 1];
        if (m_fold[last] == lastOfText && MatchesAt(bytes + pos))
            return pos;
        pos += m_skip[last];
    }
    return npos;
}

size_t TextSearch::FindVector(const char* data, size_t size, size_t from) const
{
    if (!m_vector)
        return FindScalar(data, size, from);
    return FindVectorSse2(reinterpret_cast<const unsigned char*>(data), size, from);
}

#ifdef FF_TEXT_SEARCH_SSE2
// The i686 build targets processors without SSE2 by default: this one function may use it, and
// runs only where the processor has it (m_vector).
__attribute__((target("sse2"))) size_t TextSearch::FindVectorSse2(const unsigned char* data, size_t size,
                                                                  size_t from) const
{
    const size_t length = m_text.size();
    if (size < length || from > size - length)
        return npos;
    const size_t lastStart = size - length;
    const __m128i firstMask = _mm_set1_epi8(static_cast<char>(m_first.mask));
    const __m128i firstWanted = _mm_set1_epi8(static_cast<char>(m_first.wanted));
    const __m128i lastMask = _mm_set1_epi8(static_cast<char>(m_last.mask));
    const __m128i lastWanted = _mm_set1_epi8(static_cast<char>(m_last.wanted));
    // The candidate bytes of the sixteen positions from at: first and last byte both in place.
    // (Written out rather than in a helper: a helper would need the same target attribute.)
    __m128i head, tail, low, high;
    size_t pos = from;
    // Thirty-two, then sixteen starting positions a step, while all their windows lie inside the
    // data; candidates are rare, so a step costs one branch.
    for (; pos <= lastStart && lastStart - pos >= 31; pos += 32)
    {
        head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos));
        tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos + length - 1));
        low = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(head, firstMask), firstWanted),
                            _mm_cmpeq_epi8(_mm_or_si128(tail, lastMask), lastWanted));
        head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos + 16));
        tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos + 16 + length - 1));
        high = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(head, firstMask), firstWanted),
                             _mm_cmpeq_epi8(_mm_or_si128(tail, lastMask), lastWanted));
        const auto bits = static_cast<unsigned>(_mm_movemask_epi8(low)) |
                          static_cast<unsigned>(_mm_movemask_epi8(high)) << 16;
        if (bits == 0)
            continue;
        const size_t found = FirstWhole(data, pos, bits);
        if (found != npos)
            return found;
    }
    if (pos <= lastStart && lastStart - pos >= 15)
    {
        head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos));
        tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos + length - 1));
        low = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(head, firstMask), firstWanted),
                            _mm_cmpeq_epi8(_mm_or_si128(tail, lastMask), lastWanted));
        const size_t found = FirstWhole(data, pos, static_cast<unsigned>(_mm_movemask_epi8(low)));
        if (found != npos)
            return found;
        pos += 16;
    }
    return FindScalar(reinterpret_cast<const char*>(data), size, pos);
}
#else
size_t TextSearch::FindVectorSse2(const unsigned char* data, size_t size, size_t from) const
{
    return FindScalar(reinterpret_cast<const char*>(data), size, from);
}
#endif

} // namespace engine
