#pragma once
// Many short texts (the names of a million results) packed end to end in large blocks: a name costs
// its bytes and one or two of length instead of a string object and a heap block of its own, and
// the blocks never move, so growing the store copies nothing.
#include <cstdint>
#include <string_view>
#include <vector>

namespace ui
{

class TextArena
{
public:
    using Ref = uint32_t;

    // Throws std::length_error when the arena has no room left for another block.
    Ref Add(std::string_view text);
    std::string_view View(Ref ref) const;
    void Clear();
    // Bytes the blocks hold (used or not).
    size_t ReservedBytes() const;

private:
    static constexpr size_t kBlockBits = 16;
    static constexpr size_t kBlockBytes = size_t{1} << kBlockBits;
    std::vector<std::vector<char>> m_blocks;
};

} // namespace ui
