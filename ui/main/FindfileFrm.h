#pragma once
// TFindfileFrm: the main window. A top strip of buttons stands in for the title bar; below it a
// side bar (file search, network search), the results list LV1 and the status line Panel2.
// The two panels of the side bar are peers: ui/search/FileSearchPanel and ui/network/NetworkPanel,
// both built here before the window is shown; the frame hands them their commands and keeps the
// handler names as forwarders. The code is split by concern: FindfileFrm.cpp (frame, start-up,
// closing, commands), FindfileFrmResults.cpp (LV1, its view menu and the header clicks).
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
#include "platform/Win32CodePage.h"
#include "settings/WindowPlace.h"
#include "ui/main/SidePanel.h"
#include "ui/network/NetworkPanel.h"
#include "ui/results/PreviewPane.h"
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
    // The folder browser of the look-in list; empty result = cancelled. Null: the shell's dialog.
    std::function<std::optional<std::string>(HWND owner)> browseForFolder;
    // The file dialog of a search file; empty result = cancelled. Null: the system's dialog.
    std::function<std::optional<std::string>(HWND owner, bool save)> askSearchFile;
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
    // The window opens where it was at the last close, and its list looks as it did then.
    bool keepPlace = false;
    // The window with the application title and the taskbar button, which then owns this one;
    // null: the window has its own taskbar button.
    controls::ApplicationWindow* application = nullptr;
    FrameHooks hooks;
    // The shell's actions on found files; null actions: the shell's own.
    FileRowActions fileRowActions;
    // The network panel's lookup and shell services; null: the system's.
    NetworkPanelServices network;
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
    kIdPreviewMenu, // the view menu's entry that shows or hides the preview pane
    kIdPreview,     // the preview pane under LV1
};

class TFindfileFrm : public controls::Window, private FrameHost
{
public:
    static constexpr int kStartWidth = 785;
    static constexpr int kStartHeight = 586;
    static constexpr int kMinWidth = 652;
    static constexpr int kMinHeight = 492;
    static constexpr int kPreviewHeight = 160;

    TFindfileFrm(const engine::FinderServices& services, FrameOptions options);
    ~TFindfileFrm() override;

    // Creates the window (running FormCreate) and shows it centred on the desktop.
    HWND Create();

    engine::TFindFile& FindFile1() { return m_filePanel->FindFile1(); }
    NetworkPanel& Network() { return *m_networkPanel; }
    // A control of the window by its ID (null if there is none).
    HWND Control(int id) const;
    controls::FlatButton& SectionButton(int section) { return m_filePanel->SectionButton(section); }
    controls::ImageCombo& LookIn() { return m_filePanel->LookIn(); }
    const std::vector<PlaceEntry>& Places() const { return m_filePanel->Places(); }
    const SpecialFolders& SpecialFolderPaths() const { return m_filePanel->SpecialFolderPaths(); }
    const lang::TextStore& Texts() const override { return m_texts; }
    int SortColumn() const { return m_results ? m_results->SortColumn() : 0; }
    ResultsList& Results() override { return *m_results; }
    HMENU ViewMenu() const { return m_viewMenu.Get(); }
    // The window's keys (Ctrl+S, Ctrl+O), for the message loop's TranslateAccelerator.
    HACCEL Accelerators() const { return m_accelerators.Get(); }
    // What the message loop does first with each message: the window's keys and the dialog keys
    // (Tab between the controls); true when the message was handled so.
    bool PreTranslateMessage(MSG& msg);
    // The status line's tooltip (what the last search skipped).
    HWND StatusTip() const { return m_panel2Tip.Get(); }
    // The small pictures of the window's buttons (the find glyph is index kFindGlyph).
    HIMAGELIST ButtonGlyphs() const override { return m_glyphs.Get(); }

    // Handlers, named after their control and event.
    void FindfilesbtnClick() { m_filePanel->FindfilesbtnClick(); }
    void Header1Click() { ActivatePanel(0); }
    void Header2Click() { ActivatePanel(1); }

protected:
    bool OnCommand(int id, int code, HWND control) override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // FindfileFrm.cpp
    std::string T(int id) const { return m_texts.Text(id); }
    void SetText(HWND hwnd, int id) const;
    void BuildFrame();
    void CreateStatusTip();
    void FormCreate();
    void SetCaptions();
    void Layout();
    void FormClose();
    // Pictures, image lists and fonts at the window's DPI (at the start and on a change of DPI).
    void FollowDpi();
    void OnDpiChanged(unsigned dpi, const RECT& suggested);
    // The least outer size, at the window's DPI.
    SIZE MinSize() const;

    // FindfileFrmPlace.cpp
    // The outer rectangle the window opens at: where it was at the last close, or centred.
    static RECT StartRect(const settings::WindowPlace& stored, unsigned dpi);
    void RestoreListLook(const settings::WindowPlace& stored);
    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);
    void SavePlace();

    LRESULT OnControlColour(UINT msg, HDC dc, HWND control);
    HWND Owner() const override { return Handle(); }
    platform::SyncCall& UiSyncCall() const override { return m_syncCall; }
    void ShowStatusNote(const std::string& note, const std::string& details) override;
    void SearchStarting(bool withContainingText, const engine::ContainerKinds& opened) override;
    // Both panels, in the side bar's order.
    SidePanel* Panels(int index) const;
    void ClosePanels();
    bool OnSetCursor(HWND target, int hitTest);
    // A search file dropped on the window fills the file panel.
    void OnDropFiles(HDROP drop);
    void MinimizeBtnClick();
    void ShowViewMenu();

    // FindfileFrmResults.cpp
    void CreateLV1(HWND parent);
    void SetFileColumns();
    void ClearResults();
    void ViewMenuClick(int item);
    // The preview pane: shown while the user wants it, the list shows files and the last search
    // had a containing text; it follows the list's focus.
    void CreatePreview(HWND parent);
    bool PreviewShown() const;
    void UpdatePreview();
    void PreviewFocusedRow(int row);
    // The panel's header (or its page's bare face) was clicked: the other panel's work is told
    // to stop and this panel takes the list.
    void ActivatePanel(int index);

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
    controls::StatusLine m_panel2Text;  // the status text, set without a server round trip
    platform::UniqueWindow m_panel2Tip; // the status line's tooltip (what a search skipped)
    platform::UniqueMenu m_viewMenu;
    platform::UniqueAccelerators m_accelerators;
    std::unique_ptr<ResultsList> m_results;
    platform::Win32CodePage m_systemCodePage;
    const engine::FinderServices m_finderServices;
    std::unique_ptr<PreviewPane> m_preview;
    bool m_previewWanted = true;
    bool m_previewForSearch = false;
    engine::ContainerKinds m_previewKinds; // the kinds of file the search read inside
    bool m_previewShown = false;
    // After the list: the panels' events fill it, so the panels go first.
    std::unique_ptr<FileSearchPanel> m_filePanel;
    std::unique_ptr<NetworkPanel> m_networkPanel;
    static constexpr int kPanelCount = 2;

    bool m_closing = false;
    unsigned m_dpi = 96; // the DPI the window's look was last made for
};

} // namespace ui
