#pragma once
// The lines of a file that hold a text, with the lines around them: why a file matched, for the
// console's output and the preview pane. The file is streamed block by block in the encoding its
// first bytes tell (TextEncoding.h), so its size does not matter.
#include "engine/ContainerKinds.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace engine
{

struct HitLine
{
    std::string member;  // empty for a plain file; a document's or archive member's name
    uint64_t number = 0; // 1-based line number
    // The line as UTF-8, without its line break, cut to kHitLineTextLimit bytes on a character
    // boundary.
    std::string text;
    std::vector<std::pair<size_t, size_t>> hits; // (offset, length) in bytes of text of each hit
    bool context = false;                        // a line around a hit, holding no hit
};

struct HitLinesResult
{
    enum class Outcome
    {
        Read,
        Vanished,   // the file was not there
        Unreadable, // it could not be opened, or a read failed (lines holds what was read before)
        Stopped,    // stopRequested answered true between two blocks
    } outcome = Outcome::Read;
    std::vector<HitLine> lines; // in file order; a context line shared by two hits appears once
    bool cutOff = false;        // more hit lines than maxHits: the rest were not collected
    std::string encoding;       // what was recognised, e.g. "UTF-16 LE" (EncodingName)
};

struct HitLinesQuery
{
    std::string text;       // UTF-8; empty finds no line
    bool ignoreCase = true; // ASCII letters only, as the content test
    unsigned context = 2;   // lines before and after each hit line
    size_t maxHits = 1000;  // hit lines collected at most
    // The ANSI code page: the text's form in an ANSI file, and how such a file's lines read as
    // UTF-8. None: Latin-1.
    const platform::CodePage* codePage = nullptr;
    // The kinds of file read as the text inside them (documents, zip archives): their lines are
    // those of each part or member, named in HitLine::member.
    ContainerKinds containers{false, false};
};

// A line's text is cut here; a hit past the cut is not marked, though the line still counts.
constexpr size_t kHitLineTextLimit = 4096;
// A line is searched for hits up to here; a longer line is still counted.
constexpr size_t kHitLineSearchLimit = 64 * 1024;

// Lines end at CR LF, CR or LF; a last line without a break counts when it holds something. Hits
// on a line do not overlap and are found left to right. stopRequested, when given, is polled
// between blocks.
HitLinesResult FindHitLines(platform::FileSystem& fileSystem, const std::string& path,
                            const HitLinesQuery& query, const std::function<bool()>& stopRequested = {});

} // namespace engine
