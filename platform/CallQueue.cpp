#include "platform/CallQueue.h"

#include "platform/WaitPolicy.h"

#include <stdexcept>

namespace platform
{

namespace
{

std::exception_ptr OwnerEndedError()
{
    return std::make_exception_ptr(std::runtime_error("the synchronized call's owner has ended"));
}

} // namespace

CallQueue::CallQueue(unsigned ringAgainMs) : m_owner(std::this_thread::get_id()), m_ringAgainMs(ringAgainMs)
{
}

void CallQueue::Call(const std::function<void()>& fn)
{
    if (std::this_thread::get_id() == m_owner)
    {
        fn();
        return;
    }
    Request request;
    request.fn = &fn;
    Enqueue(request);
    WaitFor(request);
    if (request.error)
        std::rethrow_exception(request.error);
}

void CallQueue::Begin(PendingCall& call, std::function<void()> fn)
{
    call.m_fn = std::move(fn);
    call.m_started = true;
    Request& request = call.m_request;
    request.fn = &call.m_fn;
    request.error = nullptr;
    request.next = nullptr;
    request.done.store(false, std::memory_order_relaxed);
    if (std::this_thread::get_id() != m_owner)
    {
        Enqueue(request);
        return;
    }
    try
    {
        call.m_fn();
    }
    catch (...)
    {
        request.error = std::current_exception();
    }
    request.done.store(true, std::memory_order_relaxed);
}

void CallQueue::Finish(PendingCall& call)
{
    if (!call.m_started)
        return;
    call.m_started = false;
    Request& request = call.m_request;
    WaitFor(request);
    if (request.error)
    {
        std::exception_ptr error = std::move(request.error);
        request.error = nullptr;
        std::rethrow_exception(error);
    }
}

// Queues the request and tells the owner, by the doorbell unless it is already waiting for calls.
// After the owner has ended the request fails at once.
void CallQueue::Enqueue(Request& request)
{
    m_lock.Lock();
    if (m_ended)
    {
        request.error = OwnerEndedError();
        request.done.store(true, std::memory_order_relaxed);
        m_lock.Unlock();
        return;
    }
    (m_tail ? m_tail->next : m_head) = &request;
    m_tail = &request;
    m_queueFilled.store(true, std::memory_order_relaxed);
    const bool wake = m_ownerListening;
    if (!wake && !m_doorbellPending && m_directServing == 0)
        RingLocked();
    m_lock.Unlock();
    // Woken after the lock is free, the owner does not wake only to wait for the lock again.
    if (wake)
        m_lock.WakeOne(QueueLock::kCallQueued);
}

void CallQueue::WaitFor(Request& request)
{
    if (SpinUntil([&request] { return request.done.load(std::memory_order_acquire); }, kWorkerSpin))
        return;
    m_lock.Lock();
    while (!request.done)
    {
        if (!m_lock.Sleep(QueueLock::kCallDone, m_ringAgainMs) && !request.done && !m_ownerListening)
            RingLocked();
    }
    m_lock.Unlock();
}

CallQueue::Request* CallQueue::TakeQueue()
{
    m_lock.Lock();
    Request* taken = m_head;
    m_head = m_tail = nullptr;
    m_queueFilled.store(false, std::memory_order_relaxed);
    m_doorbellPending = false;
    m_lock.Unlock();
    return taken;
}

void CallQueue::Complete(Request* request)
{
    m_lock.Lock();
    // From here on the request may vanish with its worker's stack.
    request->done.store(true, std::memory_order_release);
    m_lock.Unlock();
    m_lock.WakeAll(QueueLock::kCallDone);
}

// Each worker learns the outcome of its own routine.
size_t CallQueue::ServePending()
{
    size_t served = 0;
    for (Request* request = TakeQueue(); request; ++served)
    {
        Request* next = request->next;
        try
        {
            (*request->fn)();
        }
        catch (...)
        {
            request->error = std::current_exception();
        }
        Complete(request);
        request = next;
    }
    return served;
}

bool CallQueue::WaitForCall(unsigned timeoutMs)
{
    if (SpinUntil([this] { return m_queueFilled.load(std::memory_order_relaxed); }, kOwnerSpin))
        return true;
    m_lock.Lock();
    if (!m_head)
    {
        m_ownerListening = true;
        m_lock.Sleep(QueueLock::kCallQueued, timeoutMs);
        m_ownerListening = false;
    }
    const bool queued = m_head != nullptr;
    m_lock.Unlock();
    return queued;
}

void CallQueue::End()
{
    m_lock.Lock();
    m_ended = true;
    m_lock.Unlock();
    for (Request* request = TakeQueue(); request;)
    {
        Request* next = request->next;
        request->error = OwnerEndedError();
        Complete(request);
        request = next;
    }
}

// Under the lock, so that no worker rings a doorbell its owner has already taken down.
void CallQueue::RingLocked()
{
    m_doorbellPending = true;
    if (!m_ended)
        Ring();
}

void CallQueue::BeginDirectServing()
{
    m_lock.Lock();
    ++m_directServing;
    m_lock.Unlock();
}

void CallQueue::EndDirectServing(bool ringForQueued)
{
    m_lock.Lock();
    --m_directServing;
    // A call queued after the last look must not wait for a doorbell nobody rang.
    if (ringForQueued && m_directServing == 0 && m_head && !m_doorbellPending)
        RingLocked();
    m_lock.Unlock();
}

CallQueue::DirectServing::DirectServing(CallQueue& queue) : m_queue(queue)
{
    m_queue.BeginDirectServing();
}

CallQueue::DirectServing::~DirectServing()
{
    if (m_active)
        m_queue.EndDirectServing(true);
}

void CallQueue::DirectServing::Pause()
{
    m_queue.EndDirectServing(false);
    m_active = false;
}

void CallQueue::DirectServing::Resume()
{
    m_queue.BeginDirectServing();
    m_active = true;
}

} // namespace platform
