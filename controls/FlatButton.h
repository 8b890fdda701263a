#pragma once
// A flat button: a resting and a hover face, an optional glyph left of the caption or a picture in
// the middle, in the font WM_SETFONT gives (the UI font by default). To the outside it is a push
// button: a click (mouse, Space, BM_CLICK) sends WM_COMMAND BN_CLICKED to the parent, it takes the
// focus and shows it, and it answers the button queries (BM_GETCHECK, BM_GETSTATE, WM_GETTEXT,
// WM_GETDLGCODE) as a standard one does.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include "controls/FlatControl.h"

#include <string>

namespace controls
{

class FlatButton : public FlatControl
{
public:
    FlatButton();
    HWND Create(HWND parent, int id, int x, int y, int width, int height);

    void SetFaces(HBITMAP resting, HBITMAP hover);
    void SetGlyph(HIMAGELIST images, int index);
    // Shows the bitmap resource name centred (and remembers the name).
    void SetPicture(const wchar_t* resourceName);
    const std::wstring& PictureName() const { return m_pictureName; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc) override;
    void OnPressClick() override { Click(); }
    void Click();
    bool Pushed() const;
    void PaintFocus(HDC dc, const RECT& rect);
    void OnKey(UINT msg, WPARAM wParam, LPARAM lParam);

    HBITMAP m_resting = nullptr;
    HBITMAP m_hoverFace = nullptr;
    HIMAGELIST m_glyphs = nullptr;
    int m_glyph = -1;
    HBITMAP m_picture = nullptr;
    std::wstring m_pictureName;
    HFONT m_font = nullptr;
    bool m_spacePressed = false;
};

} // namespace controls
