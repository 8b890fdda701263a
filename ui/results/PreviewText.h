#pragma once
// What the preview pane under the results list shows for the focused file: its lines that hold the
// containing text, each hit marked, the lines around them grey, as rich text (RTF) that the pane's
// rich edit control reads in one go, however many lines there are.
#include "engine/HitLines.h"

#include <string>
#include <string_view>
#include <vector>

namespace ui
{

// UTF-8 as RTF text: the RTF's own characters escaped, tabs kept, other control characters and
// broken sequences shown as U+FFFD, every character beyond ASCII as its UTF-16 units.
std::string RtfText(std::string_view utf8);

// The pane's document: heading (bold), then each note on a line of its own, then the lines: a
// member's name (bold) before the lines of each document part or archive member, the line number
// before each line, a gap between lines that do not follow each other.
std::string PreviewRtf(const std::string& heading, const std::vector<std::string>& notes,
                       const std::vector<engine::HitLine>& lines);

} // namespace ui
