#pragma once
// Scans the files the walk will test next for their text on a helper thread, while the walk scans
// the one it is at, so that two processors compare two files at once. Each file is read and
// compared on one thread, block by block: a block is still in that processor's cache when it is
// compared (reading on one thread and comparing on the other measured slower than one thread).
//
// The walk announces the files in the order it will test them and takes each outcome in that
// order, so results, events and skip counts come in the walk's order. A file the helper has not
// started is scanned where it is taken; while the helper scans the file the walk waits for, the
// walk scans the next file not yet started instead of waiting. Each scan opens and closes its file
// itself, so no handle outlives a scan, and memory is one block buffer per thread.
#include "engine/ContentScanner.h"
#include "platform/FileSystem.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace engine
{

class FileScanAhead
{
public:
    // stopRequested is polled by the helper (from its thread) between the blocks of a file.
    FileScanAhead(platform::FileSystem& fileSystem, const ContentText& text, bool ignoreCase,
                  std::function<bool()> stopRequested, ContainerKinds opened = ContainerKinds{false, false});
    ~FileScanAhead(); // stops the helper's scan between two blocks and waits for it
    FileScanAhead(const FileScanAhead&) = delete;
    FileScanAhead& operator=(const FileScanAhead&) = delete;

    // A file (full path) the walk will test after all announced before.
    void Announce(const std::string& path);
    // The outcome for path, scanned ahead or scanned here with own; announced files before it are
    // dropped. A path not announced is scanned here. An exception its scan threw is thrown here.
    ScanOutcome Take(const std::string& path, ContentScanner& own);
    // Drops every announced file: the walk will not test them (a stop, another target).
    void Clear();

private:
    struct Job
    {
        enum class State
        {
            Queued,
            Scanning,
            Done
        };
        std::string path;
        State state = State::Queued;
        ScanOutcome outcome = ScanOutcome::Lacks;
        std::exception_ptr error;
    };
    using JobPtr = std::shared_ptr<Job>;

    void HelperLoop();
    JobPtr NextQueued() const;                           // with m_mutex held
    void Run(Job& job, ContentScanner& scanner);         // without m_mutex
    void DropFront(size_t count);                        // with m_mutex held
    void WakeHelper(std::unique_lock<std::mutex>& lock); // unlocks

    platform::FileSystem& m_fileSystem;
    std::function<bool()> m_stopRequested;
    ContentScanner m_scanner; // the helper's
    std::mutex m_mutex;
    std::condition_variable m_work;           // the helper waits here for a file to scan
    std::condition_variable m_done;           // the walk waits here for the helper's scan
    std::deque<JobPtr> m_queue;               // announced and not taken, in the walk's order
    JobPtr m_helperJob;                       // the job the helper scans
    std::atomic<bool> m_dropHelperJob{false}; // the walk will not take it: stop scanning it
    bool m_helperWaiting = false;
    bool m_walkWaiting = false;
    std::atomic<bool> m_closing{false};
    std::thread m_helper; // last: it starts once everything above is set
};

} // namespace engine
