// PopupMenu3: the actions on a row of LV1 in network mode, explore and properties.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
// clang-format on
#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"
#include "ui/network/NetworkPanel.h"
#include "ui/results/ResultsList.h"

namespace ui
{

bool DisplayPropDialog(HWND owner, const std::string& path)
{
    const std::wstring file = platform::Widen(path);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_INVOKEIDLIST;
    info.hwnd = owner;
    info.lpVerb = L"properties";
    info.lpFile = file.c_str();
    info.nShow = SW_SHOW;
    return ::ShellExecuteExW(&info) != FALSE;
}

bool NetworkPanel::FirstSelectedCaption(std::string& caption) const
{
    const ResultsList& list = m_host.Results();
    const int index = ListView_GetNextItem(list.Handle(), -1, LVNI_SELECTED);
    if (index < 0 || static_cast<size_t>(index) >= list.RowCount())
        return false;
    caption = list.Row(static_cast<size_t>(index)).caption;
    return true;
}

void NetworkPanel::ShowPopupMenu3(POINT screen)
{
    // The two captions are the menu's own, the same in every language.
    platform::UniqueMenu menu(::CreatePopupMenu());
    ::AppendMenuW(menu.Get(), MF_STRING, kIdProzkoumat1, L"Prozkoumat");
    ::AppendMenuW(menu.Get(), MF_STRING, kIdVlastnosti1, L"Vlastnosti");
    const int chosen =
        m_services.trackMenu
            ? m_services.trackMenu(menu.Get(), screen)
            : static_cast<int>(::TrackPopupMenuEx(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x,
                                                  screen.y, m_host.Owner(), nullptr));
    if (chosen == kIdProzkoumat1)
        Prozkoumat1Click();
    else if (chosen == kIdVlastnosti1)
        Vlastnosti1Click();
}

void NetworkPanel::Prozkoumat1Click()
{
    std::string caption;
    if (!FirstSelectedCaption(caption))
        return;
    // A domain row's empty caption hands the bare two backslashes to the shell.
    const std::string path = "\\\\" + caption;
    if (m_services.explore)
        m_services.explore(path);
    else
        ::ShellExecuteW(nullptr, L"explore", platform::Widen(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void NetworkPanel::Vlastnosti1Click()
{
    std::string caption;
    if (!FirstSelectedCaption(caption) || caption.empty())
        return;
    const std::string path = "\\\\" + caption;
    if (m_services.properties)
        m_services.properties(m_host.Owner(), path);
    else
        DisplayPropDialog(m_host.Owner(), path);
}

} // namespace ui
