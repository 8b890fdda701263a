#include "engine/ContentScanner.h"

#include "engine/TextReader.h"

#include <algorithm>
#include <cstring>

namespace engine
{

ContentScanner::ContentScanner(const ContentText& text, bool ignoreCase, std::function<bool()> stopRequested,
                               ContainerKinds opened)
    : m_search(text.utf8, ignoreCase ? AsciiUpperFold() : IdentityFold()),
      m_stopRequested(std::move(stopRequested)), m_opened(opened)
{
    if (!text.ansi.empty() && text.ansi != text.utf8)
        m_ansiSearch.emplace(text.ansi, ignoreCase ? AsciiUpperFold() : IdentityFold());
}

ContentScanner::ContentScanner(std::string text, bool ignoreCase, std::function<bool()> stopRequested,
                               ContainerKinds opened)
    : ContentScanner(ContentText{std::move(text), {}}, ignoreCase, std::move(stopRequested), opened)
{
}

bool ContentScanner::Contains(const char* data, size_t size) const
{
    return Contains(data, size, true);
}

bool ContentScanner::Contains(const char* data, size_t size, bool ansiToo) const
{
    return m_search.Contains(data, size) || (ansiToo && m_ansiSearch && m_ansiSearch->Contains(data, size));
}

bool ContentScanner::FileContains(platform::FileSystem& fileSystem, const std::string& path)
{
    return Scan(fileSystem, path) == ScanOutcome::Contains;
}

ScanOutcome ContentScanner::Scan(platform::FileSystem& fileSystem, const std::string& path)
{
    if (m_search.Length() == 0)
        return ScanOutcome::Contains;
    const ContainerKind kind = ContainerKindOf(path, m_opened);
    if (kind != ContainerKind::None)
        return ScanContainer(fileSystem, path, kind);
    platform::OpenFailure failure = platform::OpenFailure::None;
    RecognisedEncoding recognised;
    std::unique_ptr<platform::FileReader> reader =
        TextReader(fileSystem.OpenFile(path, platform::FileShare::ReadWrite, failure), &recognised);
    if (!reader)
        return failure == platform::OpenFailure::NotFound ? ScanOutcome::Vanished : ScanOutcome::Unreadable;
    const bool ansiToo = recognised.encoding == TextEncoding::Ansi && m_ansiSearch;
    // Consecutive blocks overlap by length - 1 bytes, so a text that straddles a block boundary is
    // still seen whole in one window.
    const size_t overlap = std::max(m_search.Length(), ansiToo ? m_ansiSearch->Length() : 0) - 1;
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
        if (filled > 0 && Contains(m_buffer.data(), total, ansiToo))
            return ScanOutcome::Contains;
        if (last)
            return failed ? ScanOutcome::Unreadable : ScanOutcome::Lacks;
        if (m_stopRequested && m_stopRequested())
            return ScanOutcome::Stopped;
        kept = std::min(overlap, total);
        std::memmove(m_buffer.data(), m_buffer.data() + total - kept, kept);
    }
}

} // namespace engine
