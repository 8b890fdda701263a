// The option sections of the search panel (date, size, more options): opening and closing them,
// and the radio presets that write the finder's criteria.
#include "controls/WindowDpi.h"
#include "ui/search/FileSearchLayout.h"
#include "ui/search/FileSearchPanel.h"

namespace ui
{

using namespace layout;

void FileSearchPanel::PlaceSections()
{
    const SectionPlaces& p = kPlaces[m_openSection + 1];
    const int tops[3] = {kLabel4Top, p.label5, p.label11};
    const int titleIds[3] = {kIdLabel4, kIdLabel5, kIdLabel11};
    for (int i = 0; i < 3; ++i)
    {
        const UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS;
        controls::PlaceChild(Control(titleIds[i]), 8, tops[i], 0, 0, flags);
        controls::PlaceChild(m_sectionButtons[i].Handle(), kSectionButtonLeft, tops[i], 0, 0, flags);
        if (i == m_openSection)
            controls::PlaceChild(m_sectionPanels[i].Handle(), 4, p.panelTop, 0, 0, flags | SWP_SHOWWINDOW);
        else
            ShowWindow(m_sectionPanels[i].Handle(), SW_HIDE);
    }
    controls::PlaceChild(m_findButton.Handle(), 112, p.findButton, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    // Moved controls leave stale pixels behind unless the whole page repaints.
    RedrawWindow(m_page, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void FileSearchPanel::OpenSection(int section)
{
    if (m_openSection >= 0 && m_openSection != section)
        CloseSection(m_openSection);
    m_openSection = section;
    m_sectionButtons[section].SetPicture(L"BITMAP1");
    PlaceSections();
}

void FileSearchPanel::CloseSection(int section)
{
    if (m_openSection == section)
        m_openSection = -1;
    m_sectionButtons[section].SetPicture(L"BITMAP2");
    PlaceSections();
}

void FileSearchPanel::ExplBtnClick(int section)
{
    if (m_openSection == section)
        CloseSection(section);
    else
        OpenSection(section);
}

bool FileSearchPanel::Checked(int id) const
{
    return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

TDateTime FileSearchPanel::PickerValue(int id) const
{
    SYSTEMTIME st{};
    if (SendMessageW(Control(id), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID)
        return 0;
    return DateToDays(st.wYear, st.wMonth, st.wDay);
}

void FileSearchPanel::SetPickerDate(int id, const platform::CalendarTime& date)
{
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(date.year);
    st.wMonth = static_cast<WORD>(date.month);
    st.wDay = static_cast<WORD>(date.day);
    SendMessageW(Control(id), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

void FileSearchPanel::DateRadioClick(int id)
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

void FileSearchPanel::WritePresetDates(DatePreset preset)
{
    const DateBounds bounds = PresetDateBounds(preset, Today(*m_clock));
    UpdateCriteria([&](engine::FindCriteria& criteria) { WriteDateBounds(bounds, criteria); });
}

void FileSearchPanel::WritePresetSize(SizePreset preset)
{
    UpdateCriteria(
        [&](engine::FindCriteria& criteria) { WriteSizeBounds(PresetSizeBounds(preset), criteria); });
}

void FileSearchPanel::SizeRadioClick(int id)
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

} // namespace ui
