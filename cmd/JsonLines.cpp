#include "cmd/JsonLines.h"

#include "cmd/CmdOutput.h"
#include "cmd/HitLinesOutput.h"
#include "cmd/JsonString.h"

#include <cstdio>

namespace cmd
{

namespace
{

constexpr int64_t kTicksPerSecond = 10000000;
constexpr int64_t kSecondsPerDay = 86400;

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t year, int month, int day)
{
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// Whole seconds since 1601-01-01, the start of file times.
int64_t SecondsSince1601(const platform::CalendarTime& time)
{
    const int64_t days = DaysFromCivil(time.year, time.month, time.day) - DaysFromCivil(1601, 1, 1);
    return days * kSecondsPerDay + time.hour * 3600 + time.minute * 60 + time.second;
}

void AppendField(std::string& line, const char* name, const std::string& value)
{
    if (line.size() > 1)
        line += ',';
    line += '"';
    line += name;
    line += "\":";
    AppendJsonString(line, value);
}

void AppendRawField(std::string& line, const char* name, const std::string& json)
{
    if (line.size() > 1)
        line += ',';
    line += '"';
    line += name;
    line += "\":";
    line += json;
}

} // namespace

std::string IsoTimeWithOffset(uint64_t fileTimeUtc, const platform::CalendarTime& local)
{
    const int64_t utcSeconds = static_cast<int64_t>(fileTimeUtc / kTicksPerSecond);
    const int64_t offsetSeconds = SecondsSince1601(local) - utcSeconds;
    // Offsets are whole minutes; the seconds of the two sides agree.
    const int64_t offsetMinutes = (offsetSeconds >= 0 ? offsetSeconds + 30 : offsetSeconds - 30) / 60;
    const int64_t absolute = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
    char text[64];
    std::snprintf(text, sizeof(text), "%04d-%02d-%02dT%02d:%02d:%02d%c%02lld:%02lld", local.year, local.month,
                  local.day, local.hour, local.minute, local.second, offsetMinutes < 0 ? '-' : '+',
                  static_cast<long long>(absolute / 60), static_cast<long long>(absolute % 60));
    return text;
}

std::string FileJsonLine(const std::string& folder, const engine::TSearchRec& record,
                         const std::optional<platform::CalendarTime>& lastWrite,
                         const engine::HitLinesResult* hitLines)
{
    std::string line = "{";
    AppendField(line, "path", JoinPath(folder, record.Name));
    AppendField(line, "name", record.Name);
    AppendField(line, "folder", folder);
    AppendRawField(line, "size", std::to_string(record.Size));
    AppendRawField(line, "modified",
                   lastWrite ? JsonString(IsoTimeWithOffset(record.FindData.lastWriteTime, *lastWrite))
                             : std::string("null"));
    AppendRawField(line, "attributes", std::to_string(static_cast<uint32_t>(record.Attr)));
    if (hitLines)
    {
        AppendRawField(line, "lines", HitLinesJson(*hitLines));
        AppendField(line, "encoding", hitLines->encoding);
        if (hitLines->cutOff)
            AppendRawField(line, "linesCutOff", "true");
    }
    return line + "}\n";
}

std::string NetRowJsonLine(const network::NetRow& row, const network::MacCell& mac)
{
    const auto cell = [&row](size_t i) { return i < row.cells.size() ? row.cells[i] : std::string(); };
    std::string line = "{";
    if (row.caption.empty())
    {
        AppendField(line, "domain", cell(1));
        return line + "}\n";
    }
    AppendField(line, "name", row.caption);
    AppendField(line, "ip", cell(0));
    AppendField(line, "workgroup", cell(1));
    AppendField(line, "comment", cell(2));
    AppendField(line, "mac", mac.text.empty() ? cell(3) : mac.text);
    AppendField(line, "vendor", mac.vendor);
    AppendField(line, "source", network::NameSourceKey(row.source));
    return line + "}\n";
}

} // namespace cmd
