#pragma once
// The look shared by every window: the blue colours, one dialog font with Cyrillic and Czech
// letters, and the pictures of the executable's resources.
#include <windows.h>

namespace controls
{

constexpr COLORREF kBarColour = RGB(0x9D, 0xB9, 0xEB);   // side bar, header faces, status line
constexpr COLORREF kPanelColour = RGB(0xD7, 0xE2, 0xF7); // panel faces under the headers
constexpr COLORREF kFieldColour = RGB(0xCD, 0xDB, 0xF5); // input fields of the option sections
constexpr COLORREF kTextColour = RGB(0x10, 0x20, 0x40);
constexpr COLORREF kHeaderTextColour = RGB(0x0B, 0x24, 0x5E);

HFONT UiFont();
HFONT UiBoldFont();
HBRUSH BarBrush();
HBRUSH PanelBrush();
HBRUSH FieldBrush();

// A bitmap resource of the executable, loaded once and kept for the process (null if absent).
HBITMAP Picture(const wchar_t* name);

// Fills rect with bitmap, repeated from the rectangle's top-left corner.
void PaintTiled(HDC dc, const RECT& rect, HBITMAP bitmap);
// Stretches bitmap over rect (faces of buttons and strips drawn from a thin gradient).
void PaintStretched(HDC dc, const RECT& rect, HBITMAP bitmap);

// Sends the UI font to window and every descendant.
void ApplyFont(HWND window);

} // namespace controls
