#pragma once
// The application's own window: it carries the application title and the taskbar button, and owns
// the main window, whose caption is the language module's. It is never seen itself (no size); it
// hands its activation, restoring and closing to the main window.
#include "controls/Window.h"

#include <string>

namespace controls
{

class ApplicationWindow : public Window
{
public:
    ApplicationWindow();
    // Creates the window with title and shows its taskbar button.
    HWND Create(const std::string& title);
    // The window that gets the activation, the restore and the close request.
    void SetMainWindow(HWND main) { m_main = main; }
    // Minimises the whole application: the main window and the taskbar button.
    void Minimize();

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void ActivateMainWindow();
    void RestoreMainWindow();

    HWND m_main = nullptr;
};

} // namespace controls
