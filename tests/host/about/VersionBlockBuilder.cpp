#include "tests/host/about/VersionBlockBuilder.h"

namespace abouttest
{
namespace
{

void Pad(std::vector<uint8_t>& out)
{
    while (out.size() % 4)
        out.push_back(0);
}

void PutWord(std::vector<uint8_t>& out, size_t at, size_t value)
{
    out[at] = static_cast<uint8_t>(value & 0xFF);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}

} // namespace

std::vector<uint8_t> Serialize(const BlockNode& node)
{
    std::vector<uint8_t> out(6, 0);
    for (char16_t c : node.key)
    {
        out.push_back(static_cast<uint8_t>(c & 0xFF));
        out.push_back(static_cast<uint8_t>(c >> 8));
    }
    out.push_back(0);
    out.push_back(0);
    Pad(out);
    out.insert(out.end(), node.value.begin(), node.value.end());
    for (const BlockNode& child : node.children)
    {
        Pad(out);
        const std::vector<uint8_t> bytes = Serialize(child);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    PutWord(out, 0, out.size());
    PutWord(out, 2, node.text ? node.value.size() / 2 : node.value.size());
    PutWord(out, 4, node.text ? 1 : 0);
    return out;
}

BlockNode TextValue(const std::u16string& key, const std::u16string& text)
{
    BlockNode node{key, {}, true, {}};
    for (char16_t c : text + u'\0')
    {
        node.value.push_back(static_cast<uint8_t>(c & 0xFF));
        node.value.push_back(static_cast<uint8_t>(c >> 8));
    }
    return node;
}

BlockNode BinaryValue(const std::u16string& key, std::vector<uint8_t> bytes)
{
    return BlockNode{key, std::move(bytes), false, {}};
}

BlockNode Group(const std::u16string& key, std::vector<BlockNode> children)
{
    return BlockNode{key, {}, true, std::move(children)};
}

BlockNode Root(std::vector<BlockNode> children)
{
    BlockNode root{u"VS_VERSION_INFO", std::vector<uint8_t>(52, 0), false, std::move(children)};
    root.value[0] = 0xBD; // VS_FIXEDFILEINFO's signature 0xFEEF04BD
    root.value[1] = 0x04;
    root.value[2] = 0xEF;
    root.value[3] = 0xFE;
    return root;
}

} // namespace abouttest
