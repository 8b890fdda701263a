#include "engine/EntryFilter.h"

#include "engine/DateTime.h"
#include "engine/MaskMatch.h"
#include "engine/TextReader.h"

#include <algorithm>
#include <cstring>

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

ContentScanner::ContentScanner(std::string text, bool ignoreCase)
    : m_search(text, ignoreCase ? AsciiUpperFold() : IdentityFold())
{
}

bool ContentScanner::Contains(const char* data, size_t size) const
{
    return m_search.Contains(data, size);
}

bool ContentScanner::FileContains(platform::FileSystem& fileSystem, const std::string& path)
{
    return Scan(fileSystem, path) == ScanOutcome::Contains;
}

ScanOutcome ContentScanner::Scan(platform::FileSystem& fileSystem, const std::string& path)
{
    if (m_search.Length() == 0)
        return ScanOutcome::Contains;
    platform::OpenFailure failure = platform::OpenFailure::None;
    std::unique_ptr<platform::FileReader> reader =
        TextReader(fileSystem.OpenFile(path, platform::FileShare::ReadWrite, failure));
    if (!reader)
        return failure == platform::OpenFailure::NotFound ? ScanOutcome::Vanished : ScanOutcome::Unreadable;
    // Consecutive blocks overlap by length - 1 bytes, so a text that straddles a block boundary is
    // still seen whole in one window.
    const size_t overlap = m_search.Length() - 1;
    m_buffer.resize(overlap + kBlockSize); // once per scanner: later files find it in place
    size_t kept = 0;
    for (;;)
    {
        // A block is filled whole unless the file ends or a read fails first: short reads (the
        // text reader's look at the first bytes, for one) do not cost a scan each.
        size_t filled = 0;
        bool last = false;
        bool failed = false;
        while (filled < kBlockSize && !last)
        {
            const int64_t read = reader->Read(m_buffer.data() + kept + filled, kBlockSize - filled);
            if (read > 0)
                filled += static_cast<size_t>(read);
            failed = read < 0;
            last = read <= 0 || reader->Position() >= reader->Size();
        }
        const size_t total = kept + filled;
        if (filled > 0 && Contains(m_buffer.data(), total))
            return ScanOutcome::Contains;
        if (last)
            return failed ? ScanOutcome::Unreadable : ScanOutcome::Lacks;
        kept = std::min(overlap, total);
        std::memmove(m_buffer.data(), m_buffer.data() + total - kept, kept);
    }
}

EntryTester::EntryTester(const SearchSnapshot& snapshot, platform::FileSystem& fileSystem,
                         const platform::LocalTimeConverter& localTime, SkipCounts& skipped)
    : m_snapshot(snapshot), m_fileSystem(fileSystem), m_localTime(localTime), m_skipped(skipped),
      m_scanner(snapshot.hasContent ? snapshot.content : std::string(), snapshot.ignoreCase)
{
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
    if (!s.hasContent || (entry.attributes & kAttrDirectory))
        return true;
    return ContentMatches();
}

bool EntryTester::ContentMatches()
{
    switch (m_scanner.Scan(m_fileSystem, m_path))
    {
    case ScanOutcome::Contains:
        return true;
    case ScanOutcome::Lacks:
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
