#pragma once
// Opens the folders that a walk will enter next on a helper thread, and closes the ones it has
// left there too, while the walk lists, tests and reports the folder it is in. Under Wine listing
// holds a lock of the whole process, so listing on helpers cannot run beside the walk; opening and
// closing are the Wine server's work and can. The walk still decides everything (order, pruning,
// stopping) and reads every listing itself; this only hands it folders that are already open.
//
// The walk announces each subfolder as its listing shows it, in the order it will enter them. In a
// depth-first walk they come before every folder announced earlier, so the queue of announced
// folders is always in the walk's order and the helper opens from its front. It holds at most
// `window` folders open for the walk, so open handles stay bounded however large the tree. A
// folder is opened only once the walk has seen it in its parent's listing, and its entries are
// read only when the walk reads them, after its new-folder event: the walk sees what a handler
// changes, as without this.
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
#include <vector>

namespace engine
{

class FolderPrefetch
{
public:
    using Listing = std::unique_ptr<platform::DirectoryListing>;

    // stopRequested is polled by the helper (from its thread) before each folder it opens, so a
    // stopped run does not wait for it.
    FolderPrefetch(platform::FileSystem& fileSystem, std::function<bool()> stopRequested, size_t window);
    ~FolderPrefetch(); // stops the helper, waits for it and closes what it still holds
    FolderPrefetch(const FolderPrefetch&) = delete;
    FolderPrefetch& operator=(const FolderPrefetch&) = delete;

    // A subfolder (name) of folder, which the walk is listing: it goes after those announced since
    // the walk last took a folder, and before all announced earlier.
    void Announce(const std::string& folder, const std::string& name);
    // The listing of folder (a path ending with a backslash), opened ahead or, when the helper has
    // not got to it, here and now; null when it cannot be opened, with the reason in failure (None
    // when the helper left it unopened for a stop). Announced folders before it that the walk has
    // passed over (pruned, or left by a stop) are closed.
    Listing Take(const std::string& folder, platform::OpenFailure& failure);
    // A listing the walk is done with, closed on the helper thread (or here, when a window of them
    // already waits for it).
    void Release(Listing listing);
    // Closes every announced folder: the walk starts over at another target.
    void Clear();

private:
    struct Request
    {
        enum class State
        {
            Queued,
            Opening,
            Done
        };
        std::string folder;
        State state = State::Queued;
        bool dropped = false; // taken out of the queue while the helper was opening it
        Listing listing;
        platform::OpenFailure failure = platform::OpenFailure::None;
        std::exception_ptr error;
    };

    void HelperLoop();
    std::shared_ptr<Request> NextToOpen() const;         // with m_mutex held
    void Drop(Request& request);                         // with m_mutex held
    void Open(Request& request);                         // without m_mutex
    void WakeHelper(std::unique_lock<std::mutex>& lock); // unlocks
    bool Stopping() const { return m_closing || m_stopRequested(); }

    platform::FileSystem& m_fileSystem;
    std::function<bool()> m_stopRequested;
    const size_t m_window;
    std::mutex m_mutex;
    std::condition_variable m_work;  // the helper waits here for a folder to open or close
    std::condition_variable m_ready; // the walk waits here for a folder the helper is opening
    std::deque<std::shared_ptr<Request>> m_queue;
    size_t m_held = 0;      // folders being opened, or opened and neither taken nor passed over
    size_t m_announced = 0; // announced since the walk last took a folder, so where the next one goes
    std::vector<Listing> m_toClose;
    bool m_helperWaiting = false; // in m_work.wait
    bool m_walkWaiting = false;   // in m_ready.wait
    std::atomic<bool> m_closing{false};
    std::thread m_helper; // last: it starts once everything above is set
};

} // namespace engine
