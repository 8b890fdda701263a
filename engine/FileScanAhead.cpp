#include "engine/FileScanAhead.h"

#include <algorithm>

namespace engine
{

FileScanAhead::FileScanAhead(platform::FileSystem& fileSystem, const ContentText& text, bool ignoreCase,
                             std::function<bool()> stopRequested, ContainerKinds opened)
    : m_fileSystem(fileSystem), m_stopRequested(std::move(stopRequested)),
      m_scanner(
          text, ignoreCase,
          [this] { return m_closing || m_dropHelperJob || (m_stopRequested && m_stopRequested()); }, opened),
      m_helper([this] { HelperLoop(); })
{
}

FileScanAhead::~FileScanAhead()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closing = true;
    }
    m_work.notify_all();
    m_helper.join();
}

void FileScanAhead::Announce(const std::string& path)
{
    auto job = std::make_shared<Job>();
    job->path = path;
    std::unique_lock<std::mutex> lock(m_mutex);
    m_queue.push_back(std::move(job));
    WakeHelper(lock);
}

ScanOutcome FileScanAhead::Take(const std::string& path, ContentScanner& own)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto found = std::find_if(m_queue.begin(), m_queue.end(),
                                    [&path](const JobPtr& job) { return job->path == path; });
    if (found == m_queue.end())
    {
        lock.unlock();
        return own.Scan(m_fileSystem, path);
    }
    DropFront(static_cast<size_t>(found - m_queue.begin()));
    const JobPtr job = m_queue.front();
    while (job->state != Job::State::Done)
    {
        // Not started: scanned here. Started by the helper: the next file nobody has started is
        // scanned here meanwhile, and only when there is none does the walk wait.
        const JobPtr mine = job->state == Job::State::Queued ? job : NextQueued();
        if (!mine)
        {
            m_walkWaiting = true;
            m_done.wait(lock, [&job] { return job->state == Job::State::Done; });
            m_walkWaiting = false;
            break;
        }
        mine->state = Job::State::Scanning;
        lock.unlock();
        Run(*mine, own);
        lock.lock();
        mine->state = Job::State::Done;
    }
    m_queue.pop_front();
    lock.unlock();
    if (job->error)
        std::rethrow_exception(job->error);
    return job->outcome;
}

void FileScanAhead::Clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    DropFront(m_queue.size());
}

void FileScanAhead::DropFront(size_t count)
{
    for (size_t i = 0; i < count; ++i)
        if (m_queue[i] == m_helperJob)
            m_dropHelperJob = true; // its file closes at the helper's next block
    m_queue.erase(m_queue.begin(), m_queue.begin() + static_cast<std::ptrdiff_t>(count));
}

FileScanAhead::JobPtr FileScanAhead::NextQueued() const
{
    for (const JobPtr& job : m_queue)
        if (job->state == Job::State::Queued)
            return job;
    return nullptr;
}

void FileScanAhead::WakeHelper(std::unique_lock<std::mutex>& lock)
{
    // A wake-up is a system call under Wine: only for a helper that sleeps.
    const bool sleeping = m_helperWaiting;
    lock.unlock();
    if (sleeping)
        m_work.notify_one();
}

void FileScanAhead::HelperLoop()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;)
    {
        JobPtr job;
        m_helperWaiting = true;
        m_work.wait(lock, [this, &job] {
            job = m_closing ? nullptr : NextQueued();
            return m_closing || job != nullptr;
        });
        m_helperWaiting = false;
        if (m_closing)
            return;
        job->state = Job::State::Scanning;
        m_helperJob = job;
        m_dropHelperJob = false;
        lock.unlock();
        Run(*job, m_scanner);
        lock.lock();
        job->state = Job::State::Done;
        m_helperJob.reset();
        if (m_walkWaiting)
            m_done.notify_all();
    }
}

void FileScanAhead::Run(Job& job, ContentScanner& scanner)
{
    try
    {
        job.outcome = scanner.Scan(m_fileSystem, job.path);
    }
    catch (...)
    {
        job.error = std::current_exception(); // thrown where the walk takes the file, in turn
    }
}

} // namespace engine
