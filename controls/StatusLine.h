#pragma once
// A one-line STATIC control whose text this object keeps. Setting the text only schedules a paint:
// storing a window's text is a round trip to the window server under Wine, and a search changes the
// status line thousands of times a second. WM_GETTEXT is answered from the kept text, so readers of
// the control (and its own painting) see the newest text at once.
#include "controls/Subclass.h"

#include <windows.h>
#include <string>

namespace controls
{

class StatusLine
{
public:
    StatusLine() = default;
    ~StatusLine();
    StatusLine(const StatusLine&) = delete;
    StatusLine& operator=(const StatusLine&) = delete;

    void Attach(HWND staticControl);
    HWND Handle() const { return m_hwnd; }
    void SetText(const std::string& utf8);

private:
    LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Detach();
    void Paint();

    HWND m_hwnd = nullptr;
    Subclass m_subclass;
    std::wstring m_text;
    bool m_paintPending = false;
};

} // namespace controls
