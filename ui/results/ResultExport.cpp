#include "ui/results/ResultExport.h"

#include <cstdio>

namespace ui
{

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
    {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string CsvLine(const std::vector<std::string>& fields)
{
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i)
    {
        if (i > 0)
            line += ',';
        line += CsvField(fields[i]);
    }
    return line + "\r\n";
}

std::string IsoLocalTime(const platform::CalendarTime& time)
{
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", time.year, time.month, time.day,
                  time.hour, time.minute, time.second);
    return text;
}

std::vector<std::string> CsvHeader(const std::string& lastColumn)
{
    return {"Name", "Folder", "Path", "Size", "Modified", lastColumn};
}

namespace
{

// The byte-order mark and the header line.
std::string CsvStart()
{
    return "\xEF\xBB\xBF" + CsvLine(CsvHeader("Type"));
}

} // namespace

std::string RowCsvLine(const ResultRow& row)
{
    const std::string& folder = row.Text(1);
    return CsvLine({row.caption, folder, JoinPath(folder, row.caption),
                    row.size ? std::to_string(*row.size) : std::string(),
                    row.modified ? IsoLocalTime(*row.modified) : std::string(), row.Text(4)});
}

std::string ResultsCsv(const std::vector<ResultRow>& rows)
{
    std::string text = CsvStart();
    for (const ResultRow& row : rows)
        text += RowCsvLine(row);
    return text;
}

std::string ResultsCsv(const ResultStore& rows)
{
    std::string text = CsvStart();
    for (size_t i = 0; i < rows.Size(); ++i)
        text += RowCsvLine(rows.Row(i));
    return text;
}

std::string ResultsPathList(const std::vector<ResultRow>& rows)
{
    std::string text;
    for (const ResultRow& row : rows)
        text += JoinPath(row.Text(1), row.caption) + "\r\n";
    return text;
}

std::string ResultsPathList(const ResultStore& rows)
{
    std::string text;
    for (size_t i = 0; i < rows.Size(); ++i)
        text += rows.Path(i) + "\r\n";
    return text;
}

} // namespace ui
