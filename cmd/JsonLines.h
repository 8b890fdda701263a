#pragma once
// The --format jsonl forms: one JSON object per entry found or computer row, on a line of its own.
#include "engine/FindFileTypes.h"
#include "engine/HitLines.h"
#include "network/NetLookup.h"
#include "platform/LocalTime.h"

#include <cstdint>
#include <optional>
#include <string>

namespace cmd
{

// YYYY-MM-DDTHH:MM:SS+HH:MM: the local time of a UTC file time with its offset from UTC at that
// moment, taken from the two (so the text names the same moment in every time zone).
std::string IsoTimeWithOffset(uint64_t fileTimeUtc, const platform::CalendarTime& local);

// {"path","name","folder","size" (bytes),"modified" (IsoTimeWithOffset, null without a local
// time),"attributes" (the FILE_ATTRIBUTE_* bits as a number)}. With hitLines (--lines) also
// "lines" (HitLinesJson), "encoding" and, when more hit lines were found than kept, "linesCutOff".
std::string FileJsonLine(const std::string& folder, const engine::TSearchRec& record,
                         const std::optional<platform::CalendarTime>& lastWrite,
                         const engine::HitLinesResult* hitLines = nullptr);

// A computer: {"name","ip","workgroup","comment","mac","vendor","source"}, the MAC and vendor from
// mac (its text empty: the row's MAC cell); a domain row: {"domain"}.
std::string NetRowJsonLine(const network::NetRow& row, const network::MacCell& mac);

} // namespace cmd
