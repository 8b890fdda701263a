#include "settings/SettingsFile.h"

#include "platform/Utf8.h"
#include "platform/Win32ProfileFile.h"
#include "settings/AppPaths.h"
#include "settings/IniInteger.h"
#include "settings/ProfileStore.h"

namespace settings
{
namespace
{

constexpr wchar_t kErrorText[] = L"<Error>";

} // namespace

int ReadIniInteger(const std::string& file, const std::string& section, const std::string& key)
{
    try
    {
        return ParseIniInteger(platform::Narrow(platform::ReadProfileKey(file, section, key, L"")));
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
        return platform::WriteProfileKey(file, section, key, std::to_wstring(value));
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
        std::wstring text = platform::ReadProfileKey(file, section, key, kErrorText);
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
        return platform::WriteProfileKey(file, section, key, platform::Widen(value));
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

bool SweepLocalNetwork()
{
    return ReadIniInteger(SettingsFilePath(), "Settings", "SweepLocalNetwork") == 1;
}

bool SetSweepLocalNetwork(bool on)
{
    return WriteIniString(SettingsFilePath(), "Settings", "SweepLocalNetwork", on ? "1" : "0");
}

bool ReadStoredLanguage(std::string& code)
{
    return ReadIniString(SettingsFilePath(), "Options", "Language", code);
}

bool WriteStoredLanguage(const std::string& code)
{
    return WriteIniString(SettingsFilePath(), "Options", "Language", code);
}

bool ReadRunLanguage(std::string& code)
{
    return ReadIniString(SettingsFilePath(), "Options", "RunLang", code);
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
