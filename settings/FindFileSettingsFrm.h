#pragma once
// TFindFileSettingsFrm: the small modal dialog that switches the two Explorer integrations on and
// off. It shows the settings file's values; OK stores both and applies both to the registry.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include "controls/FlatButton.h"
#include "controls/ModalWindow.h"
#include "controls/Panel.h"
#include "lang/TextStore.h"
#include "platform/UniqueHandle.h"

namespace settings
{

enum SettingsControlId : int
{
    kIdSettingsOk = IDOK,         // ExplBtn1; Enter in the dialog
    kIdSettingsCancel = IDCANCEL, // ExplBtn2; Escape in the dialog
    kIdSettingsPanel1 = 600,
    kIdSettingsPanel2,
    kIdSettingsImage1,
    kIdSettingsLabel1,
    kIdFlatCheckBox1,
    kIdFlatCheckBox2,
    kIdKeepHistoryBox, // remember what is typed into the search fields
};

class TFindFileSettingsFrm : public controls::ModalWindow
{
public:
    static constexpr int kClientWidth = 288;
    static constexpr int kClientHeight = 152;

    static constexpr wchar_t kClassName[] = L"TFindFileSettingsFrm";

    TFindFileSettingsFrm(HWND owner, const lang::TextStore& texts);

    // The dialog that is open now, or null.
    static TFindFileSettingsFrm* OpenDialog();
    HWND Control(int id) const;

    // Creates the window centred over the owner and runs FormCreate; false when creation failed.
    bool Create();
    // Shows the dialog with its owner disabled; returns when it has closed.
    void ShowModal();

    void ExplBtn1Click();
    void ExplBtn2Click();

protected:
    bool OnCommand(int id, int code, HWND control) override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void FollowDpi(unsigned dpi) override;

private:
    void Build();
    void FormCreate();
    LRESULT OnControlColour(HDC dc, HWND control);
    bool Checked(int id) const;
    void SetText(HWND hwnd, int id) const;

    const lang::TextStore& m_texts;
    controls::Panel m_panel1;
    controls::Panel m_panel2;
    controls::FlatButton m_ok;
    controls::FlatButton m_cancel;
    platform::UniqueImageList m_glyphs;
    platform::UniqueFont m_headingFont;
    platform::UniqueBrush m_white;
};

// Opens the dialog modally over owner unless one is open already; returns when it has closed.
void ShowFindFileSettings(HWND owner, const lang::TextStore& texts);

} // namespace settings
