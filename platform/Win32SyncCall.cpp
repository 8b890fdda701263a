#include "platform/Win32SyncCall.h"

#include "platform/UniqueHandle.h"

#include <windows.h>
#include <atomic>
#include <chrono>
#include <exception>
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
// queue, without a message each, for at most kBurstSliceMs and only while no other message waits;
// then the message loop gets its turn again. A message per call costs a trip through the message
// queue every time, several times the cost of a direct hand-over.
constexpr DWORD kBurstSliceMs = 15;
constexpr DWORD kBurstIdleMs = 2;
constexpr unsigned kBurstPeekEvery = 16;
// Before sleeping, a waiting thread watches for what it waits for, on a machine with a second core.
// Waking a sleeping thread costs some 15 us under Wine, twice per call, and a walk hands over a
// match every few microseconds while it reads a folder. The worker watches for its answer long
// enough for the owner to wake; the owner watches for the next call only briefly, since its
// watching takes a core from the worker and the Wine server while the worker lists a folder.
constexpr std::chrono::microseconds kWorkerSpin{60};
constexpr std::chrono::microseconds kOwnerSpin{10};

struct Request
{
    const std::function<void()>* fn;
    std::exception_ptr error;
    std::atomic<bool> done{false}; // set last, after error: the worker may read it without the lock
    Request* next = nullptr;
};

bool SeveralProcessors()
{
    static const bool several = [] {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        return info.dwNumberOfProcessors > 1;
    }();
    return several;
}

// Watches `ready` for at most `limit`; true as soon as it holds.
template <typename Ready> bool SpinUntil(Ready ready, std::chrono::microseconds limit)
{
    if (!SeveralProcessors())
        return ready();
    const auto start = std::chrono::steady_clock::now();
    for (unsigned round = 1;; ++round)
    {
        if (ready())
            return true;
        YieldProcessor();
        if (round % 64 == 0 && std::chrono::steady_clock::now() - start >= limit)
            return ready();
    }
}

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

} // namespace

// Everything a worker touches. Each call holds a reference, so the state outlives the owner's object
// for as long as a worker still waits on it: after the owner has ended, the worker wakes and takes
// the lock once more to read its answer.
struct Win32SyncCall::Shared
{
    DWORD owner = GetCurrentThreadId();
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE callDone = CONDITION_VARIABLE_INIT;   // workers sleep on this
    CONDITION_VARIABLE callQueued = CONDITION_VARIABLE_INIT; // the owner inside ServeUntil sleeps on this
    std::atomic<bool> queueFilled{false};                    // head != nullptr, readable without the lock
    // Guarded by lock:
    Request* head = nullptr;
    Request* tail = nullptr;
    bool doorbellPending = false;
    bool ownerListening = false;
    // Bursts and ServeUntil loops now running (they nest): the owner serves the queue directly,
    // so workers need not ring.
    unsigned directServing = 0;
    HWND window = nullptr; // the owner's doorbell; null once the owner has ended

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
        {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        else if (message == kServeMessage)
        {
            if (auto* self = reinterpret_cast<Shared*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)))
                self->ServeBurst();
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    Request* TakeQueue()
    {
        AcquireSRWLockExclusive(&lock);
        Request* taken = head;
        head = tail = nullptr;
        queueFilled.store(false, std::memory_order_relaxed);
        doorbellPending = false;
        ReleaseSRWLockExclusive(&lock);
        return taken;
    }

    void Complete(Request* request)
    {
        AcquireSRWLockExclusive(&lock);
        // From here on the request may vanish with its worker's stack.
        request->done.store(true, std::memory_order_release);
        ReleaseSRWLockExclusive(&lock);
        WakeAllConditionVariable(&callDone);
    }

    // Runs every queued routine on the owner thread; each worker learns the outcome of its own.
    void ServePending()
    {
        for (Request* request = TakeQueue(); request;)
        {
            Request* next = request->next;
            try
            {
                (*request->fn)();
            }
            catch (...)
            {
                request->error = std::current_exception();
            }
            Complete(request);
            request = next;
        }
    }

    void ServeBurst()
    {
        const DirectServing serving(*this);
        const DWORD start = GetTickCount();
        ServePending();
        // Looking at the queue is a server round trip under Wine: only every few calls.
        for (unsigned rounds = 1; GetTickCount() - start < kBurstSliceMs; ++rounds)
        {
            if (rounds % kBurstPeekEvery == 0 && MessagesWaiting())
                break;
            if (!WaitForCall(kBurstIdleMs))
                break;
            ServePending();
        }
    }

    // While alive (and not paused), workers queue calls without ringing the owner's window.
    class DirectServing
    {
    public:
        explicit DirectServing(Shared& shared) : m_shared(shared) { m_shared.BeginDirectServing(); }
        ~DirectServing()
        {
            if (m_active)
                m_shared.EndDirectServing(true);
        }
        DirectServing(const DirectServing&) = delete;
        DirectServing& operator=(const DirectServing&) = delete;

        // For a while the owner does other work: calls from now on ring. The caller serves what is
        // already queued itself.
        void Pause()
        {
            m_shared.EndDirectServing(false);
            m_active = false;
        }
        void Resume()
        {
            m_shared.BeginDirectServing();
            m_active = true;
        }

