#include "tests/support/QueueSyncCall.h"

#include <chrono>

namespace testing_support
{

QueueSyncCall::QueueSyncCall() : m_owner(std::this_thread::get_id()) {}

void QueueSyncCall::Call(const std::function<void()>& fn)
{
    if (std::this_thread::get_id() == m_owner)
    {
        fn();
        return;
    }
    Pending pending;
    pending.fn = &fn;
    std::unique_lock<std::mutex> lock(m_mutex);
    m_queue.push_back(&pending);
    m_queued.notify_all();
    m_finished.wait(lock, [&] { return pending.done; });
    if (pending.error)
        std::rethrow_exception(pending.error);
}

void QueueSyncCall::Run(Pending& pending, std::unique_lock<std::mutex>& lock)
{
    lock.unlock();
    std::exception_ptr error;
    try
    {
        (*pending.fn)();
    }
    catch (...)
    {
        error = std::current_exception();
    }
    lock.lock();
    pending.error = error;
    pending.done = true;
    m_finished.notify_all();
}

void QueueSyncCall::ServeUntil(const std::function<bool()>& done)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;)
    {
        lock.unlock();
        const bool finished = done();
        lock.lock();
        if (finished)
            return;
        // done() normally turns true inside a served call; the timeout only re-checks it in case
        // it changed some other way.
        if (!m_queued.wait_for(lock, std::chrono::milliseconds(20), [&] { return !m_queue.empty(); }))
            continue;
        Pending* pending = m_queue.front();
        m_queue.pop_front();
        Run(*pending, lock);
    }
}

void QueueSyncCall::ServeOne()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_queued.wait(lock, [&] { return !m_queue.empty(); });
    Pending* pending = m_queue.front();
    m_queue.pop_front();
    Run(*pending, lock);
}

size_t QueueSyncCall::ServePending()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    size_t count = 0;
    while (!m_queue.empty())
    {
        Pending* pending = m_queue.front();
        m_queue.pop_front();
        Run(*pending, lock);
        ++count;
    }
    return count;
}

} // namespace testing_support
