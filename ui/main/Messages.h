#pragma once
// Private messages of the main window.
#include <windows.h>

namespace ui
{

// Posted after the look-in list's selection changed, once the list has shown the picked entry.
constexpr UINT kMsgPlacePicked = WM_APP + 1;

} // namespace ui
