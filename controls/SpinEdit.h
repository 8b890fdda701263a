#pragma once
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

namespace controls
{

// A whole number field with up and down arrows, clamped to [min, max].
class SpinEdit
{
public:
    HWND Create(HWND parent, int id, int x, int y, int width, int height, int min, int max);
    HWND Edit() const { return m_edit; }
    HWND Arrows() const { return m_arrows; }
    // The typed value clamped to the range; the range's minimum for a field without digits.
    int Value() const;
    void SetValue(int value);
    void Enable(bool enable);
    // At the parent's DPI (after a change of it): the field at its place, the arrows taking their
    // part of it on its right edge.
    void FollowDpi();

private:
    HWND m_edit = nullptr;
    HWND m_arrows = nullptr;
    int m_min = 0;
    int m_max = 0;
};

} // namespace controls
