#pragma once
// The shell's type name and icon per extension. Asking the shell costs milliseconds a file, so
// the first real answer for an extension serves every later file of that extension; files that
// carry their own icon or type, and folders, are still asked one by one.
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

namespace ui
{

struct ShellInfo
{
    std::string typeName; // may be empty: the shell knows the item but names no type
    int icon = -1;        // index in the system image list
};

class ShellInfoCache
{
public:
    // Asks the shell about one full path; empty when the shell does not know it.
    using Query = std::function<std::optional<ShellInfo>(const std::string& path)>;

    explicit ShellInfoCache(Query query) : m_query(std::move(query)) {}

    // The answer for the item at path whose own name is name.
    std::optional<ShellInfo> Lookup(const std::string& path, const std::string& name, bool isFolder);
    void Clear() { m_byExtension.clear(); }

    // Whether the item needs its own question: folders, and files whose extension (any letter
    // case) is .exe .ico .lnk .cur .ani .url .scr or .msc.
    static bool AsksPerItem(const std::string& name, bool isFolder);

private:
    Query m_query;
    std::unordered_map<std::string, ShellInfo> m_byExtension; // key: extension in upper case
};

} // namespace ui
