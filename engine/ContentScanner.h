#pragma once
// The content test of one file: whether it holds a text, read block by block.
#include "engine/ContainerKinds.h"
#include "engine/DocumentText.h"
#include "engine/TextSearch.h"
#include "platform/FileSystem.h"

#include <functional>
#include <optional>
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
    Stopped,    // the scan was asked to stop before the file was read to its end
};

// The text to find, in the forms a file may hold it in.
struct ContentText
{
    std::string utf8;
    // The text in the ANSI code page where that differs from its UTF-8 form; empty when it does not
    // differ or the code page cannot hold the text.
    std::string ansi;
};

// Finds a text in a file, block by block, with one buffer reused for every file it scans.
class ContentScanner
{
public:
    // stopRequested, when given, is polled between blocks on the thread that scans. A file of a
    // kind in opened is searched in the text inside it (ContentScannerContainers.cpp).
    ContentScanner(const ContentText& text, bool ignoreCase, std::function<bool()> stopRequested = {},
                   ContainerKinds opened = ContainerKinds{false, false});
    ContentScanner(std::string text, bool ignoreCase, std::function<bool()> stopRequested = {},
                   ContainerKinds opened = ContainerKinds{false, false});
    // Whether the file holds the text in its encoding (TextEncoding.h): a UTF-16 file in its UTF-8
    // form, decoded; a UTF-8 file in the text's UTF-8 form; an ANSI file in either form, as the
    // first bytes may not tell UTF-8 that starts in ASCII. A plain file is compared undecoded. A
    // read error ends the scan with what was found so far. The file is closed on return.
    ScanOutcome Scan(platform::FileSystem& fileSystem, const std::string& path);
    // True when Scan says Contains.
    bool FileContains(platform::FileSystem& fileSystem, const std::string& path);
    // The same over bytes in memory, as in an ANSI file; exposed for the scan's own boundary tests.
    bool Contains(const char* data, size_t size) const;

    // Large reads: under Wine each read call costs more than comparing its bytes, and the overlap
    // of consecutive blocks keeps the answers independent of the block size. A block just read is
    // still in the processor's cache when it is compared.
    static constexpr size_t kBlockSize = 256 * 1024;

private:
    bool Contains(const char* data, size_t size, bool ansiToo) const;
    ScanOutcome ScanContainer(platform::FileSystem& fileSystem, const std::string& path, ContainerKind kind);

    TextSearch m_search;
    std::optional<TextSearch> m_ansiSearch; // when the text's ANSI form differs
    std::function<bool()> m_stopRequested;
    ContainerKinds m_opened;
    std::vector<char> m_buffer; // the previous block's last (length - 1) bytes, then a new block
};

} // namespace engine
