#pragma once
// What a run could not look into. The walk goes on past each of these (nothing stops it), so they
// are counted for the end of the run instead: a search that finds nothing can then say why.
#include <cstdint>
#include <string>
#include <vector>

namespace engine
{

struct SkipCounts
{
    uint64_t foldersDenied = 0;    // folders whose listing was refused (access denied)
    uint64_t foldersFailed = 0;    // folders that could not be listed for another reason
    uint64_t entriesVanished = 0;  // listed, then gone when entered or opened
    uint64_t filesUnreadable = 0;  // files that could not be opened or read for the containing text
    uint64_t linksNotFollowed = 0; // folder links (junctions, symbolic links) the walk did not enter
    uint64_t pathsTooLong = 0;     // folders beyond the length the system can address

    bool Any() const
    {
        return foldersDenied || foldersFailed || entriesVanished || filesUnreadable || linksNotFollowed ||
               pathsTooLong;
    }
};

// The skips of one run, and the folders of its targets that were not there at all (in the
// folder form of the events), which a caller reports as a mistake rather than as a skip.
struct SkipReport
{
    SkipCounts counts;
    std::vector<std::string> missingFolders;
};

} // namespace engine
