#pragma once
// The program's entries in the shell: a context-menu command of folders, drives and four shell
// folders, and the shell's own "find" command taken over with a backup of what it replaces.
// Portable: the registry, the settings file, the entry's name and the executable's path are given.
#include "platform/Registry.h"
#include "settings/ProfileStore.h"

#include <stdexcept>
#include <string>

namespace settings
{

// A registry failure that stops an operation: a command value of the wrong type, a refused write.
class ERegistryException : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct ExplorerIntegration
{
    platform::Registry& registry;
    ProfileStore& settingsFile;
    // The context-menu entry's key name: the loaded language's text for it.
    std::string entryName;
    // Full path of the executable the commands start.
    std::string exePath;
    // The search files' type name in Explorer: the loaded language's text for it.
    std::string searchFileType = {};
};

// The search files' extension and the program's type for them.
constexpr char kSearchFileExtension[] = ".ffsearch";
constexpr char kSearchFileProgId[] = "FindFile.Search";

// The commands written: the quoted path, and the quoted path with the shell's "%1" argument.
std::string PlainCommand(const std::string& exePath);
std::string ArgumentCommand(const std::string& exePath);

// Creates (install) or deletes the six context-menu entries, and with them the search files' type
// (so that a double click on one opens it in the program); store first records the choice as
// [Settings] InContextMenu. A place whose key cannot be created or deleted is passed over.
// Throws ERegistryException when a command cannot be written; the places after it are left.
// Removal leaves the extension alone when another program has taken it meanwhile.
void setincontext(const ExplorerIntegration& context, bool install, bool store);

// Installs the program as the shell's find handler of four places, backing the command up in
// "01" and moving "ddeexec" aside to "zaloha", or puts the backups back; store first records the
// choice as [Settings] DefaultFind. A place without a find command is left alone. Throws
// ERegistryException for a command value that is not a string or a refused write.
void setdefaoultfind(const ExplorerIntegration& context, bool install, bool store);

// Moves the key source (values, types and every subkey) to target, both under the classes root,
// when source exists and target does not; otherwise does nothing. The source stays when the copy
// cannot be completed.
void MoveRegistryKey(platform::Registry& registry, const std::string& source, const std::string& target);

} // namespace settings
