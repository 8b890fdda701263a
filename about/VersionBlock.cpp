#include "about/VersionBlock.h"

#include <algorithm>
#include <utility>

namespace about
{
namespace
{

constexpr size_t kHeaderSize = 6; // wLength, wValueLength, wType

size_t AlignUp(size_t offset)
{
    return (offset + 3) & ~static_cast<size_t>(3);
}

char16_t AsciiUpper(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool SameKey(const std::u16string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::vector<std::string> SplitPath(const std::string& path)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : path)
    {
        if (c == '\\')
        {
            if (!part.empty())
                parts.push_back(std::move(part));
            part.clear();
        }
        else
            part += c;
    }
    if (!part.empty())
        parts.push_back(std::move(part));
    return parts;
}

} // namespace

VersionBlock::VersionBlock(std::vector<uint8_t> bytes) : m_bytes(std::move(bytes))
{
    // The root node says how long the block is; what the file adds after it is not ours.
    if (m_bytes.size() >= 2)
    {
        const size_t length = m_bytes[0] | (m_bytes[1] << 8);
        if (length >= kHeaderSize && length < m_bytes.size())
            m_bytes.resize(length);
    }
}

std::optional<VersionBlock::Node> VersionBlock::ReadNode(size_t at, size_t limit) const
{
    if (at + kHeaderSize > limit)
        return std::nullopt;
    auto word = [this](size_t offset) {
        return static_cast<size_t>(m_bytes[offset] | (m_bytes[offset + 1] << 8));
    };
    Node node;
    node.begin = at;
    const size_t length = word(at);
    if (length < kHeaderSize || at + length > limit)
        return std::nullopt;
    node.end = at + length;
    const size_t valueLength = word(at + 2);
    node.text = word(at + 4) == 1;
    size_t pos = at + kHeaderSize;
    for (; pos + 1 < node.end; pos += 2)
    {
        const char16_t c = static_cast<char16_t>(word(pos));
        if (c == 0)
            break;
        node.key += c;
    }
    if (pos + 1 >= node.end)
    {
        node.valueBegin = node.childrenBegin = node.end;
        return node;
    }
    pos = AlignUp(pos + 2);
    node.valueBegin = pos < node.end ? pos : node.end;
    // A text's length counts UTF-16 units; a binary value's counts bytes.
    const size_t valueBytes = node.text ? valueLength * 2 : valueLength;
    node.valueSize = std::min(valueBytes, node.end - node.valueBegin);
    node.childrenBegin = std::min(AlignUp(node.valueBegin + node.valueSize), node.end);
    return node;
}

std::optional<VersionValue> VersionBlock::Query(const std::string& path) const
{
    std::optional<Node> node = ReadNode(0, m_bytes.size());
    if (!node)
        return std::nullopt;
    for (const std::string& part : SplitPath(path))
    {
        std::optional<Node> found;
        for (size_t at = node->childrenBegin; at < node->end;)
        {
            std::optional<Node> child = ReadNode(at, node->end);
            if (!child)
                break;
            if (SameKey(child->key, part))
            {
                found = child;
                break;
            }
            at = AlignUp(child->end);
        }
        if (!found)
            return std::nullopt;
        node = found;
    }
    VersionValue value;
    value.text = node->text;
    value.bytes.assign(m_bytes.begin() + static_cast<std::ptrdiff_t>(node->valueBegin),
                       m_bytes.begin() + static_cast<std::ptrdiff_t>(node->valueBegin + node->valueSize));
    return value;
}

std::optional<std::string> VersionBlock::Text(const std::string& path) const
{
    std::optional<VersionValue> value = Query(path);
    if (!value)
        return std::nullopt;
    std::u16string text;
    for (size_t i = 0; i + 1 < value->bytes.size(); i += 2)
    {
        const char16_t c = static_cast<char16_t>(value->bytes[i] | (value->bytes[i + 1] << 8));
        if (c == 0)
            break;
        text += c;
    }
    return Utf16ToUtf8(text);
}

} // namespace about
