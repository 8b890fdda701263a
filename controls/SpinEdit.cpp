#include "controls/SpinEdit.h"

#include "controls/Window.h"
#include "controls/WindowDpi.h"

#include <algorithm>
#include <string>

namespace controls
{

HWND SpinEdit::Create(HWND parent, int id, int x, int y, int width, int height, int min, int max)
{
    m_min = min;
    m_max = max;
    m_edit = CreateChild(parent, id, L"EDIT", WS_TABSTOP | ES_NUMBER | ES_RIGHT, x, y, width, height,
                         WS_EX_CLIENTEDGE);
    m_arrows = CreateWindowExW(
        0, UPDOWN_CLASSW, L"",
        WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, 0, 0,
        0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id + 1)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(m_arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(m_edit), 0);
    SendMessageW(m_arrows, UDM_SETRANGE32, static_cast<WPARAM>(min), static_cast<LPARAM>(max));
    SetValue(min);
    return m_edit;
}

int SpinEdit::Value() const
{
    const std::string text = WindowText(m_edit);
    long long value = 0;
    bool digits = false;
    for (char c : text)
    {
        if (c < '0' || c > '9')
            continue;
        digits = true;
        value = std::min<long long>(value * 10 + (c - '0'), 1LL << 40);
    }
    if (!digits)
        return m_min;
    return static_cast<int>(std::clamp<long long>(value, m_min, m_max));
}

void SpinEdit::SetValue(int value)
{
    value = std::clamp(value, m_min, m_max);
    SendMessageW(m_arrows, UDM_SETPOS32, 0, value);
    SetWindowTextW(m_edit, std::to_wstring(value).c_str());
}

void SpinEdit::Enable(bool enable)
{
    EnableWindow(m_edit, enable);
    EnableWindow(m_arrows, enable);
}

void SpinEdit::FollowDpi()
{
    if (!m_arrows || !m_edit)
        return;
    // Binding the arrows takes their width off the field each time: from its whole width, once.
    PlaceAgainAtDpi(m_edit);
    SendMessageW(m_arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(m_edit), 0);
}

} // namespace controls
