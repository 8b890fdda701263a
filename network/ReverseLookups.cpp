#include "network/ReverseLookups.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

namespace network
{

struct ThreadedReverseLookups::Shared
{
    explicit Shared(std::shared_ptr<platform::ReverseResolver> r) : resolver(std::move(r)) {}

    std::shared_ptr<platform::ReverseResolver> resolver;
    std::mutex lock;
    std::condition_variable work;
    std::deque<uint32_t> queued;
    std::vector<ReverseAnswer> finished;
    unsigned idle = 0;
    bool closed = false;
};

void ThreadedReverseLookups::Serve(const std::shared_ptr<Shared>& shared)
{
    std::unique_lock<std::mutex> hold(shared->lock);
    for (;;)
    {
        ++shared->idle;
        shared->work.wait(hold, [&] { return shared->closed || !shared->queued.empty(); });
        --shared->idle;
        if (shared->closed)
            return;
        const uint32_t address = shared->queued.front();
        shared->queued.pop_front();
        hold.unlock();
        std::string name;
        try
        {
            name = shared->resolver->NameOf(address).value_or("");
        }
        catch (...)
        {
            // A resolver that fails names nothing; the thread goes on with the next address.
        }
        hold.lock();
        if (shared->closed)
            return;
        shared->finished.push_back({address, std::move(name)});
    }
}

ThreadedReverseLookups::ThreadedReverseLookups(std::shared_ptr<platform::ReverseResolver> resolver,
                                               unsigned threads)
    : m_shared(std::make_shared<Shared>(std::move(resolver))), m_maxThreads(threads == 0 ? 1 : threads)
{
}

ThreadedReverseLookups::~ThreadedReverseLookups()
{
    std::lock_guard<std::mutex> hold(m_shared->lock);
    m_shared->closed = true;
    m_shared->queued.clear();
    m_shared->work.notify_all();
}

void ThreadedReverseLookups::Ask(uint32_t address)
{
    bool startOne = false;
    {
        std::lock_guard<std::mutex> hold(m_shared->lock);
        m_shared->queued.push_back(address);
        startOne = m_shared->idle < m_shared->queued.size() && m_started < m_maxThreads;
        m_shared->work.notify_one();
    }
    if (startOne)
    {
        // A thread that cannot be had leaves its address to the threads there are.
        try
        {
            std::thread(Serve, m_shared).detach();
            ++m_started;
        }
        catch (const std::system_error&)
        {
        }
    }
}

void ThreadedReverseLookups::Take(std::vector<ReverseAnswer>& out)
{
    std::lock_guard<std::mutex> hold(m_shared->lock);
    for (ReverseAnswer& answer : m_shared->finished)
        out.push_back(std::move(answer));
    m_shared->finished.clear();
}

} // namespace network
