#include "controls/Panel.h"

#include "controls/Theme.h"

namespace controls
{

namespace
{
constexpr wchar_t kClassName[] = L"FFPanel";
}

Panel::Panel()
{
    RegisterWindowClass(kClassName, LoadCursorW(nullptr, IDC_HAND));
}

HWND Panel::Create(HWND parent, int id, const RECT& bounds, HWND sink, COLORREF colour, DWORD style)
{
    m_sink = sink;
    m_colour = colour;
    return CreateWin(WS_EX_CONTROLPARENT, kClassName, L"",
                     WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | style, bounds.left, bounds.top,
                     bounds.right - bounds.left, bounds.bottom - bounds.top, parent, id);
}

void Panel::SetTile(HBITMAP tile)
{
    m_tile = tile;
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT Panel::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_ERASEBKGND: {
        RECT rect;
        GetClientRect(Handle(), &rect);
        HDC dc = reinterpret_cast<HDC>(wParam);
        if (m_tile)
            PaintTiled(dc, rect, m_tile);
        else
        {
            SetBkColor(dc, m_colour);
            ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, L"", 0, nullptr);
        }
        if (m_sunken)
            DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT);
        return 1;
    }
    case WM_LBUTTONDOWN:
        if (OnBackgroundClick)
            OnBackgroundClick();
        return 0;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_DRAWITEM:
        if (m_sink)
            return SendMessageW(m_sink, msg, wParam, lParam);
        break;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

} // namespace controls
