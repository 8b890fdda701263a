#include "tests/support/FakeRegistry.h"

#include "platform/Utf16.h"

#include <algorithm>
#include <sstream>

namespace testing_support
{

namespace
{

using platform::RegistryValue;
using platform::StringRead;

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::vector<std::string> Split(const std::string& path)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(path);
    while (std::getline(in, part, '\\'))
        if (!part.empty())
            parts.push_back(part);
    return parts;
}

std::vector<uint8_t> Utf16Bytes(const std::string& utf8)
{
    std::vector<uint8_t> bytes;
    auto put = [&bytes](uint32_t unit) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    };
    for (size_t i = 0; i < utf8.size();)
    {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        uint32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (int k = 1; k < length && i + k < utf8.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += length;
        if (code >= 0x10000)
        {
            code -= 0x10000;
            put(0xD800 + (code >> 10));
            put(0xDC00 + (code & 0x3FF));
        }
        else
            put(code);
    }
    return bytes;
}

std::string Utf8FromUtf16(const std::vector<uint8_t>& bytes)
{
    // The registry's strings end at their first NUL.
    std::u16string units;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    {
        const auto unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit == 0)
            break;
        units += unit;
    }
    return platform::Utf16ToUtf8(units);
}

void Store(FakeRegistry::Node& node, const RegistryValue& value)
{
    auto it = std::find_if(node.values.begin(), node.values.end(),
                           [&](const RegistryValue& v) { return Lower(v.name) == Lower(value.name); });
    if (it == node.values.end())
        node.values.push_back(value);
    else
        *it = value;
}

// A key of the fake: it looks its node up again for every call, so a key deleted meanwhile fails.
class FakeKey : public platform::RegistryKey
{
public:
    FakeKey(FakeRegistry& registry, FakeRegistry::Root root, std::string path, bool writable)
        : m_registry(registry), m_root(root), m_path(std::move(path)), m_writable(writable)
    {
    }

    StringRead ReadString(const std::string& name) override
    {
        StringRead result;
        auto value = m_registry.Value(m_path, name, m_root);
        if (!value)
            return result;
        if (value->type != platform::kRegString && value->type != platform::kRegExpandString)
        {
            result.status = StringRead::WrongType;
            return result;
        }
        result.status = StringRead::Ok;
        result.text = Utf8FromUtf16(value->data);
        result.expandable = value->type == platform::kRegExpandString;
        return result;
    }

    bool WriteString(const std::string& name, const std::string& text, bool expandable) override
    {
        return Write(StringValue(name, text, expandable ? platform::kRegExpandString : platform::kRegString),
                     text);
    }

    std::vector<RegistryValue> Values() override
    {
        auto* node = m_registry.Find(m_root, m_path);
        return node ? node->values : std::vector<RegistryValue>{};
    }

    bool WriteValue(const RegistryValue& value) override
    {
        return Write(value, "<" + std::to_string(value.type) + ">");
    }

    std::vector<std::string> Subkeys() override
    {
        std::vector<std::string> names;
        if (auto* node = m_registry.Find(m_root, m_path))
            for (const auto& entry : node->subkeys)
                names.push_back(entry.second.name);
        return names;
    }

private:
    bool Write(const RegistryValue& value, const std::string& shown)
    {
        auto* node = m_registry.Find(m_root, m_path);
        if (!node || !m_writable || m_registry.Refuses(m_path))
            return false;
        m_registry.journal.push_back("write " + m_path + ":" + value.name + "=" + shown);
        Store(*node, value);
        return true;
    }

    FakeRegistry& m_registry;
    FakeRegistry::Root m_root;
    std::string m_path;
    bool m_writable;
};

} // namespace

RegistryValue StringValue(const std::string& name, const std::string& text, uint32_t type, bool terminated)
{
    RegistryValue value{name, type, Utf16Bytes(text)};
    if (terminated)
        value.data.insert(value.data.end(), {0, 0});
    return value;
}

FakeRegistry::Node* FakeRegistry::Find(Root root, const std::string& path)
{
    Node* node = &m_roots[root];
    for (const auto& part : Split(path))
    {
        auto it = node->subkeys.find(Lower(part));
        if (it == node->subkeys.end())
            return nullptr;
        node = &it->second;
    }
    return node;
}

