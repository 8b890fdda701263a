#pragma once
// The filter chain that every listed entry of a run passes through, and the snapshot of criteria it
// reads. Everything here is free of threads and may run on the worker.
#include "engine/ContentScanner.h"
#include "engine/FileScanAhead.h"
#include "engine/FindCriteria.h"
#include "engine/FindFileTypes.h"
#include "engine/SkipCounts.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace engine
{

// FILE_ATTRIBUTE_* bits the engine reads.
constexpr uint32_t kAttrReadonly = 0x01;
constexpr uint32_t kAttrHidden = 0x02;
constexpr uint32_t kAttrSystem = 0x04;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrArchive = 0x20;
constexpr uint32_t kAttrReparsePoint = 0x400;
constexpr uint32_t kReparseTagNameSurrogate = 0x20000000;

// The criteria of one run, copied whole at its start; the run reads nothing else.
struct SearchSnapshot : FindCriteria
{
    std::vector<std::string> targets; // folder ending with a backslash, then one mask
    bool hasContent = false;          // the content test is on
    std::string content;              // the text, cut at its first zero byte
    std::string contentAnsi;          // the text in the ANSI code page, when that form differs
    bool prefetch = false;            // folders are opened ahead on a helper thread
    bool scanAhead = false;           // long files are scanned ahead on a helper thread
};

bool AttributesMatch(uint32_t attr, TFileAttributes wanted, bool exact);

// Inclusive bounds, 0 = no bound; folders are never rejected by size.
bool SizeMatches(const platform::FindData& entry, int64_t sizeMin, int64_t sizeMax);

// A junction or symbolic link (or Wine's view of a Unix symlink, tag 0): the walk does not enter
// it, so a link loop cannot repeat the same results until the path limit.
bool IsNameSurrogate(const platform::FindData& entry);

// Everything a run needs to test entries: the snapshot plus the services and scratch state.
class EntryTester
{
public:
    // stopRequested, when given, ends the content scan of a long file between its blocks.
    EntryTester(const SearchSnapshot& snapshot, platform::FileSystem& fileSystem,
                const platform::LocalTimeConverter& localTime, SkipCounts& skipped,
                std::function<bool()> stopRequested = {});
    // The chain in order: attributes, size, creation, last-write and last-access dates,
    // exclusions, content. The first test that fails rejects the entry; a file whose content
    // cannot be read is rejected and counted in skipped.
    bool EntryMatches(const std::string& folder, const platform::FindData& entry);
    // With scanAhead: when testing entry will compare the text of a file long enough to pay for
    // the hand-over, starts that scan on the helper, for EntryMatches to take in turn; true then.
    bool ScanAhead(const std::string& folder, const platform::FindData& entry);
    bool ScansAhead() const { return m_scanAhead != nullptr; }
    // Files scanned ahead that will not be tested (the walk stopped, or left their folder).
    void ForgetScansAhead();

    // A shorter file costs less to scan where it is tested than to hand over.
    static constexpr uint64_t kScanAheadFrom = ContentScanner::kBlockSize;

private:
    // Every test but the content's; sets m_path when the content or an exclusion needs it.
    bool PassesListedTests(const std::string& folder, const platform::FindData& entry);
    bool TimeMatches(uint64_t fileTime, TDateTime before, TDateTime after) const;
    bool ContentMatches();

    const SearchSnapshot& m_snapshot;
    platform::FileSystem& m_fileSystem;
    const platform::LocalTimeConverter& m_localTime;
    SkipCounts& m_skipped;
    ContentScanner m_scanner;
    std::unique_ptr<FileScanAhead> m_scanAhead; // null on one processor or without a text
    std::string m_path;                         // reused full-path buffer
};

} // namespace engine
