#pragma once
// The system's side of the line filter: upper case by the ANSI code page's rules, and the
// encodings a searched text is looked for in.
#include "ui/results/LineFilter.h"

#include <string>
#include <vector>

namespace ui
{

// Upper case of every byte of the ANSI code page, by the system's rules (CharUpperBuffW).
ByteUpperCase SystemByteUpperCase();

// The text (UTF-8) as it appears in a file of the ANSI code page and in a UTF-8 file; one entry
// when both are the same, only the UTF-8 one when the code page cannot hold the text.
std::vector<std::string> ContainingTextEncodings(const std::string& utf8);

} // namespace ui
