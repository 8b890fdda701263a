#pragma once
// Watches the test thread's top-level windows from a thread timer, so that a test can answer
// message boxes and act in modal windows while the code under test waits in their loops. Actions
// should post their clicks: they run inside the timer's callback.
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace testing_support
{

class DialogWatcher
{
public:
    struct Box
    {
        std::string caption;
        std::string text;
        std::vector<int> buttons; // the IDs of its buttons (IDOK, IDYES, IDNO ...)
        std::wstring ownerClass;  // the class of the window that owns the box (empty: none)
        bool ownerShown = false;  // that window was visible while the box was up
    };

    DialogWatcher();
    ~DialogWatcher();
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;

    // The button pressed in every message box from now on.
    void Answer(int id) { m_answer = id; }
    // Runs action once for each new visible window of className on this thread.
    void OnWindow(const wchar_t* className, std::function<void(HWND)> action);
    const std::vector<Box>& Boxes() const { return m_boxes; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    static BOOL CALLBACK Visit(HWND window, LPARAM self);
    void Handle(HWND window);

    struct Watch
    {
        std::wstring className;
        std::function<void(HWND)> action;
    };
    UINT_PTR m_timer = 0;
    int m_answer = IDOK;
    std::vector<Watch> m_watches;
    std::vector<HWND> m_seen;
    std::vector<Box> m_boxes;
};

// Text of a window as UTF-8.
std::string TextOf(HWND window);

} // namespace testing_support
