#pragma once
// The entries of the look-in list: the drives the shell describes, all fixed drives at once, the
// Desktop and Personal folders and the browse entry. Portable: the shell and the drive types come
// through a PlaceProber.
#include "platform/Registry.h"

#include <optional>
#include <string>
#include <vector>

namespace ui
{

// The part of path after its last backslash, searched from the second-to-last character back; a
// trailing backslash is kept ("C:\Data\" gives "Data\"). Empty when there is none.
std::string LastPathPart(const std::string& path);

// A special-folder path as kept: at most 255 characters.
std::string CutSpecialFolderPath(const std::string& path);

struct ShellDescription
{
    int iconIndex = 0;
    std::string typeName;
};

class PlaceProber
{
public:
    virtual ~PlaceProber() = default;
    virtual bool IsFixedDrive(const std::string& root) = 0;
    // The shell's small icon and type name for a path; empty when the shell cannot describe it.
    virtual std::optional<ShellDescription> Describe(const std::string& path) = 0;
};

enum class PlaceKind
{
    Drive,
    AllFixedDrives,
    Desktop,
    Personal,
    Browse,
};

struct PlaceEntry
{
    PlaceKind kind = PlaceKind::Drive;
    std::string text;
    int iconIndex = 0;
};

struct SpecialFolders
{
    std::string desktop;
    std::string personal;
};

// The Desktop and Personal paths of the current user's Shell Folders key, each cut to 255
// characters; empty where the key or value is missing or is not a string.
SpecialFolders ReadSpecialFolders(platform::Registry& registry);

// The look-in entries in list order.
std::vector<PlaceEntry> BuildPlaces(PlaceProber& prober, const SpecialFolders& folders,
                                    const std::string& browseText);

// The entry selected at start: count - 4, or none when the list is shorter.
std::optional<size_t> StartPlaceIndex(size_t count);

} // namespace ui
