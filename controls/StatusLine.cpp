#include "controls/StatusLine.h"

#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <commctrl.h>

namespace controls
{

StatusLine::~StatusLine()
{
    Detach();
}

void StatusLine::Attach(HWND staticControl)
{
    Detach();
    m_hwnd = staticControl;
    const int length = GetWindowTextLengthW(staticControl);
    m_text.assign(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
    m_text.resize(static_cast<size_t>(GetWindowTextW(staticControl, m_text.data(), length + 1)));
    m_subclass.Install(staticControl, [this](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        return OnMessage(hwnd, message, wParam, lParam);
    });
}

void StatusLine::Detach()
{
    m_subclass.Remove();
    m_hwnd = nullptr;
}

void StatusLine::SetText(const std::string& utf8)
{
    m_text = platform::Widen(utf8);
    // One invalidation per paint: the region is already dirty until the control paints.
    if (m_hwnd && !m_paintPending)
    {
        m_paintPending = true;
        InvalidateRect(m_hwnd, nullptr, TRUE);
    }
}

LRESULT StatusLine::OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_NCDESTROY:
        m_hwnd = nullptr;
        break;
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(m_text.size());
    case WM_GETTEXT: {
        if (wParam == 0)
            return 0;
        const size_t count = std::min(m_text.size(), static_cast<size_t>(wParam) - 1);
        auto* buffer = reinterpret_cast<wchar_t*>(lParam);
        std::copy_n(m_text.data(), count, buffer);
        buffer[count] = L'\0';
        return static_cast<LRESULT>(count);
    }
    case WM_SETTEXT:
        // Someone set the text the ordinary way: keep it, and let the control store it too.
        m_text = lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"";
        break;
    case WM_PAINT:
        m_paintPending = false;
        Paint();
        return 0;
    }
    return Subclass::Default(hwnd, message, wParam, lParam);
}

// Painted here rather than by the control, which would show the text it stored itself: the colours
// come from the parent as for any static control, the text is the kept one.
void StatusLine::Paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hwnd, &ps);
    RECT client;
    GetClientRect(m_hwnd, &client);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(m_hwnd), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(m_hwnd)));
    FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
    auto font = reinterpret_cast<HFONT>(SendMessageW(m_hwnd, WM_GETFONT, 0, 0));
    {
        const platform::SelectedObject fontIn(dc, font ? font : GetCurrentObject(dc, OBJ_FONT));
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, m_text.c_str(), static_cast<int>(m_text.size()), &client,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    EndPaint(m_hwnd, &ps);
}

} // namespace controls
