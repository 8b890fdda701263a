#pragma once
// Result sets written out for other programs: CSV (RFC 4180 quoting) and plain path lists. Portable,
// shared by the results list's "save" and FindFileCmd's output forms.
#include "platform/LocalTime.h"
#include "ui/results/ResultRows.h"
#include "ui/results/ResultStore.h"

#include <string>
#include <vector>

namespace ui
{

// One field, in double quotes when it holds a comma, a double quote, CR or LF; quotes inside doubled.
std::string CsvField(const std::string& text);

// The fields joined by commas, ended by CR LF.
std::string CsvLine(const std::vector<std::string>& fields);

// ISO 8601 local date and time, YYYY-MM-DDTHH:MM:SS.
std::string IsoLocalTime(const platform::CalendarTime& time);

// The column names of the CSV forms.
std::vector<std::string> CsvHeader(const std::string& lastColumn);

// One file row as CSV: name, folder, full path, size in bytes, modified, type.
std::string RowCsvLine(const ResultRow& row);

// The whole set: UTF-8 byte-order mark (spreadsheets read the file as UTF-8 by it), the header, a
// line per row.
std::string ResultsCsv(const std::vector<ResultRow>& rows);
std::string ResultsCsv(const ResultStore& rows);

// The full path of each row, one per line (CR LF), UTF-8 without a byte-order mark.
std::string ResultsPathList(const std::vector<ResultRow>& rows);
std::string ResultsPathList(const ResultStore& rows);

} // namespace ui
