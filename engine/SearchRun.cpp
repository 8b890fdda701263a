#include "engine/SearchRun.h"

#include "engine/DateTime.h"
#include "engine/TargetList.h"

namespace engine
{

namespace
{

// Folders opened ahead and not yet taken: a few dozen keep the helper busy, since the walk takes
// them about as fast as they are opened.
constexpr size_t kPrefetchWindow = 64;
// Long files being scanned ahead while the walk is at an earlier entry: one for the helper, one
// more for the walk to take up while it waits for the helper's, one ready when either is done.
constexpr size_t kScansAhead = 3;
// Entries listed ahead at most, to find those files: bounds memory in a folder of short files.
constexpr size_t kEntriesAhead = 256;

} // namespace

SearchRun::SearchRun(const SearchSnapshot& snapshot, platform::FileSystem& fileSystem,
                     const platform::LocalTimeConverter& localTime, RunEvents& events, SkipReport& skipped)
    : m_snapshot(snapshot), m_fileSystem(fileSystem), m_localTime(localTime), m_events(events),
      m_skipped(skipped),
      m_tester(snapshot, fileSystem, localTime, skipped.counts, [&events] { return events.StopRequested(); })
{
    // Without subfolders there is nothing to open ahead.
    if (snapshot.prefetch && snapshot.subfolders)
        m_prefetch = std::make_unique<FolderPrefetch>(
            fileSystem, [&events] { return events.StopRequested(); }, kPrefetchWindow);
}

void SearchRun::SearchTarget(const std::string& target)
{
    const SplitTargetResult parts = SplitTarget(target);
    const TargetMask mask(parts.mask);
    SearchFolder(WithBackslash(m_fileSystem.AbsolutePath(parts.folder)), mask);
}

void SearchRun::SearchFolder(const std::string& folder, const TargetMask& mask)
{
    // An explicit stack rather than recursion: long paths can nest thousands of folders deep,
    // more than a worker's stack would hold.
    std::vector<Frame> stack(1);
    if (m_prefetch)
        m_prefetch->Clear();
    if (!VisitFolder(folder, mask, stack.back(), true))
        return;
    while (!stack.empty())
    {
        Frame& frame = stack.back();
        if (frame.next == frame.subfolders.size() || m_events.StopRequested())
        {
            stack.pop_back();
            continue;
        }
        std::string child = frame.folder;
        child += frame.subfolders[frame.next++];
        child += '\\';
        stack.emplace_back();
        if (!VisitFolder(child, mask, stack.back(), false))
            stack.pop_back();
    }
}

bool SearchRun::VisitFolder(const std::string& folder, const TargetMask& mask, Frame& frame, bool target)
{
    platform::OpenFailure failure = platform::OpenFailure::None;
    std::unique_ptr<platform::DirectoryListing> listing;
    const bool entered = m_events.EnterFolder(folder, [&] {
        listing = m_prefetch ? m_prefetch->Take(folder, failure) : m_fileSystem.OpenListing(folder, failure);
    });
    if (!entered || m_events.StopRequested())
    {
        if (listing && m_prefetch)
            m_prefetch->Release(std::move(listing));
        return false;
    }
    if (!listing)
    {
        CountUnlisted(folder, failure, target);
        return false;
    }
    frame.folder = folder;
    const bool listed = ListEntries(folder, mask, *listing, frame);
    if (m_prefetch)
        m_prefetch->Release(std::move(listing));
    return listed && !frame.subfolders.empty();
}

// A target's own folder that is not there is the caller's mistake, not a skip.
void SearchRun::CountUnlisted(const std::string& folder, platform::OpenFailure failure, bool target)
{
    SkipCounts& counts = m_skipped.counts;
    switch (failure)
    {
    case platform::OpenFailure::None:
        break; // not opened because the run stops
    case platform::OpenFailure::AccessDenied:
        ++counts.foldersDenied;
        break;
    case platform::OpenFailure::NotFound:
        if (target)
            m_skipped.missingFolders.push_back(EventFolder(folder));
        else
            ++counts.entriesVanished;
        break;
    case platform::OpenFailure::PathTooLong:
        ++counts.pathsTooLong;
        break;
    case platform::OpenFailure::Other:
        ++counts.foldersFailed;
        break;
    }
}

bool SearchRun::ListEntries(const std::string& folder, const TargetMask& mask,
                            platform::DirectoryListing& listing, Frame& frame)
{
    platform::FindData entry;
    m_listingEnded = false;
    bool listed = true;
    while (NextEntry(folder, mask, listing, entry))
    {
        Test(folder, mask, entry);
        if (IsSubfolder(entry))
        {
            if (IsNameSurrogate(entry))
            {
                ++m_skipped.counts.linksNotFollowed;
            }
            else
            {
                frame.subfolders.push_back(entry.name);
                if (m_prefetch)
                    m_prefetch->Announce(folder, entry.name); // opened while the rest is listed
            }
        }
        if (m_events.StopRequested())
        {
            listed = false;
            break;
        }
    }
    if (!m_listedAhead.empty())
    {
        m_listedAhead.clear();
        m_scansAhead = 0;
        m_tester.ForgetScansAhead();
    }
    return listed;
}

bool SearchRun::NextEntry(const std::string& folder, const TargetMask& mask,
                          platform::DirectoryListing& listing, platform::FindData& entry)
{
    if (!m_tester.ScansAhead())
        return listing.Next(entry);
    // Lists on until a few long files are being scanned ahead, so the helper has the next one.
    while (!m_listingEnded && m_scansAhead < kScansAhead && m_listedAhead.size() < kEntriesAhead)
    {
        ListedAhead next;
        if (!listing.Next(next.entry))
        {
            m_listingEnded = true;
            break;
        }
        next.scanned = NameQualifies(mask, next.entry) && m_tester.ScanAhead(folder, next.entry);
        m_scansAhead += next.scanned ? 1 : 0;
        m_listedAhead.push_back(std::move(next));
    }
    if (m_listedAhead.empty())
        return false;
    entry = std::move(m_listedAhead.front().entry);
    m_scansAhead -= m_listedAhead.front().scanned ? 1 : 0;
    m_listedAhead.pop_front();
    return true;
}

// Names that begin with a dot are never reported or entered: "." and "..", and the hidden files
// and folders of Unix-style tools.
bool SearchRun::IsSubfolder(const platform::FindData& entry) const
{
    return m_snapshot.subfolders && !entry.name.empty() && entry.name[0] != '.' &&
           (entry.attributes & kAttrDirectory);
}

bool SearchRun::NameQualifies(const TargetMask& mask, const platform::FindData& entry)
{
    return !entry.name.empty() && entry.name[0] != '.' && mask.Matches(entry.name);
}

void SearchRun::Test(const std::string& folder, const TargetMask& mask, const platform::FindData& entry)
{
    if (NameQualifies(mask, entry) && m_tester.EntryMatches(folder, entry))
        Report(folder, entry);
}

void SearchRun::Report(const std::string& folder, const platform::FindData& entry)
{
    // Converting a time costs a platform call, so only reported entries get their packed time.
    const std::optional<platform::CalendarTime> local = m_localTime.ToLocal(entry.lastWriteTime);
    m_record.Time = local ? PackDosDateTime(*local) : 0;
    m_record.Size = static_cast<int64_t>(entry.size);
    m_record.Attr = static_cast<int32_t>(entry.attributes);
    m_record.Name = entry.name;
    m_record.FindData = entry;
    m_events.Found(folder, m_record);
}

} // namespace engine
