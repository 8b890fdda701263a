#pragma once
// The program's message boxes: the application title as caption, the text in any script.
#include <windows.h>
#include <string>

namespace platform
{

// MessageBoxW with the application title; type as for MessageBoxW. The button chosen.
int AppMessageBox(HWND owner, const std::string& text, UINT type);

} // namespace platform
