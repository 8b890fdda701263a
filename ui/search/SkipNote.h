#pragma once
// What a finished search could not look into, as the window tells it: a short note after the
// status line's count, and one line per kind for the status line's tooltip. Label and number
// (never a number inside a sentence), so that every language reads right without plural rules.
// Portable.
#include "engine/SkipCounts.h"
#include "lang/TextStore.h"

#include <string>

namespace ui
{

struct SkipNote
{
    std::string note;    // empty when nothing was skipped
    std::string details; // the tooltip: "label: count" lines, CRLF between them
};

SkipNote MakeSkipNote(const engine::SkipReport& report, const lang::TextStore& texts);

} // namespace ui
