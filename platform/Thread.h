#pragma once
// TThread: the toolkit's thread object. Its body Execute runs on a thread of its own; it polls
// Terminated() for the stop request, reaches the owner thread (the thread of the synchronized call
// it was made with, normally the user-interface thread) through Synchronize, and when Execute has
// returned, also by an exception, OnTerminate runs on the owner thread. No exception leaves the
// thread.
//
// Two kinds of ownership:
// - owned: the creator keeps the object and joins the thread (Join) before destroying it;
// - free on terminate: the object is held by a shared_ptr and the running thread keeps a share of
//   it until it has ended, so the creator may let go at any time without waiting for a call that
//   can hang (a network lookup). Orphan() tells it that its owner has gone.
#include "platform/SyncCall.h"

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace platform
{

class TThread : public std::enable_shared_from_this<TThread>
{
public:
    virtual ~TThread(); // joins an owned thread that is still running
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Starts Execute. A thread that frees itself must be held by a shared_ptr by then.
    void Start();
    // Owned threads: waits until the thread has ended.
    void Join();

    // The stop request: only ever set; the body polls it.
    void Terminate() { m_terminated = true; }
    bool Terminated() const { return m_terminated; }

    // Owner thread: the owner lets go and is gone for this thread. It is told to stop, and from now
    // on its synchronized calls fail without running and OnTerminate is not run.
    void Orphan();

    // The running thread of an owned TThread (for its priority).
    std::thread& Thread() { return m_thread; }

    // Runs on the owner thread once Execute has returned. Set before Start.
    std::function<void(TThread& sender)> OnTerminate;

protected:
    TThread(SyncCall& owner, bool freeOnTerminate);

    virtual void Execute() = 0;
    // Runs fn on the owner thread while this thread waits; fn's exception is thrown again here.
    // It throws std::runtime_error without running fn when the owner has let go (Orphan) or its
    // synchronized call has ended.
    void Synchronize(const std::function<void()>& fn);
    // Starts fn on the owner thread and returns at once, so the body can prepare its next step
    // while the owner runs it; FinishSynchronized waits for it and throws its exception. A body
    // finishes each call before it starts the next or makes a Synchronize call; one left open is
    // finished when Execute returns. No state the call reads may change until it is finished.
    void SynchronizeLater(std::function<void()> fn);
    void FinishSynchronized();

private:
    void Run() noexcept;

    std::shared_ptr<CallQueue> m_queue; // outlives the owner's synchronized call
    CallQueue::PendingCall m_pending;   // the call SynchronizeLater started
    const bool m_freeOnTerminate;
    std::atomic<bool> m_terminated{false};
    bool m_orphaned = false; // owner thread only, like the routines that read it
    std::thread m_thread;
};

} // namespace platform
