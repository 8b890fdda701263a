#include "ui/search/LookInPlaces.h"

namespace ui
{

std::string LastPathPart(const std::string& path)
{
    if (path.size() < 2)
        return {};
    for (size_t i = path.size() - 1; i-- > 0;)
    {
        if (path[i] == '\\')
            return path.substr(i + 1);
    }
    return {};
}

SpecialFolders ReadSpecialFolders(platform::Registry& registry)
{
    SpecialFolders folders;
    auto key = registry.Open(platform::RegistryRoot::CurrentUser,
                             "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                             platform::RegistryAccess::Read);
    if (!key)
        return folders;
    auto read = [&key](const char* name) {
        const platform::StringRead value = key->ReadString(name);
        return value.status == platform::StringRead::Ok ? CutSpecialFolderPath(value.text) : std::string();
    };
    folders.desktop = read("desktop");
    folders.personal = read("personal");
    return folders;
}

std::string CutSpecialFolderPath(const std::string& path)
{
    constexpr size_t kMaxChars = 255;
    if (path.size() <= kMaxChars)
        return path;
    // Cut at a character boundary of the UTF-8 text.
    size_t chars = 0;
    for (size_t i = 0; i < path.size(); ++i)
    {
        if ((static_cast<unsigned char>(path[i]) & 0xC0) != 0x80)
        {
            if (chars == kMaxChars)
                return path.substr(0, i);
            ++chars;
        }
    }
    return path;
}

std::vector<PlaceEntry> BuildPlaces(PlaceProber& prober, const SpecialFolders& folders,
                                    const std::string& browseText)
{
    std::vector<PlaceEntry> entries;
    std::string fixedDrives;
    int lastIcon = 0;
    for (char letter = 'A'; letter <= 'Z'; ++letter)
    {
        const std::string root = std::string(1, letter) + ":\\";
        if (prober.IsFixedDrive(root))
            fixedDrives += root + ";";
        if (auto info = prober.Describe(root))
        {
            lastIcon = info->iconIndex;
            if (!info->typeName.empty())
                entries.push_back({PlaceKind::Drive, root, info->iconIndex});
        }
    }
    entries.push_back({PlaceKind::AllFixedDrives, fixedDrives, lastIcon});

    const std::pair<PlaceKind, const std::string*> specials[] = {
        {PlaceKind::Desktop, &folders.desktop},
        {PlaceKind::Personal, &folders.personal},
    };
    for (const auto& [kind, path] : specials)
    {
        // The shell describes no empty path.
        if (path->empty())
            continue;
        if (auto info = prober.Describe(*path))
        {
            lastIcon = info->iconIndex;
            if (!info->typeName.empty())
                entries.push_back({kind, LastPathPart(*path), info->iconIndex});
        }
    }
    entries.push_back({PlaceKind::Browse, browseText, lastIcon});
    return entries;
}

std::optional<size_t> StartPlaceIndex(size_t count)
{
    if (count < 4)
        return std::nullopt;
    return count - 4;
}

} // namespace ui
