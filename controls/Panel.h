#pragma once
// A plain container: a solid colour or a tiled picture behind its children. It hands the children's
// commands, notifications and colour requests to a sink window so that one owner handles them all.
#include "controls/Window.h"

#include <functional>

namespace controls
{

class Panel : public Window
{
public:
    Panel();
    // sink receives WM_COMMAND, WM_NOTIFY and WM_CTLCOLOR* of the children.
    HWND Create(HWND parent, int id, const RECT& bounds, HWND sink, COLORREF colour, DWORD style = 0);
    void SetTile(HBITMAP tile);
    // A lowered bevel along the edges.
    void SetSunken(bool sunken) { m_sunken = sunken; }
    // A left click on the panel's own face, where no child covers it.
    std::function<void()> OnBackgroundClick;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    HWND m_sink = nullptr;
    COLORREF m_colour = 0;
    HBITMAP m_tile = nullptr;
    bool m_sunken = false;
};

} // namespace controls
