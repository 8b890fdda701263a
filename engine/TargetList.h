#pragma once
// The targets of a run (a folder ending with a backslash, then one name mask) and the folder
// strings that events show.
#include <functional>
#include <string>
#include <vector>

namespace engine
{

// Absolute form of a folder: relative to the current folder, a bare drive against that drive's
// current folder, empty = the current folder. The run passes platform::FileSystem::AbsolutePath.
using AbsolutePathFn = std::function<std::string(const std::string&)>;

// The mask searched in every folder: "*.*" for an empty name, name + ".*" for a name without a
// dot, otherwise the name itself (never split at ";").
std::string TargetMaskFor(const std::string& filename);

// Appends one target per ";"-separated part of location (an empty part is the current folder),
// skipping any target equal, ignoring ASCII case, to one already in the list.
void BuildTargetList(std::vector<std::string>& targets, const std::string& location,
                     const std::string& filename, const AbsolutePathFn& absolutePath);

struct SplitTargetResult
{
    std::string folder; // up to and including the last '\' or ':'
    std::string mask;
};
SplitTargetResult SplitTarget(const std::string& target);

// Appends a backslash unless the folder is empty or already ends with one.
std::string WithBackslash(std::string folder);

// The event form of a run's folder: the trailing backslash removed, except for a drive root
// (C:\) and a string of at most one character.
std::string EventFolder(const std::string& runFolder);

} // namespace engine
