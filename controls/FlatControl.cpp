#include "controls/FlatControl.h"

#include "platform/UniqueHandle.h"

#include <utility>

namespace controls
{

void FlatControl::SetHover(bool hover)
{
    if (SetHoverState(Handle(), m_hover, hover))
        Repaint();
}

void FlatControl::EndPress(LPARAM lParam)
{
    const bool wasPressing = std::exchange(m_pressing, false);
    if (GetCapture() == Handle())
        ReleaseCapture();
    Repaint();
    RECT rect;
    GetClientRect(Handle(), &rect);
    const POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (wasPressing && PtInRect(&rect, pt))
        OnPressClick();
}

LRESULT FlatControl::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_PAINT: {
        const platform::PaintDC paint(Handle());
        Paint(paint.Get());
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SETTEXT: {
        const LRESULT result = Window::HandleMessage(msg, wParam, lParam);
        Repaint();
        return result;
    }
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Repaint();
        return 0;
    case WM_MOUSEMOVE:
        if (ShowsHover())
            SetHover(true);
        return 0;
    case WM_MOUSELEAVE:
        SetHover(false);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!TakesPress())
            return 0;
        m_pressing = true;
        SetCapture(Handle());
        Repaint();
        return 0;
    case WM_LBUTTONUP:
        EndPress(lParam);
        return 0;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

} // namespace controls
