#pragma once
// A flat button: a resting and a hover face, an optional glyph left of the caption or a picture in
// the middle, in the font WM_SETFONT gives (the UI font by default). A click (mouse, or BM_CLICK) sends
// WM_COMMAND BN_CLICKED to the parent.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include "controls/Window.h"

#include <string>

namespace controls
{

class FlatButton : public Window
{
public:
    FlatButton();
    HWND Create(HWND parent, int id, int x, int y, int width, int height);

    void SetFaces(HBITMAP resting, HBITMAP hover);
    void SetGlyph(HIMAGELIST images, int index);
    // Shows the bitmap resource name centred (and remembers the name).
    void SetPicture(const wchar_t* resourceName);
    const std::wstring& PictureName() const { return m_pictureName; }
    bool Hovered() const { return m_hover; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc);
    void SetHover(bool hover);
    void Click();

    HBITMAP m_resting = nullptr;
    HBITMAP m_hoverFace = nullptr;
    HIMAGELIST m_glyphs = nullptr;
    int m_glyph = -1;
    HBITMAP m_picture = nullptr;
    std::wstring m_pictureName;
    HFONT m_font = nullptr;
    bool m_hover = false;
    bool m_pressed = false;
};

} // namespace controls
