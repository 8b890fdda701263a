// The look-in list of the file search panel: special folders, drives and the folder browser.
// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on
#include "lang/TextIds.h"
#include "platform/Utf8.h"
#include "platform/Win32Registry.h"
#include "ui/results/ResultsList.h"
#include "ui/search/FileSearchPanel.h"

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

} // namespace

void FileSearchPanel::ReadPlaces()
{
    ReadSpecialFolders();
    getplaces();
    LoadHistory();
}

void FileSearchPanel::ReadSpecialFolders()
{
    platform::Win32Registry registry;
    m_specialFolders = ui::ReadSpecialFolders(registry);
}

void FileSearchPanel::getplaces()
{
    ShellPlaceProber prober;
    m_places = BuildPlaces(prober, m_specialFolders, T(lang::text::kBrowseEntry));
    // The shell's system image list is shared; the combo must not free it.
    if (HIMAGELIST images = SystemImageList(SHGFI_SMALLICON))
        m_lookIn.SetImages(images);
    for (const PlaceEntry& place : m_places)
        m_lookIn.Add(place.text, place.iconIndex);
}

std::optional<std::string> FileSearchPanel::BrowseForFolder()
{
    if (m_options.browseForFolder)
        return m_options.browseForFolder(m_host.Owner());
    const std::wstring title = platform::Widen(T(lang::text::kLookInLabel));
    BROWSEINFOW info{};
    info.hwndOwner = m_host.Owner();
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

void FileSearchPanel::AWComboBoxEx1Click()
{
    const int picked = m_lookIn.Selected();
    if (picked < 0)
        return;
    if (m_lookIn.ItemText(picked) != T(lang::text::kBrowseEntry))
        return;
    if (auto folder = BrowseForFolder())
        m_lookIn.SetText(*folder);
}

} // namespace ui
