#pragma once
// A window subclass held by an object: installed by Install, removed by Remove, the destructor or
// the window's end, whichever comes first. An exception escaping the handler never unwinds through
// the system's code: it ends that message only and is shown in the program's error box.
#include <windows.h>
#include <functional>

namespace controls
{

class Subclass
{
public:
    // Answers one message; what it does not handle goes to Default.
    using Handler = std::function<LRESULT(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)>;

    Subclass() = default;
    ~Subclass();
    Subclass(const Subclass&) = delete;
    Subclass& operator=(const Subclass&) = delete;

    // Replaces an earlier installation; false when the system refused it.
    bool Install(HWND hwnd, Handler handler);
    void Remove();
    HWND Handle() const { return m_hwnd; }

    // The window's own handling (the next procedure in the chain).
    static LRESULT Default(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR data);
    LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
    Handler m_handler;
};

} // namespace controls
