// The view styles of LV1, which hold while a search adds rows.
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
