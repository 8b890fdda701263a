#include "controls/Label.h"

#include "platform/Utf8.h"

namespace controls
{
namespace
{
constexpr wchar_t kClassName[] = L"FFLabel";
constexpr COLORREF kLinkColour = RGB(0, 0, 0xFF);
} // namespace

Label::Label()
{
    RegisterWindowClass(kClassName, nullptr);
}

HWND Label::Create(HWND parent, int id, int x, int y, int width, int height, const std::string& text)
{
    HWND hwnd = CreateWin(0, kClassName, L"", WS_CHILD | WS_VISIBLE, x, y, width, height, parent, id);
    SetWindowTextUtf8(hwnd, text);
    return hwnd;
}

void Label::SetLink(std::function<void()> onClick)
{
    m_onClick = std::move(onClick);
    m_colour = kLinkColour;
    SetFont(m_font);
    SetWindowLongW(Handle(), GWL_STYLE, GetWindowLongW(Handle(), GWL_STYLE) | WS_TABSTOP);
}

void Label::SetFont(HFONT font)
{
    m_font = font;
    if (m_onClick)
    {
        LOGFONTW underlined{};
        GetObjectW(m_font ? m_font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), sizeof(underlined),
                   &underlined);
        underlined.lfUnderline = TRUE;
        m_linkFont.Reset(CreateFontIndirectW(&underlined));
    }
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
}

HFONT Label::TextFont() const
{
    if (m_linkFont)
        return m_linkFont.Get();
    return m_font ? m_font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

std::wstring Label::WideText() const
{
    wchar_t text[512] = {};
    GetWindowTextW(Handle(), text, 512);
    return text;
}

void Label::SetHint(HWND tooltip, const std::string& hint)
{
    m_hint = platform::Widen(hint);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(Handle());
    tool.uId = reinterpret_cast<UINT_PTR>(Handle());
    tool.lpszText = m_hint.data();
    SendMessageW(tooltip, m_hasHint ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    m_hasHint = true;
}

void Label::AutoSize()
{
    const std::wstring text = WideText();
    SIZE size{};
    {
        const platform::WindowDC dc(Handle());
        const platform::SelectedObject fontIn(dc.Get(), TextFont());
        GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    }
    const int extra = m_shadow ? 1 : 0;
    RECT rect;
    GetWindowRect(Handle(), &rect);
    MapWindowPoints(nullptr, GetParent(Handle()), reinterpret_cast<POINT*>(&rect), 2);
    const int width = size.cx + extra;
    const int left = m_align == Align::Right ? rect.right - width : rect.left;
    MoveWindow(Handle(), left, rect.top, width, size.cy + extra, TRUE);
}

void Label::Paint(HDC dc)
{
    RECT client;
    GetClientRect(Handle(), &client);
    if (paintBackground)
    {
        RECT place = client;
        MapWindowPoints(Handle(), GetParent(Handle()), reinterpret_cast<POINT*>(&place), 2);
        POINT oldOrigin;
        SetViewportOrgEx(dc, -place.left, -place.top, &oldOrigin);
        paintBackground(dc, place);
        SetViewportOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    }
    else
        FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));

    const std::wstring text = WideText();
    UINT format = DT_NOPREFIX | (m_wrap ? DT_WORDBREAK : DT_SINGLELINE);
    format |= m_align == Align::Right ? DT_RIGHT : DT_LEFT;
    SetBkMode(dc, TRANSPARENT);
    const platform::SelectedObject fontIn(dc, TextFont());
    RECT textRect = client;
    if (m_shadow)
    {
        // The shadow lies one pixel right and down of the text.
        textRect.right -= 1;
        textRect.bottom -= 1;
        RECT shadowRect = textRect;
        OffsetRect(&shadowRect, 1, 1);
        SetTextColor(dc, *m_shadow);
        DrawTextW(dc, text.c_str(), -1, &shadowRect, format);
    }
    SetTextColor(dc, m_colour);
    DrawTextW(dc, text.c_str(), -1, &textRect, format);
    if (m_onClick && GetFocus() == Handle())
        DrawFocusRect(dc, &client);
}

void Label::Click()
{
    if (m_onClick)
        m_onClick();
}

LRESULT Label::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(TextFont());
    case WM_SETCURSOR:
        if (m_onClick)
        {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_NCHITTEST:
        // A plain label lets the mouse through to what lies beneath, so hints and clicks of the
        // owner work over it; a link takes the mouse itself.
        if (!m_onClick && !m_hasHint)
            return HTTRANSPARENT;
        break;
    case WM_LBUTTONDBLCLK:
        // The second press of a double click: the first click has already acted.
        CancelPress();
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE || wParam == VK_RETURN)
            Click();
        return 0;
    case WM_GETDLGCODE:
        return m_onClick ? DLGC_BUTTON : DLGC_STATIC;
    case BM_CLICK:
        Click();
        return 0;
    }
    return FlatControl::HandleMessage(msg, wParam, lParam);
}

} // namespace controls
