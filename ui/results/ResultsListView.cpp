// Sorting and the view styles of LV1, both of which hold while a search adds rows.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include "ui/results/ResultsList.h"

namespace ui
{

namespace
{

DWORD ListStyleOf(ViewStyle view)
{
    switch (view)
    {
    case ViewStyle::SmallIcons:
        return LVS_SMALLICON;
    case ViewStyle::LargeIcons:
        return LVS_ICON;
    case ViewStyle::List:
        return LVS_LIST;
    case ViewStyle::Details:
    default:
        return LVS_REPORT;
    }
}

} // namespace

void ResultsList::LV1ColumnClick(int column)
{
    ShowPendingRows();
    if (m_rows.empty())
        return;
    m_sortColumn = column;

    // The selection and the focus go with their rows.
    std::vector<char> selected(m_rows.size(), 0);
    for (int i = ListView_GetNextItem(m_list, -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(m_list, i, LVNI_SELECTED))
        selected[static_cast<size_t>(i)] = 1;
    const int focused = ListView_GetNextItem(m_list, -1, LVNI_FOCUSED);

    const std::vector<size_t> order = SortOrder(m_rows, m_sortColumn);
    std::vector<ResultRow> sorted;
    sorted.reserve(m_rows.size());
    for (size_t from : order)
        sorted.push_back(std::move(m_rows[from]));
    m_rows = std::move(sorted);

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

void ResultsList::SetView(ViewStyle view)
{
    m_view = view;
    const LONG_PTR style = ::GetWindowLongPtrW(m_list, GWL_STYLE);
    ::SetWindowLongPtrW(m_list, GWL_STYLE,
                        (style & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | ListStyleOf(view));
    if (view == ViewStyle::SmallIcons || view == ViewStyle::LargeIcons)
        ListView_Arrange(m_list, LVA_DEFAULT);
    ::InvalidateRect(m_list, nullptr, TRUE);
}

} // namespace ui
