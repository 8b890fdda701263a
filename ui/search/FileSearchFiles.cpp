// Search files (.ffsearch): the panel's criteria written to one, and one read back into the panel.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
// clang-format on
#include "controls/Window.h"
#include "engine/AsciiCase.h"
#include "lang/TextIds.h"
#include "platform/Utf8.h"
#include "platform/Win32WholeFile.h"
#include "ui/search/FileSearchPanel.h"

#include <stdexcept>

namespace ui
{

namespace
{

using DateChoice = SavedSearch::DateChoice;
using SizeChoice = SavedSearch::SizeChoice;

constexpr int kDateRadios[4] = {kIdFlatRadioButton1, kIdFlatRadioButton2, kIdFlatRadioButton3,
                                kIdFlatRadioButton4};
constexpr int kSizeRadios[5] = {kIdFlatRadioButton9, kIdFlatRadioButton5, kIdFlatRadioButton6,
                                kIdFlatRadioButton7, kIdFlatRadioButton8};
// The size box takes at most this many kilobytes.
constexpr int64_t kMaxPanelKilobytes = 1000000;

CalendarDate PickerDate(HWND picker)
{
    SYSTEMTIME st{};
    if (SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID)
        return {};
    return {st.wYear, st.wMonth, st.wDay};
}

void SetPicker(HWND picker, const CalendarDate& date)
{
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(date.year);
    st.wMonth = static_cast<WORD>(date.month);
    st.wDay = static_cast<WORD>(date.day);
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

} // namespace

bool FileSearchPanel::IsSearchFile(const std::string& path)
{
    static const std::string kExtension = ".ffsearch";
    return path.size() > kExtension.size() &&
           engine::EqualsIgnoreAsciiCase(path.substr(path.size() - kExtension.size()), kExtension);
}

SavedSearch FileSearchPanel::CurrentSearch() const
{
    using namespace lang::text;
    SavedSearch search;
    search.name = controls::WindowText(Control(kIdLMDEdit1));
    search.text = controls::WindowText(Control(kIdLMDEdit2));
    // A special place by its folder: its caption is the language's.
    std::optional<SpecialPlace> desktop, personal;
    for (const PlaceEntry& place : m_places)
    {
        if (place.kind == PlaceKind::Desktop)
            desktop = SpecialPlace{place.text, m_specialFolders.desktop};
        else if (place.kind == PlaceKind::Personal)
            personal = SpecialPlace{place.text, m_specialFolders.personal};
    }
    search.lookIn = LookInToLocation(m_lookIn.Text(), desktop, personal);
    search.subfolders = Checked(kIdFlatCheckBox5);
    search.documents = Checked(kIdSearchDocuments);
    search.archives = Checked(kIdSearchArchives);
    for (int i = 0; i < 4; ++i)
        if (Checked(kDateRadios[i]))
            search.date = static_cast<DateChoice>(i);
    const std::string dateKind = controls::WindowText(Control(kIdLmdimagecombobox1));
    search.dateKind = dateKind == T(kDateKindCreated)    ? SavedSearch::DateKind::Created
                      : dateKind == T(kDateKindAccessed) ? SavedSearch::DateKind::Accessed
                                                         : SavedSearch::DateKind::Modified;
    search.dateFrom = PickerDate(Control(kIdDateTimePicker1));
    search.dateTo = PickerDate(Control(kIdDateTimePicker2));
    for (int i = 0; i < 5; ++i)
        if (Checked(kSizeRadios[i]))
            search.size = static_cast<SizeChoice>(i);
    search.sizeAtLeast = controls::WindowText(Control(kIdLmdimagecombobox2)) != T(kSizeAtMost);
    search.sizeKilobytes = m_spin.Value();
    return search;
}

void FileSearchPanel::ShowSearch(const SavedSearch& search)
{
    controls::SetWindowTextUtf8(Control(kIdLMDEdit1), search.name);
    controls::SetWindowTextUtf8(Control(kIdLMDEdit2), search.text);
    m_containingChanged = true;
    if (!search.lookIn.empty())
        m_lookIn.SetText(search.lookIn);
    CheckDlgButton(GetParent(Control(kIdFlatCheckBox5)), kIdFlatCheckBox5,
                   search.subfolders ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(GetParent(Control(kIdSearchDocuments)), kIdSearchDocuments,
                   search.documents ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(GetParent(Control(kIdSearchArchives)), kIdSearchArchives,
                   search.archives ? BST_CHECKED : BST_UNCHECKED);
    // Each choice as its radio button's click makes it: the presets write the finder's bounds.
    const int dateRadio = kDateRadios[static_cast<int>(search.date)];
    CheckRadioButton(GetParent(Control(dateRadio)), kIdFlatRadioButton1, kIdFlatRadioButton4, dateRadio);
    DateRadioClick(dateRadio);
    if (search.date == DateChoice::Range)
    {
        SendMessageW(Control(kIdLmdimagecombobox1), CB_SETCURSEL, static_cast<WPARAM>(search.dateKind), 0);
        SetPicker(Control(kIdDateTimePicker1), search.dateFrom);
        SetPicker(Control(kIdDateTimePicker2), search.dateTo);
    }
    const int sizeRadio = kSizeRadios[static_cast<int>(search.size)];
    CheckRadioButton(GetParent(Control(sizeRadio)), kIdFlatRadioButton5, kIdFlatRadioButton9, sizeRadio);
    SizeRadioClick(sizeRadio);
    if (search.size == SizeChoice::Custom)
    {
        SendMessageW(Control(kIdLmdimagecombobox2), CB_SETCURSEL, search.sizeAtLeast ? 0 : 1, 0);
        m_spin.SetValue(static_cast<int>(search.sizeKilobytes));
    }
}

void FileSearchPanel::OpenSearchFile(const std::string& path)
{
    using namespace lang::text;
    // A search file is a few hundred bytes; anything far larger is no search file.
    const std::optional<std::string> text = platform::ReadWholeFile(path, 1 << 20);
    if (!text)
        throw std::runtime_error(T(kSearchFileUnreadable) + path);
    SavedSearchResult read = ReadSavedSearch(*text);
    // What the panel cannot show is refused too, before anything of the panel changes.
    if (read.search && read.search->sizeKilobytes > kMaxPanelKilobytes)
        read = {std::nullopt, "SizeKB"};
    if (!read.search)
        throw std::runtime_error(T(kSearchFileBadKey) + read.badKey);
    ShowSearch(*read.search);
}

void FileSearchPanel::SaveSearchFile(const std::string& path) const
{
    if (!platform::WriteWholeFile(path, WriteSavedSearch(CurrentSearch())))
        throw std::runtime_error(T(lang::text::kSearchFileUnreadable) + path);
}

std::optional<std::string> FileSearchPanel::AskSearchFile(bool save)
{
    using namespace lang::text;
    if (m_options.askSearchFile)
        return m_options.askSearchFile(m_host.Owner(), save);
    // The filter is "name\0pattern\0\0".
    std::wstring filter = platform::Widen(T(kSearchFileFilter));
    filter += L'\0';
    filter += L"*.ffsearch";
    filter += L'\0';
    wchar_t path[MAX_PATH] = {};
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = m_host.Owner();
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = L"ffsearch";
    const std::wstring title = platform::Widen(T(save ? kSaveSearch : kOpenSearch));
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen)
        return std::nullopt;
    return platform::Narrow(path);
}

void FileSearchPanel::SaveSearchClick()
{
    if (std::optional<std::string> path = AskSearchFile(true))
        SaveSearchFile(*path);
}

void FileSearchPanel::OpenSearchClick()
{
    if (std::optional<std::string> path = AskSearchFile(false))
        OpenSearchFile(*path);
}

} // namespace ui
