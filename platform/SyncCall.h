#pragma once
// The synchronized call: a worker thread runs a routine on the owner thread (the thread that
// created the object, normally the user-interface thread) and waits for it.
#include "platform/CallQueue.h"

#include <functional>
#include <memory>

namespace platform
{

class SyncCall
{
public:
    virtual ~SyncCall() = default;
    // Runs fn on the owner thread while the caller waits. An exception thrown by fn is thrown
    // again here. Called on the owner thread itself, fn simply runs.
    virtual void Call(const std::function<void()>& fn) = 0;
    // On the owner thread: serves pending calls (and, on Windows, window messages) until done()
    // answers true. This is how the owner waits for a worker without deadlocking it.
    virtual void ServeUntil(const std::function<bool()>& done) = 0;
    // The queue that Call uses, for a worker that may outlive this object: its calls then fail
    // with an error instead of reaching an owner that has gone.
    virtual std::shared_ptr<CallQueue> Queue() const = 0;
};

} // namespace platform
