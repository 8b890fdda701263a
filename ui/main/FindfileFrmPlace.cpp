// Where the main window opens and how its list looks: kept in the settings file at each close and
// brought back at the next start.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include "controls/Dpi.h"
#include "controls/WindowDpi.h"
#include "settings/SettingsFile.h"
#include "ui/main/FindfileFrm.h"

#include <algorithm>
#include <vector>

namespace ui
{

namespace
{

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM param)
{
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(monitor, &info))
    {
        const RECT& work = info.rcWork;
        reinterpret_cast<std::vector<settings::PlaceRect>*>(param)->push_back(
            {work.left, work.top, work.right, work.bottom});
    }
    return TRUE;
}

std::vector<settings::PlaceRect> WorkAreas()
{
    std::vector<settings::PlaceRect> areas;
    EnumDisplayMonitors(nullptr, nullptr, &AddWorkArea, reinterpret_cast<LPARAM>(&areas));
    return areas;
}

// The placement's rectangle is relative to its monitor's work area; screen coordinates are kept.
RECT NormalRectOnScreen(const WINDOWPLACEMENT& placement)
{
    RECT rect = placement.rcNormalPosition;
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info))
        OffsetRect(&rect, info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top);
    return rect;
}

constexpr int kViewItems[settings::kViewCount] = {kIdMaleikony1, kIdVelkeikony1, kIdSeznam1, kIdPodrobnosti1};

} // namespace

RECT TFindfileFrm::StartRect(const settings::WindowPlace& stored, unsigned dpi)
{
    const auto restored = settings::RestoredRect(stored, dpi, controls::Scale(kMinWidth, dpi),
                                                 controls::Scale(kMinHeight, dpi), WorkAreas());
    if (restored)
        return RECT{restored->left, restored->top, restored->right, restored->bottom};
    // At a high DPI on a small screen the start size would reach past it: the window then fills
    // the work area, down to its least size.
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = std::max(controls::Scale(kMinWidth, dpi),
                               std::min<int>(controls::Scale(kStartWidth, dpi), work.right - work.left));
    const int height = std::max(controls::Scale(kMinHeight, dpi),
                                std::min<int>(controls::Scale(kStartHeight, dpi), work.bottom - work.top));
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    return RECT{x, y, x + width, y + height};
}

// The details view's widths, whatever the view (LVM_GETCOLUMNWIDTH answers the list view's
// column in the list view).
int TFindfileFrm::ColumnWidth(int column) const
{
    LVCOLUMNW info{};
    info.mask = LVCF_WIDTH;
    return ListView_GetColumn(m_lv1, column, &info) ? info.cx : 0;
}

void TFindfileFrm::SetColumnWidth(int column, int width)
{
    LVCOLUMNW info{};
    info.mask = LVCF_WIDTH;
    info.cx = width;
    ListView_SetColumn(m_lv1, column, &info);
}

void TFindfileFrm::RestoreListLook(const settings::WindowPlace& stored)
{
    const std::vector<int> widths = settings::RestoredColumns(stored, controls::WindowDpi(Handle()));
    for (size_t column = 0; column < widths.size(); ++column)
        SetColumnWidth(static_cast<int>(column), widths[column]);
    if (stored.view)
        ViewMenuClick(kViewItems[*stored.view]);
}

void TFindfileFrm::SavePlace()
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(Handle(), &placement))
        return;
    settings::WindowPlace place;
    place.dpi = controls::WindowDpi(Handle());
    const RECT normal = NormalRectOnScreen(placement);
    place.normal = settings::PlaceRect{normal.left, normal.top, normal.right, normal.bottom};
    place.maximized = placement.showCmd == SW_SHOWMAXIMIZED ||
                      (placement.showCmd == SW_SHOWMINIMIZED && (placement.flags & WPF_RESTORETOMAXIMIZED));
    for (int column = 0; column < settings::kStoredColumns; ++column)
        place.columns.push_back(ColumnWidth(column));
    for (int view = 0; view < settings::kViewCount; ++view)
        if (GetMenuState(m_viewMenu.Get(), static_cast<UINT>(kViewItems[view]), MF_BYCOMMAND) & MF_CHECKED)
            place.view = view;
    // As with the other choices kept there, an unwritable settings file only means the place is not
    // kept: the next start centres the window.
    settings::WriteWindowPlace(place);
}

} // namespace ui
