#pragma once
// The line filter over the text inside a document or an archive: the lines of its text pieces.
#include "engine/DocumentText.h"
#include "ui/results/LineFilter.h"

#include <string>
#include <vector>

namespace ui
{

// The lines, over every text piece of the file at path read as kind, whose upper-case form holds
// the upper-case form of one of texts; the same line rules as for a plain file, within each piece.
// The file is opened denying others write access; one that cannot be opened holds no line.
int CountMatchingLinesInside(platform::FileSystem& fileSystem, const std::string& path,
                             engine::ContainerKind kind, const std::vector<std::string>& texts,
                             const ByteUpperCase& upper);

} // namespace ui
