#include "about/DlgAbout.h"

#include "about/AboutContent.h"
#include "about/VersionInfoWin32.h"
#include "controls/Dpi.h"
#include "controls/Theme.h"
#include "controls/WindowDpi.h"
#include "platform/AppMessageBox.h"
#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"
#include "settings/AppPaths.h"
#include "settings/SettingsFile.h"

#include <shellapi.h>
#include <stdexcept>
#include <utility>

namespace about
{
namespace
{

struct FlagImage
{
    const char* code;
    int id;
    const wchar_t* picture;
};
constexpr FlagImage kFlags[] = {
    {"EN", kIdImageEN, L"ABOUTFLAGEN"},    {"ES", kIdImageES, L"ABOUTFLAGES"},
    {"DE", kIdImageDE, L"ABOUTFLAGDE"},    {"CSY", kIdImageCSY, L"ABOUTFLAGCSY"},
    {"FR", kIdImageFR, L"ABOUTFLAGFR"},    {"IT", kIdImageIT, L"ABOUTFLAGIT"},
    {"RUS", kIdImageRUS, L"ABOUTFLAGRUS"},
};

constexpr COLORREF kNameShadow = RGB(0x00, 0x80, 0xFF);
constexpr COLORREF kVersionShadow = RGB(0xFF, 0x00, 0x00);
constexpr COLORREF kGrey = RGB(0x80, 0x80, 0x80);
constexpr int kVersionRight = 195;
constexpr char kBuildHint[] = "Build:  ";

ShellOpen& ShellOpenHook()
{
    static ShellOpen hook;
    return hook;
}

bool ShellOpenTarget(HWND owner, const std::string& target)
{
    if (ShellOpenHook())
        return ShellOpenHook()(target);
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner, L"open", platform::Widen(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

bool OpenTarget(HWND owner, const std::string& address, const std::string& target)
{
    if (address.empty())
        return true;
    if (ShellOpenTarget(owner, target))
        return true;
    const DWORD code = GetLastError();
    const std::string text = ShellExecuteErrorText(code, SysErrorText(code));
    platform::AppMessageBox(owner, text, MB_OK | MB_ICONERROR);
    return false;
}

// Points as 96-DPI pixels (Font scales them to the dialog's DPI).
int PointsToPixels(int points)
{
    return MulDiv(points, controls::kBaseDpi, 72);
}

} // namespace

TDlgAbout::TDlgAbout(HWND owner) : ModalWindow(kClassName, owner)
{
    RegisterWindowClass(kClassName, nullptr, CS_DBLCLKS);
}

HFONT TDlgAbout::Font(platform::UniqueFont& slot, const wchar_t* face, int height, bool bold)
{
    slot.Reset(CreateFontW(-controls::ScaleFor(Handle(), height), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE,
                           FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH, face));
    return slot.Get();
}

void TDlgAbout::Create()
{
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME;
    if (!CreateModal(exStyle, L"About", style, OuterRect(kClientWidth, kClientHeight, style, exStyle)))
        throw std::runtime_error(SysErrorText(GetLastError()));
    BuildControls();
    CentreOnDesktop();
}

void TDlgAbout::BuildControls()
{
    HWND self = Handle();
    m_tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                self, nullptr, GetModuleHandleW(nullptr), nullptr);
    auto face = [this](HDC dc, const RECT& area) { PaintFace(dc, area); };

    m_labelName.Create(self, kIdLabelName, 4, 194, 100, 24, "");
    m_labelName.SetShadow(kNameShadow);
    m_labelName.paintBackground = face;

    m_labelVer.Create(self, kIdLabelVer, kVersionRight - 60, 199, 60, 15, "");
    m_labelVer.SetShadow(kVersionShadow);
    m_labelVer.SetAlign(controls::Label::Align::Right);
    m_labelVer.paintBackground = face;

    for (const FlagImage& flag : kFlags)
    {
        // Hidden until SetDlg shows the running language's.
        HWND image = controls::CreateChild(self, flag.id, L"STATIC", SS_BITMAP, 168, 168, 25, 25);
        ShowWindow(image, SW_HIDE);
    }

    m_labelCopyr1.Create(self, kIdLabelCopyr1, 92, 224, 105, 29, "");
    m_labelCopyr1.SetAlign(controls::Label::Align::Right);
    m_labelCopyr1.SetWordWrap(true);
    m_labelCopyr1.paintBackground = face;

    m_label1.Create(self, kIdLabel1, 4, 249, 38, 12, "WWW:");
    m_label2.Create(self, kIdLabel2, 4, 264, 38, 12, "E-mail:");
    for (controls::Label* label : {&m_label1, &m_label2})
    {
        label->SetColour(kGrey);
        label->paintBackground = face;
    }
    m_labelWww.Create(self, kIdLabelWww, 44, 248, 150, 13, "");
    m_labelMail.Create(self, kIdLabelMail, 44, 264, 150, 13, "");
    m_labelWww.SetLink([this] { LabelWwwDblClick(); });
    m_labelMail.SetLink([this] { LabelMailClick(); });
    m_labelWww.paintBackground = face;
    m_labelMail.paintBackground = face;
    FollowDpi(controls::WindowDpi(self));
}

void TDlgAbout::FollowDpi(unsigned dpi)
{
    for (const FlagImage& flag : kFlags)
        SendMessageW(Control(flag.id), STM_SETIMAGE, IMAGE_BITMAP,
                     reinterpret_cast<LPARAM>(controls::Picture(flag.picture, dpi)));
    // A long program name takes the smaller font, one line lower.
    if (NameNeedsSmallFont(controls::WindowText(m_labelName.Handle())))
        m_labelName.SetFont(Font(m_smallNameFont, L"Times New Roman", PointsToPixels(12), true));
    else
        m_labelName.SetFont(Font(m_nameFont, L"Times New Roman", 21, true));
    m_labelVer.SetFont(Font(m_verFont, L"MS Sans Serif", 13, true));
    m_labelCopyr1.SetFont(Font(m_copyrFont, L"Microsoft Sans Serif", 9, false));
    HFONT small = Font(m_linkFont, L"Microsoft Sans Serif", 9, false);
    for (controls::Label* label : {&m_label1, &m_label2, &m_labelWww, &m_labelMail})
        label->SetFont(small);
    // The labels that fit their text measure it again in the new font.
    for (controls::Label* label : {&m_labelName, &m_labelVer, &m_labelWww, &m_labelMail})
        if (!controls::WindowText(label->Handle()).empty())
            label->AutoSize();
}

bool TDlgAbout::SetDlg()
{
    const std::string path = settings::ExeFileName();
    std::string caption = "About";
    try
    {
        std::string runLang;
        settings::ReadRunLanguage(runLang);
        const AboutLanguage language = AboutLanguageFor(runLang);
        for (const FlagImage& flag : kFlags)
            ShowWindow(Control(flag.id), language.flag == flag.code ? SW_SHOW : SW_HIDE);
        caption = language.caption;
    }
    catch (...)
    {
        caption = "About";
    }
    controls::SetWindowTextUtf8(Handle(), caption);

    const std::string name = GetVersionString(path, 2);
    controls::SetWindowTextUtf8(m_labelName.Handle(), name);
    if (NameNeedsSmallFont(name))
    {
        m_labelName.SetFont(Font(m_smallNameFont, L"Times New Roman", PointsToPixels(12), true));
        controls::PlaceChild(m_labelName.Handle(), 4, 198, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_labelName.AutoSize();
    m_labelName.SetHint(m_tooltip, GetVersionString(path, 7));

    controls::SetWindowTextUtf8(m_labelCopyr1.Handle(), GetVersionString(path, 5));
    controls::SetWindowTextUtf8(m_labelVer.Handle(), GetVersionString(path, 9));
    m_labelVer.AutoSize();
    m_labelVer.SetHint(m_tooltip, kBuildHint + GetVersionString(path, 4));

    controls::SetWindowTextUtf8(m_labelWww.Handle(), kMakerWebAddress);
    controls::SetWindowTextUtf8(m_labelMail.Handle(), kMakerMailAddress);
    m_labelWww.AutoSize();
    m_labelMail.AutoSize();
    return true;
}

int TDlgAbout::ShowModal()
{
    m_result = 0;
    RunModal();
    return m_result;
}

void TDlgAbout::FreeDlg()
{
    if (Handle())
        DestroyWindow(Handle());
}

void TDlgAbout::LabelWwwDblClick()
{
    OpenWebPage(Handle(), controls::WindowText(m_labelWww.Handle()));
}

void TDlgAbout::LabelMailClick()
{
    OpenMailTo(Handle(), controls::WindowText(m_labelMail.Handle()));
}

void TDlgAbout::PaintFace(HDC dc, const RECT& area)
{
    FillRect(dc, &area, GetSysColorBrush(COLOR_WINDOW));
    const unsigned dpi = controls::WindowDpi(Handle());
    auto s = [dpi](int px96) { return controls::Scale(px96, dpi); };
    const platform::UniqueMemoryDC source(CreateCompatibleDC(dc));
    if (HBITMAP logo = controls::Picture(L"ABOUTLOGO", dpi))
    {
        const platform::SelectedObject logoIn(source.Get(), logo);
        BitBlt(dc, 0, 0, s(200), s(200), source.Get(), 0, 0, SRCCOPY);
    }
    if (HBITMAP copyr = controls::Picture(L"ABOUTCOPYR", dpi))
    {
        BITMAP info{};
        GetObjectW(copyr, sizeof(info), &info);
        const platform::SelectedObject copyrIn(source.Get(), copyr);
        SetStretchBltMode(dc, HALFTONE);
        StretchBlt(dc, s(8), s(224), s(81), s(13), source.Get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    }
    RECT bevel{s(4), s(216), s(4 + 193), s(218)};
    DrawEdge(dc, &bevel, EDGE_ETCHED, BF_TOP);
}

bool TDlgAbout::OnCommand(int id, int, HWND)
{
    // Escape closes the box as its close box does.
    if (id == IDCANCEL)
        PostMessageW(Handle(), WM_CLOSE, 0, 0);
    return true;
}

LRESULT TDlgAbout::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_PAINT: {
        const platform::PaintDC paint(Handle());
        PaintFace(paint.Get(), paint.Area());
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    case WM_CLOSE:
        m_result = kResultClosed;
        EndModal();
        return 0;
    }
    return ModalWindow::HandleMessage(msg, wParam, lParam);
}

int TCorvaneAbout::ShowAbout()
{
    int result = kResultNotShown;
    TDlgAbout dialog(m_owner);
    try
    {
        dialog.Create();
        if (dialog.SetDlg())
            result = dialog.ShowModal();
    }
    catch (const std::exception& e)
    {
        platform::AppMessageBox(m_owner, OpenDialogErrorText(e.what()), MB_OK | MB_ICONERROR);
        result = kResultNotShown;
    }
    if (result == kResultNotShown)
        platform::AppMessageBox(m_owner, kNotShownText, MB_OK | MB_ICONINFORMATION);
    dialog.FreeDlg();
    return result;
}

bool OpenWebPage(HWND owner, const std::string& address)
{
    return OpenTarget(owner, address, WebTarget(address));
}

bool OpenMailTo(HWND owner, const std::string& address)
{
    return OpenTarget(owner, address, MailTarget(address));
}

ShellOpen SetShellOpenForTests(ShellOpen open)
{
    return std::exchange(ShellOpenHook(), std::move(open));
}

} // namespace about
