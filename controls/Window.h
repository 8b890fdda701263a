#pragma once
// The window base: a static procedure finds the object of a window (stored at WM_NCCREATE) and
// forwards every message to one virtual member. An exception escaping a handler ends that handler
// only; it is shown in the error box and the program goes on.
#include <windows.h>
#include <functional>
#include <string>

namespace controls
{

// Shows message in the error box (application title, error icon, OK), or hands it to the hook a
// test installed. caption and text are what the box would show.
void ShowErrorBox(HWND owner, const std::string& message);
using ErrorBoxHook = std::function<void(const std::string& caption, const std::string& text)>;
// Replaces the box; an empty hook restores it. Returns the hook it replaced.
ErrorBoxHook SetErrorBoxHook(ErrorBoxHook hook);

class Window
{
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return m_hwnd; }

protected:
    // Registers (once) a window class of this procedure under className.
    static void RegisterWindowClass(const wchar_t* className, HCURSOR cursor, UINT style = CS_DBLCLKS);
    // Creates the window; the object receives its messages from WM_NCCREATE on. A child's place and
    // size are 96-DPI pixels, scaled to its parent's DPI; a top-level window's are the screen's.
    HWND CreateWin(DWORD exStyle, const wchar_t* className, const std::wstring& text, DWORD style, int x,
                   int y, int width, int height, HWND parent, int id);

    // WM_COMMAND, cracked: a menu item, an accelerator or a child control's notification (control
    // is then the child). True when handled; the message then answers 0.
    virtual bool OnCommand(int /*id*/, int /*code*/, HWND /*control*/) { return false; }
    // WM_NOTIFY, cracked: true when handled, with the answer in result.
    virtual bool OnNotify(const NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
    // Every message the crackers above did not take. Default handling: DefWindowProc.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // The window is gone (WM_NCDESTROY); Handle() is null from here on.
    virtual void OnDestroyed() {}

private:
    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    HWND m_hwnd = nullptr;
};

// Creates a visible child control of parent with this ID (style is added to WS_CHILD | WS_VISIBLE),
// at a 96-DPI place and size that is scaled to the parent's DPI.
HWND CreateChild(HWND parent, int id, const wchar_t* className, DWORD style, int x, int y, int width,
                 int height, DWORD exStyle = 0);

// The first descendant of parent with this control ID (depth first), or null.
HWND FindControl(HWND parent, int id);

// Records whether the mouse is over a control; on entering, asks for WM_MOUSELEAVE. True when the
// state changed (the control then repaints).
bool SetHoverState(HWND hwnd, bool& current, bool hover);

// Text of a window as UTF-8, and setting it from UTF-8.
std::string WindowText(HWND hwnd);
void SetWindowTextUtf8(HWND hwnd, const std::string& text);

} // namespace controls
