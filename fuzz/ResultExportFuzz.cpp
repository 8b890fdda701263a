// Result sets written out for other programs, read back: CSV (RFC 4180) by a reader of its own,
// the console's tab-separated lines by splitting. Input: a choice byte, then fields separated by
// byte 1.
#include "cmd/CmdOutput.h"
#include "fuzz/FuzzSupport.h"
#include "ui/results/ResultExport.h"

namespace
{

using Fields = std::vector<std::string>;

// One record from at: fields separated by commas, a field in double quotes may hold anything (a
// quote doubled), the record ends with CR LF or LF. False when the text ends before a line end.
bool ReadCsvRecord(const std::string& text, size_t& at, Fields& fields)
{
    fields.assign(1, std::string());
    bool quoted = false;
    bool fieldStart = true;
    while (at < text.size())
    {
        const char c = text[at++];
        if (quoted)
        {
            if (c != '"')
                fields.back() += c;
            else if (at < text.size() && text[at] == '"')
                fields.back() += text[at++];
            else
                quoted = false;
            continue;
        }
        if (c == '"' && fieldStart)
            quoted = true;
        else if (c == ',')
            fields.emplace_back();
        else if (c == '\n')
            return true;
        else if (c == '\r' && at < text.size() && text[at] == '\n')
            return ++at, true;
        else
            fields.back() += c;
        fieldStart = c == ',';
    }
    return false;
}

Fields Split(const std::string& line, char separator)
{
    Fields fields(1);
    for (char c : line)
        if (c == separator)
            fields.emplace_back();
        else
            fields.back() += c;
    return fields;
}

std::string Flattened(std::string text)
{
    for (char& c : text)
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    return text;
}

void CheckCsvLine(const Fields& fields)
{
    if (fields.empty())
        return; // no field is no line
    const std::string line = ui::CsvLine(fields);
    size_t at = 0;
    Fields back;
    fuzz::Check(ReadCsvRecord(line, at, back) && at == line.size() && back == fields,
                "a CSV line reads back");
}

void CheckResultsCsv(const Fields& fields)
{
    std::vector<ui::ResultRow> rows;
    for (size_t i = 0; i + 1 < fields.size(); i += 2)
        rows.push_back(
            {fields[i], {fields[i + 1], "1 KB", "1/2/2003", fields[i]}, -1, int64_t(i), std::nullopt});
    const std::string document = ui::ResultsCsv(rows);
    fuzz::Check(document.compare(0, 3, "\xEF\xBB\xBF") == 0, "the document starts with its byte-order mark");
    size_t at = 3;
    Fields record;
    fuzz::Check(ReadCsvRecord(document, at, record) && record == ui::CsvHeader("Type"),
                "the header reads back");
    for (const ui::ResultRow& row : rows)
    {
        fuzz::Check(ReadCsvRecord(document, at, record) && record.size() == 6, "a row reads back whole");
        fuzz::Check(record[0] == row.caption && record[1] == row.cells[0] && record[5] == row.cells[3] &&
                        record[3] == std::to_string(*row.size),
                    "a row's cells read back");
    }
    fuzz::Check(at == document.size(), "nothing follows the last row");
}

void CheckConsoleLines(const Fields& fields, uint8_t choice)
{
    const std::string folder = fields.empty() ? std::string() : fields[0];
    engine::TSearchRec record;
    record.Name = fields.size() > 1 ? fields[1] : std::string();
    record.Size = static_cast<int64_t>(choice) << (choice % 40);
    record.Attr = choice;
    platform::CalendarTime time;
    time.year = 1601 + choice;
    const std::optional<platform::CalendarTime> lastWrite =
        choice & 1 ? std::optional<platform::CalendarTime>(time) : std::nullopt;

    const std::string csv = cmd::CsvLine(folder, record, lastWrite);
    size_t at = 0;
    Fields back;
    fuzz::Check(ReadCsvRecord(csv, at, back) && at == csv.size() && back.size() == 6 &&
                    back[0] == record.Name && back[1] == folder &&
                    back[2] == cmd::JoinPath(folder, record.Name),
                "a console CSV line reads back");

    // Windows names hold no tab or line break; the tab-separated line relies on it.
    if (Flattened(folder) == folder && Flattened(record.Name) == record.Name)
    {
        const std::string tsv = cmd::TsvLine(folder, record, lastWrite);
        const Fields cells = Split(tsv.substr(0, tsv.size() - 1), '\t');
        fuzz::Check(tsv.back() == '\n' && cells.size() == 5 && cells[0] == folder &&
                        cells[1] == record.Name && cells[2] == std::to_string(record.Size),
                    "a console TSV line reads back");
    }

    network::NetRow row;
    row.caption = choice & 2 ? std::string() : record.Name;
    row.cells = Fields(fields.begin() + std::min<size_t>(fields.size(), 2), fields.end());
    row.source = static_cast<network::NameSource>((choice >> 2) % 5);
    network::MacCell mac;
    mac.text = row.cells.size() > 3 ? row.cells[3] : std::string();
    mac.vendor = row.cells.size() > 4 ? row.cells[4] : std::string();
    const std::string line = cmd::NetRowLine(row, mac);
    fuzz::Check(line.find('\n') == line.size() - 1 && line.find('\r') == std::string::npos,
                "a network row is one line");
    const Fields cells = Split(line.substr(0, line.size() - 1), '\t');
    fuzz::Check(cells.size() == (row.caption.empty() ? 2u : 8u), "a network row has its fields");
    if (!row.caption.empty())
    {
        for (size_t i = 0; i < 3; ++i)
            fuzz::Check(cells[2 + i] == Flattened(i < row.cells.size() ? row.cells[i] : std::string()),
                        "a network row's cells");
        fuzz::Check(cells[5] == Flattened(mac.text) && cells[6] == Flattened(mac.vendor) &&
                        cells[7] == network::NameSourceKey(row.source),
                    "a network row's MAC, vendor and source");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzInput input(data, size);
    const uint8_t choice = input.Byte();
    const Fields fields = input.Pieces('\x01');
    CheckCsvLine(fields);
    CheckResultsCsv(fields);
    CheckConsoleLines(fields, choice);
    return 0;
}
