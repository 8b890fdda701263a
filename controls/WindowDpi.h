#pragma once
// The DPI a window is shown at, and the per-monitor functions of newer systems (Windows 10 1607
// on), looked up at run time: where they are missing every window has the system DPI, and the
// program still starts. Child windows created through this layer keep their 96-DPI rectangle, so
// that a change of DPI places them again from the same numbers instead of from rounded pixels.
#include <windows.h>

namespace controls
{

// The DPI of the whole session (the primary monitor's).
unsigned SystemDpi();
// The DPI window is shown at now: the one last announced for its top-level window, else what the
// system says; the system DPI where the system cannot tell.
unsigned WindowDpi(HWND window);
// Keeps dpi as the DPI of topLevel and all its children: the one WM_DPICHANGED announces (its
// wParam's high word), or the one a new window is made for. Windows reports the same DPI from
// then on; keeping it lets the whole re-layout follow the message alone, also on a system that
// has one DPI for the session (Wine).
void KeepWindowDpi(HWND topLevel, unsigned dpi);
// px96 pixels at 96 DPI in the pixels of window.
int ScaleFor(HWND window, int px96);

// The outer rectangle of a window whose client area is client, at dpi.
RECT OuterRectForDpi(const RECT& client, DWORD style, DWORD exStyle, unsigned dpi);
// A system metric (SM_CXVSCROLL ...) at dpi.
int SystemMetricForDpi(int index, unsigned dpi);
// The caption, menu and scroll bars of a top-level window follow its DPI (for per-monitor v1;
// v2 does this by itself). Call at WM_NCCREATE.
void EnableNonClientScaling(HWND window);

// Moves (and sizes, unless flags hold SWP_NOSIZE) child to a 96-DPI rectangle in its parent,
// scaled to the parent's DPI, and keeps the rectangle for a later change of DPI.
void PlaceChild(HWND child, int x96, int y96, int width96, int height96, UINT flags);
// Keeps the 96-DPI rectangle of a child that was created at its scaled place.
void RememberPlace96(HWND child, int x96, int y96, int width96, int height96);
// Places child at its kept 96-DPI rectangle, scaled to its parent's DPI (no kept one: left alone).
void PlaceAgainAtDpi(HWND child);
// The window moved to a monitor of dpi (WM_DPICHANGED): keeps dpi for it (KeepWindowDpi) and
// places every descendant with a kept rectangle at that DPI.
void MoveToDpi(HWND topLevel, unsigned dpi);

} // namespace controls
