#include "controls/SideBar.h"

#include "controls/Dpi.h"
#include "controls/Theme.h"
#include "controls/WindowDpi.h"
#include "platform/UniqueHandle.h"

namespace controls
{

namespace
{
constexpr wchar_t kBarClass[] = L"FFSideBar";
constexpr wchar_t kStripClass[] = L"FFHeaderStrip";
} // namespace

// One header's caption strip: the header picture, a bold caption and an open/closed mark.
class SideBar::HeaderStrip : public Window
{
public:
    HeaderStrip(SideBar& bar, int index) : m_bar(bar), m_index(index)
    {
        RegisterWindowClass(kStripClass, LoadCursorW(nullptr, IDC_HAND));
    }
    HWND Create(HWND parent, int id)
    {
        // A tab stop: the keyboard reaches the headers as it reaches buttons.
        return CreateWin(0, kStripClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 10, kHeaderHeight,
                         parent, id);
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        switch (msg)
        {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(Handle(), &ps);
            RECT rect;
            GetClientRect(Handle(), &rect);
            PaintStretched(dc, rect, Picture(L"HEADER"));
            {
                const platform::UniquePen pen(CreatePen(PS_SOLID, 1, RGB(0x6A, 0x8C, 0xCF)));
                const platform::SelectedObject penIn(dc, pen.Get());
                MoveToEx(dc, 0, rect.bottom - 1, nullptr);
                LineTo(dc, rect.right, rect.bottom - 1);
            }

            const bool open = m_bar.Active() == m_index;
            // A small triangle: pointing down at the open header, right at the others.
            const unsigned dpi = WindowDpi(Handle());
            auto s = [dpi](int px96) { return Scale(px96, dpi); };
            POINT mark[3];
            const int cy = rect.bottom / 2;
            if (open)
                mark[0] = {rect.right - s(14), cy - s(2)}, mark[1] = {rect.right - s(6), cy - s(2)},
                mark[2] = {rect.right - s(10), cy + s(2)};
            else
                mark[0] = {rect.right - s(12), cy - s(4)}, mark[1] = {rect.right - s(12), cy + s(4)},
                mark[2] = {rect.right - s(8), cy};
            {
                const platform::UniqueBrush brush(CreateSolidBrush(kHeaderTextColour));
                const platform::SelectedObject brushIn(dc, brush.Get());
                const platform::SelectedObject noPen(dc, GetStockObject(NULL_PEN));
                Polygon(dc, mark, 3);
            }

            wchar_t text[256] = {};
            GetWindowTextW(Handle(), text, 256);
            RECT textRect{s(8), 0, rect.right - s(18), rect.bottom};
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, kHeaderTextColour);
            {
                const platform::SelectedObject fontIn(dc, UiBoldFont(dpi));
                DrawTextW(dc, text, -1, &textRect,
                          DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
            }
            PaintFocus(dc, rect);
            EndPaint(Handle(), &ps);
            return 0;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(Handle(), nullptr, FALSE);
            return 0;
        // Enter opens the header at once; Space when released, as a button clicks.
        case WM_GETDLGCODE: {
            const MSG* key = reinterpret_cast<const MSG*>(lParam);
            const bool enter = key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN;
            return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON | (enter ? DLGC_WANTMESSAGE : 0);
        }
        case WM_KEYDOWN:
            if (wParam == VK_RETURN)
                Click();
            return 0;
        case WM_KEYUP:
            if (wParam == VK_SPACE)
                Click();
            return 0;
        case BM_CLICK:
            Click();
            return 0;
        // The open header reads as checked, as the chosen one of a group of tabs.
        case BM_GETCHECK:
            return m_bar.Active() == m_index ? BST_CHECKED : BST_UNCHECKED;
        case WM_SETTEXT: {
            LRESULT result = Window::HandleMessage(msg, wParam, lParam);
            InvalidateRect(Handle(), nullptr, FALSE);
            return result;
        }
        case WM_LBUTTONDOWN:
            Click();
            return 0;
        }
        return Window::HandleMessage(msg, wParam, lParam);
    }

private:
    void Click()
    {
        m_bar.Activate(m_index);
        if (m_bar.OnHeaderClick)
            m_bar.OnHeaderClick(m_index);
    }
    void PaintFocus(HDC dc, const RECT& rect) const
    {
        if (GetFocus() != Handle() || (SendMessageW(Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS))
            return;
        RECT focus = rect;
        InflateRect(&focus, -2, -2);
        focus.bottom -= 1; // above the strip's bottom line
        SetTextColor(dc, kHeaderTextColour);
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &focus);
    }

    SideBar& m_bar;
    int m_index;
};

struct SideBar::Header
{
    std::unique_ptr<HeaderStrip> strip;
    Panel page;
};

SideBar::SideBar()
{
    RegisterWindowClass(kBarClass, LoadCursorW(nullptr, IDC_HAND));
}

SideBar::~SideBar() = default;

HWND SideBar::Create(HWND parent, int id, const RECT& bounds, HWND sink)
{
    m_sink = sink;
    return CreateWin(WS_EX_CONTROLPARENT, kBarClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                     bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                     id);
}

int SideBar::AddHeader(int stripId, int pageId)
{
    const int index = static_cast<int>(m_headers.size());
    auto header = std::make_unique<Header>();
    header->strip = std::make_unique<HeaderStrip>(*this, index);
    header->strip->Create(Handle(), stripId);
    header->page.Create(Handle(), pageId, RECT{0, 0, 10, 10}, m_sink, kPanelColour);
    m_headers.push_back(std::move(header));
    Layout();
    return index;
}

HWND SideBar::Strip(int index) const
{
    return m_headers.at(static_cast<size_t>(index))->strip->Handle();
}

Panel& SideBar::Page(int index)
{
    return m_headers.at(static_cast<size_t>(index))->page;
}

void SideBar::Activate(int index)
{
    if (index < 0 || index >= static_cast<int>(m_headers.size()))
        return;
    m_active = index;
    Layout();
}

void SideBar::Layout()
{
    if (!Handle())
        return;
    RECT client;
    GetClientRect(Handle(), &client);
    const int width = client.right;
    const int headerHeight = ScaleFor(Handle(), kHeaderHeight);
    const int count = static_cast<int>(m_headers.size());
    int top = 0;
    int bottom = client.bottom;
    // Headers after the active one sit at the bottom edge, in order.
    for (int i = count - 1; i > m_active; --i)
    {
        bottom -= headerHeight;
        SetWindowPos(Strip(i), nullptr, 0, bottom, width, headerHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (int i = 0; i <= m_active && i < count; ++i)
    {
        SetWindowPos(Strip(i), nullptr, 0, top, width, headerHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        top += headerHeight;
    }
    for (int i = 0; i < count; ++i)
    {
        HWND page = m_headers[static_cast<size_t>(i)]->page.Handle();
        if (i == m_active)
        {
            SetWindowPos(page, nullptr, 0, top, width, std::max(0, bottom - top),
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        }
        else
            ShowWindow(page, SW_HIDE);
        InvalidateRect(Strip(i), nullptr, FALSE);
    }
}

LRESULT SideBar::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_SIZE:
        Layout();
        return 0;
    case WM_ERASEBKGND: {
        RECT rect;
        GetClientRect(Handle(), &rect);
        FillRect(reinterpret_cast<HDC>(wParam), &rect, BarBrush());
        return 1;
    }
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
        if (m_sink)
            return SendMessageW(m_sink, msg, wParam, lParam);
        break;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

} // namespace controls
