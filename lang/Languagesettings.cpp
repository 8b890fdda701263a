#include "lang/Languagesettings.h"

#include "controls/Dpi.h"
#include "controls/Theme.h"
#include "controls/WindowDpi.h"
#include "lang/LanguageChoice.h"
#include "platform/AppMessageBox.h"
#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"
#include "settings/AppPaths.h"
#include "settings/SettingsFile.h"

#include <shellapi.h>
#include <stdexcept>

namespace lang
{

const char kRestartQuestion[] =
    "Changing language will take effect after you restart the application.Would You like to exit?";
const char kLanguagesettingsCaption[] = "Languagesettings";

namespace
{

struct LanguageButton
{
    const char* label; // shown, and the button's name
    const char* code;  // stored
    const wchar_t* flag;
};
constexpr LanguageButton kLanguages[7] = {
    {"CZ", "CSY", L"FLAGCSY"}, {"DE", "DE", L"FLAGDE"}, {"EN", "EN", L"FLAGEN"},   {"ES", "ES", L"FLAGES"},
    {"FR", "FR", L"FLAGFR"},   {"IT", "IT", L"FLAGIT"}, {"RU", "RUS", L"FLAGRUS"},
};

constexpr COLORREF kPanelColour = RGB(0xD8, 0xD0, 0x92);
constexpr int kLanguageGroup = 1;

bool g_restart = false;

bool FileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(platform::Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The dialog's own font (not the window's): the labels' and, bold, the buttons'.
HFONT DialogFont(unsigned dpi, int weight)
{
    return CreateFontW(-controls::Scale(11, dpi), 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                       L"MS Sans Serif");
}

} // namespace

TLanguagesettings::TLanguagesettings(HWND owner) : ModalWindow(kClassName, owner)
{
    RegisterWindowClass(kClassName, nullptr);
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME;
    if (!CreateModal(exStyle, platform::Widen(kLanguagesettingsCaption), style,
                     OuterRect(kClientWidth, kClientHeight, style, exStyle)))
        throw std::runtime_error("the language dialog cannot be created");
    BuildControls();
    CentreOnDesktop();
}

void TLanguagesettings::BuildControls()
{
    HWND self = Handle();
    m_panelBrush.Reset(CreateSolidBrush(kPanelColour));
    m_panel1.Create(self, kIdPanel1, RECT{4, 4, 4 + 161, 4 + 213}, self, kPanelColour, WS_VISIBLE);
    HWND panel = m_panel1.Handle();
    for (int i = 0; i < 7; ++i)
    {
        controls::SpeedButton& button = m_languageButtons[i];
        button.Create(panel, kIdSpeedButton1 + i, 16, 8 + 24 * i, 23, 23, kLanguages[i].label,
                      kLanguageGroup);
        button.SetFaceColour(kPanelColour);
        HWND label = controls::CreateChild(panel, kIdLabelCZ + i, L"STATIC", SS_LEFT | SS_NOPREFIX, 48,
                                           16 + 24 * i, 24, 13);
        controls::SetWindowTextUtf8(label, kLanguages[i].label);
    }
    controls::FlatButton* buttons[2] = {&m_ok, &m_cancel};
    const char* texts[2] = {"Ok", "Cancel"};
    for (int i = 0; i < 2; ++i)
    {
        buttons[i]->Create(panel, kIdSpeedButton8 + i, 8 + 72 * i, 180, 73, 25);
        controls::SetWindowTextUtf8(buttons[i]->Handle(), texts[i]);
        buttons[i]->SetFaces(controls::Picture(L"BUTTONFACE"), controls::Picture(L"BUTTONHOVER"));
    }
    FollowDpi(controls::WindowDpi(self));
}

void TLanguagesettings::FollowDpi(unsigned dpi)
{
    // Every control takes the new fonts and glyphs before the old ones go.
    platform::UniqueFont font(DialogFont(dpi, FW_NORMAL));
    platform::UniqueFont boldFont(DialogFont(dpi, FW_BOLD));
    platform::UniqueImageList glyphs(controls::LoadImageStrip(L"DIALOGGLYPHS", 16, dpi));
    for (int i = 0; i < 7; ++i)
    {
        m_languageButtons[i].SetPicture(controls::Picture(kLanguages[i].flag, dpi));
        SendMessageW(Control(kIdLabelCZ + i), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
    }
    controls::FlatButton* buttons[2] = {&m_ok, &m_cancel};
    for (int i = 0; i < 2; ++i)
    {
        buttons[i]->SetGlyph(glyphs.Get(), i);
        SendMessageW(buttons[i]->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(boldFont.Get()), FALSE);
    }
    m_font = std::move(font);
    m_boldFont = std::move(boldFont);
    m_glyphs = std::move(glyphs);
}

void TLanguagesettings::EnableAvailableLanguages()
{
    const std::string exe = settings::ExeFileName();
    for (int i = 0; i < 7; ++i)
        EnableWindow(m_languageButtons[i].Handle(), FileExists(ModulePathFor(exe, kLanguages[i].code)));
}

void TLanguagesettings::MarkStoredLanguage()
{
    std::string stored;
    if (!settings::ReadStoredLanguage(stored))
    {
        stored = "EN";
        settings::WriteStoredLanguage(stored);
    }
    // Exactly as stored: "de" presses nothing. A disabled button is pressed all the same.
    for (int i = 0; i < 7; ++i)
        if (stored == kLanguages[i].code)
            m_languageButtons[i].SetDown(true);
}

void TLanguagesettings::ShowModal()
{
    RunModal();
}

void TLanguagesettings::StoreChosenLanguage()
{
    std::string code;
    for (int i = 0; i < 7; ++i)
        if (m_languageButtons[i].Down())
            code = kLanguages[i].code;
    settings::WriteStoredLanguage(code);
}

void TLanguagesettings::SpeedButton8Click()
{
    StoreChosenLanguage();
    // Marked for closing, the dialog stays up behind its question and goes when this handler has
    // returned; another may be opened from now on.
    EndModal();
    const int answer = platform::AppMessageBox(Handle(), kRestartQuestion, MB_YESNO | MB_ICONINFORMATION);
    if (answer != IDYES)
        return;
    g_restart = true;
    m_restartChosen = true;
    // The end of the program: the main window closes as by its close button. The new instance
    // starts once it has (StartProgramAgain).
    if (Owner())
        PostMessageW(Owner(), WM_CLOSE, 0, 0);
    else
        PostQuitMessage(0);
}

void TLanguagesettings::SpeedButton9Click()
{
    EndModal();
}

bool TLanguagesettings::OnCommand(int id, int code, HWND)
{
    if (code == BN_CLICKED && id == kIdSpeedButton8)
        SpeedButton8Click();
    else if ((code == BN_CLICKED && id == kIdSpeedButton9) || id == IDCANCEL)
        SpeedButton9Click();
    return true;
}

LRESULT TLanguagesettings::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_PAINT: {
        const platform::PaintDC paint(Handle());
        RECT client;
        GetClientRect(Handle(), &client);
        controls::PaintTiled(paint.Get(), client,
                             controls::Picture(L"LANGBACKGROUND", controls::WindowDpi(Handle())));
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, kPanelColour);
        SetTextColor(dc, RGB(0, 0, 0));
        return reinterpret_cast<LRESULT>(m_panelBrush.Get());
    }
    case WM_CLOSE:
        EndModal();
        return 0;
    }
    return ModalWindow::HandleMessage(msg, wParam, lParam);
}

bool ShowLanguageSettings(HWND owner)
{
    if (controls::ModalWindow::OpenOfKind(TLanguagesettings::kClassName))
        return false;
    try
    {
        TLanguagesettings dialog(owner);
        dialog.EnableAvailableLanguages();
        dialog.MarkStoredLanguage();
        dialog.ShowModal();
        return dialog.RestartChosen();
    }
    catch (...)
    {
        return false;
    }
}

bool RestartRequested()
{
    return g_restart;
}

void StartProgramAgain()
{
    ShellExecuteW(nullptr, nullptr, platform::Widen(settings::ExeFileName()).c_str(), nullptr, nullptr,
                  SW_SHOWNORMAL);
}

} // namespace lang
