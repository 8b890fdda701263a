#include "platform/Thread.h"

#include <stdexcept>

namespace platform
{

TThread::TThread(SyncCall& owner, bool freeOnTerminate)
    : m_queue(owner.Queue()), m_freeOnTerminate(freeOnTerminate)
{
}

TThread::~TThread()
{
    Join();
}

void TThread::Start()
{
    if (!m_freeOnTerminate)
    {
        m_thread = std::thread([this] { Run(); });
        return;
    }
    // The share dies with the thread's routine, after Run: the object may go on this thread then.
    m_thread = std::thread([this, self = shared_from_this()] { Run(); });
    m_thread.detach();
}

void TThread::Join()
{
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}

void TThread::Orphan()
{
    m_orphaned = true;
    Terminate();
}

void TThread::Synchronize(const std::function<void()>& fn)
{
    m_queue->Call([this, &fn] {
        if (m_orphaned)
            throw std::runtime_error("the thread's owner has let go");
        fn();
    });
}

void TThread::SynchronizeLater(std::function<void()> fn)
{
    FinishSynchronized();
    m_queue->Begin(m_pending, [this, fn = std::move(fn)] {
        if (m_orphaned)
            throw std::runtime_error("the thread's owner has let go");
        fn();
    });
}

void TThread::FinishSynchronized()
{
    m_queue->Finish(m_pending);
}

void TThread::Run() noexcept
{
    try
    {
        Execute();
    }
    catch (...)
    {
        // A body's failure ends the thread like its return; the body itself decides who hears of it.
    }
    try
    {
        FinishSynchronized();
    }
    catch (...)
    {
        // As above: the body has ended, and a late call's failure has nobody left to reach.
    }
    try
    {
        Synchronize([this] {
            if (OnTerminate)
                OnTerminate(*this);
        });
    }
    catch (...)
    {
        // The end handler failed or its owner has gone: there is nobody left to tell.
    }
    // Nothing after this point: an owner may be running its next thread, or be gone.
}

} // namespace platform
