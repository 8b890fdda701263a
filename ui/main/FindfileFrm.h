#pragma once
// TFindfileFrm: the main window. A top strip of buttons stands in for the title bar; below it a
// side bar (file search, network search), the results list LV1 and the status line Panel2.
// The file search panel is ui/search/FileSearchPanel; the frame hands it its commands and keeps
// the handler names as forwarders. The code is split by concern: FindfileFrm.cpp (frame, start-up,
// closing, commands), FindfileFrmResults.cpp (LV1 and its view menu).
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include "controls/ApplicationWindow.h"
#include "controls/FlatButton.h"
#include "controls/Panel.h"
#include "controls/SideBar.h"
#include "controls/StatusLine.h"
#include "controls/Subclass.h"
#include "controls/Window.h"
#include "engine/FindFile.h"
#include "lang/TextStore.h"
#include "platform/UniqueHandle.h"
#include "ui/main/SidePanel.h"
#include "ui/results/ResultsList.h"
#include "ui/search/FileSearchPanel.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace ui
{

// Work that other parts of the program plug into the window. An empty hook does nothing.
struct FrameHooks
{
    // Creates (install) or removes the Explorer context-menu entries; store also records the choice
    // in the settings file. Called at start-up and when a new language is accepted.
    std::function<void(bool install, bool store)> setincontext;
    std::function<void(HWND owner)> about;
    // True when the user accepted a new language (and the restart that goes with it).
    std::function<bool(HWND owner)> language;
    std::function<void(HWND owner)> settings;
    // Header1Click's first step: tell a running network lookup to stop (not waited for).
    std::function<void()> stopNetworkLookup;
    // Header2Click: the network header (or its page's face) was clicked.
    std::function<void()> header2Click;
    // The folder browser of the look-in list; empty result = cancelled. Null: the shell's dialog.
    std::function<std::optional<std::string>(HWND owner)> browseForFolder;
};

struct FrameOptions
{
    // The first command-line argument, when there is one.
    std::optional<std::string> firstArgument;
    // Clock of the date presets; null: the system clock.
    const Clock* clock = nullptr;
    // Every text the window shows; null: the language module's.
    const lang::TextStore* texts = nullptr;
    // Ends the message loop when the window is destroyed.
    bool quitOnDestroy = true;
    // The window with the application title and the taskbar button, which then owns this one;
    // null: the window has its own taskbar button.
    controls::ApplicationWindow* application = nullptr;
    FrameHooks hooks;
};

// Control IDs of the window.
enum ControlId : int
{
    kIdTopStrip = 100,
    kIdSettingsBtn,
    kIdIcostylebtn,
    kIdAboutBtn,
    kIdLangBtn,
    kIdMinimizeBtn,
    kIdCloseBtn,
    kIdBody,
    kIdSideBar,
    kIdHeader1,
    kIdHeader1Page,
    kIdHeader2,
    kIdHeader2Page,
    kIdLV1,
    kIdPanel2,
    kIdMaleikony1 = kIdFileSearchLast + 1, // PopupMenu2's items
    kIdVelkeikony1,
    kIdSeznam1,
    kIdPodrobnosti1,
};

class TFindfileFrm : public controls::Window, private FrameHost
{
public:
    static constexpr int kStartWidth = 785;
    static constexpr int kStartHeight = 586;
    static constexpr int kMinWidth = 652;
    static constexpr int kMinHeight = 492;

    TFindfileFrm(const engine::FinderServices& services, FrameOptions options);
    ~TFindfileFrm() override;

    // Creates the window (running FormCreate) and shows it centred on the desktop.
    HWND Create();

    engine::TFindFile& FindFile1() { return m_filePanel->FindFile1(); }
    // The synchronized call of the window's thread, for the window's worker threads.
    platform::SyncCall& UiSyncCall() const { return m_syncCall; }
    // A control of the window by its ID (null if there is none).
    HWND Control(int id) const;
    controls::FlatButton& SectionButton(int section) { return m_filePanel->SectionButton(section); }
    controls::ImageCombo& LookIn() { return m_filePanel->LookIn(); }
    const std::vector<PlaceEntry>& Places() const { return m_filePanel->Places(); }
    const SpecialFolders& SpecialFolderPaths() const { return m_filePanel->SpecialFolderPaths(); }
    const std::string& NetworkProviderName() const { return m_networkProviderName; }
    const lang::TextStore& Texts() const override { return m_texts; }
    int SortColumn() const { return m_results ? m_results->SortColumn() : 0; }
    ResultsList& Results() override { return *m_results; }
    HMENU ViewMenu() const { return m_viewMenu.Get(); }
    // The page of the network header, where the network panel puts its controls.
    controls::Panel& NetworkPage() { return m_sideBar.Page(1); }
    // The small pictures of the window's buttons (the find glyph is index kFindGlyph).
    HIMAGELIST ButtonGlyphs() const override { return m_glyphs.Get(); }

    // Handlers, named after their control and event.
    void FindfilesbtnClick() { m_filePanel->FindfilesbtnClick(); }
    void Header1Click();

protected:
    bool OnCommand(int id, int code, HWND control) override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // FindfileFrm.cpp
    std::string T(int id) const { return m_texts.Text(id); }
    void SetText(HWND hwnd, int id) const;
    void BuildFrame();
    void FormCreate();
    void SetCaptions();
    void ReadNetworkProviderName();
    void Layout();
    void FormClose();

    LRESULT OnControlColour(UINT msg, HDC dc, HWND control);
    HWND Owner() const override { return Handle(); }
    bool OnSetCursor(HWND target, int hitTest);
    void MinimizeBtnClick();
    void ShowViewMenu();

    // FindfileFrmResults.cpp
    void CreateLV1(HWND parent);
    void SetFileColumns();
    void ClearResults();
    void ViewMenuClick(int item);

    FrameOptions m_options;
    const lang::TextStore& m_texts;
    platform::SyncCall& m_syncCall;

    controls::Panel m_topStrip;
    controls::FlatButton m_topButtons[6];
    platform::UniqueImageList m_glyphs;
    controls::Panel m_body;
    controls::SideBar m_sideBar;
    HWND m_lv1 = nullptr;
    HWND m_panel2 = nullptr;
    controls::StatusLine m_panel2Text; // the status text, set without a server round trip
    platform::UniqueMenu m_viewMenu;
    std::unique_ptr<ResultsList> m_results;
    // After the list: the panel's events fill it, so the panel goes first.
    std::unique_ptr<FileSearchPanel> m_filePanel;

    bool m_closing = false;
    std::string m_networkProviderName;
};

} // namespace ui