    private:
        Shared& m_shared;
        bool m_active = true;
    };

    void BeginDirectServing()
    {
        AcquireSRWLockExclusive(&lock);
        ++directServing;
        ReleaseSRWLockExclusive(&lock);
    }

    void EndDirectServing(bool ringForQueued)
    {
        AcquireSRWLockExclusive(&lock);
        --directServing;
        // A call queued after the last look must not wait for a doorbell nobody rang.
        if (ringForQueued && directServing == 0 && head && !doorbellPending)
            Ring();
        ReleaseSRWLockExclusive(&lock);
    }

    // Under the lock, so that no worker posts to a window its owner has already destroyed.
    void Ring()
    {
        doorbellPending = true;
        if (window)
            PostMessageW(window, kServeMessage, 0, 0);
    }

    // Input and messages sent or posted by others end a burst; painting and timers wait for the end
    // of the slice, as they would behind any other busy handler.
    static bool MessagesWaiting()
    {
        return HIWORD(GetQueueStatus(QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE)) != 0;
    }

    // Queues the request and tells the owner, by message unless it is already waiting in ServeUntil.
    // After the owner has ended the request fails at once.
    void Enqueue(Request& request)
    {
        AcquireSRWLockExclusive(&lock);
        if (!window)
        {
            request.error = OwnerEndedError();
            request.done.store(true, std::memory_order_relaxed);
            ReleaseSRWLockExclusive(&lock);
            return;
        }
        (tail ? tail->next : head) = &request;
        tail = &request;
        queueFilled.store(true, std::memory_order_relaxed);
        const bool wake = ownerListening;
        if (!wake && !doorbellPending && directServing == 0)
            Ring();
        ReleaseSRWLockExclusive(&lock);
        // Woken after the lock is free, the owner does not wake only to wait for the lock again.
        if (wake)
            WakeConditionVariable(&callQueued);
    }

    void WaitFor(Request& request)
    {
        if (SpinUntil([&request] { return request.done.load(std::memory_order_acquire); }, kWorkerSpin))
            return;
        AcquireSRWLockExclusive(&lock);
        while (!request.done)
        {
            if (!SleepConditionVariableSRW(&callDone, &lock, kRingAgainMs, 0) && !request.done &&
                !ownerListening)
                Ring();
        }
        ReleaseSRWLockExclusive(&lock);
    }

    // Sleeps until a call is queued or the timeout passes; false when nothing came.
    bool WaitForCall(DWORD timeoutMs)
    {
        if (SpinUntil([this] { return queueFilled.load(std::memory_order_relaxed); }, kOwnerSpin))
            return true;
        AcquireSRWLockExclusive(&lock);
        if (!head)
        {
            ownerListening = true;
            SleepConditionVariableSRW(&callQueued, &lock, timeoutMs, 0);
            ownerListening = false;
        }
        bool queued = head != nullptr;
        ReleaseSRWLockExclusive(&lock);
        return queued;
    }

    static std::exception_ptr OwnerEndedError()
    {
        return std::make_exception_ptr(std::runtime_error("the synchronized call's owner has ended"));
    }

    // The owner ends: later calls fail at once, and every waiting worker gets an error instead of
    // a hang.
    void End()
    {
        AcquireSRWLockExclusive(&lock);
        window = nullptr;
        ReleaseSRWLockExclusive(&lock);
        for (Request* request = TakeQueue(); request;)
        {
            Request* next = request->next;
            request->error = OwnerEndedError();
            Complete(request);
            request = next;
        }
    }
};

Win32SyncCall::Win32SyncCall() : m_shared(std::make_shared<Shared>())
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterWindowClass(&Shared::WindowProc))
        throw std::runtime_error("cannot register the synchronized call's window class");
    m_window.Reset(CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                                   m_shared.get()));
    if (!m_window)
        throw std::runtime_error("cannot create the synchronized call's window");
    m_shared->window = m_window.Get();
}

Win32SyncCall::~Win32SyncCall()
{
    m_shared->End();
    // The window goes on the owner thread that made it; the shared state stays with any worker
    // that still has to wake up.
    m_window.Reset();
}

void Win32SyncCall::Call(const std::function<void()>& fn)
{
    // Held until the call returns, also when the owner ends meanwhile.
    const std::shared_ptr<Shared> shared = m_shared;
    if (GetCurrentThreadId() == shared->owner)
    {
        fn();
        return;
    }
    Request request;
    request.fn = &fn;
    shared->Enqueue(request);
    shared->WaitFor(request);
    if (request.error)
        std::rethrow_exception(request.error);
}

void Win32SyncCall::ServeUntil(const std::function<bool()>& done)
{
    Shared::DirectServing serving(*m_shared);
    bool quit = false;
    WPARAM quitCode = 0;
    DWORD lastPump = GetTickCount() - kMessagePollMs;
    while (!done())
    {
        m_shared->ServePending();
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
                m_shared->ServePending();
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
                serving.Resume();
            }
            lastPump = GetTickCount();
            continue;
        }
        m_shared->WaitForCall(kMessagePollMs);
    }
    if (quit)
        PostQuitMessage(static_cast<int>(quitCode));
}

} // namespace platform
