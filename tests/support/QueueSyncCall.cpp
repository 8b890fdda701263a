#include "tests/support/QueueSyncCall.h"

namespace testing_support
{

namespace
{

// Nobody to ring: the owner only serves when a test tells it to.
class SilentQueue final : public platform::CallQueue
{
public:
    // The timeout only re-checks the answer; no ring is ever lost.
    SilentQueue() : CallQueue(20) {}

private:
    void Ring() override {}
};

// done() normally turns true inside a served call; the timeout only re-checks it in case it
// changed some other way.
constexpr unsigned kRecheckMs = 20;

} // namespace

QueueSyncCall::QueueSyncCall() : m_queue(std::make_shared<SilentQueue>()) {}

QueueSyncCall::~QueueSyncCall()
{
    m_queue->End();
}

void QueueSyncCall::Call(const std::function<void()>& fn)
{
    const std::shared_ptr<platform::CallQueue> queue = m_queue;
    queue->Call(fn);
}

void QueueSyncCall::ServeUntil(const std::function<bool()>& done)
{
    const platform::CallQueue::DirectServing serving(*m_queue);
    while (!done())
    {
        m_queue->ServePending();
        if (done())
            break;
        m_queue->WaitForCall(kRecheckMs);
    }
}

void QueueSyncCall::ServeOne()
{
    while (!m_queue->WaitForCall(kRecheckMs))
    {
    }
    m_queue->ServePending();
}

size_t QueueSyncCall::ServePending()
{
    return m_queue->ServePending();
}

} // namespace testing_support
