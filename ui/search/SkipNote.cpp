#include "ui/search/SkipNote.h"

#include "lang/TextIds.h"

namespace ui
{

SkipNote MakeSkipNote(const engine::SkipReport& report, const lang::TextStore& texts)
{
    using namespace lang::text;
    const engine::SkipCounts& c = report.counts;
    const std::pair<int, uint64_t> kinds[] = {
        {kSkippedFoldersDenied, c.foldersDenied},
        {kSkippedFoldersFailed, c.foldersFailed},
        {kSkippedMissingFolders, report.missingFolders.size()},
        {kSkippedVanished, c.entriesVanished},
        {kSkippedUnreadable, c.filesUnreadable},
        {kSkippedLinks, c.linksNotFollowed},
        {kSkippedPathsTooLong, c.pathsTooLong},
    };
    SkipNote result;
    uint64_t total = 0;
    for (const auto& [text, count] : kinds)
    {
        if (count == 0)
            continue;
        total += count;
        if (!result.details.empty())
            result.details += "\r\n";
        result.details += texts.Text(text) + std::to_string(count);
    }
    if (total > 0)
        result.note = texts.Text(kSkippedNote) + std::to_string(total);
    return result;
}

} // namespace ui
