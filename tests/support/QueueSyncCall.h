#pragma once
// QueueSyncCall: a portable platform::SyncCall on the call queue, without a doorbell: a worker's
// Call queues the routine and waits; the owner thread (the one that created the object) runs queued
// routines in ServeUntil, ServeOne or ServePending. An exception thrown by a routine travels back to
// the waiting worker. Once the object is gone, workers still holding its queue get an error.
#include "platform/SyncCall.h"

#include <cstddef>

namespace testing_support
{

class QueueSyncCall : public platform::SyncCall
{
public:
    QueueSyncCall();
    ~QueueSyncCall() override;
    QueueSyncCall(const QueueSyncCall&) = delete;
    QueueSyncCall& operator=(const QueueSyncCall&) = delete;

    void Call(const std::function<void()>& fn) override;
    void ServeUntil(const std::function<bool()>& done) override;
    std::shared_ptr<platform::CallQueue> Queue() const override { return m_queue; }

    // Owner thread: waits for the next queued call and runs what is queued then.
    void ServeOne();
    // Owner thread: runs the calls queued now, without waiting; answers how many ran.
    size_t ServePending();

private:
    std::shared_ptr<platform::CallQueue> m_queue;
};

} // namespace testing_support