FakeRegistry::Node* FakeRegistry::Make(Root root, const std::string& path, bool record)
{
    Node* node = &m_roots[root];
    std::string sofar;
    for (const auto& part : Split(path))
    {
        sofar += (sofar.empty() ? "" : "\\") + part;
        auto it = node->subkeys.find(Lower(part));
        if (it == node->subkeys.end())
        {
            if (record)
                journal.push_back("create " + sofar);
            it = node->subkeys.emplace(Lower(part), Node{part, {}, {}}).first;
        }
        node = &it->second;
    }
    return node;
}

bool FakeRegistry::ReadOnly(const std::string& path) const
{
    const std::string lower = Lower(path);
    for (const auto& tree : readOnlyTrees)
    {
        const std::string top = Lower(tree);
        if (lower == top || lower.rfind(top + "\\", 0) == 0)
            return true;
    }
    return false;
}

bool FakeRegistry::Refuses(const std::string& path) const
{
    for (const auto& key : refusingWrites)
        if (Lower(key) == Lower(path))
            return true;
    return false;
}

std::unique_ptr<platform::RegistryKey> FakeRegistry::Open(Root root, const std::string& path,
                                                          platform::RegistryAccess access)
{
    const bool full = access == platform::RegistryAccess::Full;
    if (!Find(root, path) || (full && ReadOnly(path)))
        return nullptr;
    return std::make_unique<FakeKey>(*this, root, path, full);
}

std::unique_ptr<platform::RegistryKey> FakeRegistry::Create(Root root, const std::string& path)
{
    if (ReadOnly(path))
        return nullptr;
    Make(root, path, true);
    return std::make_unique<FakeKey>(*this, root, path, true);
}

bool FakeRegistry::DeleteTree(Root root, const std::string& path)
{
    auto parts = Split(path);
    if (parts.empty() || ReadOnly(path))
        return false;
    const std::string leaf = Lower(parts.back());
    parts.pop_back();
    std::string parentPath;
    for (const auto& part : parts)
        parentPath += (parentPath.empty() ? "" : "\\") + part;
    Node* parent = Find(root, parentPath);
    if (!parent || !parent->subkeys.count(leaf))
        return false;
    journal.push_back("delete " + path);
    parent->subkeys.erase(leaf);
    return true;
}

void FakeRegistry::AddKey(const std::string& path, Root root)
{
    Make(root, path, false);
}

void FakeRegistry::SetValue(const std::string& path, const RegistryValue& value, Root root)
{
    Store(*Make(root, path, false), value);
}

void FakeRegistry::SetString(const std::string& path, const std::string& name, const std::string& text,
                             Root root)
{
    SetValue(path, StringValue(name, text), root);
}

bool FakeRegistry::Exists(const std::string& path, Root root) const
{
    return const_cast<FakeRegistry*>(this)->Find(root, path) != nullptr;
}

std::optional<RegistryValue> FakeRegistry::Value(const std::string& path, const std::string& name,
                                                 Root root) const
{
    const Node* node = const_cast<FakeRegistry*>(this)->Find(root, path);
    if (!node)
        return std::nullopt;
    for (const auto& value : node->values)
        if (Lower(value.name) == Lower(name))
            return value;
    return std::nullopt;
}

std::string FakeRegistry::Text(const std::string& path, const std::string& name, Root root) const
{
    auto value = Value(path, name, root);
    return value ? Utf8FromUtf16(value->data) : "(absent)";
}

namespace
{

void DumpNode(const FakeRegistry::Node& node, const std::string& path, std::ostringstream& out)
{
    out << "[" << path << "]\n";
    for (const auto& value : node.values)
    {
        out << "  \"" << value.name << "\" type " << value.type << ":";
        for (uint8_t byte : value.data)
            out << ' ' << static_cast<int>(byte);
        out << '\n';
    }
    for (const auto& entry : node.subkeys)
        DumpNode(entry.second, path.empty() ? entry.second.name : path + "\\" + entry.second.name, out);
}

} // namespace

std::string FakeRegistry::Dump(Root root) const
{
    std::ostringstream out;
    auto it = m_roots.find(root);
    if (it != m_roots.end())
        DumpNode(it->second, "", out);
    return out.str();
}

} // namespace testing_support
