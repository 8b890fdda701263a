// The results menu of LV1's empty area: save the result set, copy every path, select all, open the
// folder of the selected file.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>
// clang-format on
#include "lang/TextIds.h"
#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"
#include "platform/Win32WholeFile.h"
#include "ui/results/ResultExport.h"
#include "ui/results/ResultsList.h"

#include <stdexcept>
#include <vector>

namespace ui
{

namespace
{

void AppendItem(HMENU menu, UINT command, const std::string& text)
{
    const std::wstring wide = platform::Widen(text);
    ::AppendMenuW(menu, MF_STRING, command, wide.c_str());
}

// The standard save dialog with the two file types; the first is CSV.
std::optional<std::pair<std::string, bool>> AskSavePath(HWND owner, const std::string& csvType,
                                                        const std::string& pathsType)
{
    std::wstring filter = platform::Widen(csvType) + L'\0' + L"*.csv" + L'\0' + platform::Widen(pathsType) +
                          L'\0' + L"*.txt" + L'\0' + L'\0';
    std::vector<wchar_t> file(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrDefExt = L"csv";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (!::GetSaveFileNameW(&dialog))
        return std::nullopt;
    return std::make_pair(platform::Narrow(file.data()), dialog.nFilterIndex != 2);
}

void OpenWithFileSelected(const std::string& path)
{
    platform::UniquePidl item(::ILCreateFromPathW(platform::Widen(path).c_str()));
    if (item)
        ::SHOpenFolderAndSelectItems(item.Get(), 0, nullptr, 0);
}

} // namespace

void ResultsList::ShowResultsMenu(POINT screen)
{
    platform::UniqueMenu menu(::CreatePopupMenu());
    if (!menu)
        return;
    AppendItem(menu.Get(), kMenuSaveResults, m_services.texts->Text(lang::text::kSaveResults));
    AppendItem(menu.Get(), kMenuCopyAllPaths, m_services.texts->Text(lang::text::kCopyAllPaths));
    AppendItem(menu.Get(), kMenuSelectAll, m_services.texts->Text(lang::text::kSelectAll));
    if (ListView_GetNextItem(m_list, -1, LVNI_SELECTED) >= 0)
        AppendItem(menu.Get(), kMenuOpenFolder, m_services.texts->Text(lang::text::kOpenContainingFolder));
    const ResultsMode* mode = CurrentMode();
    const std::string own = mode ? mode->OwnMenuItem() : std::string();
    if (!own.empty())
    {
        ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
        AppendItem(menu.Get(), kMenuModeItem, own);
    }
    const bool empty = m_rows.Empty();
    for (UINT command : {kMenuSaveResults, kMenuCopyAllPaths, kMenuSelectAll})
        ::EnableMenuItem(menu.Get(), command, MF_BYCOMMAND | (empty ? MF_GRAYED : MF_ENABLED));
    const UINT chosen =
        chooseResultsMenuItem
            ? chooseResultsMenuItem(menu.Get())
            : static_cast<UINT>(::TrackPopupMenuEx(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x,
                                                   screen.y, m_list, nullptr));
    RunResultsMenuCommand(chosen);
}

void ResultsList::RunResultsMenuCommand(UINT command)
{
    ShowPendingRows();
    switch (command)
    {
    case kMenuSaveResults: {
        if (m_rows.Empty())
            return;
        std::optional<std::pair<std::string, bool>> target =
            askSavePath ? askSavePath()
                        : AskSavePath(::GetAncestor(m_list, GA_ROOT),
                                      m_services.texts->Text(lang::text::kSaveFilterCsv),
                                      m_services.texts->Text(lang::text::kSaveFilterPaths));
        if (target)
            SaveResults(target->first, target->second);
        return;
    }
    case kMenuCopyAllPaths: {
        std::vector<std::string> paths;
        paths.reserve(m_rows.Size());
        for (size_t i = 0; i < m_rows.Size(); ++i)
            paths.push_back(m_rows.Path(i));
        CopyPaths(paths);
        return;
    }
    case kMenuSelectAll:
        SelectAll();
        return;
    case kMenuOpenFolder: {
        const std::vector<std::string> paths = SelectedPaths();
        if (!paths.empty())
            (openContainingFolder ? openContainingFolder : OpenWithFileSelected)(paths.front());
        return;
    }
    case kMenuModeItem:
        if (ResultsMode* mode = CurrentMode())
            mode->RunOwnMenuItem();
        return;
    default:
        return;
    }
}

void ResultsList::SaveResults(const std::string& path, bool csv) const
{
    if (!platform::WriteWholeFile(path, csv ? ResultsCsv(m_rows) : ResultsPathList(m_rows)))
        throw std::runtime_error(m_services.texts->Text(lang::text::kSaveFailed) + path);
}

} // namespace ui
