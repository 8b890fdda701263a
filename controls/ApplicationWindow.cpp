#include "controls/ApplicationWindow.h"

#include "platform/Utf8.h"

namespace controls
{

namespace
{
constexpr wchar_t kClassName[] = L"TApplication";
constexpr UINT kMsgActivateMain = WM_APP + 1;
} // namespace

ApplicationWindow::ApplicationWindow()
{
    RegisterWindowClass(kClassName, nullptr, 0);
}

HWND ApplicationWindow::Create(const std::string& title)
{
    // Without a size it is never drawn; the taskbar still shows its button, as for any visible
    // unowned window.
    HWND hwnd =
        CreateWin(0, kClassName, platform::Widen(title),
                  WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                  GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr, 0);
    if (hwnd)
        ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    return hwnd;
}

void ApplicationWindow::Minimize()
{
    if (m_main)
        ShowWindow(m_main, SW_MINIMIZE);
    // An owner that is minimised hides the windows it owns until it is restored.
    ShowWindow(Handle(), SW_MINIMIZE);
}

void ApplicationWindow::ActivateMainWindow()
{
    if (!m_main || !IsWindowVisible(m_main) || IsIconic(Handle()))
        return;
    // A modal window of the main window keeps the activation while it is open.
    HWND target = GetLastActivePopup(m_main);
    if (!target || !IsWindowVisible(target) || !IsWindowEnabled(target))
        target = m_main;
    SetForegroundWindow(target);
    SetActiveWindow(target);
}

void ApplicationWindow::RestoreMainWindow()
{
    if (m_main && IsIconic(m_main))
        ShowWindow(m_main, SW_RESTORE);
    ActivateMainWindow();
}

LRESULT ApplicationWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {0, 0};
        return 0;
    }
    case WM_ACTIVATE:
        // The taskbar button or Alt+Tab chose the application: the main window takes over, once
        // this activation has ended.
        if (LOWORD(wParam) != WA_INACTIVE)
            PostMessageW(Handle(), kMsgActivateMain, 0, 0);
        return 0;
    case kMsgActivateMain:
        ActivateMainWindow();
        return 0;
    case WM_SIZE:
        if (wParam == SIZE_RESTORED)
            RestoreMainWindow();
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MINIMIZE)
        {
            Minimize();
            return 0;
        }
        break;
    case WM_CLOSE:
        if (m_main)
            PostMessageW(m_main, WM_CLOSE, 0, 0);
        return 0;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

} // namespace controls
