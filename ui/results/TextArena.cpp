#include "ui/results/TextArena.h"

#include <algorithm>
#include <stdexcept>

namespace ui
{

namespace
{

// The length before the text: seven bits a byte, low bits first, the top bit saying more follow.
void AppendLength(std::vector<char>& block, size_t length)
{
    do
    {
        unsigned char byte = static_cast<unsigned char>(length & 0x7F);
        length >>= 7;
        if (length)
            byte |= 0x80;
        block.push_back(static_cast<char>(byte));
    } while (length);
}

size_t LengthBytes(size_t length)
{
    size_t bytes = 1;
    while (length >>= 7)
        ++bytes;
    return bytes;
}

} // namespace

TextArena::Ref TextArena::Add(std::string_view text)
{
    const size_t needed = LengthBytes(text.size()) + text.size();
    if (m_blocks.empty() || m_blocks.back().size() + needed > kBlockBytes)
    {
        if (m_blocks.size() >= (size_t{1} << (32 - kBlockBits)))
            throw std::length_error("too many result names");
        m_blocks.emplace_back();
        // A text longer than a block gets a block of its own, read from its start.
        m_blocks.back().reserve(std::max(kBlockBytes, needed));
    }
    std::vector<char>& block = m_blocks.back();
    const Ref ref = static_cast<Ref>(((m_blocks.size() - 1) << kBlockBits) | block.size());
    AppendLength(block, text.size());
    block.insert(block.end(), text.begin(), text.end());
    return ref;
}

std::string_view TextArena::View(Ref ref) const
{
    const std::vector<char>& block = m_blocks[ref >> kBlockBits];
    size_t at = ref & (kBlockBytes - 1);
    size_t length = 0;
    for (int shift = 0;; shift += 7)
    {
        const auto byte = static_cast<unsigned char>(block[at++]);
        length |= static_cast<size_t>(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            break;
    }
    return std::string_view(block.data() + at, length);
}

void TextArena::Clear()
{
    m_blocks.clear();
    m_blocks.shrink_to_fit();
}

size_t TextArena::ReservedBytes() const
{
    size_t bytes = 0;
    for (const std::vector<char>& block : m_blocks)
        bytes += block.capacity();
    return bytes;
}

} // namespace ui
