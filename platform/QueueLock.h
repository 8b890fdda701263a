#pragma once
// The lock of a call queue and the two wake-ups its threads sleep on. On Windows these are a slim
// reader/writer lock and condition variables: under Wine they wait without a trip through the Wine
// server, which the C runtime's mutex and condition variable (semaphores and events) cannot.
#include <memory>

namespace platform
{

class QueueLock
{
public:
    enum Condition
    {
        kCallDone,   // workers sleep on this until their call has run
        kCallQueued, // the owner sleeps on this until a call comes
    };

    QueueLock();
    ~QueueLock();
    QueueLock(const QueueLock&) = delete;
    QueueLock& operator=(const QueueLock&) = delete;

    void Lock();
    void Unlock();
    // With the lock held: releases it, sleeps until woken or timeoutMs has passed, takes it again.
    // False when the time ran out.
    bool Sleep(Condition condition, unsigned timeoutMs);
    void WakeOne(Condition condition);
    void WakeAll(Condition condition);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace platform
