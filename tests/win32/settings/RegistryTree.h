#pragma once
// A registry key with everything under it, read and written with the plain Win32 calls, so that
// tests can compare the registry before and after and put back what they changed.
#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace testing_support
{

struct RegistryTree
{
    struct Value
    {
        std::wstring name;
        DWORD type = 0;
        std::vector<BYTE> data;
    };
    bool exists = false;
    std::wstring name;
    std::vector<Value> values;      // sorted by name
    std::vector<RegistryTree> keys; // sorted by name

    static RegistryTree Read(HKEY root, const std::wstring& path)
    {
        RegistryTree tree;
        tree.name = path.substr(path.find_last_of(L'\\') + 1);
        platform::UniqueRegKey key;
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS)
            return tree;
        tree.exists = true;
        wchar_t name[512];
        std::vector<BYTE> data(65536);
        for (DWORD i = 0;; ++i)
        {
            DWORD nameLength = 512, dataLength = static_cast<DWORD>(data.size()), type = 0;
            if (RegEnumValueW(key.Get(), i, name, &nameLength, nullptr, &type, data.data(), &dataLength) !=
                ERROR_SUCCESS)
                break;
            tree.values.push_back(
                {std::wstring(name, nameLength), type, {data.begin(), data.begin() + dataLength}});
        }
        for (DWORD i = 0;; ++i)
        {
            DWORD nameLength = 512;
            if (RegEnumKeyExW(key.Get(), i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            tree.keys.push_back(Read(root, path + L"\\" + std::wstring(name, nameLength)));
        }
        std::sort(tree.values.begin(), tree.values.end(), [](auto& a, auto& b) { return a.name < b.name; });
        std::sort(tree.keys.begin(), tree.keys.end(), [](auto& a, auto& b) { return a.name < b.name; });
        return tree;
    }

    // Makes the key at path exactly this tree again (or removes it when the tree did not exist).
    void Restore(HKEY root, const std::wstring& path) const
    {
        RegDeleteTreeW(root, path.c_str());
        RegDeleteKeyW(root, path.c_str());
        if (exists)
            Write(root, path);
    }

    void Write(HKEY root, const std::wstring& path) const
    {
        platform::UniqueRegKey key;
        if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(), nullptr) !=
            ERROR_SUCCESS)
            return;
        for (const auto& value : values)
            RegSetValueExW(key.Get(), value.name.c_str(), 0, value.type, value.data.data(),
                           static_cast<DWORD>(value.data.size()));
        for (const auto& sub : keys)
            sub.Write(root, path + L"\\" + sub.name);
    }

    // One line per key and value, for readable comparisons.
    std::string Text() const
    {
        std::ostringstream out;
        Print(out, platform::Narrow(name));
        return out.str();
    }

private:
    void Print(std::ostringstream& out, const std::string& path) const
    {
        if (!exists)
        {
            out << "[" << path << "] (absent)\n";
            return;
        }
        out << "[" << path << "]\n";
        for (const auto& value : values)
        {
            out << "  \"" << platform::Narrow(value.name) << "\" type " << value.type << ":";
            for (BYTE byte : value.data)
                out << ' ' << static_cast<int>(byte);
            out << '\n';
        }
        for (const auto& sub : keys)
            sub.Print(out, path + "\\" + platform::Narrow(sub.name));
    }
};

} // namespace testing_support
