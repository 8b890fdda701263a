#include "platform/Win32SyncCall.h"

#include "platform/UniqueHandle.h"

#include <windows.h>
#include <chrono>
#include <stdexcept>

namespace platform
{

namespace
{

constexpr UINT kServeMessage = WM_APP + 0x2F1;
constexpr wchar_t kWindowClass[] = L"FindFile.SyncCall";
// While ServeUntil waits for calls it still looks at the window messages this often.
constexpr DWORD kMessagePollMs = 5;
// A worker whose doorbell message got lost (a loop that discarded it) rings again after this long.
constexpr DWORD kRingAgainMs = 200;
// A doorbell starts a burst: calls that follow within kBurstIdleMs are served straight from the
// queue, without a message each, for at most kBurstSlice and only while no other message waits;
// then the message loop gets its turn again. A message per call costs a trip through the message
// queue every time, several times the cost of a direct hand-over. A turn of the loop between two
// slices paints the list and the status line, some milliseconds under Wine while the worker waits:
// 50 ms keeps that a small share of a search and still paints 20 times a second.
constexpr std::chrono::milliseconds kBurstSlice{50};
constexpr DWORD kBurstIdleMs = 2;
// Looking at the message queue is a trip to the Wine server: by the clock, not per call, since a
// walk hands over some 30 calls a millisecond.
constexpr std::chrono::milliseconds kBurstPeek{2};

ATOM RegisterWindowClass(WNDPROC procedure)
{
    static const ATOM atom = [procedure] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kWindowClass;
        return RegisterClassExW(&wc);
    }();
    return atom;
}

// Input and messages sent or posted by others end a burst; painting and timers wait for the end
// of the slice, as they would behind any other busy handler.
bool MessagesWaiting()
{
    return HIWORD(GetQueueStatus(QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE)) != 0;
}

} // namespace

// The call queue with the owner's message-only window as its doorbell. Each call holds a reference,
// so this outlives the owner's object for as long as a worker still waits on it.
class Win32SyncCall::Doorbell final : public CallQueue
{
public:
    Doorbell() : CallQueue(kRingAgainMs) {}

    // Set once, before any worker can call.
    void SetWindow(HWND window) { m_window = window; }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
        {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        else if (message == kServeMessage)
        {
            if (auto* self = reinterpret_cast<Doorbell*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)))
                self->ServeBurst();
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

private:
    // The queue calls this under its lock and never after the owner has ended, so no worker posts
    // to a window its owner has already destroyed.
    void Ring() override
    {
        if (m_window)
            PostMessageW(m_window, kServeMessage, 0, 0);
    }

    void ServeBurst()
    {
        const DirectServing serving(*this);
        // One clock for the slice and the looks: GetTickCount steps by 15.6 ms on Windows.
        const auto start = std::chrono::steady_clock::now();
        ServePending();
        auto peekedAt = start;
        for (auto now = start; now - start < kBurstSlice; now = std::chrono::steady_clock::now())
        {
            if (now - peekedAt >= kBurstPeek)
            {
                if (MessagesWaiting())
                    break;
                peekedAt = now;
            }
            if (!WaitForCall(kBurstIdleMs))
                break;
            ServePending();
        }
    }

    HWND m_window = nullptr;
};

Win32SyncCall::Win32SyncCall() : m_doorbell(std::make_shared<Doorbell>())
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterWindowClass(&Doorbell::WindowProc))
        throw std::runtime_error("cannot register the synchronized call's window class");
    m_window.Reset(CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                                   m_doorbell.get()));
    if (!m_window)
        throw std::runtime_error("cannot create the synchronized call's window");
    m_doorbell->SetWindow(m_window.Get());
}

Win32SyncCall::~Win32SyncCall()
{
    m_doorbell->End();
    // The window goes on the owner thread that made it; the queue stays with any worker that still
    // has to wake up.
    m_window.Reset();
}

std::shared_ptr<CallQueue> Win32SyncCall::Queue() const
{
    return m_doorbell;
}

void Win32SyncCall::Call(const std::function<void()>& fn)
{
    // Held until the call returns, also when the owner ends meanwhile.
    const std::shared_ptr<Doorbell> doorbell = m_doorbell;
    doorbell->Call(fn);
}

void Win32SyncCall::ServeUntil(const std::function<bool()>& done)
{
    CallQueue::DirectServing serving(*m_doorbell);
    bool quit = false;
    WPARAM quitCode = 0;
    DWORD lastPump = GetTickCount() - kMessagePollMs;
    while (!done())
    {
        m_doorbell->ServePending();
        if (done())
            break;
        // Window messages are looked at every few milliseconds even while calls keep coming, so a
        // window of this thread stays alive; calls in between are waited for without messages.
        if (GetTickCount() - lastPump >= kMessagePollMs)
        {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            {
                if (msg.message == WM_QUIT)
                {
                    // Keep the quit request for the loop outside; the worker must still be served.
                    quit = true;
                    quitCode = msg.wParam;
                    continue;
                }
                // Its handler may run a modal loop (a message box): calls must ring for that loop,
                // and none may wait in the queue unrung when it starts.
                serving.Pause();
                m_doorbell->ServePending();
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
                serving.Resume();
            }
            lastPump = GetTickCount();
            continue;
        }
        m_doorbell->WaitForCall(kMessagePollMs);
    }
    if (quit)
        PostQuitMessage(static_cast<int>(quitCode));
}

} // namespace platform
