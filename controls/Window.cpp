#include "controls/Window.h"

#include "controls/Dpi.h"
#include "controls/ErrorText.h"
#include "controls/WindowDpi.h"
#include "platform/AppMessageBox.h"
#include "platform/AppTitle.h"
#include "platform/Utf8.h"

#include <exception>
#include <utility>

namespace controls
{

namespace
{

ErrorBoxHook& Hook()
{
    static ErrorBoxHook hook;
    return hook;
}

// A child window at a 96-DPI rectangle scaled to its parent's DPI; the rectangle is kept for a
// later change of DPI.
HWND CreateChildAt96(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style,
                     const RECT& at96, HWND parent, int id, void* param)
{
    const unsigned dpi = WindowDpi(parent);
    const int width = at96.right - at96.left;
    const int height = at96.bottom - at96.top;
    HWND hwnd =
        CreateWindowExW(exStyle, className, text, style, Scale(at96.left, dpi), Scale(at96.top, dpi),
                        Scale(width, dpi), Scale(height, dpi), parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), param);
    RememberPlace96(hwnd, at96.left, at96.top, width, height);
    return hwnd;
}

} // namespace

void ShowErrorBox(HWND owner, const std::string& message)
{
    const std::string text = ErrorBoxText(message);
    if (Hook())
    {
        Hook()(platform::kAppTitle, text);
        return;
    }
    platform::AppMessageBox(owner, text, MB_ICONERROR | MB_OK);
}

ErrorBoxHook SetErrorBoxHook(ErrorBoxHook hook)
{
    return std::exchange(Hook(), std::move(hook));
}

Window::~Window()
{
    if (m_hwnd)
    {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        HWND hwnd = std::exchange(m_hwnd, nullptr);
        DestroyWindow(hwnd);
    }
}

void Window::RegisterWindowClass(const wchar_t* className, HCURSOR cursor, UINT style)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(GetModuleHandleW(nullptr), className, &wc))
        return;
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = &Window::StaticProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = className;
    wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
    RegisterClassExW(&wc);
}

HWND Window::CreateWin(DWORD exStyle, const wchar_t* className, const std::wstring& text, DWORD style, int x,
                       int y, int width, int height, HWND parent, int id)
{
    if (!(style & WS_CHILD))
        return CreateWindowExW(exStyle, className, text.c_str(), style, x, y, width, height, parent, nullptr,
                               GetModuleHandleW(nullptr), this);
    return CreateChildAt96(exStyle, className, text.c_str(), style, RECT{x, y, x + width, y + height}, parent,
                           id, this);
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(m_hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE)
    {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<Window*>(cs->lpCreateParams);
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (!(cs->style & WS_CHILD))
            EnableNonClientScaling(hwnd);
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY)
    {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
        self->OnDestroyed();
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    try
    {
        return self->Dispatch(msg, wParam, lParam);
    }
    catch (const std::exception& e)
    {
        ShowErrorBox(hwnd, e.what());
    }
    catch (...)
    {
        ShowErrorBox(hwnd, "Unexpected error");
    }
    return 0;
}

LRESULT Window::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND && OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)))
        return 0;
    if (msg == WM_NOTIFY && lParam)
    {
        LRESULT result = 0;
        if (OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result))
            return result;
    }
    return HandleMessage(msg, wParam, lParam);
}

namespace
{

struct ControlSearch
{
    int id;
    HWND found;
};

BOOL CALLBACK MatchControlId(HWND child, LPARAM param)
{
    auto* search = reinterpret_cast<ControlSearch*>(param);
    if (GetDlgCtrlID(child) != search->id)
        return TRUE;
    search->found = child;
    return FALSE;
}

} // namespace

HWND CreateChild(HWND parent, int id, const wchar_t* className, DWORD style, int x, int y, int width,
                 int height, DWORD exStyle)
{
    return CreateChildAt96(exStyle, className, L"", WS_CHILD | WS_VISIBLE | style,
                           RECT{x, y, x + width, y + height}, parent, id, nullptr);
}

HWND FindControl(HWND parent, int id)
{
    ControlSearch search{id, nullptr};
    EnumChildWindows(parent, &MatchControlId, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool SetHoverState(HWND hwnd, bool& current, bool hover)
{
    if (hover == current)
        return false;
    current = hover;
    if (hover)
    {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd, 0};
        TrackMouseEvent(&track);
    }
    return true;
}

std::string WindowText(HWND hwnd)
{
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
    return platform::Narrow(text.data(), static_cast<size_t>(copied < 0 ? 0 : copied));
}

void SetWindowTextUtf8(HWND hwnd, const std::string& text)
{
    SetWindowTextW(hwnd, platform::Widen(text).c_str());
}

} // namespace controls
