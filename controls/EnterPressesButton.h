#pragma once
// Enter in an edit field acts as a click on a button: the button's BN_CLICKED goes to the window
// that handles its commands (so an error of the handler reaches the error box as a click's would),
// the dialog manager does not take the key, and the field does not beep.
#include "controls/Subclass.h"

namespace controls
{

class EnterPressesButton
{
public:
    // False when the system refused the subclass.
    bool Install(HWND field, HWND commandWindow, HWND button);
    void Remove() { m_subclass.Remove(); }

private:
    LRESULT FieldMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    Subclass m_subclass;
    HWND m_commandWindow = nullptr;
    HWND m_button = nullptr;
};

} // namespace controls
