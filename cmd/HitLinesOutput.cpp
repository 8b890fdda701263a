#include "cmd/HitLinesOutput.h"

#include "cmd/JsonString.h"

namespace cmd
{

std::string HitLinesPrinter::Lines(const std::string& path, const engine::HitLinesResult& result)
{
    if (result.lines.empty())
        return path + "\n";
    std::string out;
    const engine::HitLine* previous = nullptr;
    for (const engine::HitLine& line : result.lines)
    {
        const bool follows =
            previous && previous->member == line.member && previous->number + 1 == line.number;
        if (m_context > 0 && m_printed && !follows)
            out += "--\n";
        m_printed = true;
        const char separator = line.context ? '-' : ':';
        out += path;
        if (!line.member.empty())
            out += "|" + line.member;
        out += separator;
        out += std::to_string(line.number);
        out += separator;
        out += line.text;
        out += '\n';
        previous = &line;
    }
    return out;
}

std::string HitLinesJson(const engine::HitLinesResult& result)
{
    std::string json = "[";
    for (const engine::HitLine& line : result.lines)
    {
        if (json.size() > 1)
            json += ',';
        json += '{';
        if (!line.member.empty())
        {
            json += "\"member\":";
            AppendJsonString(json, line.member);
            json += ',';
        }
        json += "\"line\":" + std::to_string(line.number) + ",\"text\":";
        AppendJsonString(json, line.text);
        json += ",\"hits\":[";
        for (size_t i = 0; i < line.hits.size(); ++i)
            json += (i > 0 ? ",[" : "[") + std::to_string(line.hits[i].first) + "," +
                    std::to_string(line.hits[i].second) + "]";
        json += "],\"context\":";
        json += line.context ? "true}" : "false}";
    }
    return json + "]";
}

} // namespace cmd
