#pragma once
// A flat picture button of an exclusive group: a click presses it down and releases the other
// buttons of its group under the same parent; a pressed button stays down when clicked again. Its
// window text names it for screen readers and automation; it answers BM_CLICK, BM_GETCHECK and
// BM_SETCHECK like a standard button, and a disabled one ignores clicks.
#include "controls/FlatControl.h"

#include <string>

namespace controls
{

class SpeedButton : public FlatControl
{
public:
    SpeedButton();
    HWND Create(HWND parent, int id, int x, int y, int width, int height, const std::string& text, int group);

    void SetPicture(HBITMAP picture);
    // The face's colour: the colour the picture was drawn on.
    void SetFaceColour(COLORREF colour) { m_face = colour; }
    bool Down() const { return m_down; }
    void SetDown(bool down);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc) override;
    void OnPressClick() override { Press(); }
    void Press();

    HBITMAP m_picture = nullptr;
    COLORREF m_face = RGB(0xD7, 0xE2, 0xF7);
    int m_group = 0;
    bool m_down = false;
};

} // namespace controls
