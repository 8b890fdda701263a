#include "cmd/CmdOutput.h"

#include <cstdio>

namespace cmd
{

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '\\')
        return folder + name;
    return folder + "\\" + name;
}

std::string FormatLocalTime(const std::optional<platform::CalendarTime>& time)
{
    if (!time)
        return {};
    char text[32];
    std::snprintf(text, sizeof(text), "%04d-%02d-%02d %02d:%02d:%02d", time->year, time->month, time->day,
                  time->hour, time->minute, time->second);
    return text;
}

std::string FolderLine(const std::string& folder)
{
    return "folder\t" + folder + "\n";
}

std::string FoundLine(const std::string& folder, const engine::TSearchRec& record,
                      const std::optional<platform::CalendarTime>& lastWrite)
{
    char attributes[16];
    std::snprintf(attributes, sizeof(attributes), "%08x", static_cast<unsigned>(record.Attr));
    return "found\t" + folder + "\t" + record.Name + "\t" + std::to_string(record.Size) + "\t" + attributes +
           "\t" + FormatLocalTime(lastWrite) + "\n";
}

std::string CompleteLine(long long count, bool aborted)
{
    return "complete\t" + std::to_string(count) + "\t" + (aborted ? "1" : "0") + "\n";
}

} // namespace cmd
