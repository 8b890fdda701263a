#pragma once
// Modal windows without dialog templates: the owner is disabled while the window lives, and a
// message loop runs until the window is gone.
#include <windows.h>

namespace controls
{

// Shows window (a top-level window owned by owner), disables owner, and serves messages until
// window is destroyed. A WM_QUIT that arrives meanwhile ends the loop and is posted again for the
// outer loop.
void RunModal(HWND window, HWND owner);

// Enables the owner again (before the window goes, so that the owner gets the activation back)
// and destroys window.
void EndModal(HWND window);

// Centres window on the desktop's work area.
void CentreOnDesktop(HWND window);

} // namespace controls
