#include "ui/results/ShellInfoCache.h"

#include "ui/results/ResultRows.h"

namespace ui
{

namespace
{

std::string UpperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

} // namespace

bool ShellInfoCache::AsksPerItem(const std::string& name, bool isFolder)
{
    if (isFolder)
        return true;
    static const char* const kOwnIcon[] = {"EXE", "ICO", "LNK", "CUR", "ANI", "URL", "SCR", "MSC"};
    const std::string extension = UpperAscii(ExtensionOf(name));
    for (const char* own : kOwnIcon)
        if (extension == own)
            return true;
    return false;
}

std::optional<ShellInfo> ShellInfoCache::Lookup(const std::string& path, const std::string& name,
                                                bool isFolder)
{
    if (AsksPerItem(name, isFolder))
        return m_query(path);
    const std::string key = UpperAscii(ExtensionOf(name));
    auto found = m_byExtension.find(key);
    if (found != m_byExtension.end())
        return found->second;
    // An unknown path is not cached: the next file of the extension may well be known.
    std::optional<ShellInfo> answer = m_query(path);
    if (answer)
        m_byExtension.emplace(key, *answer);
    return answer;
}

} // namespace ui
