#pragma once
// The About box: the logo, the program's name, version and legal notice from the executable's
// version block, the running language's flag and caption, and the maker's two links.
// TCorvaneAbout creates, shows and frees it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include "controls/Label.h"
#include "controls/ModalWindow.h"
#include "platform/UniqueHandle.h"

#include <functional>
#include <string>

namespace about
{

enum AboutControlId : int
{
    kIdLabelName = 200,
    kIdLabelVer,
    kIdImageEN,
    kIdImageES,
    kIdImageDE,
    kIdImageCSY,
    kIdImageFR,
    kIdImageIT,
    kIdImageRUS,
    kIdLabelCopyr1,
    kIdLabel1,
    kIdLabelWww,
    kIdLabel2,
    kIdLabelMail,
};

// The modal result of the box closed by its close box, and ShowAbout's "not shown".
constexpr int kResultClosed = 2;
constexpr int kResultNotShown = 3;

class TDlgAbout : public controls::ModalWindow
{
public:
    static constexpr int kClientWidth = 200;
    static constexpr int kClientHeight = 281;
    static constexpr wchar_t kClassName[] = L"TDlgAbout";

    explicit TDlgAbout(HWND owner);
    // Creates the hidden window with its controls; throws when the system refuses.
    void Create();
    // Fills the box from the version block and the settings file; true when it is to be shown.
    bool SetDlg();
    // Shows the box modally; the modal result.
    int ShowModal();
    void FreeDlg();

    // The links' handlers.
    void LabelWwwDblClick();
    void LabelMailClick();

    HWND Control(int id) const { return GetDlgItem(Handle(), id); }
    HWND Tooltip() const { return m_tooltip; }

protected:
    bool OnCommand(int id, int code, HWND control) override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void FollowDpi(unsigned dpi) override;

private:
    void BuildControls();
    void PaintFace(HDC dc, const RECT& area);
    HFONT Font(platform::UniqueFont& slot, const wchar_t* face, int height, bool bold);

    HWND m_tooltip = nullptr;
    int m_result = 0;
    controls::Label m_labelName;
    controls::Label m_labelVer;
    controls::Label m_labelCopyr1;
    controls::Label m_label1;
    controls::Label m_labelWww;
    controls::Label m_label2;
    controls::Label m_labelMail;
    platform::UniqueFont m_nameFont;
    platform::UniqueFont m_smallNameFont;
    platform::UniqueFont m_verFont;
    platform::UniqueFont m_copyrFont;
    platform::UniqueFont m_linkFont;
};

class TCorvaneAbout
{
public:
    explicit TCorvaneAbout(HWND owner) : m_owner(owner) {}
    // The dialog's modal result, or kResultNotShown (after telling the user) when it could not be
    // shown.
    int ShowAbout();

private:
    HWND m_owner;
};

// Open the maker's web page ("http://" + address) or a new e-mail ("mailto:" + address) through
// the shell. True when the shell took the request or address is empty; otherwise the error box.
bool OpenWebPage(HWND owner, const std::string& address);
bool OpenMailTo(HWND owner, const std::string& address);

// The shell's open verb for a target: true on success, false with the thread's last error set.
// Tests replace it so that nothing is opened; an empty function restores the shell.
using ShellOpen = std::function<bool(const std::string& target)>;
ShellOpen SetShellOpenForTests(ShellOpen open);

} // namespace about
