#include "settings/FindFileSettingsFrm.h"

#include "controls/Dpi.h"
#include "controls/Theme.h"
#include "controls/WindowDpi.h"
#include "lang/TextIds.h"
#include "settings/ExplorerIntegrationWin32.h"
#include "settings/SettingsFile.h"

#include <exception>

namespace settings
{

using controls::CreateChild;

namespace
{

constexpr COLORREF kHeadingColour = RGB(0x9D, 0xB9, 0xEB);
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// The dialog's outer rectangle (frame: its size) centred over the owner (or the screen).
RECT Placement(HWND owner, const RECT& frame)
{
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT over{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (owner)
        GetWindowRect(owner, &over);
    const int x = over.left + (over.right - over.left - width) / 2;
    const int y = over.top + (over.bottom - over.top - height) / 2;
    return RECT{x, y, x + width, y + height};
}

} // namespace

TFindFileSettingsFrm::TFindFileSettingsFrm(HWND owner, const lang::TextStore& texts)
    : ModalWindow(kClassName, owner), m_texts(texts)
{
    RegisterWindowClass(kClassName, LoadCursorW(nullptr, IDC_ARROW), 0);
}

TFindFileSettingsFrm* TFindFileSettingsFrm::OpenDialog()
{
    return static_cast<TFindFileSettingsFrm*>(OpenOfKind(kClassName));
}

HWND TFindFileSettingsFrm::Control(int id) const
{
    return controls::FindControl(Handle(), id);
}

bool TFindFileSettingsFrm::Create()
{
    const RECT frame = OuterRect(kClientWidth, kClientHeight, kStyle, kExStyle);
    if (!CreateModal(kExStyle, L"", kStyle, Placement(Owner(), frame)))
        return false;
    Build();
    FormCreate();
    return true;
}

void TFindFileSettingsFrm::Build()
{
    m_panel1.Create(Handle(), kIdSettingsPanel1, RECT{8, 8, 8 + 273, 8 + 137}, Handle(),
                    controls::kPanelColour, WS_VISIBLE);
    HWND body = m_panel1.Handle();
    m_panel2.Create(body, kIdSettingsPanel2, RECT{0, 0, 273, 33}, Handle(), RGB(255, 255, 255), WS_VISIBLE);
    HWND title = m_panel2.Handle();
    CreateChild(title, kIdSettingsImage1, L"STATIC", SS_BITMAP, 0, 0, 32, 32);
    CreateChild(title, kIdSettingsLabel1, L"STATIC", SS_LEFT | SS_NOPREFIX, 49, 5, 273 - 49 - 4, 24);

    // Standard check boxes, drawn flat: they answer every button message by themselves.
    const DWORD check = BS_AUTOCHECKBOX | BS_FLAT | WS_TABSTOP;
    CreateChild(body, kIdFlatCheckBox1, L"BUTTON", check | WS_GROUP, 8, 40, 257, 17);
    CreateChild(body, kIdFlatCheckBox2, L"BUTTON", check, 8, 56, 257, 17);
    CreateChild(body, kIdKeepHistoryBox, L"BUTTON", check, 8, 72, 257, 17);

    controls::FlatButton* buttons[2] = {&m_ok, &m_cancel};
    const int ids[2] = {kIdSettingsOk, kIdSettingsCancel};
    const int lefts[2] = {56, 128};
    for (int i = 0; i < 2; ++i)
    {
        buttons[i]->Create(body, ids[i], lefts[i], 104, 73, 25);
        buttons[i]->SetFaces(controls::Picture(L"BUTTONFACE"), controls::Picture(L"BUTTONHOVER"));
    }
    SetWindowLongPtrW(m_ok.Handle(), GWL_STYLE, GetWindowLongPtrW(m_ok.Handle(), GWL_STYLE) | WS_GROUP);
    m_white.Reset(CreateSolidBrush(RGB(255, 255, 255)));
    FollowDpi(controls::WindowDpi(Handle()));
}

void TFindFileSettingsFrm::FollowDpi(unsigned dpi)
{
    SendMessageW(Control(kIdSettingsImage1), STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(controls::Picture(L"SETTINGSPIC", dpi)));
    // The buttons and the heading take the new glyphs and font before the old ones go.
    platform::UniqueImageList glyphs(controls::LoadImageStrip(L"DIALOGGLYPHS", 16, dpi));
    m_ok.SetGlyph(glyphs.Get(), 0);
    m_cancel.SetGlyph(glyphs.Get(), 1);
    m_glyphs = std::move(glyphs);

    controls::ApplyFont(Handle());
    LOGFONTW heading{};
    GetObjectW(controls::UiBoldFont(dpi), sizeof(heading), &heading);
    heading.lfHeight = -controls::Scale(19, dpi);
    platform::UniqueFont headingFont(CreateFontIndirectW(&heading));
    SendMessageW(Control(kIdSettingsLabel1), WM_SETFONT, reinterpret_cast<WPARAM>(headingFont.Get()), FALSE);
    m_headingFont = std::move(headingFont);
}

void TFindFileSettingsFrm::FormCreate()
{
    using namespace lang::text;
    SetText(Handle(), kSettingsCaption);
    SetText(Control(kIdSettingsLabel1), kSettingsButton);
    SetText(Control(kIdFlatCheckBox1), kSettingsContextMenu);
    SetText(Control(kIdFlatCheckBox2), kSettingsDefaultFind);
    SetText(Control(kIdKeepHistoryBox), kSettingsKeepHistory);
    SetText(m_ok.Handle(), kOkButton);
    SetText(m_cancel.Handle(), kCancelButton);
    // An absent setting reads as -1: checked.
    CheckDlgButton(m_panel1.Handle(), kIdFlatCheckBox1, (incontext() & 0xFF) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_panel1.Handle(), kIdFlatCheckBox2, (defaultfind() & 0xFF) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_panel1.Handle(), kIdKeepHistoryBox, KeepSearchHistory() ? BST_CHECKED : BST_UNCHECKED);
}

void TFindFileSettingsFrm::ShowModal()
{
    RunModal(Control(kIdFlatCheckBox1));
}

void TFindFileSettingsFrm::SetText(HWND hwnd, int id) const
{
    controls::SetWindowTextUtf8(hwnd, m_texts.Text(id));
}

bool TFindFileSettingsFrm::Checked(int id) const
{
    return IsDlgButtonChecked(m_panel1.Handle(), id) == BST_CHECKED;
}

void TFindFileSettingsFrm::ExplBtn1Click()
{
    // A registry error leaves the dialog open; what was done before it stays done.
    setincontext(Checked(kIdFlatCheckBox1), true);
    setdefaoultfind(Checked(kIdFlatCheckBox2), true);
    // Turning the history off forgets it; an unwritable file only means the choice is not kept.
    SetKeepSearchHistory(Checked(kIdKeepHistoryBox));
    EndModal();
}

void TFindFileSettingsFrm::ExplBtn2Click()
{
    EndModal();
}

LRESULT TFindFileSettingsFrm::OnControlColour(HDC dc, HWND control)
{
    if (control == Control(kIdSettingsLabel1))
    {
        SetTextColor(dc, kHeadingColour);
        SetBkColor(dc, RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(m_white.Get());
    }
    SetTextColor(dc, controls::kTextColour);
    SetBkColor(dc, controls::kPanelColour);
    return reinterpret_cast<LRESULT>(controls::PanelBrush());
}

bool TFindFileSettingsFrm::OnCommand(int id, int code, HWND)
{
    if (code == BN_CLICKED && id == kIdSettingsOk)
        ExplBtn1Click();
    else if (code == BN_CLICKED && id == kIdSettingsCancel)
        ExplBtn2Click();
    return true;
}

LRESULT TFindFileSettingsFrm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_ERASEBKGND: {
        // ImgBkgrnd1: the tiled picture around the body panel.
        RECT rect;
        GetClientRect(Handle(), &rect);
        controls::PaintTiled(reinterpret_cast<HDC>(wParam), rect,
                             controls::Picture(L"BACKGROUND", controls::WindowDpi(Handle())));
        return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR: {
        // The panels' class shows the hand of the main window's side bar; here only buttons act.
        const HWND target = reinterpret_cast<HWND>(wParam);
        if (LOWORD(lParam) == HTCLIENT && (target == m_panel1.Handle() || target == m_panel2.Handle()))
        {
            SetCursor(LoadCursorW(nullptr, IDC_ARROW));
            return TRUE;
        }
        break;
    }
    case WM_CLOSE:
        EndModal();
        return 0;
    }
    return ModalWindow::HandleMessage(msg, wParam, lParam);
}

void ShowFindFileSettings(HWND owner, const lang::TextStore& texts)
{
    if (TFindFileSettingsFrm::OpenDialog())
        return;
    try
    {
        TFindFileSettingsFrm dialog(owner, texts);
        if (dialog.Create())
            dialog.ShowModal();
    }
    catch (const std::exception&)
    {
        // A failure to build or show the dialog is not worth a message: the dialog just does not open.
    }
}

} // namespace settings
