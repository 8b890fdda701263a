// The search panel of the main window: its controls, the option sections, the radio presets and
// the start/stop button.
#include "controls/Theme.h"
#include "lang/TextIds.h"
#include "platform/Utf8.h"
#include "ui/main/FindfileFrm.h"

namespace ui
{

using controls::CreateChild;

namespace
{

// Vertical positions on the panel face: {date title, size title, more title, button} and where
// the open section's panel sits, per state (all closed, date, size, more options open).
struct SectionPlaces
{
    int label5;
    int label11;
    int findButton;
    int panelTop;
};
constexpr int kLabel4Top = 224;
constexpr SectionPlaces kPlaces[4] = {
    {250, 280, 320, 0},   // all closed
    {390, 420, 445, 252}, // date open
    {250, 400, 440, 280}, // size open
    {250, 280, 380, 310}, // more options open
};
constexpr int kSectionHeights[3] = {136, 118, 68};
constexpr int kSectionTitleWidth = 180;
constexpr int kSectionButtonLeft = 200;

} // namespace

void TFindfileFrm::BuildSearchPanel(HWND page)
{
    // SS_NOTIFY: a static without it is transparent to the mouse, and a click on a label would
    // reach the page behind it, whose click empties the results.
    const DWORD label = SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY;
    const DWORD title = SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_CENTERIMAGE | SS_NOTIFY;
    HWND image = CreateChild(page, kIdImage1, L"STATIC", SS_BITMAP | SS_NOTIFY, 8, 8, 48, 48);
    SendMessageW(image, STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(controls::Picture(L"FINDPANEL")));
    CreateChild(page, kIdMemo1, L"EDIT", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 62, 8, 162, 56);
    CreateChild(page, kIdLabel1, L"STATIC", label, 8, 72, 216, 15);
    CreateChild(page, kIdLMDEdit1, L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, 8, 88, 216, 21, WS_EX_CLIENTEDGE);
    CreateChild(page, kIdLabel2, L"STATIC", label, 8, 116, 216, 15);
    CreateChild(page, kIdLMDEdit2, L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, 8, 132, 216, 21, WS_EX_CLIENTEDGE);
    CreateChild(page, kIdLabel3, L"STATIC", label, 8, 160, 216, 15);
    m_lookIn.Create(page, kIdAWComboBoxEx1, 8, 176, 216, 300);
    m_lookIn.SetDroppedWidth(250);

    const int titleIds[3] = {kIdLabel4, kIdLabel5, kIdLabel11};
    const int buttonIds[3] = {kIdExplBtn1, kIdExplBtn2, kIdExplBtn3};
    const int panelIds[3] = {kIdDatePanel, kIdSizePanel, kIdNextsettings};
    for (int i = 0; i < 3; ++i)
    {
        CreateChild(page, titleIds[i], L"STATIC", title, 8, 0, kSectionTitleWidth, 21);
        m_sectionButtons[i].Create(page, buttonIds[i], kSectionButtonLeft, 0, 20, 21);
        m_sectionPanels[i].Create(page, panelIds[i], RECT{4, 0, 228, kSectionHeights[i]}, Handle(),
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

    // More options: subfolders.
    HWND more = m_sectionPanels[2].Handle();
    CreateChild(more, kIdFlatCheckBox5, L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 8, 4, 210, 18);
    CheckDlgButton(more, kIdFlatCheckBox5, BST_CHECKED);

    m_findButton.Create(page, kIdFindfilesbtn, 112, 0, 112, 25);
    m_findButton.SetFaces(controls::Picture(L"BUTTONFACE"), controls::Picture(L"BUTTONHOVER"));
    m_findButton.SetGlyph(m_glyphs.Get(), kFindGlyph);
    // LMDEdit1KeyDown: Enter in the name field starts or stops the search as the button does.
    m_nameFieldEnter.Install(GetDlgItem(page, kIdLMDEdit1), Handle(), m_findButton.Handle());

    // The custom-range and custom-size inputs wait for their radio button.
    EnableWindow(GetDlgItem(date, kIdLmdimagecombobox1), FALSE);
    EnableWindow(GetDlgItem(date, kIdDateTimePicker1), FALSE);
    EnableWindow(GetDlgItem(date, kIdDateTimePicker2), FALSE);
    EnableWindow(GetDlgItem(size, kIdLmdimagecombobox2), FALSE);
    m_spin.Enable(false);
    PlaceSections();
}

void TFindfileFrm::PlaceSections()
{
    const SectionPlaces& p = kPlaces[m_openSection + 1];
    const int tops[3] = {kLabel4Top, p.label5, p.label11};
    const int titleIds[3] = {kIdLabel4, kIdLabel5, kIdLabel11};
    for (int i = 0; i < 3; ++i)
    {
        const UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS;
        SetWindowPos(Control(titleIds[i]), nullptr, 8, tops[i], 0, 0, flags);
        SetWindowPos(m_sectionButtons[i].Handle(), nullptr, kSectionButtonLeft, tops[i], 0, 0, flags);
        if (i == m_openSection)
            SetWindowPos(m_sectionPanels[i].Handle(), nullptr, 4, p.panelTop, 0, 0, flags | SWP_SHOWWINDOW);
        else
            ShowWindow(m_sectionPanels[i].Handle(), SW_HIDE);
    }
    SetWindowPos(m_findButton.Handle(), nullptr, 112, p.findButton, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    // Moved controls leave stale pixels behind unless the whole page repaints.
    RedrawWindow(m_sideBar.Page(0).Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TFindfileFrm::OpenSection(int section)
{
    if (m_openSection >= 0 && m_openSection != section)
        CloseSection(m_openSection);
    m_openSection = section;
    m_sectionButtons[section].SetPicture(L"BITMAP1");
    PlaceSections();
}

void TFindfileFrm::CloseSection(int section)
{
    if (m_openSection == section)
        m_openSection = -1;
    m_sectionButtons[section].SetPicture(L"BITMAP2");
    PlaceSections();
}

void TFindfileFrm::ExplBtnClick(int section)
{
    if (m_openSection == section)
        CloseSection(section);
    else
        OpenSection(section);
}

bool TFindfileFrm::Checked(int id) const
{
    return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

TDateTime TFindfileFrm::PickerValue(int id) const
{
    SYSTEMTIME st{};
    if (SendMessageW(Control(id), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID)
        return 0;
    return DateToDays(st.wYear, st.wMonth, st.wDay);
}

void TFindfileFrm::SetPickerDate(int id, const platform::CalendarTime& date)
{
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(date.year);
    st.wMonth = static_cast<WORD>(date.month);
    st.wDay = static_cast<WORD>(date.day);
    SendMessageW(Control(id), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

void TFindfileFrm::DateRadioClick(int id)
{
    const bool custom = Checked(kIdFlatRadioButton4);
    EnableWindow(Control(kIdLmdimagecombobox1), custom);
    EnableWindow(Control(kIdDateTimePicker1), custom);
    EnableWindow(Control(kIdDateTimePicker2), custom);
    switch (id)
    {
    case kIdFlatRadioButton1:
        WritePresetDates(DatePreset::Any);
        break;
    case kIdFlatRadioButton2:
        WritePresetDates(DatePreset::Last30Days);
        break;
    case kIdFlatRadioButton3:
        WritePresetDates(DatePreset::LastYear);
        break;
    case kIdFlatRadioButton4: {
        SendMessageW(Control(kIdLmdimagecombobox1), CB_SETCURSEL, 0, 0);
        const platform::CalendarTime now = m_clock->Now();
        SetPickerDate(kIdDateTimePicker1, now);
        SetPickerDate(kIdDateTimePicker2, now);
        break;
    }
    }
}

void TFindfileFrm::WritePresetDates(DatePreset preset)
{
    const DateBounds bounds = PresetDateBounds(preset, Today(*m_clock));
    UpdateCriteria([&](engine::FindCriteria& criteria) { WriteDateBounds(bounds, criteria); });
}

void TFindfileFrm::WritePresetSize(SizePreset preset)
{
    UpdateCriteria(
        [&](engine::FindCriteria& criteria) { WriteSizeBounds(PresetSizeBounds(preset), criteria); });
}

void TFindfileFrm::UpdateCriteria(const std::function<void(engine::FindCriteria&)>& change)
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

void TFindfileFrm::SizeRadioClick(int id)
{
    const bool custom = Checked(kIdFlatRadioButton8);
    EnableWindow(Control(kIdLmdimagecombobox2), custom);
    m_spin.Enable(custom);
    if (!Checked(id))
        return;
    switch (id)
    {
    case kIdFlatRadioButton9:
        WritePresetSize(SizePreset::Any);
        break;
    case kIdFlatRadioButton5:
        WritePresetSize(SizePreset::UpTo1MB);
        break;
    case kIdFlatRadioButton6:
        WritePresetSize(SizePreset::From1To10MB);
        break;
    case kIdFlatRadioButton7:
        WritePresetSize(SizePreset::From10MB);
        break;
    case kIdFlatRadioButton8:
        SendMessageW(Control(kIdLmdimagecombobox2), CB_SETCURSEL, 0, 0);
        break;
    }
}

void TFindfileFrm::FindfilesbtnClick()
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
    ClearResults();

    SearchPanelState state;
    state.subfolders = Checked(kIdFlatCheckBox5);
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
    // 8., 9.
    controls::SetWindowTextUtf8(button, T(kFindStop));
    m_findFile->StartSearch();
}

} // namespace ui
