// Sorting LV1 by a column: the rows move, and the selection and the focus go with their rows.
// A search may go on adding rows to the sorted list.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include "ui/results/ResultsList.h"

namespace ui
{

namespace
{

// Clearing the state of all rows at once (item -1) costs the control a call per row (under Wine,
// half a second for a million rows even when one is selected): a few selected rows are cleared one
// by one.
void ClearSelectionAndFocus(HWND list, const std::vector<int>& selectedRows, int focused, size_t rowCount)
{
    // ListView_SetItemState is a block in braces: each use gets braces of its own.
    if (selectedRows.size() > rowCount / 4)
    {
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    }
    else
    {
        for (int row : selectedRows)
            ListView_SetItemState(list, row, 0, LVIS_SELECTED);
    }
    if (focused >= 0)
    {
        ListView_SetItemState(list, focused, 0, LVIS_FOCUSED);
    }
}

} // namespace

void ResultsList::LV1ColumnClick(int column)
{
    ShowPendingRows();
    if (m_rows.Empty())
        return;
    m_sortColumn = column;

    // The selection and the focus go with their rows.
    std::vector<char> selected(m_rows.Size(), 0);
    std::vector<int> selectedRows;
    for (int i = ListView_GetNextItem(m_list, -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(m_list, i, LVNI_SELECTED))
    {
        selected[static_cast<size_t>(i)] = 1;
        selectedRows.push_back(i);
    }
    const int focused = ListView_GetNextItem(m_list, -1, LVNI_FOCUSED);

    const std::vector<size_t> order = m_rows.SortOrder(m_sortColumn);
    m_rows.Reorder(order);

    ClearSelectionAndFocus(m_list, selectedRows, focused, m_rows.Size());
    for (size_t to = 0; to < order.size(); ++to)
    {
        if (selected[order[to]])
            ListView_SetItemState(m_list, static_cast<int>(to), LVIS_SELECTED, LVIS_SELECTED);
        if (static_cast<int>(order[to]) == focused)
            ListView_SetItemState(m_list, static_cast<int>(to), LVIS_FOCUSED, LVIS_FOCUSED);
    }
    ::InvalidateRect(m_list, nullptr, FALSE);
}

} // namespace ui
