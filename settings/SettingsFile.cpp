#include "settings/SettingsFile.h"

#include "platform/Utf8.h"
#include "platform/Win32ProfileFile.h"
#include "settings/AppPaths.h"
#include "settings/IniInteger.h"
#include "settings/ProfileStore.h"

#include <algorithm>

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

bool SearchInDocuments()
{
    return ReadIniInteger(SettingsFilePath(), "Settings", "SearchInDocuments") != 0;
}

bool SetSearchInDocuments(bool on)
{
    return WriteIniString(SettingsFilePath(), "Settings", "SearchInDocuments", on ? "1" : "0");
}

bool SearchInArchives()
{
    return ReadIniInteger(SettingsFilePath(), "Settings", "SearchInArchives") == 1;
}

bool SetSearchInArchives(bool on)
{
    return WriteIniString(SettingsFilePath(), "Settings", "SearchInArchives", on ? "1" : "0");
}

bool ShowPreviewPane()
{
    return ReadIniInteger(SettingsFilePath(), "Options", "PreviewPane") != 0;
}

bool SetShowPreviewPane(bool on)
{
    return WriteIniString(SettingsFilePath(), "Options", "PreviewPane", on ? "1" : "0");
}

bool ReadStoredLanguage(std::string& code)
{
    return ReadIniString(SettingsFilePath(), "Options", "Language", code);
}

bool WriteStoredLanguage(const std::string& code)
{
    return WriteIniString(SettingsFilePath(), "Options", "Language", code);
}

bool KeepSearchHistory()
{
    return ReadIniInteger(SettingsFilePath(), "Settings", "KeepSearchHistory") != 0;
}

bool SetKeepSearchHistory(bool on)
{
    bool stored = WriteIniString(SettingsFilePath(), "Settings", "KeepSearchHistory", on ? "1" : "0");
    if (!on)
        for (const char* field : {"Name", "Text", "Folder"})
            stored = WriteIniString(SettingsFilePath(), "History", std::string(field) + "1", "") && stored;
    return stored;
}

std::vector<std::string> ReadHistoryValues(const std::string& field, size_t length)
{
    std::vector<std::string> values;
    std::string value;
    for (size_t i = 1; i <= length; ++i)
    {
        if (!ReadIniString(SettingsFilePath(), "History", field + std::to_string(i), value) || value.empty())
            break;
        values.push_back(value);
    }
    return values;
}

bool WriteHistoryValues(const std::string& field, const std::vector<std::string>& values, size_t length)
{
    // Each write rewrites the file: the values, then one empty key that ends the reading.
    bool written = true;
    const size_t count = std::min(values.size(), length);
    for (size_t i = 0; i <= count && i < length; ++i)
    {
        const std::string value = i < count ? values[i] : std::string();
        written =
            WriteIniString(SettingsFilePath(), "History", field + std::to_string(i + 1), value) && written;
    }
    return written;
}

namespace
{

constexpr char kWindowSection[] = "Window";

// The keys of the window's place, each with its text in WindowPlaceTexts.
template <typename Texts, typename Visit> void ForEachPlaceKey(Texts& texts, Visit visit)
{
    visit("Place", texts.place);
    visit("Maximized", texts.maximized);
    visit("Dpi", texts.dpi);
    visit("Columns", texts.columns);
    visit("View", texts.view);
}

} // namespace

WindowPlace ReadWindowPlace()
{
    WindowPlaceTexts texts;
    const std::string file = SettingsFilePath();
    ForEachPlaceKey(texts, [&](const char* key, std::string& text) {
        if (!ReadIniString(file, kWindowSection, key, text))
            text.clear();
    });
    return ParseWindowPlace(texts);
}

bool WriteWindowPlace(const WindowPlace& place)
{
    const WindowPlaceTexts texts = FormatWindowPlace(place);
    const std::string file = SettingsFilePath();
    bool written = true;
    ForEachPlaceKey(texts, [&](const char* key, const std::string& text) {
        written = WriteIniString(file, kWindowSection, key, text) && written;
    });
    return written;
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
