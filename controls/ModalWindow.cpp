#include "controls/ModalWindow.h"

#include "controls/Dpi.h"
#include "controls/WindowDpi.h"

#include <algorithm>
#include <vector>

namespace controls
{

namespace
{

// The open modal windows (all on the user-interface thread).
std::vector<ModalWindow*>& OpenWindows()
{
    static std::vector<ModalWindow*> open;
    return open;
}

} // namespace

ModalWindow* ModalWindow::OpenOfKind(const wchar_t* className)
{
    for (ModalWindow* window : OpenWindows())
        if (lstrcmpW(window->m_className, className) == 0)
            return window;
    return nullptr;
}

ModalWindow::ModalWindow(const wchar_t* className, HWND owner) : m_className(className), m_owner(owner) {}

ModalWindow::~ModalWindow()
{
    Unregister();
}

bool ModalWindow::CreateModal(DWORD exStyle, const std::wstring& caption, DWORD style, const RECT& bounds)
{
    if (!CreateWin(exStyle, m_className, caption, style, bounds.left, bounds.top, bounds.right - bounds.left,
                   bounds.bottom - bounds.top, m_owner, 0))
        return false;
    // Made for its owner's DPI: its children are placed at that one too.
    KeepWindowDpi(Handle(), StartDpi());
    OpenWindows().push_back(this);
    return true;
}

void ModalWindow::Unregister()
{
    auto& open = OpenWindows();
    open.erase(std::remove(open.begin(), open.end(), this), open.end());
}

void ModalWindow::EndModal()
{
    m_closing = true;
    Unregister();
    // Wakes the loop when the request came from outside a message it dispatched.
    if (Handle())
        PostMessageW(Handle(), WM_NULL, 0, 0);
}

void ModalWindow::RunModal(HWND firstFocus)
{
    HWND previousFocus = GetFocus();
    const bool ownerWasEnabled = m_owner && IsWindowEnabled(m_owner);
    if (ownerWasEnabled)
        EnableWindow(m_owner, FALSE);
    ShowWindow(Handle(), SW_SHOWNORMAL);
    UpdateWindow(Handle());
    if (firstFocus)
        SetFocus(firstFocus);
    MSG msg;
    while (!m_closing && Handle())
    {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0)
        {
            // The program is ending: the quit message is left for the main loop.
            if (got == 0)
                PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (IsDialogMessageW(Handle(), &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    Unregister();
    if (ownerWasEnabled)
        EnableWindow(m_owner, TRUE);
    if (Handle())
        DestroyWindow(Handle());
    if (previousFocus && IsWindow(previousFocus))
        SetFocus(previousFocus);
}

unsigned ModalWindow::StartDpi() const
{
    return m_owner ? WindowDpi(m_owner) : SystemDpi();
}

RECT ModalWindow::OuterRect(int clientWidth96, int clientHeight96, DWORD style, DWORD exStyle)
{
    m_clientSize96 = SIZE{clientWidth96, clientHeight96};
    const unsigned dpi = StartDpi();
    RECT rect = OuterRectForDpi(RECT{0, 0, Scale(clientWidth96, dpi), Scale(clientHeight96, dpi)}, style,
                                exStyle, dpi);
    OffsetRect(&rect, -rect.left, -rect.top);
    return rect;
}

void ModalWindow::CentreOnDesktop()
{
    RECT area;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    RECT rect;
    GetWindowRect(Handle(), &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    SetWindowPos(Handle(), nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT ModalWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DPICHANGED)
    {
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

void ModalWindow::OnDpiChanged(unsigned dpi, const RECT& suggested)
{
    MoveToDpi(Handle(), dpi);
    FollowDpi(dpi);
    // The suggested size scales what the window had; a window made at its owner's DPI may not have
    // had the size of the DPI it left, so the size comes from the client area's 96-DPI numbers.
    const auto style = static_cast<DWORD>(GetWindowLongW(Handle(), GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongW(Handle(), GWL_EXSTYLE));
    const RECT outer = OuterRectForDpi(
        RECT{0, 0, Scale(m_clientSize96.cx, dpi), Scale(m_clientSize96.cy, dpi)}, style, exStyle, dpi);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    SetWindowPos(Handle(), nullptr, (suggested.left + suggested.right - width) / 2,
                 (suggested.top + suggested.bottom - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

} // namespace controls
