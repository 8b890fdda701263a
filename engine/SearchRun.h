#pragma once
// The walk of a run: each target's folder tree depth-first and pre-order, every entry through the
// test chain, matches and new folders reported through RunEvents. The same walk serves the
// inline run and the worker; only the RunEvents differ.
#include "engine/EntryFilter.h"
#include "engine/FindFileTypes.h"
#include "engine/FolderPrefetch.h"
#include "engine/MaskMatch.h"
#include "engine/SkipCounts.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace engine
{

class RunEvents
{
public:
    virtual ~RunEvents() = default;
    // A folder (ending with a backslash) is about to be searched; false skips it and all below.
    // open opens its listing (without reading it) and runs at most once: on a worker while the
    // caller's thread answers, so the answer's trip between threads costs the walk nothing;
    // on the caller's thread only once the folder is entered. The walk drops what open made
    // for a folder it does not enter.
    virtual bool EnterFolder(const std::string& folder, const std::function<void()>& open) = 0;
    virtual void Found(const std::string& folder, const TSearchRec& record) = 0;
    // Polled after each entry is tested, before each subfolder is entered and between the blocks
    // of a long file; also by the helper threads that open folders and scan files ahead, so it
    // must be safe to call from any thread.
    virtual bool StopRequested() = 0;
};

class SearchRun
{
public:
    // What the walk cannot look into goes on into skipped, which must outlive the run.
    SearchRun(const SearchSnapshot& snapshot, platform::FileSystem& fileSystem,
              const platform::LocalTimeConverter& localTime, RunEvents& events, SkipReport& skipped);

    // One target: its folder part made absolute, then the walk with its mask.
    void SearchTarget(const std::string& target);
    // The walk below one folder (ending with a backslash), a target's. Each folder is listed once:
    // its matching entries are reported and its subfolders remembered for the depth-first pass,
    // which keeps the order of events of a walk that lists every folder twice.
    void SearchFolder(const std::string& folder, const TargetMask& mask);

private:
    struct Frame
    {
        std::string folder;
        std::vector<std::string> subfolders;
        size_t next = 0;
    };
    // New-folder event, then the folder's entries; true when subfolders are left to visit.
    bool VisitFolder(const std::string& folder, const TargetMask& mask, Frame& frame, bool target);
    void CountUnlisted(const std::string& folder, platform::OpenFailure failure, bool target);
    // Tests every entry and remembers the subfolders; false when the run was stopped meanwhile.
    bool ListEntries(const std::string& folder, const TargetMask& mask, platform::DirectoryListing& listing,
                     Frame& frame);
    // The next entry of listing; with files scanned ahead, from the few listed ahead of the walk.
    bool NextEntry(const std::string& folder, const TargetMask& mask, platform::DirectoryListing& listing,
                   platform::FindData& entry);
    static bool NameQualifies(const TargetMask& mask, const platform::FindData& entry);
    // A folder the walk would enter, a link among them.
    bool IsSubfolder(const platform::FindData& entry) const;
    void Test(const std::string& folder, const TargetMask& mask, const platform::FindData& entry);
    void Report(const std::string& folder, const platform::FindData& entry);

    const SearchSnapshot& m_snapshot;
    platform::FileSystem& m_fileSystem;
    const platform::LocalTimeConverter& m_localTime;
    RunEvents& m_events;
    SkipReport& m_skipped;
    EntryTester m_tester;
    std::unique_ptr<FolderPrefetch> m_prefetch; // null when the run opens each folder as it enters
    TSearchRec m_record;                        // reused for every report
    struct ListedAhead
    {
        platform::FindData entry;
        bool scanned = false; // its file is being scanned ahead
    };
    std::deque<ListedAhead> m_listedAhead; // of the folder being listed, not yet tested
    size_t m_scansAhead = 0;               // among them
    bool m_listingEnded = false;
};

} // namespace engine
