#pragma once
// The modal window base (no dialog templates): the owner is disabled while the window is up, one
// message loop serves the window until it is marked for closing, and at most one window of each
// kind (window class) is registered as open at a time.
#include "controls/Window.h"

#include <string>

namespace controls
{

class ModalWindow : public Window
{
public:
    // The window of this class that is open now, or null.
    static ModalWindow* OpenOfKind(const wchar_t* className);

protected:
    ModalWindow(const wchar_t* className, HWND owner);
    ~ModalWindow() override;

    // Creates the hidden window, owned by the owner, and registers it as the open one of its kind.
    bool CreateModal(DWORD exStyle, const std::wstring& caption, DWORD style, const RECT& bounds);
    // Shows the window with its owner disabled and serves messages until EndModal; then the owner
    // is enabled again (before the window goes, so that it gets the activation back), the window
    // destroyed and the keyboard focus given back to where it was.
    void RunModal(HWND firstFocus = nullptr);
    // Marks the window for closing: it goes once the handler running now has returned. It is no
    // longer registered from here on, so that another may be opened.
    void EndModal();
    bool Closing() const { return m_closing; }
    HWND Owner() const { return m_owner; }
    // The DPI the window is made for: its owner's, or the system's without an owner.
    unsigned StartDpi() const;
    // The outer rectangle (at 0, 0) of a window of this style whose client area is the 96-DPI size
    // given, at StartDpi(). The window keeps that size at every DPI it is moved to.
    RECT OuterRect(int clientWidth96, int clientHeight96, DWORD style, DWORD exStyle);
    // Centres the window on the desktop's work area.
    void CentreOnDesktop();
    // The window's pictures and fonts at dpi, after a move to a monitor of another DPI (the
    // children are at their new places by then).
    virtual void FollowDpi(unsigned /*dpi*/) {}
    // WM_DPICHANGED: every child placed again, FollowDpi, and the window at its size for the new
    // DPI, centred where the system suggests. The windows of this base hand every message they do
    // not take to this one.
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Unregister();
    void OnDpiChanged(unsigned dpi, const RECT& suggested);

    const wchar_t* m_className;
    HWND m_owner;
    bool m_closing = false;
    SIZE m_clientSize96{};
};

} // namespace controls
