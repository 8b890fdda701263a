#pragma once
// The file search panel under Header1: the name and containing-text fields, the look-in list, the
// date, size and more-options sections and the find button Findfilesbtn. It owns the finder
// FindFile1, starts and stops its searches and hands the finder's events to the results list.
// The code is split by concern: FileSearchPanel.cpp (controls, captions, the find button, the
// finder's events), FileSearchSections.cpp (the option sections and their presets),
// FileSearchPlaces.cpp (the look-in list).
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include "controls/AccessKeyLabels.h"
#include "controls/EnterPressesButton.h"
#include "controls/FlatButton.h"
#include "controls/ImageCombo.h"
#include "controls/Panel.h"
#include "controls/SpinEdit.h"
#include "engine/FindFile.h"
#include "ui/main/SidePanel.h"
#include "ui/search/FileResultsMode.h"
#include "ui/search/LookInPlaces.h"
#include "ui/search/SavedSearch.h"
#include "ui/search/SearchCriteria.h"
#include "ui/search/SearchHistory.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui
{

// Control IDs of the panel; they follow the main window's own (ui/main/FindfileFrm.h).
enum FileSearchControlId : int
{
    kIdImage1 = 115,
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
    kIdSaveSearch,      // Ctrl+S: the panel's criteria to a search file
    kIdOpenSearch,      // Ctrl+O: a search file into the panel
    kIdSearchDocuments, // more options: the text inside Office and OpenDocument files
    kIdSearchArchives,  // more options: the text inside zip archives
    kIdFileSearchLast = kIdSearchArchives,
};

struct FileSearchOptions
{
    // Clock of the date presets; null: the system clock.
    const Clock* clock = nullptr;
    // The folder browser of the look-in list; empty result = cancelled. Null: the shell's dialog.
    std::function<std::optional<std::string>(HWND owner)> browseForFolder;
    // The file dialog of a search file (save: where to write it); empty result = cancelled. Null:
    // the system's dialog.
    std::function<std::optional<std::string>(HWND owner, bool save)> askSearchFile;
    // The shell's actions on the found files; null actions: the shell's own.
    FileRowActions rowActions;
};

// The edit field inside a drop-down field (the field itself when it has none).
HWND FieldEdit(HWND field);

class FileSearchPanel : public SidePanel
{
public:
    FileSearchPanel(FrameHost& host, const engine::FinderServices& services, FileSearchOptions options);
    ~FileSearchPanel() override;
    FileSearchPanel(const FileSearchPanel&) = delete;
    FileSearchPanel& operator=(const FileSearchPanel&) = delete;

    void Build(HWND page) override;
    void FollowDpi(unsigned dpi) override;
    ResultsMode& Mode() override { return m_mode; }
    // Start-up: the special folders, the look-in list and the fields' histories.
    void ReadPlaces();
    // The fields' histories as the settings file holds them (at start-up, and after the settings
    // dialog, which can clear them).
    void LoadHistory();
    void SetCaptions() override;
    // The start selection (the all-fixed-drives entry), or the folder named on the command line.
    void SelectStartPlace(const std::optional<std::string>& firstArgument);

    void Activate() override;
    void Stop() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void Close() override { Stop(); }
    bool PressAccessKey(wchar_t character) override { return m_accessKeys.Press(character); }
    wchar_t AccessKeyOf(int labelId) const { return m_accessKeys.KeyOf(Control(labelId)); }
    // An option section's input field (drawn in the fields' tint).
    bool IsSectionField(HWND control) const;

    engine::TFindFile& FindFile1() { return *m_findFile; }
    controls::FlatButton& SectionButton(int section) { return m_sectionButtons[section]; }
    controls::ImageCombo& LookIn() { return m_lookIn; }
    const std::vector<PlaceEntry>& Places() const { return m_places; }
    const SpecialFolders& SpecialFolderPaths() const { return m_specialFolders; }

    // Search files (FileSearchFiles.cpp): what the panel holds, in the file's words; a file read
    // into the panel, refused whole (an exception naming the bad key) when a value does not fit.
    SavedSearch CurrentSearch() const;
    void OpenSearchFile(const std::string& path);
    void SaveSearchFile(const std::string& path) const;
    static bool IsSearchFile(const std::string& path);

    // Handlers, named after their control and event.
    void FindfilesbtnClick();
    void ExplBtnClick(int section);
    void AWComboBoxEx1Click();

private:
    HWND Control(int id) const;
    std::string T(int id) const;

    // FileSearchPanel.cpp
    void BuildSections(HWND page);
    // Alt+letter on the labels: a field's label focuses the field, a section's title opens the
    // section and focuses its button.
    void AddAccessKeys();
    // Applies change to a copy of the finder's criteria and stores the copy, also when change throws.
    void UpdateCriteria(const std::function<void(engine::FindCriteria&)>& change);
    void FindFile1Found(const std::string& folder, const engine::TSearchRec& record);
    void FindFile1NewFolder(const std::string& folder);
    void FindFile1Complete();

    // FileSearchSections.cpp
    void OpenSection(int section);
    void CloseSection(int section);
    void PlaceSections();
    void DateRadioClick(int id);
    void WritePresetDates(DatePreset preset);
    void WritePresetSize(SizePreset preset);
    void SizeRadioClick(int id);
    bool Checked(int id) const;
    TDateTime PickerValue(int id) const;
    void SetPickerDate(int id, const platform::CalendarTime& date);

    // FileSearchHistory.cpp
    // A search starts: its texts go first in their fields' histories, which are stored again.
    void RememberSearch(const std::string& name, const std::string& containing, const std::string& lookIn);
    void ShowHistory();

    // FileSearchFiles.cpp
    void ShowSearch(const SavedSearch& search);
    void SaveSearchClick();
    void OpenSearchClick();
    std::optional<std::string> AskSearchFile(bool save);

    // FileSearchPlaces.cpp
    void ReadSpecialFolders();
    void getplaces();
    std::optional<std::string> BrowseForFolder();

    FrameHost& m_host;
    FileSearchOptions m_options;
    FileResultsMode m_mode;
    std::unique_ptr<Clock> m_ownClock;
    const Clock* m_clock = nullptr;
    std::unique_ptr<engine::TFindFile> m_findFile;
    HWND m_page = nullptr;
    HWND m_containingField = nullptr; // LMDEdit2
    // The containing text as the found items see it: asking the field at each of 100,000 items
    // costs the window a second under Wine, so it is read again when the user changed it, and at
    // least every kContainingRecheckMs for a text set by a program (which the field does not report).
    std::string m_containingText;
    engine::ContainerKinds m_containerKinds; // as the check boxes stood when the search started
    bool m_containingChanged = true;
    unsigned long m_containingReadAt = 0;
    controls::FlatButton m_sectionButtons[3];
    controls::AccessKeyLabels m_accessKeys;
    controls::FlatButton m_findButton;
    controls::Panel m_sectionPanels[3];
    controls::ImageCombo m_lookIn;
    controls::SpinEdit m_spin;
    controls::EnterPressesButton m_nameFieldEnter;
    int m_openSection = -1;
    SpecialFolders m_specialFolders;
    std::vector<PlaceEntry> m_places;
    SearchHistory m_nameHistory;
    SearchHistory m_textHistory;
    SearchHistory m_folderHistory;
};

} // namespace ui
