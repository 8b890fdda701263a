#pragma once
// Lists the folders that a walk will enter next on helper threads, while the walk tests and
// reports the folder it is in: under Wine listing costs about 30 us an entry, mostly in file system
// calls, and this way it runs on every core. The walk still decides everything (order, pruning,
// stopping); this only hands it listings that are already made.
//
// The walk announces the subfolders of each folder it has entered, in the order it will enter them.
// In a depth-first walk they come before every folder announced earlier, so the queue of announced
// folders is always in the walk's order and helpers list from its front. At most `window` listings
// are made ahead and not yet taken, so memory stays bounded however large the tree. A folder is
// listed only after the walk has entered its parent: what a new-folder handler changes inside the
// subfolders of the folder it is told about, the walk sees, as without prefetching (the folder's
// own listing may have been made before its event).
#include "platform/FileSystem.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace engine
{

class FolderPrefetch
{
public:
    using Entries = std::vector<platform::FindData>;

    // stopRequested is polled by the helpers (from their threads) between entries and before
    // each listing, so a stopped run does not wait for them.
    FolderPrefetch(platform::FileSystem& fileSystem, std::function<bool()> stopRequested, size_t helpers,
                   size_t window);
    ~FolderPrefetch(); // stops the helpers and waits for them
    FolderPrefetch(const FolderPrefetch&) = delete;
    FolderPrefetch& operator=(const FolderPrefetch&) = delete;

    // The subfolders (names) of folder, which the walk has just entered, in the order the walk will
    // enter them.
    void Announce(const std::string& folder, const std::vector<std::string>& names);
    // The entries of folder (a path ending with a backslash), in the platform's order; nothing
    // when it cannot be listed. Announced folders before it that the walk has passed over (pruned,
    // or left by a stop) are dropped. A folder not announced is listed here and now.
    std::optional<Entries> Take(const std::string& folder);
    // Drops every announced folder: the walk starts over at another target.
    void Clear();

    // Helpers for a run on this machine: one per processor, at least one.
    static size_t DefaultHelpers();

private:
    struct Request
    {
        enum class State
        {
            Queued,
            Listing,
            Done
        };
        std::string folder;
        State state = State::Queued;
        bool dropped = false; // taken out of the queue while a helper was listing it
        std::optional<Entries> entries;
        std::exception_ptr error;
    };

    void HelperLoop();
    Request* FirstQueued();
    std::optional<Entries> List(const std::string& folder);
    void Drop(const std::shared_ptr<Request>& request); // with m_mutex held
    bool Stopping() const { return m_closing || m_stopRequested(); }

    platform::FileSystem& m_fileSystem;
    std::function<bool()> m_stopRequested;
    const size_t m_window;
    std::mutex m_mutex;
    std::condition_variable m_work;  // helpers wait here for a folder to list
    std::condition_variable m_ready; // the walk waits here for a listing a helper is making
    std::deque<std::shared_ptr<Request>> m_queue;
    size_t m_held = 0; // listings being made or made and not yet taken
    std::atomic<bool> m_closing{false};
    std::vector<std::thread> m_helpers; // last: they start once everything above is set
};

} // namespace engine
