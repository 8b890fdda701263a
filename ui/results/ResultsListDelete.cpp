// Deleting the selected files through the shell, and removing the rows of files that went away.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
// clang-format on
#include "platform/Utf8.h"
#include "ui/results/ResultsList.h"

namespace ui
{

namespace
{

// Full paths as the shell's operations take them: each ended by a NUL, the list by another.
std::wstring PathList(const std::vector<std::string>& paths)
{
    std::wstring list;
    for (const std::string& path : paths)
        list += platform::Widen(path) + L'\0';
    return list + L'\0';
}

} // namespace

void ResultsList::DeleteSelected()
{
    const std::vector<size_t> rows = SelectedRows();
    if (rows.empty())
        return;
    std::vector<std::string> paths;
    for (size_t row : rows)
        paths.push_back(m_rows.Path(row));
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
    std::vector<char> gone(m_rows.Size(), 0);
    size_t count = 0;
    for (size_t row : rows)
    {
        if (row >= m_rows.Size() || gone[row])
            continue;
        const std::wstring path = platform::Widen(m_rows.Path(row));
        if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        {
            gone[row] = 1;
            ++count;
        }
    }
    if (count == 0)
        return 0;
    size_t shownGone = 0;
    for (size_t i = 0; i < m_shownRows && i < gone.size(); ++i)
        shownGone += gone[i] ? 1 : 0;
    m_rows.Remove(gone);
    m_shownRows -= shownGone;
    ListView_SetItemState(m_list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemCountEx(m_list, static_cast<int>(m_shownRows), LVSICF_NOSCROLL);
    ::InvalidateRect(m_list, nullptr, TRUE);
    // The status line counts the list's rows; it must not go on counting the removed ones.
    ShowRowCount();
    return count;
}

} // namespace ui
