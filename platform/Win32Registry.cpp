#include "platform/Win32Registry.h"

#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"

#include <algorithm>

namespace platform
{

namespace
{

HKEY RootKey(RegistryRoot root)
{
    return root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_CLASSES_ROOT;
}

class Win32Key : public RegistryKey
{
public:
    explicit Win32Key(UniqueRegKey key) : m_key(std::move(key)) {}

    StringRead ReadString(const std::string& name) override;
    bool WriteString(const std::string& name, const std::string& text, bool expandable) override;
    std::vector<RegistryValue> Values() override;
    bool WriteValue(const RegistryValue& value) override;
    std::vector<std::string> Subkeys() override;

private:
    UniqueRegKey m_key;
};

StringRead Win32Key::ReadString(const std::string& name)
{
    constexpr DWORD kFlags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    const std::wstring wideName = Widen(name);
    StringRead result;
    DWORD type = 0;
    DWORD size = 0;
    LONG status = RegGetValueW(m_key.Get(), nullptr, wideName.c_str(), kFlags, &type, nullptr, &size);
    // The value may grow between the two calls: ask again with the larger size.
    for (int attempt = 0; attempt < 4 && status == ERROR_SUCCESS; ++attempt)
    {
        // Room for a terminator the stored data may lack; the buffer starts zeroed.
        std::wstring buffer(size / sizeof(wchar_t) + 2, L'\0');
        DWORD capacity = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
        status =
            RegGetValueW(m_key.Get(), nullptr, wideName.c_str(), kFlags, &type, buffer.data(), &capacity);
        if (status == ERROR_MORE_DATA)
        {
            size = capacity;
            status = ERROR_SUCCESS;
            continue;
        }
        if (status != ERROR_SUCCESS)
            break;
        const size_t chars = std::min<size_t>(capacity / sizeof(wchar_t), buffer.size() - 1);
        buffer.resize(chars);
        buffer.resize(std::wcslen(buffer.c_str()));
        result.status = StringRead::Ok;
        result.text = Narrow(buffer);
        result.expandable = type == REG_EXPAND_SZ;
        return result;
    }
    result.status = status == ERROR_UNSUPPORTED_TYPE ? StringRead::WrongType : StringRead::Missing;
    return result;
}

bool Win32Key::WriteString(const std::string& name, const std::string& text, bool expandable)
{
    const std::wstring wide = Widen(text);
    return RegSetValueExW(m_key.Get(), Widen(name).c_str(), 0, expandable ? REG_EXPAND_SZ : REG_SZ,
                          reinterpret_cast<const BYTE*>(wide.c_str()),
                          static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

std::vector<RegistryValue> Win32Key::Values()
{
    std::vector<RegistryValue> values;
    DWORD nameChars = 0, dataBytes = 0;
    if (RegQueryInfoKeyW(m_key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &nameChars, &dataBytes, nullptr, nullptr) != ERROR_SUCCESS)
        return values;
    std::wstring name(nameChars + 1, L'\0');
    std::vector<uint8_t> data(dataBytes + 1);
    for (DWORD index = 0;;)
    {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataLength = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LONG status = RegEnumValueW(m_key.Get(), index, name.data(), &nameLength, nullptr, &type,
                                          data.data(), &dataLength);
        if (status == ERROR_MORE_DATA)
        {
            // A value grew while we were listing: make room and read the same index again.
            name.resize(name.size() * 2 + 256);
            data.resize(std::max<size_t>(data.size() * 2, dataLength + 1));
            continue;
        }
        if (status != ERROR_SUCCESS)
            break;
        values.push_back(RegistryValue{Narrow(name.c_str(), nameLength), type,
                                       std::vector<uint8_t>(data.begin(), data.begin() + dataLength)});
        ++index;
    }
    return values;
}

bool Win32Key::WriteValue(const RegistryValue& value)
{
    return RegSetValueExW(m_key.Get(), Widen(value.name).c_str(), 0, value.type, value.data.data(),
                          static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

std::vector<std::string> Win32Key::Subkeys()
{
    std::vector<std::string> names;
    DWORD maxChars = 0;
    if (RegQueryInfoKeyW(m_key.Get(), nullptr, nullptr, nullptr, nullptr, &maxChars, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    std::wstring name(maxChars + 1, L'\0');
    for (DWORD index = 0;;)
    {
        DWORD length = static_cast<DWORD>(name.size());
        const LONG status =
            RegEnumKeyExW(m_key.Get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA)
        {
            name.resize(name.size() * 2 + 256);
            continue;
        }
        if (status != ERROR_SUCCESS)
            break;
        names.push_back(Narrow(name.c_str(), length));
        ++index;
    }
    return names;
}

} // namespace

bool RunsUnderWow64()
{
    // Looked up at run time: systems before XP SP2 have no IsWow64Process.
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto isWow64 = reinterpret_cast<IsWow64ProcessFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

Win32Registry::Win32Registry(RegistryView view)
    : m_view(view == RegistryView::Explorer && RunsUnderWow64() ? KEY_WOW64_64KEY : 0)
{
}

std::unique_ptr<RegistryKey> Win32Registry::Open(RegistryRoot root, const std::string& path,
                                                 RegistryAccess access)
{
    UniqueRegKey key;
    const REGSAM sam = (access == RegistryAccess::Full ? KEY_ALL_ACCESS : KEY_READ) | m_view;
    if (RegOpenKeyExW(RootKey(root), Widen(path).c_str(), 0, sam, key.Put()) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<Win32Key>(std::move(key));
}

std::unique_ptr<RegistryKey> Win32Registry::Create(RegistryRoot root, const std::string& path)
{
    UniqueRegKey key;
    if (RegCreateKeyExW(RootKey(root), Widen(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | m_view, nullptr,
                        key.Put(), nullptr) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<Win32Key>(std::move(key));
}

bool Win32Registry::DeleteTree(RegistryRoot root, const std::string& path)
{
    std::vector<std::string> subkeys;
    {
        UniqueRegKey key;
        if (RegOpenKeyExW(RootKey(root), Widen(path).c_str(), 0, KEY_READ | m_view, key.Put()) !=
            ERROR_SUCCESS)
            return false;
        subkeys = Win32Key(std::move(key)).Subkeys();
    }
    bool all = true;
    for (auto it = subkeys.rbegin(); it != subkeys.rend(); ++it)
        all = DeleteTree(root, path + "\\" + *it) && all;
    // RegDeleteKeyW would delete in the process's own view only.
    return RegDeleteKeyExW(RootKey(root), Widen(path).c_str(), m_view, 0) == ERROR_SUCCESS && all;
}

} // namespace platform
