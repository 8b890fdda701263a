#include "controls/EnterPressesButton.h"

namespace controls
{

bool EnterPressesButton::Install(HWND field, HWND commandWindow, HWND button)
{
    m_commandWindow = commandWindow;
    m_button = button;
    return m_subclass.Install(field, [this](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return FieldMessage(hwnd, msg, wParam, lParam);
    });
}

LRESULT EnterPressesButton::FieldMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_GETDLGCODE:
        if (lParam && reinterpret_cast<MSG*>(lParam)->wParam == VK_RETURN)
            return DLGC_WANTALLKEYS | Subclass::Default(hwnd, msg, wParam, lParam);
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN)
        {
            SendMessageW(m_commandWindow, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(m_button), BN_CLICKED),
                         reinterpret_cast<LPARAM>(m_button));
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == '\r')
            return 0;
        break;
    }
    return Subclass::Default(hwnd, msg, wParam, lParam);
}

} // namespace controls
