#include "platform/QueueLock.h"

#include <windows.h>

namespace platform
{

struct QueueLock::Impl
{
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE conditions[2] = {CONDITION_VARIABLE_INIT, CONDITION_VARIABLE_INIT};
};

QueueLock::QueueLock() : m_impl(std::make_unique<Impl>()) {}

QueueLock::~QueueLock() = default;

void QueueLock::Lock()
{
    AcquireSRWLockExclusive(&m_impl->lock);
}

void QueueLock::Unlock()
{
    ReleaseSRWLockExclusive(&m_impl->lock);
}

bool QueueLock::Sleep(Condition condition, unsigned timeoutMs)
{
    return SleepConditionVariableSRW(&m_impl->conditions[condition], &m_impl->lock, timeoutMs, 0) != FALSE;
}

void QueueLock::WakeOne(Condition condition)
{
    WakeConditionVariable(&m_impl->conditions[condition]);
}

void QueueLock::WakeAll(Condition condition)
{
    WakeAllConditionVariable(&m_impl->conditions[condition]);
}

} // namespace platform
