#include "engine/FolderPrefetch.h"

#include <algorithm>

namespace engine
{

FolderPrefetch::FolderPrefetch(platform::FileSystem& fileSystem, std::function<bool()> stopRequested,
                               size_t window)
    : m_fileSystem(fileSystem), m_stopRequested(std::move(stopRequested)),
      m_window(std::max<size_t>(window, 1)), m_helper([this] { HelperLoop(); })
{
}

FolderPrefetch::~FolderPrefetch()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closing = true;
    }
    m_work.notify_all();
    m_helper.join();
}

void FolderPrefetch::Announce(const std::string& folder, const std::string& name)
{
    auto request = std::make_shared<Request>();
    request->folder.reserve(folder.size() + name.size() + 1);
    request->folder = folder;
    request->folder += name;
    request->folder += '\\';
    std::unique_lock<std::mutex> lock(m_mutex);
    m_queue.insert(m_queue.begin() + static_cast<std::ptrdiff_t>(m_announced++), std::move(request));
    WakeHelper(lock);
}

FolderPrefetch::Listing FolderPrefetch::Take(const std::string& folder, platform::OpenFailure& failure)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_announced = 0; // the subfolders of the folder taken go to the front
    const auto found =
        std::find_if(m_queue.begin(), m_queue.end(),
                     [&folder](const std::shared_ptr<Request>& r) { return r->folder == folder; });
    if (found == m_queue.end())
    {
        lock.unlock();
        return m_fileSystem.OpenListing(folder, failure);
    }
    for (auto passed = m_queue.begin(); passed != found; ++passed)
        Drop(**passed);
    const std::shared_ptr<Request> request = *found;
    m_queue.erase(m_queue.begin(), found + 1);
    if (request->state == Request::State::Queued)
    {
        // The helper has not got to it: opening it here is quicker than waiting.
        WakeHelper(lock); // a place in the window is free, and passed folders may wait to be closed
        return m_fileSystem.OpenListing(folder, failure);
    }
    if (request->state != Request::State::Done)
    {
        m_walkWaiting = true;
        m_ready.wait(lock, [&request] { return request->state == Request::State::Done; });
        m_walkWaiting = false;
    }
    --m_held;
    Listing listing = std::move(request->listing);
    failure = request->failure;
    const std::exception_ptr error = request->error;
    WakeHelper(lock);
    if (error)
        std::rethrow_exception(error);
    return listing;
}

void FolderPrefetch::Release(Listing listing)
{
    if (!listing)
        return;
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_toClose.size() >= m_window)
    {
        // The helper is behind (a slow open, say on a network): closing here keeps the handles
        // bounded.
        lock.unlock();
        listing.reset();
        return;
    }
    m_toClose.push_back(std::move(listing));
    WakeHelper(lock);
}

void FolderPrefetch::Clear()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (const std::shared_ptr<Request>& request : m_queue)
        Drop(*request);
    m_queue.clear();
    m_announced = 0;
    WakeHelper(lock);
}

void FolderPrefetch::WakeHelper(std::unique_lock<std::mutex>& lock)
{
    // A wake-up is a system call under Wine: only for a helper that sleeps.
    const bool sleeping = m_helperWaiting;
    lock.unlock();
    if (sleeping)
        m_work.notify_one();
}

void FolderPrefetch::Drop(Request& request)
{
    if (request.state == Request::State::Opening)
    {
        request.dropped = true; // the helper closes it when done
    }
    else if (request.state == Request::State::Done)
    {
        --m_held;
        if (request.listing)
            m_toClose.push_back(std::move(request.listing));
    }
}

std::shared_ptr<FolderPrefetch::Request> FolderPrefetch::NextToOpen() const
{
    // The first not yet opened is the nearest to the walk: what lies between was opened already.
    if (m_held >= m_window)
        return nullptr;
    for (const std::shared_ptr<Request>& request : m_queue)
        if (request->state == Request::State::Queued)
            return request;
    return nullptr;
}

void FolderPrefetch::HelperLoop()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;)
    {
        std::shared_ptr<Request> request;
        m_helperWaiting = true;
        m_work.wait(lock, [this, &request] {
            if (m_closing)
                return true;
            request = NextToOpen();
            return request != nullptr || !m_toClose.empty();
        });
        m_helperWaiting = false;
        if (m_closing)
            return; // what is still open closes with the members
        // Closed outside the lock: closing is a system call like opening.
        std::vector<Listing> toClose;
        toClose.swap(m_toClose);
        if (request)
        {
            request->state = Request::State::Opening;
            ++m_held;
        }
        lock.unlock();
        toClose.clear();
        if (request)
            Open(*request);
        lock.lock();
        if (!request)
            continue;
        request->state = Request::State::Done;
        if (request->dropped)
        {
            --m_held;
            m_toClose.push_back(std::move(request->listing));
        }
        else if (m_walkWaiting)
            m_ready.notify_all();
    }
}

void FolderPrefetch::Open(Request& request)
{
    try
    {
        if (!Stopping())
            request.listing = m_fileSystem.OpenListing(request.folder, request.failure);
    }
    catch (...)
    {
        request.error = std::current_exception(); // the walk meets it where it would have opened
    }
}

} // namespace engine
