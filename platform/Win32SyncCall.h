#pragma once
// The synchronized call on Win32. The object belongs to the thread that creates it (the owner) and
// keeps a message-only window of that thread as the call queue's doorbell. A worker's Call() queues
// the routine, rings the window with a posted message and sleeps until the owner has run it, so
// every message loop of the owner (its own GetMessage loop, a modal dialog, a menu) delivers the
// call by ordinary dispatch. Inside ServeUntil the owner waits for calls directly and a worker skips
// the message: that is the fast path for a thread that only waits for its worker.
#include "platform/SyncCall.h"
#include "platform/UniqueHandle.h"

#include <memory>

namespace platform
{

class Win32SyncCall final : public SyncCall
{
public:
    Win32SyncCall();
    ~Win32SyncCall() override;
    Win32SyncCall(const Win32SyncCall&) = delete;
    Win32SyncCall& operator=(const Win32SyncCall&) = delete;

    void Call(const std::function<void()>& fn) override;
    void ServeUntil(const std::function<bool()>& done) override;
    std::shared_ptr<CallQueue> Queue() const override;

private:
    class Doorbell;
    std::shared_ptr<Doorbell> m_doorbell; // the queue and its window, shared with every waiting worker
    UniqueWindow m_window;
};

} // namespace platform
