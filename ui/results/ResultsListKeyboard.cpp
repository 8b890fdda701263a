// The Explorer keyboard habits on LV1: Enter, the context-menu key, Ctrl+A, Delete, Ctrl+C, and
// typing a name's first letters; plus removing the rows of files that went away.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
// clang-format on
#include "platform/Utf8.h"
#include "ui/results/ResultsList.h"

#include <algorithm>

namespace ui
{

namespace
{

bool KeyDown(int key)
{
    return (::GetKeyState(key) & 0x8000) != 0;
}

std::wstring Upper(std::wstring text)
{
    if (!text.empty())
        ::CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// Full paths as the shell's operations take them: each ended by a NUL, the list by another.
std::wstring PathList(const std::vector<std::string>& paths)
{
    std::wstring list;
    for (const std::string& path : paths)
        list += platform::Widen(path) + L'\0';
    return list + L'\0';
}

} // namespace

std::vector<size_t> ResultsList::SelectedRows() const
{
    std::vector<size_t> rows;
    for (int i = ListView_GetNextItem(m_list, -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(m_list, i, LVNI_SELECTED))
        if (static_cast<size_t>(i) < m_rows.size())
            rows.push_back(static_cast<size_t>(i));
    return rows;
}

bool ResultsList::OnKey(UINT message, WPARAM key)
{
    const bool control = KeyDown(VK_CONTROL);
    const bool shift = KeyDown(VK_SHIFT);
    if (message == WM_SYSKEYDOWN)
    {
        if (key == VK_F10 && shift && IsFileMode())
            ShowMenuAtFocus();
        return key == VK_F10 && shift;
    }
    if (key == 'A' && control)
    {
        SelectAll();
        return true;
    }
    if (!IsFileMode())
        return false;
    switch (key)
    {
    case VK_RETURN:
        LV1DblClick();
        return true;
    case VK_APPS:
        ShowMenuAtFocus();
        return true;
    case VK_DELETE:
        DeleteSelected();
        return true;
    case 'C':
        if (!control)
            return false;
        if (shift)
            CopyPaths(SelectedPaths());
        else
            CopySelected();
        return true;
    default:
        return false;
    }
}

void ResultsList::SelectAll()
{
    ShowPendingRows();
    ListView_SetItemState(m_list, -1, LVIS_SELECTED, LVIS_SELECTED);
}

void ResultsList::ShowMenuAtFocus()
{
    std::vector<std::string> paths = SelectedPaths();
    if (paths.empty() || !showShellMenu)
        return;
    POINT at{0, 0};
    const int focused = ListView_GetNextItem(m_list, -1, LVNI_FOCUSED);
    RECT row;
    if (focused >= 0 && ListView_GetItemRect(m_list, focused, &row, LVIR_LABEL))
        at = POINT{row.left + 8, row.bottom};
    ::ClientToScreen(m_list, &at);
    showShellMenu(paths, at);
}

void ResultsList::DeleteSelected()
{
    const std::vector<size_t> rows = SelectedRows();
    if (rows.empty())
        return;
    std::vector<std::string> paths;
    for (size_t row : rows)
        paths.push_back(JoinPath(m_rows[row].Text(1), m_rows[row].caption));
    const std::wstring from = PathList(paths);
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = ::GetAncestor(m_list, GA_ROOT);
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | (confirmDelete ? 0 : FOF_NOCONFIRMATION);
    // Cancelled or partly failed, the shell has said so itself; the files that are gone lose their rows.
    ::SHFileOperationW(&operation);
    RemoveVanishedRows(rows);
}

size_t ResultsList::RemoveVanishedRows(const std::vector<size_t>& rows)
{
    std::vector<char> gone(m_rows.size(), 0);
    size_t count = 0;
    for (size_t row : rows)
    {
        if (row >= m_rows.size() || gone[row])
            continue;
        const std::wstring path = platform::Widen(JoinPath(m_rows[row].Text(1), m_rows[row].caption));
        if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        {
            gone[row] = 1;
            ++count;
        }
    }
    if (count == 0)
        return 0;
    size_t kept = 0;
    size_t shownKept = 0;
    for (size_t i = 0; i < m_rows.size(); ++i)
    {
        if (gone[i])
            continue;
        if (i < m_shownRows)
            ++shownKept;
        if (kept != i)
            m_rows[kept] = std::move(m_rows[i]);
        ++kept;
    }
    m_rows.resize(kept);
    m_shownRows = shownKept;
    ListView_SetItemState(m_list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemCountEx(m_list, static_cast<int>(m_shownRows), LVSICF_NOSCROLL);
    ::InvalidateRect(m_list, nullptr, TRUE);
    // The status line counts the list's rows; it must not go on counting the removed ones.
    ShowRowCount();
    return count;
}

int ResultsList::FindRowByName(const std::wstring& prefix, int start, bool wrap) const
{
    const int count = VisibleCount();
    if (prefix.empty() || count <= 0)
        return -1;
    const std::wstring wanted = Upper(prefix);
    start = std::clamp(start, 0, count);
    const int last = wrap ? start + count : count;
    for (int i = start; i < last; ++i)
    {
        const int row = i % count;
        const std::wstring name = Upper(platform::Widen(m_rows[static_cast<size_t>(row)].caption));
        if (name.compare(0, wanted.size(), wanted) == 0)
            return row;
    }
    return -1;
}

} // namespace ui
