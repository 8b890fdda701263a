#pragma once
// The text of an XML part of an Office or OpenDocument file, as a reader sees it: tags dropped,
// entities and character references decoded to UTF-8, CDATA kept, the runs of a paragraph joined
// without separators (so a word split over runs by formatting is found whole), and a line break at
// the end of each paragraph, heading, table row or explicit break, a tab between cells.
#include <string>
#include <string_view>

namespace engine
{

// The text of xml (UTF-8, a UTF-8 byte-order mark allowed). Broken markup is read as far as it
// goes: what follows an unterminated tag, comment or section is dropped.
std::string XmlText(std::string_view xml);

} // namespace engine
