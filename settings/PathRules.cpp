#include "settings/PathRules.h"

namespace settings
{

std::string ChangeFileExtension(const std::string& path, const std::string& extension)
{
    // A dot in a folder name ("C:\Tools.v2\Finder") is not an extension.
    size_t dot = path.find_last_of(".\\/:");
    if (dot == std::string::npos || path[dot] != '.')
        return path + extension;
    return path.substr(0, dot) + extension;
}

} // namespace settings
