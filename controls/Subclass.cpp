#include "controls/Subclass.h"

#include "controls/Window.h"

#include <commctrl.h>
#include <exception>

namespace controls
{

Subclass::~Subclass()
{
    Remove();
}

bool Subclass::Install(HWND hwnd, Handler handler)
{
    Remove();
    m_handler = std::move(handler);
    // The object's address is the subclass ID, so several objects may subclass one window.
    if (!hwnd ||
        !SetWindowSubclass(hwnd, Proc, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this)))
        return false;
    m_hwnd = hwnd;
    return true;
}

void Subclass::Remove()
{
    if (m_hwnd)
        RemoveWindowSubclass(m_hwnd, Proc, reinterpret_cast<UINT_PTR>(this));
    m_hwnd = nullptr;
}

LRESULT Subclass::Default(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK Subclass::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto* self = reinterpret_cast<Subclass*>(data);
    const LRESULT result = self->Dispatch(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY)
        self->Remove();
    return result;
}

LRESULT Subclass::Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    try
    {
        return m_handler ? m_handler(hwnd, msg, wParam, lParam) : Default(hwnd, msg, wParam, lParam);
    }
    catch (const std::exception& e)
    {
        ShowErrorBox(GetAncestor(hwnd, GA_ROOT), e.what());
    }
    catch (...)
    {
        ShowErrorBox(GetAncestor(hwnd, GA_ROOT), "Unexpected error");
    }
    return msg == WM_NCDESTROY ? Default(hwnd, msg, wParam, lParam) : 0;
}

} // namespace controls
