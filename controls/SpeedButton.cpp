#include "controls/SpeedButton.h"

#include "platform/UniqueHandle.h"

namespace controls
{
namespace
{

constexpr wchar_t kClassName[] = L"FFSpeedButton";
// Asks a button of this class for its group.
constexpr UINT kMsgGroup = WM_APP + 0x310;

struct GroupRelease
{
    HWND pressed;
    LRESULT group;
};

BOOL CALLBACK ReleaseSibling(HWND child, LPARAM param)
{
    auto* release = reinterpret_cast<GroupRelease*>(param);
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    if (child != release->pressed && GetParent(child) == GetParent(release->pressed) &&
        wcscmp(name, kClassName) == 0 && SendMessageW(child, kMsgGroup, 0, 0) == release->group)
        SendMessageW(child, BM_SETCHECK, BST_UNCHECKED, 0);
    return TRUE;
}

// A disabled picture: each pixel's grey, faded half-way to the face.
void Fade(HDC dc, int left, int top, int width, int height, COLORREF face)
{
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
        {
            const COLORREF c = GetPixel(dc, x, y);
            const int grey = (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
            SetPixel(dc, x, y,
                     RGB((grey + GetRValue(face)) / 2, (grey + GetGValue(face)) / 2,
                         (grey + GetBValue(face)) / 2));
        }
}

} // namespace

SpeedButton::SpeedButton()
{
    RegisterWindowClass(kClassName, LoadCursorW(nullptr, IDC_HAND));
}

HWND SpeedButton::Create(HWND parent, int id, int x, int y, int width, int height, const std::string& text,
                         int group)
{
    m_group = group;
    HWND hwnd =
        CreateWin(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, x, y, width, height, parent, id);
    SetWindowTextUtf8(hwnd, text);
    return hwnd;
}

void SpeedButton::SetPicture(HBITMAP picture)
{
    m_picture = picture;
    Repaint();
}

void SpeedButton::SetDown(bool down)
{
    if (down == m_down)
        return;
    m_down = down;
    if (down)
    {
        GroupRelease release{Handle(), m_group};
        EnumChildWindows(GetParent(Handle()), &ReleaseSibling, reinterpret_cast<LPARAM>(&release));
    }
    Repaint();
}

void SpeedButton::Press()
{
    if (!IsWindowEnabled(Handle()))
        return;
    SetDown(true);
    SendMessageW(GetParent(Handle()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Handle()), BN_CLICKED),
                 reinterpret_cast<LPARAM>(Handle()));
}

void SpeedButton::Paint(HDC dc)
{
    RECT rect;
    GetClientRect(Handle(), &rect);
    {
        const platform::UniqueBrush face(CreateSolidBrush(m_face));
        FillRect(dc, &rect, face.Get());
    }
    const bool enabled = IsWindowEnabled(Handle()) != FALSE;
    if (m_picture)
    {
        BITMAP info{};
        GetObjectW(m_picture, sizeof(info), &info);
        const int offset = (m_down || (Pressing() && Hovered())) ? 1 : 0;
        const int left = (rect.right - info.bmWidth) / 2 + offset;
        const int top = (rect.bottom - info.bmHeight) / 2 + offset;
        {
            const platform::UniqueMemoryDC source(CreateCompatibleDC(dc));
            const platform::SelectedObject pictureIn(source.Get(), m_picture);
            BitBlt(dc, left, top, info.bmWidth, info.bmHeight, source.Get(), 0, 0, SRCCOPY);
        }
        if (!enabled)
            Fade(dc, left, top, info.bmWidth, info.bmHeight, m_face);
    }
    // Flat: an edge only when pressed down, or raised under the pointer.
    if (m_down || (Pressing() && Hovered()))
        DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT);
    else if (Hovered() && enabled)
        DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT);
    if (GetFocus() == Handle())
    {
        RECT focus = rect;
        InflateRect(&focus, -2, -2);
        DrawFocusRect(dc, &focus);
    }
}

LRESULT SpeedButton::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_KEYUP:
        if (wParam == VK_SPACE)
            Press();
        return 0;
    case WM_GETDLGCODE:
        return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case BM_CLICK:
        Press();
        return 0;
    case BM_GETCHECK:
        return m_down ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK:
        SetDown(wParam == BST_CHECKED);
        return 0;
    case kMsgGroup:
        return m_group;
    }
    return FlatControl::HandleMessage(msg, wParam, lParam);
}

} // namespace controls
