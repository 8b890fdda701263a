#pragma once
// TFindfileFrm: the main window. A top strip of buttons stands in for the title bar; below it a
// side bar (file search, network search), the results list LV1 and the status line Panel2.
// The code is split by concern: FindfileFrm.cpp (frame, start-up, closing), FindfileFrmSearch.cpp
// (the search panel), FindfileFrmPlaces.cpp (the look-in list), FindfileFrmResults.cpp (LV1 and
// the finder's events).
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include "controls/EnterPressesButton.h"
#include "controls/FlatButton.h"
#include "controls/ImageCombo.h"
#include "controls/Panel.h"
#include "controls/SideBar.h"
#include "controls/SpinEdit.h"
#include "controls/StatusLine.h"
#include "controls/Subclass.h"
#include "controls/Window.h"
#include "engine/FindFile.h"
#include "platform/UniqueHandle.h"
#include "ui/results/ResultsList.h"
#include "ui/search/LookInPlaces.h"
#include "ui/search/SearchCriteria.h"

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
    // Ends the message loop when the window is destroyed.
    bool quitOnDestroy = true;
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
    kIdImage1,
    kIdMemo1,
    kIdLabel1,
    kIdLMDEdit1,
    kIdLabel2,
    kIdLMDEdit2,
    kIdLabel3,
    kIdAWComboBoxEx1,
    kIdLabel4,
    kIdExplBtn1,
    kIdLabel5,
    kIdExplBtn2,
    kIdLabel11,
    kIdExplBtn3,
    kIdDatePanel,
    kIdSizePanel,
    kIdNextsettings,
    kIdFindfilesbtn,
    kIdFlatRadioButton1,
    kIdFlatRadioButton2,
    kIdFlatRadioButton3,
    kIdFlatRadioButton4,
    kIdFlatRadioButton5,
    kIdFlatRadioButton6,
    kIdFlatRadioButton7,
    kIdFlatRadioButton8,
    kIdFlatRadioButton9,
    kIdLmdimagecombobox1,
    kIdLabel6,
    kIdDateTimePicker1,
    kIdLabel7,
    kIdDateTimePicker2,
    kIdLmdimagecombobox2,
    kIdLMDSpinEdit1,
    kIdLMDSpinEdit1Arrows,
    kIdFlatCheckBox5,
    kIdMaleikony1,
    kIdVelkeikony1,
    kIdSeznam1,
    kIdPodrobnosti1,
};

class TFindfileFrm : public controls::Window
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

    engine::TFindFile& FindFile1() { return *m_findFile; }
    // The synchronized call of the window's thread, for the window's worker threads.
    platform::SyncCall& UiSyncCall() const { return m_syncCall; }
    // A control of the window by its ID (null if there is none).
    HWND Control(int id) const;
    controls::FlatButton& SectionButton(int section);
    controls::ImageCombo& LookIn() { return m_lookIn; }
    const std::vector<PlaceEntry>& Places() const { return m_places; }
    const SpecialFolders& SpecialFolderPaths() const { return m_specialFolders; }
    const std::string& NetworkProviderName() const { return m_networkProviderName; }
    int SortColumn() const { return m_results ? m_results->SortColumn() : 0; }
    ResultsList& Results() { return *m_results; }
    HMENU ViewMenu() const { return m_viewMenu.Get(); }
    // The page of the network header, where the network panel puts its controls.
    controls::Panel& NetworkPage() { return m_sideBar.Page(1); }
    // The small pictures of the window's buttons (the find glyph is index kFindGlyph).
    HIMAGELIST ButtonGlyphs() const { return m_glyphs.Get(); }
    static constexpr int kFindGlyph = 6;

    // Handlers, named after their control and event.
    void FindfilesbtnClick();
    void Header1Click();

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // FindfileFrm.cpp
    void BuildFrame();
    void FormCreate();
    void SetCaptions();
    void ReadNetworkProviderName();
    void Layout();
    void FormClose();
    void OnCommand(int id, int code);
    LRESULT OnControlColour(UINT msg, HDC dc, HWND control);
    bool OnSetCursor(HWND target, int hitTest);
    void MinimizeBtnClick();
    void ShowViewMenu();

    // FindfileFrmSearch.cpp
    void BuildSearchPanel(HWND page);
    void ExplBtnClick(int section);
    void OpenSection(int section);
    void CloseSection(int section);
    void PlaceSections();
    void DateRadioClick(int id);
    void WritePresetDates(DatePreset preset);
    void WritePresetSize(SizePreset preset);
    // Applies change to a copy of the finder's criteria and stores the copy, also when change throws.
    void UpdateCriteria(const std::function<void(engine::FindCriteria&)>& change);
    void SizeRadioClick(int id);
    bool Checked(int id) const;
    TDateTime PickerValue(int id) const;
    void SetPickerDate(int id, const platform::CalendarTime& date);

    // FindfileFrmPlaces.cpp
    void ReadSpecialFolders();
    void getplaces();
    void AWComboBoxEx1Click();
    std::optional<std::string> BrowseForFolder();

    // FindfileFrmResults.cpp
    void CreateLV1(HWND parent);
    void SetFileColumns();
    void ClearResults();
    void ViewMenuClick(int item);
    void FindFile1Found(const std::string& folder, const engine::TSearchRec& record);
    void FindFile1NewFolder(const std::string& folder);
    void FindFile1Complete();

    HWND Add(HWND parent, int id, const wchar_t* className, DWORD style, int x, int y, int width, int height,
             DWORD exStyle = 0);

    FrameOptions m_options;
    std::unique_ptr<Clock> m_ownClock;
    const Clock* m_clock = nullptr;
    platform::SyncCall& m_syncCall;
    std::unique_ptr<engine::TFindFile> m_findFile;

    controls::Panel m_topStrip;
    controls::FlatButton m_topButtons[6];
    platform::UniqueImageList m_glyphs;
    controls::Panel m_body;
    controls::SideBar m_sideBar;
    controls::FlatButton m_sectionButtons[3];
    controls::FlatButton m_findButton;
    controls::Panel m_sectionPanels[3];
    controls::ImageCombo m_lookIn;
    controls::SpinEdit m_spin;
    controls::EnterPressesButton m_nameFieldEnter;
    HWND m_lv1 = nullptr;
    HWND m_panel2 = nullptr;
    controls::StatusLine m_panel2Text; // the status text, set without a server round trip
    platform::UniqueMenu m_viewMenu;
    std::unique_ptr<ResultsList> m_results;

    int m_openSection = -1;
    bool m_closing = false;
    bool m_settingsOpen = false;
    std::string m_networkProviderName;
    SpecialFolders m_specialFolders;
    std::vector<PlaceEntry> m_places;
};

} // namespace ui
