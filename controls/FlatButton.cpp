#include "controls/FlatButton.h"

#include "controls/Theme.h"
#include "controls/WindowDpi.h"
#include "platform/UniqueHandle.h"

namespace controls
{

namespace
{
constexpr wchar_t kClassName[] = L"FFFlatButton";
}

FlatButton::FlatButton()
{
    RegisterWindowClass(kClassName, LoadCursorW(nullptr, IDC_HAND));
}

HWND FlatButton::Create(HWND parent, int id, int x, int y, int width, int height)
{
    return CreateWin(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, x, y, width, height, parent, id);
}

void FlatButton::SetFaces(HBITMAP resting, HBITMAP hover)
{
    m_resting = resting;
    m_hoverFace = hover;
    Repaint();
}

void FlatButton::SetGlyph(HIMAGELIST images, int index)
{
    m_glyphs = images;
    m_glyph = index;
    Repaint();
}

void FlatButton::SetPicture(const wchar_t* resourceName)
{
    m_pictureName = resourceName;
    m_picture = Picture(resourceName, WindowDpi(Handle()));
    Repaint();
}

void FlatButton::Click()
{
    HWND parent = GetParent(Handle());
    const int id = GetDlgCtrlID(Handle());
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Handle()));
}

void FlatButton::Paint(HDC dc)
{
    RECT rect;
    GetClientRect(Handle(), &rect);
    if (m_picture)
    {
        // A picture button shows the picture alone on the parent's panel colour.
        FillRect(dc, &rect, PanelBrush());
        BITMAP info{};
        GetObjectW(m_picture, sizeof(info), &info);
        const platform::UniqueMemoryDC source(CreateCompatibleDC(dc));
        const platform::SelectedObject pictureIn(source.Get(), m_picture);
        const int offset = Pushed() ? 1 : 0;
        BitBlt(dc, (rect.right - info.bmWidth) / 2 + offset, (rect.bottom - info.bmHeight) / 2 + offset,
               info.bmWidth, info.bmHeight, source.Get(), 0, 0, SRCCOPY);
        PaintFocus(dc, rect);
        return;
    }
    PaintStretched(dc, rect, Hovered() ? m_hoverFace : m_resting);
    {
        const platform::UniquePen pen(
            CreatePen(PS_SOLID, 1, Hovered() ? RGB(0xC8, 0x8A, 0x1E) : RGB(0x5B, 0x7D, 0xC2)));
        const platform::SelectedObject penIn(dc, pen.Get());
        const platform::SelectedObject noFill(dc, GetStockObject(NULL_BRUSH));
        RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, 4, 4);
    }

    int textLeft = 4;
    if (m_glyphs && m_glyph >= 0)
    {
        int cx = 16, cy = 16;
        ImageList_GetIconSize(m_glyphs, &cx, &cy);
        ImageList_Draw(m_glyphs, m_glyph, dc, 3, (rect.bottom - cy) / 2, ILD_TRANSPARENT);
        textLeft = 3 + cx + 2;
    }
    wchar_t text[256] = {};
    GetWindowTextW(Handle(), text, 256);
    RECT textRect{textLeft, 0, rect.right - 2, rect.bottom};
    if (Pushed())
        OffsetRect(&textRect, 1, 1);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kTextColour);
    const platform::SelectedObject fontIn(dc, m_font ? m_font : UiFont(WindowDpi(Handle())));
    DrawTextW(dc, text, -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
    PaintFocus(dc, rect);
}

bool FlatButton::Pushed() const
{
    return (Pressing() && Hovered()) || m_spacePressed;
}

void FlatButton::PaintFocus(HDC dc, const RECT& rect)
{
    if (GetFocus() != Handle() || (SendMessageW(Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS))
        return;
    RECT focus = rect;
    InflateRect(&focus, -2, -2);
    SetTextColor(dc, kTextColour);
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &focus);
}

void FlatButton::OnKey(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (wParam != VK_SPACE)
        return;
    if (msg == WM_KEYDOWN && !(lParam & 0x40000000))
    {
        m_spacePressed = true;
        Repaint();
    }
    else if (msg == WM_KEYUP && m_spacePressed)
    {
        m_spacePressed = false;
        Repaint();
        Click();
    }
}

LRESULT FlatButton::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_SETFONT:
        m_font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            Repaint();
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_font ? m_font : UiFont(WindowDpi(Handle())));
    case WM_KILLFOCUS:
        m_spacePressed = false;
        SetHover(false);
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // Like a standard button, a press takes the keyboard focus.
        SetFocus(Handle());
        break;
    // Space presses the button and releasing it clicks; Enter is the dialog manager's, which
    // sends the focused button's command (see WM_GETDLGCODE).
    case WM_KEYDOWN:
    case WM_KEYUP:
        OnKey(msg, wParam, lParam);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_BUTTON | (GetFocus() == Handle() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case BM_CLICK:
        Click();
        return 0;
    case BM_GETCHECK:
        return BST_UNCHECKED;
    case BM_SETCHECK:
        return 0;
    case BM_GETSTATE:
        return (Pushed() ? BST_PUSHED : 0) | (GetFocus() == Handle() ? BST_FOCUS : 0);
    }
    return FlatControl::HandleMessage(msg, wParam, lParam);
}

} // namespace controls
