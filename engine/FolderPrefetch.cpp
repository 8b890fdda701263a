#include "engine/FolderPrefetch.h"

#include <algorithm>

namespace engine
{

FolderPrefetch::FolderPrefetch(platform::FileSystem& fileSystem, std::function<bool()> stopRequested,
                               size_t helpers, size_t window)
    : m_fileSystem(fileSystem), m_stopRequested(std::move(stopRequested)),
      m_window(std::max<size_t>(window, 1))
{
    for (size_t i = 0; i < helpers; ++i)
        m_helpers.emplace_back([this] { HelperLoop(); });
}

FolderPrefetch::~FolderPrefetch()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closing = true;
    }
    m_work.notify_all();
    for (std::thread& helper : m_helpers)
        helper.join();
}

size_t FolderPrefetch::DefaultHelpers()
{
    return std::max(1u, std::thread::hardware_concurrency());
}

void FolderPrefetch::Announce(const std::string& folder, const std::vector<std::string>& names)
{
    if (names.empty())
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto name = names.rbegin(); name != names.rend(); ++name)
        {
            auto request = std::make_shared<Request>();
            request->folder.reserve(folder.size() + name->size() + 1);
            request->folder = folder;
            request->folder += *name;
            request->folder += '\\';
            m_queue.push_front(std::move(request));
        }
    }
    m_work.notify_all();
}

std::optional<FolderPrefetch::Entries> FolderPrefetch::Take(const std::string& folder)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto found =
        std::find_if(m_queue.begin(), m_queue.end(),
                     [&folder](const std::shared_ptr<Request>& r) { return r->folder == folder; });
    if (found == m_queue.end())
    {
        lock.unlock();
        return List(folder);
    }
    for (auto passed = m_queue.begin(); passed != found; ++passed)
        Drop(*passed);
    const std::shared_ptr<Request> request = *found;
    m_queue.erase(m_queue.begin(), found + 1);
    if (request->state == Request::State::Queued)
    {
        // No helper got to it: listing it here is quicker than waiting.
        lock.unlock();
        m_work.notify_all();
        return List(folder);
    }
    m_ready.wait(lock, [&request] { return request->state == Request::State::Done; });
    --m_held;
    lock.unlock();
    m_work.notify_all();
    if (request->error)
        std::rethrow_exception(request->error);
    return std::move(request->entries);
}

void FolderPrefetch::Clear()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const std::shared_ptr<Request>& request : m_queue)
            Drop(request);
        m_queue.clear();
    }
    m_work.notify_all();
}

void FolderPrefetch::Drop(const std::shared_ptr<Request>& request)
{
    if (request->state == Request::State::Listing)
        request->dropped = true; // the helper lets go of it when done
    else if (request->state == Request::State::Done)
        --m_held;
}

FolderPrefetch::Request* FolderPrefetch::FirstQueued()
{
    for (const std::shared_ptr<Request>& request : m_queue)
        if (request->state == Request::State::Queued)
            return request.get();
    return nullptr;
}

void FolderPrefetch::HelperLoop()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;)
    {
        m_work.wait(lock, [this] { return m_closing || (m_held < m_window && FirstQueued() != nullptr); });
        if (m_closing)
            return;
        // Shared, so a request dropped meanwhile stays alive until this helper lets go of it.
        std::shared_ptr<Request> request;
        for (const std::shared_ptr<Request>& queued : m_queue)
            if (queued->state == Request::State::Queued)
            {
                request = queued;
                break;
            }
        request->state = Request::State::Listing;
        ++m_held;
        lock.unlock();
        std::optional<Entries> entries;
        std::exception_ptr error;
        try
        {
            entries = List(request->folder);
        }
        catch (...)
        {
            error = std::current_exception(); // the walk meets it where it would have listed
        }
        lock.lock();
        request->state = Request::State::Done;
        if (request->dropped)
        {
            --m_held;
            continue;
        }
        request->entries = std::move(entries);
        request->error = error;
        m_ready.notify_all();
    }
}

std::optional<FolderPrefetch::Entries> FolderPrefetch::List(const std::string& folder)
{
    if (Stopping())
        return std::nullopt;
    std::unique_ptr<platform::DirectoryListing> listing = m_fileSystem.OpenListing(folder);
    if (!listing)
        return std::nullopt;
    Entries entries;
    platform::FindData entry;
    while (listing->Next(entry))
    {
        entries.push_back(std::move(entry));
        // A stopped run takes nothing more; what was listed so far is all it may still look at.
        if (Stopping())
            break;
    }
    return entries;
}

} // namespace engine
