#pragma once
// The lines FindFileCmd prints, UTF-8, each ending with a line feed.
#include "engine/FindFileTypes.h"
#include "network/NetLookup.h"
#include "platform/LocalTime.h"

#include <optional>
#include <string>

namespace cmd
{

// Folder and name joined with a backslash, unless the folder already ends with one.
std::string JoinPath(const std::string& folder, const std::string& name);

// YYYY-MM-DD HH:MM:SS; empty when there is no time.
std::string FormatLocalTime(const std::optional<platform::CalendarTime>& time);

std::string FolderLine(const std::string& folder);
std::string FoundLine(const std::string& folder, const engine::TSearchRec& record,
                      const std::optional<platform::CalendarTime>& lastWrite);
std::string CompleteLine(long long count, bool aborted);

// The --format forms of one entry found, and the csv form's header line.
std::string TsvLine(const std::string& folder, const engine::TSearchRec& record,
                    const std::optional<platform::CalendarTime>& lastWrite);
std::string CsvHeaderLine();
std::string CsvLine(const std::string& folder, const engine::TSearchRec& record,
                    const std::optional<platform::CalendarTime>& lastWrite);

// computer<TAB>NAME<TAB>IP<TAB>DOMAIN<TAB>COMMENT<TAB>MAC<TAB>VENDOR<TAB>SOURCE (mac: the row's MAC
// cell) or domain<TAB>NAME; tabs and line breaks inside a field become spaces so that every row
// stays one line of eight (two) fields.
std::string NetRowLine(const network::NetRow& row, const network::MacCell& mac = {});
std::string NetCompleteLine(long long rows);

} // namespace cmd
