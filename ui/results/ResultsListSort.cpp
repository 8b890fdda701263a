// Sorting LV1 by a column: the rows move, and the selection and the focus go with their rows.
// A search may go on adding rows to the sorted list.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include "ui/results/ResultsList.h"

namespace ui
{

void ResultsList::LV1ColumnClick(int column)
{
    ShowPendingRows();
    if (m_rows.Empty())
        return;
    m_sortColumn = column;

    // The selection and the focus go with their rows.
    std::vector<char> selected(m_rows.Size(), 0);
    for (int i = ListView_GetNextItem(m_list, -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(m_list, i, LVNI_SELECTED))
        selected[static_cast<size_t>(i)] = 1;
    const int focused = ListView_GetNextItem(m_list, -1, LVNI_FOCUSED);

    const std::vector<size_t> order = m_rows.SortOrder(m_sortColumn);
    m_rows.Reorder(order);

    ListView_SetItemState(m_list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
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
