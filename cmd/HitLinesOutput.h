#pragma once
// The --lines output of FindFileCmd: grep's shape, path:line:text for a hit line and path-line-text
// for a line around one, groups of lines that do not follow each other apart by a "--" line when
// context is asked for. A member of a document or archive prints as path|member.
#include "engine/HitLines.h"

#include <cstdint>
#include <string>

namespace cmd
{

class HitLinesPrinter
{
public:
    explicit HitLinesPrinter(unsigned context) : m_context(context) {}

    // The lines of one file found; a file found with no hit line (a folder, a text across a line
    // break) prints its path alone, as without --lines.
    std::string Lines(const std::string& path, const engine::HitLinesResult& result);

private:
    unsigned m_context;
    bool m_printed = false; // a group was printed, by this file or an earlier one
};

// The "lines" field of a file's JSON line: [{"line":N,"text":"...","hits":[[offset,length],...],
// "context":false},...], offsets and lengths in bytes of the UTF-8 text; a member's lines carry
// "member" too.
std::string HitLinesJson(const engine::HitLinesResult& result);

} // namespace cmd
