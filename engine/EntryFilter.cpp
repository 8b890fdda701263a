#include "engine/EntryFilter.h"

#include "engine/DateTime.h"
#include "engine/MaskMatch.h"

namespace engine
{

bool AttributesMatch(uint32_t attr, TFileAttributes wanted, bool exact)
{
    uint8_t bits = 0;
    if (attr & kAttrArchive)
        bits |= 1u << ffArchive;
    if (attr & kAttrReadonly)
        bits |= 1u << ffReadonly;
    if (attr & kAttrHidden)
        bits |= 1u << ffHidden;
    if (attr & kAttrSystem)
        bits |= 1u << ffSystem;
    if (attr & kAttrDirectory)
        bits |= 1u << ffDirectory;
    const TFileAttributes have = TFileAttributes::FromBits(bits);
    if (exact)
        return have == wanted;
    return have.Empty() || (have.Bits() & wanted.Bits()) != 0;
}

bool SizeMatches(const platform::FindData& entry, int64_t sizeMin, int64_t sizeMax)
{
    if (entry.attributes & kAttrDirectory)
        return true;
    // Sizes beyond the signed range cannot occur on a real volume; clamp rather than wrap.
    const int64_t size =
        entry.size > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(entry.size);
    if (sizeMin != 0 && sizeMin > size)
        return false;
    if (sizeMax != 0 && sizeMax < size)
        return false;
    return true;
}

bool IsNameSurrogate(const platform::FindData& entry)
{
    if (!(entry.attributes & kAttrReparsePoint))
        return false;
    return entry.reparseTag == 0 || (entry.reparseTag & kReparseTagNameSurrogate) != 0;
}

EntryTester::EntryTester(const SearchSnapshot& snapshot, platform::FileSystem& fileSystem,
                         const platform::LocalTimeConverter& localTime, SkipCounts& skipped,
                         std::function<bool()> stopRequested)
    : m_snapshot(snapshot), m_fileSystem(fileSystem), m_localTime(localTime), m_skipped(skipped),
      m_scanner(snapshot.hasContent ? ContentText{snapshot.content, snapshot.contentAnsi} : ContentText{},
                snapshot.ignoreCase, stopRequested, snapshot.containerKinds)
{
    if (snapshot.scanAhead && snapshot.hasContent)
        m_scanAhead = std::make_unique<FileScanAhead>(
            fileSystem, ContentText{snapshot.content, snapshot.contentAnsi}, snapshot.ignoreCase,
            std::move(stopRequested), snapshot.containerKinds);
}

bool EntryTester::TimeMatches(uint64_t fileTime, TDateTime before, TDateTime after) const
{
    if (before == 0 && after == 0)
        return true;
    const std::optional<TDateTime> time = FileTimeToDateTime(fileTime, m_localTime);
    // A time the platform cannot place in the calendar cannot be shown to be inside the bounds.
    return time && DateInRange(*time, before, after);
}

bool EntryTester::EntryMatches(const std::string& folder, const platform::FindData& entry)
{
    if (!PassesListedTests(folder, entry))
        return false;
    if (!m_snapshot.hasContent || (entry.attributes & kAttrDirectory))
        return true;
    return ContentMatches();
}

bool EntryTester::ScanAhead(const std::string& folder, const platform::FindData& entry)
{
    if (!m_scanAhead || (entry.attributes & kAttrDirectory) || entry.size < kScanAheadFrom ||
        !PassesListedTests(folder, entry))
        return false;
    m_scanAhead->Announce(m_path);
    return true;
}

void EntryTester::ForgetScansAhead()
{
    if (m_scanAhead)
        m_scanAhead->Clear();
}

bool EntryTester::PassesListedTests(const std::string& folder, const platform::FindData& entry)
{
    const SearchSnapshot& s = m_snapshot;
    if (!AttributesMatch(entry.attributes, s.attributes, s.exactAttribute))
        return false;
    if (!SizeMatches(entry, s.sizeMin, s.sizeMax))
        return false;
    if (!TimeMatches(entry.creationTime, s.createdBefore, s.createdAfter))
        return false;
    if (!TimeMatches(entry.lastWriteTime, s.modifiedBefore, s.modifiedAfter))
        return false;
    if (!TimeMatches(entry.lastAccessTime, s.accessedBefore, s.accessedAfter))
        return false;
    if (!s.excludeFiles.empty() || (s.hasContent && !(entry.attributes & kAttrDirectory)))
    {
        m_path.assign(folder);
        m_path.append(entry.name);
    }
    for (const std::string& line : s.excludeFiles)
        if (MaskMatches(m_path, line))
            return false;
    return true;
}

bool EntryTester::ContentMatches()
{
    switch (m_scanAhead ? m_scanAhead->Take(m_path, m_scanner) : m_scanner.Scan(m_fileSystem, m_path))
    {
    case ScanOutcome::Contains:
        return true;
    case ScanOutcome::Lacks:
    case ScanOutcome::Stopped: // the run ends: not a skip
        break;
    case ScanOutcome::Vanished:
        ++m_skipped.entriesVanished;
        break;
    case ScanOutcome::Unreadable:
        ++m_skipped.filesUnreadable;
        break;
    }
    return false;
}

} // namespace engine
