#include "engine/TargetList.h"

#include "engine/AsciiCase.h"

namespace engine
{

std::string TargetMaskFor(const std::string& filename)
{
    if (filename.empty())
        return "*.*";
    if (filename.find('.') == std::string::npos)
        return filename + ".*";
    return filename;
}

void BuildTargetList(std::vector<std::string>& targets, const std::string& location,
                     const std::string& filename, const AbsolutePathFn& absolutePath)
{
    const std::string mask = TargetMaskFor(filename);
    std::string rest = location;
    do
    {
        std::string part;
        const size_t semicolon = rest.find(';');
        if (semicolon != std::string::npos)
        {
            part = rest.substr(0, semicolon);
            rest.erase(0, semicolon + 1);
        }
        else
        {
            part = std::move(rest);
            rest.clear();
        }
        const std::string target = WithBackslash(absolutePath(part)) + mask;
        bool known = false;
        for (const std::string& existing : targets)
            known = known || EqualsIgnoreAsciiCase(existing, target);
        if (!known)
            targets.push_back(target);
    } while (!rest.empty() && rest != ";");
}

SplitTargetResult SplitTarget(const std::string& target)
{
    const size_t cut = target.find_last_of("\\:");
    if (cut == std::string::npos)
        return {std::string(), target};
    return {target.substr(0, cut + 1), target.substr(cut + 1)};
}

std::string WithBackslash(std::string folder)
{
    if (!folder.empty() && folder.back() != '\\')
        folder.push_back('\\');
    return folder;
}

std::string EventFolder(const std::string& runFolder)
{
    const size_t n = runFolder.size();
    if (n <= 1 || (runFolder[n - 2] == ':' && runFolder[n - 1] == '\\'))
        return runFolder;
    if (runFolder[n - 1] == '\\')
        return runFolder.substr(0, n - 1);
    return runFolder;
}

} // namespace engine
