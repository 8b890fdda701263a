#pragma once
// QueueSyncCall: a portable platform::SyncCall. A worker's Call queues the routine and waits; the
// owner thread (the one that created the object) runs queued routines in ServeUntil, ServeOne or
// ServePending. An exception thrown by a routine travels back to the waiting worker.
#include "platform/SyncCall.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace testing_support
{

class QueueSyncCall : public platform::SyncCall
{
public:
    QueueSyncCall();
    void Call(const std::function<void()>& fn) override;
    void ServeUntil(const std::function<bool()>& done) override;

    // Owner thread: waits for the next queued call and runs it.
    void ServeOne();
    // Owner thread: runs the calls queued now, without waiting; answers how many ran.
    size_t ServePending();

private:
    struct Pending
    {
        const std::function<void()>* fn = nullptr;
        std::exception_ptr error;
        bool done = false;
    };
    void Run(Pending& pending, std::unique_lock<std::mutex>& lock);

    std::thread::id m_owner;
    std::mutex m_mutex;
    std::condition_variable m_queued;
    std::condition_variable m_finished;
    std::deque<Pending*> m_queue;
};

} // namespace testing_support
