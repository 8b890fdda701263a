#pragma once
// What the painted controls (flat button, speed button, label) have in common: they paint
// themselves whole (no background erase), repaint when their text, focus or enabled state changes,
// may light up under the pointer, and count a left press as a click when the button comes up over
// the control.
#include "controls/Window.h"

namespace controls
{

class FlatControl : public Window
{
public:
    bool Hovered() const { return m_hover; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    virtual void Paint(HDC dc) = 0;
    // A press that began here ended over the control.
    virtual void OnPressClick() = 0;
    // Whether a left press starts here at all, and whether the control lights up under the pointer.
    virtual bool TakesPress() const { return true; }
    virtual bool ShowsHover() const { return true; }

    bool Pressing() const { return m_pressing; }
    void CancelPress() { m_pressing = false; }
    void SetHover(bool hover);
    void Repaint() const { InvalidateRect(Handle(), nullptr, FALSE); }

private:
    void EndPress(LPARAM lParam);

    bool m_hover = false;
    bool m_pressing = false;
};

} // namespace controls
