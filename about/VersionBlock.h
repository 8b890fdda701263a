#pragma once
// A file's version block as the file holds it: a tree of nodes, each a key, a value and children,
// with UTF-16 (little-endian) keys and texts. Portable, so that the lookup rules run without the
// platform's version library; the Win32 side only fetches the bytes.
#include "platform/Utf16.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace about
{

struct VersionValue
{
    std::vector<uint8_t> bytes; // the value as stored (for a text: UTF-16 code units)
    bool text = false;          // the node says its value is text
};

class VersionBlock
{
public:
    VersionBlock() = default;
    explicit VersionBlock(std::vector<uint8_t> bytes);

    bool Empty() const { return m_bytes.empty(); }
    size_t Size() const { return m_bytes.size(); }

    // The value of the node at path ("\StringFileInfo\040904E4\CompanyName"), keys compared without
    // regard to ASCII case as the system's query does; "\" alone is the root's value.
    std::optional<VersionValue> Query(const std::string& path) const;
    // The text at path up to its first NUL, as UTF-8; nothing when the node is absent.
    std::optional<std::string> Text(const std::string& path) const;

private:
    struct Node
    {
        size_t begin = 0;
        size_t end = 0; // one past the node's last byte, children included
        std::u16string key;
        size_t valueBegin = 0;
        size_t valueSize = 0; // bytes
        bool text = false;
        size_t childrenBegin = 0;
    };
    std::optional<Node> ReadNode(size_t at, size_t limit) const;

    std::vector<uint8_t> m_bytes;
};

// UTF-16 code units to UTF-8; an unpaired surrogate becomes U+FFFD.
using platform::Utf16ToUtf8;

} // namespace about
