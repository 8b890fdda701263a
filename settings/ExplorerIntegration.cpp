#include "settings/ExplorerIntegration.h"

namespace settings
{

namespace
{

using platform::Registry;
using platform::RegistryAccess;
using platform::RegistryKey;
using platform::StringRead;

constexpr platform::RegistryRoot kRoot = platform::RegistryRoot::ClassesRoot;

enum class Command
{
    Plain,    // the program alone
    Argument, // the program with the object's path
};

struct MenuPlace
{
    const char* prefix; // the entry's name follows
    Command command;
};

// Folders, network neighbourhood, desktop, My Computer, My Documents, drives.
constexpr MenuPlace kMenuPlaces[] = {
    {"Directory\\shell\\", Command::Plain},
    {"CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}\\shell\\", Command::Argument},
    {"CLSID\\{00021400-0000-0000-C000-000000000046}\\Shell\\", Command::Argument},
    {"CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\shell\\", Command::Plain},
    {"CLSID\\{450D8FBA-AD25-11D0-98A8-0800361B1103}\\shell\\", Command::Argument},
    {"Drive\\shell\\", Command::Argument},
};

struct FindPlace
{
    const char* verb;
    Command command;
};

// Folders, My Computer, My Documents, drives.
constexpr FindPlace kFindPlaces[] = {
    {"Directory\\shell\\find", Command::Argument},
    {"CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\shell\\find", Command::Plain},
    {"CLSID\\{450D8FBA-AD25-11D0-98A8-0800361B1103}\\shell\\find", Command::Argument},
    {"Drive\\shell\\find", Command::Argument},
};

constexpr char kBackupValue[] = "01";

std::string CommandFor(const ExplorerIntegration& context, Command command)
{
    return command == Command::Plain ? PlainCommand(context.exePath) : ArgumentCommand(context.exePath);
}

// Earlier releases wrote the path without quotes; such a command is the program's own too, and
// must not become the backup of the shell's command.
bool IsOwnCommand(const ExplorerIntegration& context, Command command, const std::string& text)
{
    const std::string unquoted = command == Command::Plain ? context.exePath : context.exePath + " \"%1\"";
    return text == CommandFor(context, command) || text == unquoted;
}

void Write(RegistryKey& key, const std::string& name, const std::string& text, bool expandable = false)
{
    if (!key.WriteString(name, text, expandable))
        throw ERegistryException("Failed to set data for '" + name + "'");
}

StringRead Read(RegistryKey& key, const std::string& name)
{
    StringRead value = key.ReadString(name);
    if (value.status == StringRead::WrongType)
        throw ERegistryException("Invalid data type for '" + name + "'");
    return value;
}

void Store(ProfileStore& settingsFile, const char* key, bool install)
{
    // A settings file that cannot be written loses the choice; the registry is changed all the same.
    settingsFile.WriteString("Settings", key, install ? "1" : "0");
}

void InstallFind(const ExplorerIntegration& context, const FindPlace& place)
{
    const std::string verb = place.verb;
    {
        auto key = context.registry.Open(kRoot, verb + "\\command", RegistryAccess::Full);
        if (!key)
            return;
        const StringRead current = Read(*key, "");
        if (!IsOwnCommand(context, place.command, current.text))
            Write(*key, kBackupValue, current.text, current.expandable);
        Write(*key, "", CommandFor(context, place.command));
    }
    MoveRegistryKey(context.registry, verb + "\\ddeexec", verb + "\\zaloha");
}

void RemoveFind(const ExplorerIntegration& context, const FindPlace& place)
{
    const std::string verb = place.verb;
    {
        auto key = context.registry.Open(kRoot, verb + "\\command", RegistryAccess::Full);
        if (!key)
            return;
        const StringRead backup = Read(*key, kBackupValue);
        if (backup.status == StringRead::Ok)
            Write(*key, "", backup.text, backup.expandable);
    }
    MoveRegistryKey(context.registry, verb + "\\zaloha", verb + "\\ddeexec");
}

// Copies the values and subkeys of source into target (created here). False when a key cannot
// be opened or created; throws when a value cannot be written.
bool CopyTree(Registry& registry, const std::string& source, const std::string& target)
{
    auto from = registry.Open(kRoot, source, RegistryAccess::Read);
    auto to = registry.Create(kRoot, target);
    if (!from || !to)
        return false;
    for (const auto& value : from->Values())
        if (!to->WriteValue(value))
            throw ERegistryException("Failed to set data for '" + value.name + "'");
    for (const auto& name : from->Subkeys())
        if (!CopyTree(registry, source + "\\" + name, target + "\\" + name))
            return false;
    return true;
}

// The extension points at the program's type, which names the icon and the open command.
void InstallSearchFileType(const ExplorerIntegration& context)
{
    const std::string type = kSearchFileProgId;
    if (auto key = context.registry.Create(kRoot, kSearchFileExtension))
        Write(*key, "", type);
    if (auto key = context.registry.Create(kRoot, type))
        Write(*key, "", context.searchFileType);
    if (auto key = context.registry.Create(kRoot, type + "\\DefaultIcon"))
        Write(*key, "", context.exePath + ",0");
    if (auto key = context.registry.Create(kRoot, type + "\\shell\\open\\command"))
        Write(*key, "", ArgumentCommand(context.exePath));
}

void RemoveSearchFileType(const ExplorerIntegration& context)
{
    bool extensionIsOurs = false;
    if (auto key = context.registry.Open(kRoot, kSearchFileExtension, RegistryAccess::Read))
        extensionIsOurs = key->ReadString("").text == kSearchFileProgId;
    if (extensionIsOurs)
        context.registry.DeleteTree(kRoot, kSearchFileExtension);
    if (context.registry.Open(kRoot, kSearchFileProgId, RegistryAccess::Read))
        context.registry.DeleteTree(kRoot, kSearchFileProgId);
}

} // namespace

std::string PlainCommand(const std::string& exePath)
{
    return "\"" + exePath + "\"";
}

std::string ArgumentCommand(const std::string& exePath)
{
    return PlainCommand(exePath) + " \"%1\"";
}

void setincontext(const ExplorerIntegration& context, bool install, bool store)
{
    if (store)
        Store(context.settingsFile, "InContextMenu", install);
    for (const auto& place : kMenuPlaces)
    {
        const std::string entry = place.prefix + context.entryName;
        if (!install)
        {
            context.registry.DeleteTree(kRoot, entry);
            continue;
        }
        if (auto key = context.registry.Create(kRoot, entry + "\\command"))
            Write(*key, "", CommandFor(context, place.command));
    }
    if (install)
        InstallSearchFileType(context);
    else
        RemoveSearchFileType(context);
}

void setdefaoultfind(const ExplorerIntegration& context, bool install, bool store)
{
    if (store)
        Store(context.settingsFile, "DefaultFind", install);
    for (const auto& place : kFindPlaces)
    {
        if (install)
            InstallFind(context, place);
        else
            RemoveFind(context, place);
    }
}

void MoveRegistryKey(Registry& registry, const std::string& source, const std::string& target)
{
    if (!registry.Open(kRoot, source, RegistryAccess::Read) ||
        registry.Open(kRoot, target, RegistryAccess::Read))
        return;
    bool copied = false;
    try
    {
        copied = CopyTree(registry, source, target);
    }
    catch (...)
    {
        // Leave the source where it was and no half copy beside it.
        registry.DeleteTree(kRoot, target);
        throw;
    }
    if (!copied)
    {
        registry.DeleteTree(kRoot, target);
        return;
    }
    registry.DeleteTree(kRoot, source);
}

} // namespace settings
