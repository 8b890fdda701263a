#include "engine/ContentScanner.h"

#include "engine/TextReader.h"

#include <algorithm>
#include <cstring>

namespace engine
{

ContentScanner::ContentScanner(std::string text, bool ignoreCase, bool readAhead,
                               std::function<bool()> stopRequested)
    : m_search(text, ignoreCase ? AsciiUpperFold() : IdentityFold()),
      m_overlap(m_search.Length() == 0 ? 0 : m_search.Length() - 1), m_readAhead(readAhead),
      m_stopRequested(std::move(stopRequested))
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
    if (WorthReadingAhead(*reader))
    {
        FileReadAhead& ahead = ReadAhead();
        ahead.Start(std::move(reader));
        const FinishedFile finished(ahead);
        return ScanBlocks(ahead);
    }
    m_buffer.resize(m_overlap + kBlockSize); // once per scanner: later files find it in place
    InlineBlocks blocks(*reader, m_buffer.data(), m_overlap, kBlockSize);
    return ScanBlocks(blocks);
}

bool ContentScanner::WorthReadingAhead(const platform::FileReader& reader) const
{
    return m_readAhead && reader.Size() > kReadAheadFromBlocks * kBlockSize;
}

FileReadAhead& ContentScanner::ReadAhead()
{
    if (!m_ahead)
        m_ahead = std::make_unique<FileReadAhead>(m_overlap, kBlockSize, kReadAheadBlocks);
    return *m_ahead;
}

ScanOutcome ContentScanner::ScanBlocks(BlockSource& blocks)
{
    m_tail.resize(m_overlap);
    size_t kept = 0;
    for (;;)
    {
        const FileBlock block = blocks.Next();
        char* const start = block.data - kept;
        if (kept > 0)
            std::memcpy(start, m_tail.data(), kept);
        const size_t total = kept + block.filled.size;
        if (block.filled.size > 0 && Contains(start, total))
            return ScanOutcome::Contains;
        if (block.filled.last)
            return block.filled.failed ? ScanOutcome::Unreadable : ScanOutcome::Lacks;
        kept = std::min(m_overlap, total);
        if (kept > 0)
            std::memcpy(m_tail.data(), start + total - kept, kept);
        blocks.Release();
        if (m_stopRequested && m_stopRequested())
            return ScanOutcome::Stopped;
    }
}

} // namespace engine
