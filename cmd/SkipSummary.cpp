#include "cmd/SkipSummary.h"

#include <vector>

namespace cmd
{

namespace
{

struct CountText
{
    uint64_t engine::SkipCounts::*count;
    const char* one;  // the text after the number when it is 1
    const char* many; // after any other number
};

const std::vector<CountText> kTexts = {
    {&engine::SkipCounts::foldersDenied, "folder could not be read (access denied)",
     "folders could not be read (access denied)"},
    {&engine::SkipCounts::foldersFailed, "folder could not be read", "folders could not be read"},
    {&engine::SkipCounts::entriesVanished, "entry vanished while it was searched",
     "entries vanished while they were searched"},
    {&engine::SkipCounts::filesUnreadable, "file could not be read for the containing text",
     "files could not be read for the containing text"},
    {&engine::SkipCounts::linksNotFollowed, "folder link was not followed", "folder links were not followed"},
    {&engine::SkipCounts::pathsTooLong, "path was too long for the system",
     "paths were too long for the system"},
};

} // namespace

std::string SkipSummaryLine(const engine::SkipCounts& counts)
{
    std::string line;
    for (const CountText& text : kTexts)
    {
        const uint64_t count = counts.*text.count;
        if (count == 0)
            continue;
        if (!line.empty())
            line += "; ";
        line += std::to_string(count) + " " + (count == 1 ? text.one : text.many);
    }
    return line.empty() ? line : "FindFileCmd: " + line + "\n";
}

std::string MissingFolderLine(const std::string& folder)
{
    return "FindFileCmd: folder not found: " + folder + "\n";
}

} // namespace cmd
