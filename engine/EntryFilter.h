#pragma once
// The filter chain that every listed entry of a run passes through, and the snapshot of criteria it
// reads. Everything here is free of threads and may run on the worker.
#include "engine/FindCriteria.h"
#include "engine/FindFileTypes.h"
#include "engine/SkipCounts.h"
#include "engine/TextSearch.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"

#include <array>
#include <cstdint>
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
    bool prefetch = false;            // folders are opened ahead on a helper thread
};

bool AttributesMatch(uint32_t attr, TFileAttributes wanted, bool exact);

// Inclusive bounds, 0 = no bound; folders are never rejected by size.
bool SizeMatches(const platform::FindData& entry, int64_t sizeMin, int64_t sizeMax);

// A junction or symbolic link (or Wine's view of a Unix symlink, tag 0): the walk does not enter
// it, so a link loop cannot repeat the same results until the path limit.
bool IsNameSurrogate(const platform::FindData& entry);

// What a content scan of one file found out.
enum class ScanOutcome
{
    Contains,
    Lacks,
    Vanished,   // the file was not there any more
    Unreadable, // it could not be opened, or a read failed before the text was found
};

// Finds a text in a file, block by block, with one buffer reused for every file it scans.
class ContentScanner
{
public:
    ContentScanner(std::string text, bool ignoreCase);
    // Whether the file holds the text (a file with a UTF-16 byte-order mark: in its UTF-8 form); a
    // read error ends the scan with what was found so far.
    ScanOutcome Scan(platform::FileSystem& fileSystem, const std::string& path);
    // True when Scan says Contains.
    bool FileContains(platform::FileSystem& fileSystem, const std::string& path);
    // The same over bytes in memory; exposed for the scan's own boundary tests.
    bool Contains(const char* data, size_t size) const;

    // Large reads: under Wine each read call costs more than comparing its bytes, and the overlap
    // of consecutive blocks keeps the answers independent of the block size.
    static constexpr size_t kBlockSize = 256 * 1024;

private:
    TextSearch m_search;
    std::vector<char> m_buffer; // the previous block's last (length - 1) bytes, then a new block
};

// Everything a run needs to test entries: the snapshot plus the services and scratch state.
class EntryTester
{
public:
    EntryTester(const SearchSnapshot& snapshot, platform::FileSystem& fileSystem,
                const platform::LocalTimeConverter& localTime, SkipCounts& skipped);
    // The chain in order: attributes, size, creation, last-write and last-access dates,
    // exclusions, content. The first test that fails rejects the entry; a file whose content
    // cannot be read is rejected and counted in skipped.
    bool EntryMatches(const std::string& folder, const platform::FindData& entry);

private:
    bool TimeMatches(uint64_t fileTime, TDateTime before, TDateTime after) const;
    bool ContentMatches();

    const SearchSnapshot& m_snapshot;
    platform::FileSystem& m_fileSystem;
    const platform::LocalTimeConverter& m_localTime;
    SkipCounts& m_skipped;
    ContentScanner m_scanner;
    std::string m_path; // reused full-path buffer
};

} // namespace engine
