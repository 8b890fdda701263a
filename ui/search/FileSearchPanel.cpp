#include "ui/search/FileSearchPanel.h"

#include "controls/Dpi.h"
#include "controls/Theme.h"
#include "controls/WindowDpi.h"
#include "lang/TextIds.h"
#include "lang/TextStore.h"
#include "platform/Utf8.h"
#include "platform/Win32Clock.h"
#include "settings/SettingsFile.h"
#include "ui/main/Messages.h"
#include "ui/results/ResultsList.h"
#include "ui/search/FileSearchLayout.h"
#include "ui/search/SkipNote.h"

#include <initializer_list>

namespace ui
{

using controls::CreateChild;
using namespace layout;

namespace
{

constexpr DWORD kContainingRecheckMs = 100;

void AddComboTexts(HWND combo, const lang::TextStore& texts, std::initializer_list<int> ids)
{
    for (int id : ids)
        SendMessageW(combo, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(platform::Widen(texts.Text(id)).c_str()));
}

} // namespace

FileSearchPanel::FileSearchPanel(FrameHost& host, const engine::FinderServices& services,
                                 FileSearchOptions options)
    : m_host(host), m_options(std::move(options)),
      m_mode([this] { return m_host.Owner(); }, m_options.rowActions,
             {[this] { return T(lang::text::kSaveSearchMenu); }, [this] { SaveSearchClick(); }})
{
    if (m_options.clock)
        m_clock = m_options.clock;
    else
    {
        m_ownClock = std::make_unique<platform::Win32Clock>();
        m_clock = m_ownClock.get();
    }
    m_findFile = std::make_unique<engine::TFindFile>(services);
    m_findFile->SetFilename("*.*");
    m_findFile->SetThreaded(true);
    m_findFile->OnFound = [this](engine::TFindFile&, const std::string& folder,
                                 const engine::TSearchRec& rec) { FindFile1Found(folder, rec); };
    m_findFile->OnNewFolder = [this](engine::TFindFile&, const std::string& folder, bool&) {
        FindFile1NewFolder(folder);
    };
    m_findFile->OnComplete = [this](engine::TFindFile&) { FindFile1Complete(); };
}

FileSearchPanel::~FileSearchPanel()
{
    // The finder's events call into this panel: a running search stops while the panel exists.
    Stop();
}

HWND FileSearchPanel::Control(int id) const
{
    return controls::FindControl(m_page, id);
}

std::string FileSearchPanel::T(int id) const
{
    return m_host.Texts().Text(id);
}

void FileSearchPanel::Build(HWND page)
{
    m_page = page;
    BuildSections(page);
    m_containingField = Control(kIdLMDEdit2);
    AddAccessKeys();
}

void FileSearchPanel::AddAccessKeys()
{
    m_accessKeys.AddFocus(Control(kIdLabel1), Control(kIdLMDEdit1));
    m_accessKeys.AddFocus(Control(kIdLabel2), Control(kIdLMDEdit2));
    m_accessKeys.AddFocus(Control(kIdLabel3), m_lookIn.Edit());
    const int titleIds[3] = {kIdLabel4, kIdLabel5, kIdLabel11};
    for (int section = 0; section < 3; ++section)
        m_accessKeys.Add(Control(titleIds[section]), [this, section] {
            if (m_openSection != section)
                OpenSection(section);
            SetFocus(m_sectionButtons[section].Handle());
        });
    m_accessKeys.AddFocus(Control(kIdLabel6), Control(kIdDateTimePicker1));
    m_accessKeys.AddFocus(Control(kIdLabel7), Control(kIdDateTimePicker2));
}

void FileSearchPanel::BuildSections(HWND page)
{
    // SS_NOTIFY: a static without it is transparent to the mouse, and a click on a label would
    // reach the page behind it, whose click empties the results.
    const DWORD label = SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY;
    const DWORD title = SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_CENTERIMAGE | SS_NOTIFY;
    CreateChild(page, kIdImage1, L"STATIC", SS_BITMAP | SS_NOTIFY, 8, 8, 48, 48);
    CreateChild(page, kIdMemo1, L"EDIT", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 62, 8, 162, 56);
    CreateChild(page, kIdLabel1, L"STATIC", label, 8, 72, 216, 15);
    // The two text fields offer what was typed before in their drop-down lists.
    const DWORD field = CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;
    CreateChild(page, kIdLMDEdit1, L"COMBOBOX", field, 8, 88, 216, kFieldDropHeight);
    CreateChild(page, kIdLabel2, L"STATIC", label, 8, 116, 216, 15);
    CreateChild(page, kIdLMDEdit2, L"COMBOBOX", field, 8, 132, 216, kFieldDropHeight);
    CreateChild(page, kIdLabel3, L"STATIC", label, 8, 160, 216, 15);
    m_lookIn.Create(page, kIdAWComboBoxEx1, 8, 176, 216, 300);

    const int titleIds[3] = {kIdLabel4, kIdLabel5, kIdLabel11};
    const int buttonIds[3] = {kIdExplBtn1, kIdExplBtn2, kIdExplBtn3};
    const int panelIds[3] = {kIdDatePanel, kIdSizePanel, kIdNextsettings};
    for (int i = 0; i < 3; ++i)
    {
        CreateChild(page, titleIds[i], L"STATIC", title, 8, 0, kSectionTitleWidth, 21);
        m_sectionButtons[i].Create(page, buttonIds[i], kSectionButtonLeft, 0, 20, 21);
        m_sectionPanels[i].Create(page, panelIds[i], RECT{4, 0, 228, kSectionHeights[i]}, m_host.Owner(),
                                  controls::kPanelColour);
    }

    // Date section: one radio group, the kind of date and the range.
    HWND date = m_sectionPanels[0].Handle();
    const DWORD radio = BS_AUTORADIOBUTTON | WS_TABSTOP;
    CreateChild(date, kIdFlatRadioButton1, L"BUTTON", radio | WS_GROUP, 8, 0, 210, 16);
    CreateChild(date, kIdFlatRadioButton2, L"BUTTON", radio, 8, 16, 210, 16);
    CreateChild(date, kIdFlatRadioButton3, L"BUTTON", radio, 8, 32, 210, 16);
    CreateChild(date, kIdFlatRadioButton4, L"BUTTON", radio, 8, 48, 210, 16);
    CreateChild(date, kIdLmdimagecombobox1, L"COMBOBOX",
                CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_TABSTOP | WS_VSCROLL | WS_GROUP, 24, 66, 190, 200);
    CreateChild(date, kIdLabel6, L"STATIC", title, 24, 92, 60, 20);
    CreateChild(date, kIdDateTimePicker1, DATETIMEPICK_CLASSW, DTS_SHORTDATEFORMAT | WS_TABSTOP, 88, 92, 126,
                20);
    CreateChild(date, kIdLabel7, L"STATIC", title, 24, 114, 60, 20);
    CreateChild(date, kIdDateTimePicker2, DATETIMEPICK_CLASSW, DTS_SHORTDATEFORMAT | WS_TABSTOP, 88, 114, 126,
                20);
    CheckDlgButton(date, kIdFlatRadioButton1, BST_CHECKED);

    // Size section: one radio group, the kind of bound and the kilobytes.
    HWND size = m_sectionPanels[1].Handle();
    CreateChild(size, kIdFlatRadioButton9, L"BUTTON", radio | WS_GROUP, 8, 0, 210, 16);
    CreateChild(size, kIdFlatRadioButton5, L"BUTTON", radio, 8, 16, 210, 16);
    CreateChild(size, kIdFlatRadioButton6, L"BUTTON", radio, 8, 32, 210, 16);
    CreateChild(size, kIdFlatRadioButton7, L"BUTTON", radio, 8, 48, 210, 16);
    CreateChild(size, kIdFlatRadioButton8, L"BUTTON", radio, 8, 64, 210, 16);
    CreateChild(size, kIdLmdimagecombobox2, L"COMBOBOX",
                CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_TABSTOP | WS_VSCROLL | WS_GROUP, 24, 86, 100, 200);
    m_spin.Create(size, kIdLMDSpinEdit1, 130, 86, 84, 22, 0, 1000000);
    CheckDlgButton(size, kIdFlatRadioButton9, BST_CHECKED);

    // More options: subfolders, and the kinds of file whose inner text is searched (up to three
    // lines for the documents' caption, which names the programs).
    HWND more = m_sectionPanels[2].Handle();
    const DWORD check = BS_AUTOCHECKBOX | WS_TABSTOP;
    CreateChild(more, kIdFlatCheckBox5, L"BUTTON", check | WS_GROUP, 8, 4, 210, 18);
    // Three boxes of one line each keep the section's height, and so the places below it.
    CreateChild(more, kIdSearchDocuments, L"BUTTON", check, 8, 24, 210, 18);
    CreateChild(more, kIdSearchArchives, L"BUTTON", check, 8, 44, 210, 18);
    CheckDlgButton(more, kIdFlatCheckBox5, BST_CHECKED);
    CheckDlgButton(more, kIdSearchDocuments, settings::SearchInDocuments() ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(more, kIdSearchArchives, settings::SearchInArchives() ? BST_CHECKED : BST_UNCHECKED);

    m_findButton.Create(page, kIdFindfilesbtn, 112, 0, 112, 25);
    m_findButton.SetFaces(controls::Picture(L"BUTTONFACE"), controls::Picture(L"BUTTONHOVER"));
    // LMDEdit1KeyDown: Enter in the name field starts or stops the search as the button does.
    m_nameFieldEnter.Install(FieldEdit(GetDlgItem(page, kIdLMDEdit1)), m_host.Owner(), m_findButton.Handle());

    // The custom-range and custom-size inputs wait for their radio button.
    EnableWindow(GetDlgItem(date, kIdLmdimagecombobox1), FALSE);
    EnableWindow(GetDlgItem(date, kIdDateTimePicker1), FALSE);
    EnableWindow(GetDlgItem(date, kIdDateTimePicker2), FALSE);
    EnableWindow(GetDlgItem(size, kIdLmdimagecombobox2), FALSE);
    m_spin.Enable(false);
    PlaceSections();
}

void FileSearchPanel::FollowDpi(unsigned dpi)
{
    SendMessageW(Control(kIdImage1), STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(controls::Picture(L"FINDPANEL", dpi)));
    m_lookIn.SetDroppedWidth(controls::Scale(250, dpi));
    m_spin.FollowDpi();
    m_findButton.SetGlyph(m_host.ButtonGlyphs(), FrameHost::kFindGlyph);
    for (auto& button : m_sectionButtons)
        if (const std::wstring picture = button.PictureName(); !picture.empty())
            button.SetPicture(picture.c_str());
}

void FileSearchPanel::SetCaptions()
{
    using namespace lang::text;
    struct Caption
    {
        int control;
        int text;
    };
    static constexpr Caption kCaptions[] = {
        {kIdLabel1, kNameLabel},
        {kIdLabel2, kContainingLabel},
        {kIdLabel3, kLookInLabel},
        {kIdMemo1, kFileDescription},
        {kIdLabel4, kDateSection},
        {kIdLabel5, kSizeSection},
        {kIdFlatRadioButton1, kAnyDateOrSize},
        {kIdFlatRadioButton2, kModifiedLast30Days},
        {kIdFlatRadioButton3, kModifiedLastYear},
        {kIdFlatRadioButton4, kDateRange},
        {kIdLabel6, kRangeFrom},
        {kIdLabel7, kRangeTo},
        {kIdFlatRadioButton5, kSizeUpTo1MB},
        {kIdFlatRadioButton6, kSize1To10MB},
        {kIdFlatRadioButton7, kSizeFrom10MB},
        {kIdFlatRadioButton8, kSizeCustom},
        {kIdFlatRadioButton9, kAnyDateOrSize},
        {kIdLabel11, kMoreOptionsSection},
        {kIdFlatCheckBox5, kSearchSubfolders},
        {kIdSearchDocuments, kSearchInDocuments},
        {kIdSearchArchives, kSearchInArchives},
        {kIdFindfilesbtn, kFindStart},
    };
    for (const Caption& caption : kCaptions)
        controls::SetWindowTextUtf8(Control(caption.control), T(caption.text));
    for (auto& button : m_sectionButtons)
        button.SetPicture(L"BITMAP2");
    AddComboTexts(Control(kIdLmdimagecombobox1), m_host.Texts(),
                  {kDateKindCreated, kDateKindModified, kDateKindAccessed});
    AddComboTexts(Control(kIdLmdimagecombobox2), m_host.Texts(), {kSizeAtLeast, kSizeAtMost});
    m_accessKeys.Choose();
}

void FileSearchPanel::SelectStartPlace(const std::optional<std::string>& firstArgument)
{
    // The all-fixed-drives entry when both special entries are present.
    if (auto start = StartPlaceIndex(m_places.size()))
        m_lookIn.Select(static_cast<int>(*start));
    // A folder named on the command line.
    if (firstArgument && !firstArgument->empty())
    {
        const DWORD attributes = GetFileAttributesW(platform::Widen(*firstArgument).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            m_lookIn.SetText(*firstArgument);
    }
}

void FileSearchPanel::Activate()
{
    ResultsList& results = m_host.Results();
    results.Clear();
    results.ShowMode(m_mode);
    ListView_SetColumnWidth(results.Handle(), 1, controls::ScaleFor(results.Handle(), 200));
}

void FileSearchPanel::Stop()
{
    // AbortSearch keeps messages flowing until the worker has ended; no found event comes later.
    if (m_findFile && m_findFile->Busy())
        m_findFile->AbortSearch();
}

bool FileSearchPanel::OnCommand(int id, int code, HWND)
{
    switch (id)
    {
    case kIdFindfilesbtn:
        FindfilesbtnClick();
        return true;
    case kIdSaveSearch:
        SaveSearchClick();
        return true;
    case kIdOpenSearch:
        OpenSearchClick();
        return true;
    case kIdExplBtn1:
    case kIdExplBtn2:
    case kIdExplBtn3:
        ExplBtnClick(id == kIdExplBtn1 ? 0 : (id == kIdExplBtn2 ? 1 : 2));
        return true;
    case kIdFlatRadioButton1:
    case kIdFlatRadioButton2:
    case kIdFlatRadioButton3:
    case kIdFlatRadioButton4:
        if (code == BN_CLICKED)
            DateRadioClick(id);
        return true;
    case kIdFlatRadioButton5:
    case kIdFlatRadioButton6:
    case kIdFlatRadioButton7:
    case kIdFlatRadioButton8:
    case kIdFlatRadioButton9:
        if (code == BN_CLICKED)
            SizeRadioClick(id);
        return true;
    case kIdSearchDocuments:
        // Unwritable settings only mean the choice is not remembered; the box still acts now.
        if (code == BN_CLICKED)
            settings::SetSearchInDocuments(Checked(kIdSearchDocuments));
        return true;
    case kIdSearchArchives:
        if (code == BN_CLICKED)
            settings::SetSearchInArchives(Checked(kIdSearchArchives));
        return true;
    case kIdLMDEdit2:
        // Typed, or picked from the list: the field's text is newer than the kept copy.
        if (code == CBN_EDITCHANGE || code == CBN_SELCHANGE)
            m_containingChanged = true;
        return true;
    case kIdAWComboBoxEx1:
        // The browser opens once the combo has closed its list.
        if (code == CBN_SELCHANGE)
            PostMessageW(m_host.Owner(), kMsgPlacePicked, 0, 0);
        return true;
    }
    return id >= kIdImage1 && id <= kIdFileSearchLast;
}

bool FileSearchPanel::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result)
{
    if (msg != kMsgPlacePicked)
        return false;
    AWComboBoxEx1Click();
    result = 0;
    return true;
}

bool FileSearchPanel::IsSectionField(HWND control) const
{
    for (const auto& panel : m_sectionPanels)
        if (IsChild(panel.Handle(), control))
            return true;
    return false;
}

void FileSearchPanel::UpdateCriteria(const std::function<void(engine::FindCriteria&)>& change)
{
    engine::FindCriteria criteria = m_findFile->Criteria();
    try
    {
        change(criteria);
    }
    catch (...)
    {
        // The steps before a refused one keep their effect, as the finder's own setters would.
        m_findFile->SetCriteria(criteria);
        throw;
    }
    m_findFile->SetCriteria(criteria);
}

void FileSearchPanel::FindfilesbtnClick()
{
    using namespace lang::text;
    HWND button = Control(kIdFindfilesbtn);
    // 1. A running search: stop it. The completion handler has updated the window by then.
    if (controls::WindowText(button) != T(kFindStart))
    {
        m_findFile->AbortSearch();
        controls::SetWindowTextUtf8(button, T(kFindStart));
        return;
    }
    // 2. A new search starts with an empty list.
    m_host.Results().Clear();

    SearchPanelState state;
    state.subfolders = Checked(kIdFlatCheckBox5);
    state.containerKinds = {Checked(kIdSearchDocuments), Checked(kIdSearchArchives)};
    state.lookIn = m_lookIn.Text();
    for (const PlaceEntry& place : m_places)
    {
        if (place.kind == PlaceKind::Desktop)
            state.desktop = SpecialPlace{place.text, m_specialFolders.desktop};
        else if (place.kind == PlaceKind::Personal)
            state.personal = SpecialPlace{place.text, m_specialFolders.personal};
    }
    state.customSize = Checked(kIdFlatRadioButton8);
    state.sizeKindText = controls::WindowText(Control(kIdLmdimagecombobox2));
    state.sizeKilobytes = m_spin.Value();
    state.customDate = Checked(kIdFlatRadioButton4);
    state.dateKindText = controls::WindowText(Control(kIdLmdimagecombobox1));
    state.rangeStart = PickerValue(kIdDateTimePicker1);
    state.rangeEnd = PickerValue(kIdDateTimePicker2);
    state.nameText = controls::WindowText(Control(kIdLMDEdit1));

    const PanelMarkers markers{T(kSizeAtLeast), T(kSizeAtMost), T(kDateKindCreated), T(kDateKindModified),
                               T(kDateKindAccessed)};
    // 3.-7. A refused location or mask throws from here: the error box shows it, no search starts.
    UpdateCriteria([&](engine::FindCriteria& criteria) { ApplySearchPanel(state, markers, criteria); });
    m_containerKinds = state.containerKinds;
    m_containingChanged = true;
    RememberSearch(state.nameText, controls::WindowText(m_containingField), state.lookIn);
    m_host.SearchStarting(!controls::WindowText(m_containingField).empty(), m_containerKinds);
    // 8., 9.
    controls::SetWindowTextUtf8(button, T(kFindStop));
    m_findFile->StartSearch();
}

void FileSearchPanel::FindFile1Found(const std::string& folder, const engine::TSearchRec& record)
{
    // Editing the containing text during a search filters from the next item on.
    if (m_containingChanged || GetTickCount() - m_containingReadAt >= kContainingRecheckMs)
    {
        m_containingText = controls::WindowText(m_containingField);
        m_containingChanged = false;
        m_containingReadAt = GetTickCount();
    }
    m_host.Results().FindFile1Found(folder, record, m_containingText, m_containerKinds);
}

void FileSearchPanel::FindFile1NewFolder(const std::string& folder)
{
    m_host.Results().FindFile1NewFolder(folder);
}

void FileSearchPanel::FindFile1Complete()
{
    controls::SetWindowTextUtf8(Control(kIdFindfilesbtn), T(lang::text::kFindStart));
    m_host.Results().FindFile1Complete();
    // After the count: what the search could not look into, each kind in the tooltip.
    const SkipNote note = MakeSkipNote(m_findFile->Skipped(), m_host.Texts());
    m_host.ShowStatusNote(note.note, note.details);
}

} // namespace ui
