// What the user typed into the name, containing-text and look-in fields before: the fields'
// drop-down lists offer it, the settings file keeps it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on
#include "controls/Window.h"
#include "platform/Utf8.h"
#include "settings/SettingsFile.h"
#include "ui/search/FileSearchPanel.h"

namespace ui
{

namespace
{

SearchHistory ReadHistory(const std::string& field)
{
    std::vector<std::string> entries;
    for (const std::string& value : settings::ReadHistoryValues(field, kSearchHistoryLength))
        if (std::optional<std::string> entry = DecodeHistoryEntry(value))
            entries.push_back(*entry);
    return SearchHistory(entries);
}

// Stores history when text changed it; a file that cannot be written only means it is not kept.
void Remember(SearchHistory& history, const std::string& field, const std::string& text)
{
    const std::vector<std::string> before = history.Entries();
    history.Add(text);
    if (history.Entries() == before)
        return;
    std::vector<std::string> values;
    for (const std::string& entry : history.Entries())
        values.push_back(EncodeHistoryEntry(entry));
    settings::WriteHistoryValues(field, values, kSearchHistoryLength);
}

void FillList(HWND field, const SearchHistory& history)
{
    // Emptying the list keeps the field's text, which the user may be editing.
    const std::string text = controls::WindowText(field);
    SendMessageW(field, CB_RESETCONTENT, 0, 0);
    for (const std::string& entry : history.Entries())
        SendMessageW(field, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::Widen(entry).c_str()));
    controls::SetWindowTextUtf8(field, text);
}

// The shell's picture of a closed folder, asked without touching the disk: a remembered folder
// may sit on a network that is gone.
int FolderIcon()
{
    SHFILEINFOW info{};
    if (!SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof(info),
                        SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES))
        return 0;
    return info.iIcon;
}

} // namespace

HWND FieldEdit(HWND field)
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (GetComboBoxInfo(field, &info) && info.hwndItem)
        return info.hwndItem;
    return field;
}

void FileSearchPanel::LoadHistory()
{
    m_nameHistory = ReadHistory("Name");
    m_textHistory = ReadHistory("Text");
    m_folderHistory = ReadHistory("Folder");
    ShowHistory();
}

void FileSearchPanel::RememberSearch(const std::string& name, const std::string& containing,
                                     const std::string& lookIn)
{
    if (!settings::KeepSearchHistory())
        return;
    Remember(m_nameHistory, "Name", name);
    Remember(m_textHistory, "Text", containing);
    // The look-in list shows its places already.
    bool place = false;
    for (const PlaceEntry& entry : m_places)
        place = place || entry.text == lookIn;
    if (!place)
        Remember(m_folderHistory, "Folder", lookIn);
    ShowHistory();
}

void FileSearchPanel::ShowHistory()
{
    FillList(Control(kIdLMDEdit1), m_nameHistory);
    FillList(Control(kIdLMDEdit2), m_textHistory);
    // The remembered folders follow the places.
    const std::string text = m_lookIn.Text();
    m_lookIn.RemoveFrom(static_cast<int>(m_places.size()));
    const int icon = FolderIcon();
    for (const std::string& folder : m_folderHistory.Entries())
        m_lookIn.Add(folder, icon);
    m_lookIn.SetText(text);
}

} // namespace ui
