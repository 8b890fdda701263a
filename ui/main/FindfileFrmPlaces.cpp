// The look-in list of the search panel: special folders, drives and the folder browser.
// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on
#include "lang/Language.h"
#include "lang/TextIds.h"
#include "platform/Utf8.h"
#include "ui/main/FindfileFrm.h"

namespace ui
{

namespace
{

// The shell's answers for the look-in list.
class ShellPlaceProber : public PlaceProber
{
public:
    bool IsFixedDrive(const std::string& root) override
    {
        return GetDriveTypeW(platform::Widen(root).c_str()) == DRIVE_FIXED;
    }

    std::optional<ShellDescription> Describe(const std::string& path) override
    {
        if (path.empty())
            return std::nullopt;
        const std::optional<ShellInfo> info = AskShell(path);
        if (!info)
            return std::nullopt;
        return ShellDescription{info->icon, info->typeName};
    }
};

std::string ReadShellFolder(HKEY key, const wchar_t* value)
{
    DWORD bytes = 0;
    const DWORD flags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    if (RegGetValueW(key, nullptr, value, flags, nullptr, nullptr, &bytes) != ERROR_SUCCESS || bytes == 0)
        return {};
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegGetValueW(key, nullptr, value, flags, nullptr, text.data(), &bytes) != ERROR_SUCCESS)
        return {};
    text.resize(wcsnlen(text.c_str(), text.size()));
    return CutSpecialFolderPath(platform::Narrow(text));
}

} // namespace

void TFindfileFrm::ReadSpecialFolders()
{
    m_specialFolders = {};
    platform::UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER,
                      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                      KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS)
        return;
    m_specialFolders.desktop = ReadShellFolder(key.Get(), L"desktop");
    m_specialFolders.personal = ReadShellFolder(key.Get(), L"personal");
}

void TFindfileFrm::getplaces()
{
    ShellPlaceProber prober;
    m_places = BuildPlaces(prober, m_specialFolders, lang::GetLangText(lang::text::kBrowseEntry));
    // The shell's system image list is shared; the combo must not free it.
    if (HIMAGELIST images = SystemImageList(SHGFI_SMALLICON))
        m_lookIn.SetImages(images);
    for (const PlaceEntry& place : m_places)
        m_lookIn.Add(place.text, place.iconIndex);
}

std::optional<std::string> TFindfileFrm::BrowseForFolder()
{
    if (m_options.hooks.browseForFolder)
        return m_options.hooks.browseForFolder(Handle());
    const std::wstring title = platform::Widen(lang::GetLangText(lang::text::kLookInLabel));
    BROWSEINFOW info{};
    info.hwndOwner = Handle();
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    platform::UniquePidl pidl(SHBrowseForFolderW(&info));
    if (!pidl)
        return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(pidl.Get(), path))
        return std::nullopt;
    return platform::Narrow(path);
}

void TFindfileFrm::AWComboBoxEx1Click()
{
    const int picked = m_lookIn.Selected();
    if (picked < 0)
        return;
    if (m_lookIn.ItemText(picked) != lang::GetLangText(lang::text::kBrowseEntry))
        return;
    if (auto folder = BrowseForFolder())
        m_lookIn.SetText(*folder);
}

} // namespace ui
