// The call queue's lock where there is no Windows: the standard mutex and condition variables.
#include "platform/QueueLock.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace platform
{

struct QueueLock::Impl
{
    std::mutex mutex;
    std::condition_variable conditions[2];
};

QueueLock::QueueLock() : m_impl(std::make_unique<Impl>()) {}

QueueLock::~QueueLock() = default;

void QueueLock::Lock()
{
    m_impl->mutex.lock();
}

void QueueLock::Unlock()
{
    m_impl->mutex.unlock();
}

bool QueueLock::Sleep(Condition condition, unsigned timeoutMs)
{
    // The caller holds the mutex and keeps holding it afterwards.
    std::unique_lock<std::mutex> held(m_impl->mutex, std::adopt_lock);
    const bool woken = m_impl->conditions[condition].wait_for(held, std::chrono::milliseconds(timeoutMs)) ==
                       std::cv_status::no_timeout;
    held.release();
    return woken;
}

void QueueLock::WakeOne(Condition condition)
{
    m_impl->conditions[condition].notify_one();
}

void QueueLock::WakeAll(Condition condition)
{
    m_impl->conditions[condition].notify_all();
}

} // namespace platform
