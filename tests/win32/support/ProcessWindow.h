#pragma once
// Top-level windows of other processes, for tests that drive a program they started.
#include <windows.h>
#include <string>

namespace testing_support
{

struct ProcessWindow
{
    HWND window = nullptr;
    DWORD pid = 0;
};

namespace detail
{
struct WindowQuery
{
    const wchar_t* className;
    DWORD pid;   // 0: any process
    DWORD notOf; // never this process (nor the test's own)
    ProcessWindow found;
};

inline BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    auto* query = reinterpret_cast<WindowQuery*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t kind[64] = {};
    GetClassNameW(window, kind, 64);
    if ((query->pid && pid != query->pid) || pid == query->notOf || pid == GetCurrentProcessId() ||
        std::wstring(kind) != query->className || !IsWindowVisible(window))
        return TRUE;
    query->found = {window, pid};
    return FALSE;
}
} // namespace detail

// A visible top-level window of className of process pid (0: of any other process but notOf).
inline ProcessWindow FindProcessWindow(const wchar_t* className, DWORD pid, DWORD notOf = 0)
{
    detail::WindowQuery query{className, pid, notOf, {}};
    EnumWindows(&detail::MatchWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

// The same, waiting up to timeoutMs for the window to appear.
inline ProcessWindow WaitForProcessWindow(const wchar_t* className, DWORD pid, DWORD notOf = 0,
                                          int timeoutMs = 30000)
{
    for (int waited = 0;; waited += 100)
    {
        const ProcessWindow found = FindProcessWindow(className, pid, notOf);
        if (found.window || waited >= timeoutMs)
            return found;
        Sleep(100);
    }
}

} // namespace testing_support
