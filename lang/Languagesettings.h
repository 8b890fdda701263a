#pragma once
// TLanguagesettings: the language dialog. One flag button per language, enabled when its module
// lies beside the executable; OK stores the pressed language for the next start and offers to
// restart at once. Its texts are its own, not the language module's.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include "controls/FlatButton.h"
#include "controls/ModalWindow.h"
#include "controls/Panel.h"
#include "controls/SpeedButton.h"
#include "platform/UniqueHandle.h"

#include <string>

namespace lang
{

enum LanguagesettingsId : int
{
    kIdPanel1 = 300,
    kIdSpeedButton1, // CZ, then DE, EN, ES, FR, IT, RU
    kIdSpeedButton7 = kIdSpeedButton1 + 6,
    kIdLabelCZ,                       // the labels, in the same order
    kIdSpeedButton8 = kIdLabelCZ + 7, // Ok
    kIdSpeedButton9,                  // Cancel
};

// The question asked after OK, and the dialog's caption.
extern const char kRestartQuestion[];
extern const char kLanguagesettingsCaption[];

class TLanguagesettings : public controls::ModalWindow
{
public:
    static constexpr int kClientWidth = 169;
    static constexpr int kClientHeight = 224;
    static constexpr wchar_t kClassName[] = L"TLanguagesettings";

    // Creates the hidden dialog and registers it as the open one.
    explicit TLanguagesettings(HWND owner);

    void EnableAvailableLanguages();
    void MarkStoredLanguage();
    void ShowModal();

    void SpeedButton8Click(); // OK
    void SpeedButton9Click(); // Cancel
    // The user chose OK and then restarting.
    bool RestartChosen() const { return m_restartChosen; }

    HWND Control(int id) const { return controls::FindControl(Handle(), id); }

protected:
    bool OnCommand(int id, int code, HWND control) override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void FollowDpi(unsigned dpi) override;

private:
    void BuildControls();
    void StoreChosenLanguage();

    bool m_restartChosen = false;
    controls::Panel m_panel1;
    controls::SpeedButton m_languageButtons[7];
    controls::FlatButton m_ok;
    controls::FlatButton m_cancel;
    platform::UniqueImageList m_glyphs;
    platform::UniqueFont m_font;
    platform::UniqueFont m_boldFont;
    platform::UniqueBrush m_panelBrush;
};

// Opens the dialog unless one is open (then false at once). True when the user chose OK and then
// restarting; the program's end has then been requested (WM_CLOSE to owner) and the new start is
// left to StartProgramAgain.
bool ShowLanguageSettings(HWND owner);

// True once the user has accepted a restart in the new language.
bool RestartRequested();

// Starts the program's own executable again through the shell (default verb, shown normally).
// Called by the program entry after the window has closed, so that the old instance has removed
// its Explorer entries before the new one writes its own.
void StartProgramAgain();

} // namespace lang
