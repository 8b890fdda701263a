#include "settings/SettingsFile.h"

#include "platform/Utf8.h"
#include "settings/AppPaths.h"
#include "settings/IniInteger.h"
#include "settings/ProfileStore.h"

#include <windows.h>

namespace settings
{
namespace
{

constexpr wchar_t kErrorText[] = L"<Error>";

// One key's text; at most 2047 characters are taken.
std::wstring ReadKey(const std::string& file, const std::string& section, const std::string& key,
                     const wchar_t* fallback)
{
    wchar_t buffer[2048];
    DWORD length =
        GetPrivateProfileStringW(platform::Widen(section).c_str(), platform::Widen(key).c_str(), fallback,
                                 buffer, ARRAYSIZE(buffer), platform::Widen(file).c_str());
    return std::wstring(buffer, length);
}

bool WriteKey(const std::string& file, const std::string& section, const std::string& key,
              const std::wstring& value)
{
    return WritePrivateProfileStringW(platform::Widen(section).c_str(), platform::Widen(key).c_str(),
                                      value.c_str(), platform::Widen(file).c_str()) != FALSE;
}

} // namespace

int ReadIniInteger(const std::string& file, const std::string& section, const std::string& key)
{
    try
    {
        return ParseIniInteger(platform::Narrow(ReadKey(file, section, key, L"")));
    }
    catch (...)
    {
        return -1;
    }
}

bool WriteIniInteger(const std::string& file, const std::string& section, const std::string& key, int value)
{
    try
    {
        return WriteKey(file, section, key, std::to_wstring(value));
    }
    catch (...)
    {
        return false;
    }
}

bool ReadIniString(const std::string& file, const std::string& section, const std::string& key,
                   std::string& value)
{
    try
    {
        std::wstring text = ReadKey(file, section, key, kErrorText);
        value = platform::Narrow(text);
        return text != kErrorText;
    }
    catch (...)
    {
        value.clear();
        return false;
    }
}

bool WriteIniString(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value)
{
    try
    {
        return WriteKey(file, section, key, platform::Widen(value));
    }
    catch (...)
    {
        return false;
    }
}

int incontext()
{
    return ReadIniInteger(SettingsFilePath(), "Settings", "InContextMenu");
}

int defaultfind()
{
    return ReadIniInteger(SettingsFilePath(), "Settings", "DefaultFind");
}

bool IniFileStore::ReadString(const std::string& section, const std::string& key, std::string& value)
{
    return ReadIniString(m_path, section, key, value);
}

bool IniFileStore::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    return WriteIniString(m_path, section, key, value);
}

} // namespace settings
