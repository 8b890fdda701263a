// The Explorer keyboard habits on LV1: Enter, the context-menu key, Ctrl+A, Delete, Ctrl+C, and
// typing a name's first letters.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include "platform/Utf8.h"
#include "ui/results/ResultsList.h"

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

} // namespace

std::vector<size_t> ResultsList::SelectedRows() const
{
    std::vector<size_t> rows;
    for (int i = ListView_GetNextItem(m_list, -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(m_list, i, LVNI_SELECTED))
        if (static_cast<size_t>(i) < m_rows.Size())
            rows.push_back(static_cast<size_t>(i));
    return rows;
}

bool ResultsList::OnKey(UINT message, WPARAM key)
{
    const bool control = KeyDown(VK_CONTROL);
    const bool shift = KeyDown(VK_SHIFT);
    if (message == WM_SYSKEYDOWN)
    {
        if (key == VK_F10 && shift && FileRowsShown())
            ShowMenuAtFocus();
        return key == VK_F10 && shift;
    }
    if (key == 'A' && control)
    {
        SelectAll();
        return true;
    }
    if (!FileRowsShown())
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
    ResultsMode* mode = CurrentMode();
    if (paths.empty() || !mode)
        return;
    POINT at{0, 0};
    const int focused = ListView_GetNextItem(m_list, -1, LVNI_FOCUSED);
    RECT row;
    if (focused >= 0 && ListView_GetItemRect(m_list, focused, &row, LVIR_LABEL))
        at = POINT{row.left + 8, row.bottom};
    ::ClientToScreen(m_list, &at);
    mode->ShowRowMenu(paths, at);
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
        const std::wstring name =
            Upper(platform::Widen(std::string(m_rows.Caption(static_cast<size_t>(row)))));
        if (name.compare(0, wanted.size(), wanted) == 0)
            return row;
    }
    return -1;
}

} // namespace ui
