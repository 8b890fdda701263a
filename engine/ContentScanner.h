#pragma once
// The content test of one file: whether it holds a text, read block by block.
#include "engine/FileBlocks.h"
#include "engine/FileReadAhead.h"
#include "engine/TextSearch.h"
#include "platform/FileSystem.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace engine
{

// What a content scan of one file found out.
enum class ScanOutcome
{
    Contains,
    Lacks,
    Vanished,   // the file was not there any more
    Unreadable, // it could not be opened, or a read failed before the text was found
    Stopped,    // the run was asked to stop before the file was read to its end
};

// Finds a text in a file, block by block, with the same buffers reused for every file it scans.
class ContentScanner
{
public:
    // With readAhead, a file of several blocks is read on a helper thread while this one compares
    // (worth it only with a second processor). stopRequested, when given, is polled between blocks.
    ContentScanner(std::string text, bool ignoreCase, bool readAhead = false,
                   std::function<bool()> stopRequested = {});
    // Whether the file holds the text (a file with a UTF-16 byte-order mark: in its UTF-8 form); a
    // read error ends the scan with what was found so far. The file is closed on return.
    ScanOutcome Scan(platform::FileSystem& fileSystem, const std::string& path);
    // True when Scan says Contains.
    bool FileContains(platform::FileSystem& fileSystem, const std::string& path);
    // The same over bytes in memory; exposed for the scan's own boundary tests.
    bool Contains(const char* data, size_t size) const;

    // Large reads: under Wine each read call costs more than comparing its bytes, and the overlap
    // of consecutive blocks keeps the answers independent of the block size.
    static constexpr size_t kBlockSize = 256 * 1024;
    // Blocks read ahead: 2 MiB, enough that neither side waits on the other's every block.
    static constexpr size_t kReadAheadBlocks = 8;
    // Files of more blocks than this are read ahead; a shorter one costs less read where it is
    // compared than the helper's two wake-ups would.
    static constexpr size_t kReadAheadFromBlocks = 4;

private:
    bool WorthReadingAhead(const platform::FileReader& reader) const;
    FileReadAhead& ReadAhead();
    // Consecutive blocks overlap by the text's length - 1 bytes, so a text that straddles a block
    // boundary is still seen whole.
    ScanOutcome ScanBlocks(BlockSource& blocks);

    TextSearch m_search;
    const size_t m_overlap; // the text's length - 1
    const bool m_readAhead;
    std::function<bool()> m_stopRequested;
    std::vector<char> m_buffer;             // for reading on this thread: room for the overlap, then a block
    std::vector<char> m_tail;               // the last bytes of the block before
    std::unique_ptr<FileReadAhead> m_ahead; // made at the first file worth reading ahead
};

} // namespace engine
