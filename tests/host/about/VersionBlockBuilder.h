#pragma once
// Builds version blocks byte by byte, laid out as the resource compiler lays them out, so that the
// lookup can be tried on blocks the tools would never write (short translation values, none).
#include <cstdint>
#include <string>
#include <vector>

namespace abouttest
{

struct BlockNode
{
    std::u16string key;
    std::vector<uint8_t> value;
    bool text = false;
    std::vector<BlockNode> children;
};

std::vector<uint8_t> Serialize(const BlockNode& node);

BlockNode TextValue(const std::u16string& key, const std::u16string& text);
BlockNode BinaryValue(const std::u16string& key, std::vector<uint8_t> bytes);
BlockNode Group(const std::u16string& key, std::vector<BlockNode> children);
// The root with its fixed-info value and the given children.
BlockNode Root(std::vector<BlockNode> children);

} // namespace abouttest
