#pragma once
// The look shared by every window: the blue colours, one dialog font with Cyrillic and Czech
// letters, and the pictures of the executable's resources.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

namespace controls
{

constexpr COLORREF kBarColour = RGB(0x9D, 0xB9, 0xEB);   // side bar, header faces, status line
constexpr COLORREF kPanelColour = RGB(0xD7, 0xE2, 0xF7); // panel faces under the headers
constexpr COLORREF kFieldColour = RGB(0xCD, 0xDB, 0xF5); // input fields of the option sections
constexpr COLORREF kTextColour = RGB(0x10, 0x20, 0x40);
constexpr COLORREF kHeaderTextColour = RGB(0x0B, 0x24, 0x5E);

// The UI fonts at a DPI (made once per DPI and kept for the process).
HFONT UiFont(unsigned dpi);
HFONT UiBoldFont(unsigned dpi);
HBRUSH BarBrush();
HBRUSH PanelBrush();
HBRUSH FieldBrush();

// A bitmap resource of the executable, loaded once and kept for the process (null if absent).
HBITMAP Picture(const wchar_t* name);
// The same picture for a window at dpi: above 96 DPI smoothly enlarged (made once per DPI and kept).
HBITMAP Picture(const wchar_t* name, unsigned dpi);
// An image list of the bitmap resource name, a strip of square images of size96 pixels at 96 DPI
// (magenta is transparent), with the images enlarged to dpi. The caller owns it.
HIMAGELIST LoadImageStrip(const wchar_t* name, int size96, unsigned dpi);

// Fills rect with bitmap, repeated from the rectangle's top-left corner.
void PaintTiled(HDC dc, const RECT& rect, HBITMAP bitmap);
// Stretches bitmap over rect (faces of buttons and strips drawn from a thin gradient).
void PaintStretched(HDC dc, const RECT& rect, HBITMAP bitmap);

// Sends the UI font at window's DPI to window and every descendant.
void ApplyFont(HWND window);

} // namespace controls
