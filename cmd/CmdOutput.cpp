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

namespace
{

std::string Field(std::string text)
{
    for (char& c : text)
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    return text;
}

} // namespace

std::string NetRowLine(const network::NetRow& row)
{
    if (row.caption.empty())
        return "domain\t" + Field(row.cells.size() > 1 ? row.cells[1] : std::string()) + "\n";
    std::string line = "computer\t" + Field(row.caption);
    for (size_t i = 0; i < 4; ++i)
        line += "\t" + Field(i < row.cells.size() ? row.cells[i] : std::string());
    return line + "\n";
}

std::string NetCompleteLine(long long rows)
{
    return "complete\t" + std::to_string(rows) + "\n";
}

} // namespace cmd
