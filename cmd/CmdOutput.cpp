#include "cmd/CmdOutput.h"

#include "ui/results/ResultExport.h"

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

namespace
{

std::string AttributeText(const engine::TSearchRec& record)
{
    char attributes[16];
    std::snprintf(attributes, sizeof(attributes), "%08x", static_cast<unsigned>(record.Attr));
    return attributes;
}

} // namespace

std::string FoundLine(const std::string& folder, const engine::TSearchRec& record,
                      const std::optional<platform::CalendarTime>& lastWrite)
{
    return "found\t" + TsvLine(folder, record, lastWrite);
}

std::string TsvLine(const std::string& folder, const engine::TSearchRec& record,
                    const std::optional<platform::CalendarTime>& lastWrite)
{
    return folder + "\t" + record.Name + "\t" + std::to_string(record.Size) + "\t" + AttributeText(record) +
           "\t" + FormatLocalTime(lastWrite) + "\n";
}

// The console's lines end with a line feed alone, like the other forms.
std::string CsvHeaderLine()
{
    std::string line = ui::CsvLine(ui::CsvHeader("Attributes"));
    return line.substr(0, line.size() - 2) + "\n";
}

std::string CsvLine(const std::string& folder, const engine::TSearchRec& record,
                    const std::optional<platform::CalendarTime>& lastWrite)
{
    std::string line =
        ui::CsvLine({record.Name, folder, JoinPath(folder, record.Name), std::to_string(record.Size),
                     lastWrite ? ui::IsoLocalTime(*lastWrite) : std::string(), AttributeText(record)});
    return line.substr(0, line.size() - 2) + "\n";
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

std::string NetRowLine(const network::NetRow& row, const network::MacCell& mac)
{
    if (row.caption.empty())
        return "domain\t" + Field(row.cells.size() > 1 ? row.cells[1] : std::string()) + "\n";
    std::string line = "computer\t" + Field(row.caption);
    for (size_t i = 0; i < 3; ++i)
        line += "\t" + Field(i < row.cells.size() ? row.cells[i] : std::string());
    return line + "\t" + Field(mac.text) + "\t" + Field(mac.vendor) + "\t" +
           network::NameSourceKey(row.source) + "\n";
}

std::string NetCompleteLine(long long rows)
{
    return "complete\t" + std::to_string(rows) + "\n";
}

} // namespace cmd
