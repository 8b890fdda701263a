#pragma once
// Paths the program derives from its executable's path.
#include <string>

namespace settings
{

// path with its extension (from the last dot of the last path element) replaced by extension,
// which includes its dot; a path without an extension gets extension appended.
std::string ChangeFileExtension(const std::string& path, const std::string& extension);

} // namespace settings
