#pragma once
// The queue behind the synchronized call. It belongs to the thread that creates it (the owner);
// a worker's Call queues the routine, tells the owner through the doorbell (Ring) and waits until
// the owner has run it and handed back its outcome, an exception included. A worker may also start
// a call and wait for it later (PendingCall), doing its own next piece of work meanwhile; it still
// waits for each call before it makes the next. The owner serves the
// queue when its doorbell rings, or directly while it waits for its workers (DirectServing), when
// workers need not ring. A worker holds the queue by shared_ptr while it waits, so the queue
// outlives the owner's object; once the owner has ended (End) every call fails at once.
#include "platform/QueueLock.h"

#include <atomic>
#include <cstddef>
#include <exception>
#include <functional>
#include <thread>

namespace platform
{

class CallQueue
{
public:
    // ringAgainMs: a worker that has waited this long without an answer rings again, in case its
    // first ring got lost.
    explicit CallQueue(unsigned ringAgainMs);
    virtual ~CallQueue() = default;
    CallQueue(const CallQueue&) = delete;
    CallQueue& operator=(const CallQueue&) = delete;

    // Any thread: runs fn on the owner thread and waits for it; an exception thrown by fn is thrown
    // again here. On the owner thread fn simply runs. After End it throws std::runtime_error.
    void Call(const std::function<void()>& fn);

    class PendingCall;
    // A worker: queues fn for the owner thread and returns at once; Finish waits for it. The call
    // must be finished before it is started again or goes away. On the owner thread fn runs now.
    void Begin(PendingCall& call, std::function<void()> fn);
    // Waits until the call has run; its exception (or the owner's end) is thrown again here.
    // Nothing happens for a call that is not started.
    void Finish(PendingCall& call);

    // Owner thread: runs every queued routine; answers how many ran.
    size_t ServePending();
    // Owner thread: watches, then sleeps until a call is queued or timeoutMs passes; false when
    // nothing came.
    bool WaitForCall(unsigned timeoutMs);
    // Readable from any thread without the lock.
    bool Queued() const { return m_queueFilled.load(std::memory_order_relaxed); }
    // The owner ends: later calls fail at once, and every waiting worker gets an error instead of
    // a hang.
    void End();

    // While alive (and not paused), workers queue calls without ringing: the owner serves them
    // directly. Owner thread only; they nest.
    class DirectServing
    {
    public:
        explicit DirectServing(CallQueue& queue);
        ~DirectServing();
        DirectServing(const DirectServing&) = delete;
        DirectServing& operator=(const DirectServing&) = delete;

        // For a while the owner does other work: calls from now on ring. The caller serves what is
        // already queued itself.
        void Pause();
        void Resume();

    private:
        CallQueue& m_queue;
        bool m_active = true;
    };

private:
    struct Request
    {
        const std::function<void()>* fn = nullptr;
        std::exception_ptr error;
        std::atomic<bool> done{false}; // set last, after error: the worker may read it without the lock
        Request* next = nullptr;
    };

public:
    // One call in flight, kept by the worker that started it.
    class PendingCall
    {
    public:
        PendingCall() = default;
        PendingCall(const PendingCall&) = delete;
        PendingCall& operator=(const PendingCall&) = delete;
        bool Started() const { return m_started; }

    private:
        friend class CallQueue;
        Request m_request;
        std::function<void()> m_fn;
        bool m_started = false;
    };

protected:
    // Tells the owner that calls wait. Called with the lock held, never after End.
    virtual void Ring() = 0;

private:
    void Enqueue(Request& request);
    void WaitFor(Request& request);
    Request* TakeQueue();
    void Complete(Request* request);
    void RingLocked();
    void BeginDirectServing();
    void EndDirectServing(bool ringForQueued);

    const std::thread::id m_owner;
    const unsigned m_ringAgainMs;
    QueueLock m_lock;
    std::atomic<bool> m_queueFilled{false}; // m_head != nullptr, readable without the lock
    // Guarded by m_lock:
    Request* m_head = nullptr;
    Request* m_tail = nullptr;
    bool m_doorbellPending = false;
    bool m_ownerListening = false;
    // DirectServing scopes now alive (bursts and waits for workers; they nest).
    unsigned m_directServing = 0;
    bool m_ended = false;
};

} // namespace platform
