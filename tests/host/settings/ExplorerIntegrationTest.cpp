#include "settings/ExplorerIntegration.h"

#include "tests/support/FakeRegistry.h"

#include <gtest/gtest.h>
#include <map>

namespace
{

using platform::RegistryValue;
using testing_support::FakeRegistry;
using testing_support::StringValue;

constexpr char kExe[] = "C:\\Program Files\\Find File\\FindFile.exe";
constexpr char kPlain[] = "\"C:\\Program Files\\Find File\\FindFile.exe\"";
constexpr char kArgument[] = "\"C:\\Program Files\\Find File\\FindFile.exe\" \"%1\"";
constexpr char kEntry[] = "Find files here...";

const std::string kMenuPrefixes[6] = {
    "Directory\\shell\\",
    "CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}\\shell\\",
    "CLSID\\{00021400-0000-0000-C000-000000000046}\\Shell\\",
    "CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\shell\\",
    "CLSID\\{450D8FBA-AD25-11D0-98A8-0800361B1103}\\shell\\",
    "Drive\\shell\\",
};
const char* const kMenuCommands[6] = {kPlain, kArgument, kArgument, kPlain, kArgument, kArgument};

const std::string kFindVerbs[4] = {
    "Directory\\shell\\find",
    "CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\shell\\find",
    "CLSID\\{450D8FBA-AD25-11D0-98A8-0800361B1103}\\shell\\find",
    "Drive\\shell\\find",
};
const char* const kFindCommands[4] = {kArgument, kPlain, kArgument, kArgument};

class FakeSettings : public settings::ProfileStore
{
public:
    bool ReadString(const std::string& section, const std::string& key, std::string& value) override
    {
        auto it = values.find(section + "/" + key);
        value = it == values.end() ? "<Error>" : it->second;
        return it != values.end();
    }
    bool WriteString(const std::string& section, const std::string& key, const std::string& value) override
    {
        if (readOnly)
            return false;
        values[section + "/" + key] = value;
        return true;
    }
    std::map<std::string, std::string> values;
    bool readOnly = false;
};

class ExplorerIntegrationTest : public ::testing::Test
{
protected:
    settings::ExplorerIntegration Context() { return {registry, ini, kEntry, kExe, "Find File search"}; }
    void Menu(bool install, bool store = false) { settings::setincontext(Context(), install, store); }
    void Find(bool install, bool store = false) { settings::setdefaoultfind(Context(), install, store); }

    // A shell find verb as the system registers it: a command and a DDE conversation.
    void ShellVerb(const std::string& verb, const std::string& command)
    {
        registry.SetString(verb + "\\command", "", command);
        registry.SetString(verb + "\\ddeexec", "", "[FindFolder(\"%l\", %I)]");
        registry.SetValue(verb + "\\ddeexec", RegistryValue{"Flags", platform::kRegDword, {1, 0, 0, 0}});
        registry.SetString(verb + "\\ddeexec\\application", "", "Folders");
        registry.SetString(verb + "\\ddeexec\\topic", "", "AppProperties");
    }

    std::string ErrorOf(const std::function<void()>& action)
    {
        try
        {
            action();
        }
        catch (const settings::ERegistryException& e)
        {
            return e.what();
        }
        return "(none)";
    }

    FakeRegistry registry;
    FakeSettings ini;
};

TEST(ExplorerCommands, PathIsQuotedSoSpacesCannotSplitIt)
{
    EXPECT_EQ(settings::PlainCommand(kExe), kPlain);
    EXPECT_EQ(settings::ArgumentCommand(kExe), kArgument);
}

TEST_F(ExplorerIntegrationTest, ContextMenuEntriesAreCreatedAtTheSixPlaces)
{
    Menu(true);
    for (int i = 0; i < 6; ++i)
    {
        const std::string entry = kMenuPrefixes[i] + kEntry;
        EXPECT_EQ(registry.Text(entry + "\\command"), kMenuCommands[i]) << entry;
        EXPECT_FALSE(registry.Value(entry, "")) << "the entry key itself has no value";
    }
    EXPECT_TRUE(ini.values.empty()) << "nothing stored without store";

    // At the next start the entries are written again with the program's current path.
    const std::string before = registry.Dump();
    Menu(true);
    EXPECT_EQ(registry.Dump(), before);
}

TEST_F(ExplorerIntegrationTest, RemovalDeletesOnlyTheCurrentNameWithItsSubkeys)
{
    registry.SetString("Directory\\shell\\Hledat soubory zde...\\command", "", "old");
    Menu(true);
    registry.SetString(kMenuPrefixes[5] + kEntry + "\\extra\\deeper", "x", "y");
    registry.SetString("Directory\\shell\\find\\command", "", "shell");
    const std::string untouched = "Drive\\shell\\find";
    registry.AddKey(untouched);

    Menu(false);
    for (const auto& prefix : kMenuPrefixes)
        EXPECT_FALSE(registry.Exists(prefix + kEntry)) << prefix;
    EXPECT_EQ(registry.Text("Directory\\shell\\Hledat soubory zde...\\command"), "old")
        << "an entry made under another language's name stays";
    EXPECT_EQ(registry.Text("Directory\\shell\\find\\command"), "shell");
    EXPECT_TRUE(registry.Exists(untouched));

    registry.journal.clear();
    Menu(false);
    EXPECT_TRUE(registry.journal.empty()) << "missing entries are passed over";
}

TEST_F(ExplorerIntegrationTest, SearchFilesOpenInTheProgramWhileTheEntriesAreOn)
{
    Menu(true);
    EXPECT_EQ(registry.Text(".ffsearch"), "FindFile.Search");
    EXPECT_EQ(registry.Text("FindFile.Search"), "Find File search");
    EXPECT_EQ(registry.Text("FindFile.Search\\DefaultIcon"), std::string(kExe) + ",0");
    EXPECT_EQ(registry.Text("FindFile.Search\\shell\\open\\command"), kArgument);

    Menu(false);
    EXPECT_FALSE(registry.Exists(".ffsearch"));
    EXPECT_FALSE(registry.Exists("FindFile.Search"));

    // Another program that took the extension meanwhile keeps it; our own type still goes.
    Menu(true);
    registry.SetString(".ffsearch", "", "Other.Search");
    Menu(false);
    EXPECT_EQ(registry.Text(".ffsearch"), "Other.Search");
    EXPECT_FALSE(registry.Exists("FindFile.Search"));
}

TEST_F(ExplorerIntegrationTest, ContextMenuPlaceThatCannotBeWrittenIsSkippedOrStopsTheRest)
{
    // Creating refused (no rights): that place alone is skipped, silently.
    registry.readOnlyTrees.insert("CLSID\\{00021400-0000-0000-C000-000000000046}");
    Menu(true, true);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(registry.Exists(kMenuPrefixes[i] + kEntry), i != 2) << i;
    EXPECT_EQ(ini.values["Settings/InContextMenu"], "1");

    // A write refused after the key opened stops the operation there; the setting is already stored.
    FakeRegistry fresh;
    fresh.refusingWrites.insert(kMenuPrefixes[3] + kEntry + "\\command");
    FakeSettings freshIni;
    settings::ExplorerIntegration context{fresh, freshIni, kEntry, kExe};
    EXPECT_EQ(ErrorOf([&] { settings::setincontext(context, true, true); }), "Failed to set data for ''");
    EXPECT_EQ(fresh.Text(kMenuPrefixes[2] + kEntry + "\\command"), kArgument);
    EXPECT_FALSE(fresh.Exists(kMenuPrefixes[4] + kEntry));
    EXPECT_FALSE(fresh.Exists(kMenuPrefixes[5] + kEntry));
    EXPECT_EQ(freshIni.values["Settings/InContextMenu"], "1");

    Menu(false, true);
    EXPECT_EQ(ini.values["Settings/InContextMenu"], "0");
}

TEST_F(ExplorerIntegrationTest, FindHandlerInstallsWithBackupsAndRemovalRestoresThem)
{
    ShellVerb(kFindVerbs[0], "%SystemRoot%\\Explorer.exe");
    ShellVerb(kFindVerbs[3], "%SystemRoot%\\Explorer.exe /drive");
    // My Documents has no find command: neither its ddeexec nor anything else is touched.
    registry.SetString(kFindVerbs[2] + "\\ddeexec", "", "keep");
    const std::string original = registry.Dump();
    const auto dde = registry.Value(kFindVerbs[0] + "\\ddeexec", "Flags");

    Find(true, true);
    EXPECT_EQ(ini.values["Settings/DefaultFind"], "1");
    EXPECT_EQ(registry.Text(kFindVerbs[0] + "\\command"), kFindCommands[0]);
    EXPECT_EQ(registry.Text(kFindVerbs[0] + "\\command", "01"), "%SystemRoot%\\Explorer.exe");
    EXPECT_EQ(registry.Text(kFindVerbs[3] + "\\command"), kFindCommands[3]);
    EXPECT_EQ(registry.Text(kFindVerbs[3] + "\\command", "01"), "%SystemRoot%\\Explorer.exe /drive");
    EXPECT_FALSE(registry.Exists(kFindVerbs[0] + "\\ddeexec"));
    EXPECT_EQ(registry.Value(kFindVerbs[0] + "\\zaloha", "Flags"), dde);
    EXPECT_EQ(registry.Text(kFindVerbs[0] + "\\zaloha\\topic"), "AppProperties");
    EXPECT_FALSE(registry.Exists(kFindVerbs[1]));
    EXPECT_EQ(registry.Text(kFindVerbs[2] + "\\ddeexec"), "keep");
    EXPECT_FALSE(registry.Exists(kFindVerbs[2] + "\\zaloha"));

    // A second install finds its own command: the first backup stays, nothing changes.
    const std::string installed = registry.Dump();
    Find(true);
    EXPECT_EQ(registry.Dump(), installed);

    Find(false, true);
    EXPECT_EQ(ini.values["Settings/DefaultFind"], "0");
    // Everything is as it was, apart from the backup values left behind.
    EXPECT_EQ(registry.Text(kFindVerbs[0] + "\\command"), "%SystemRoot%\\Explorer.exe");
    EXPECT_EQ(registry.Text(kFindVerbs[3] + "\\command", "01"), "%SystemRoot%\\Explorer.exe /drive");
    std::string dump = registry.Dump();
    const std::string backupLine = "  \"01\"";
    for (size_t pos; (pos = dump.find(backupLine)) != std::string::npos;)
        dump.erase(pos, dump.find('\n', pos) - pos + 1);
    EXPECT_EQ(dump, original);

    const std::string removed = registry.Dump();
    Find(false);
    EXPECT_EQ(registry.Dump(), removed) << "a second removal changes nothing";
}

TEST_F(ExplorerIntegrationTest, FindHandlerEdgeCases)
{
    // No default value: an empty backup, and removal writes an empty default value.
    registry.AddKey(kFindVerbs[0] + "\\command");
    // Already the program's command (even as an earlier release wrote it, without quotes): no backup.
    registry.SetString(kFindVerbs[1] + "\\command", "", kExe);
    registry.SetString(kFindVerbs[1] + "\\zaloha", "", "moved back");
    // ddeexec and zaloha both present: left as they are both ways.
    registry.SetString(kFindVerbs[3] + "\\command", "", "shell");
    registry.SetString(kFindVerbs[3] + "\\ddeexec", "", "new");
    registry.SetString(kFindVerbs[3] + "\\zaloha", "", "old");

    Find(true);
    EXPECT_EQ(registry.Text(kFindVerbs[0] + "\\command", "01"), "");
    EXPECT_FALSE(registry.Value(kFindVerbs[1] + "\\command", "01"));
    EXPECT_EQ(registry.Text(kFindVerbs[1] + "\\command"), kFindCommands[1]);
    EXPECT_EQ(registry.Text(kFindVerbs[3] + "\\ddeexec"), "new");
    EXPECT_EQ(registry.Text(kFindVerbs[3] + "\\zaloha"), "old");

    Find(false);
    auto restored = registry.Value(kFindVerbs[0] + "\\command", "");
    ASSERT_TRUE(restored) << "the empty backup is written, not the default value deleted";
    EXPECT_EQ(*restored, StringValue("", ""));
    EXPECT_EQ(registry.Text(kFindVerbs[1] + "\\command"), kFindCommands[1]) << "no backup: the command stays";
    EXPECT_EQ(registry.Text(kFindVerbs[1] + "\\ddeexec"), "moved back");
    EXPECT_FALSE(registry.Exists(kFindVerbs[1] + "\\zaloha"));
    EXPECT_EQ(registry.Text(kFindVerbs[3] + "\\command"), "shell");
    EXPECT_EQ(registry.Text(kFindVerbs[3] + "\\ddeexec"), "new");
    EXPECT_EQ(registry.Text(kFindVerbs[3] + "\\zaloha"), "old");
}

TEST_F(ExplorerIntegrationTest, ExpandableCommandIsBackedUpAndRestoredWithItsType)
{
    const RegistryValue shell = StringValue("", "%SystemRoot%\\Explorer.exe", platform::kRegExpandString);
    registry.SetValue(kFindVerbs[0] + "\\command", shell);
    Find(true);
    EXPECT_EQ(registry.Value(kFindVerbs[0] + "\\command", "01")->type, platform::kRegExpandString);
    EXPECT_EQ(registry.Value(kFindVerbs[0] + "\\command", "")->type, platform::kRegString);
    Find(false);
    EXPECT_EQ(*registry.Value(kFindVerbs[0] + "\\command", ""), shell);
}

TEST_F(ExplorerIntegrationTest, FindHandlerFailuresStopAtTheirPlace)
{
    for (const auto& verb : kFindVerbs)
        registry.SetString(verb + "\\command", "", "shell");
    // A place the process may not write is skipped silently.
    registry.readOnlyTrees.insert(kFindVerbs[0]);
    // A command that is not a string stops the operation at its place.
    registry.SetValue(kFindVerbs[2] + "\\command", RegistryValue{"", platform::kRegDword, {1, 0, 0, 0}});
    EXPECT_EQ(ErrorOf([&] { Find(true, true); }), "Invalid data type for ''");
    EXPECT_EQ(ini.values["Settings/DefaultFind"], "1");
    EXPECT_EQ(registry.Text(kFindVerbs[0] + "\\command"), "shell");
    EXPECT_EQ(registry.Text(kFindVerbs[1] + "\\command"), kFindCommands[1]);
    EXPECT_EQ(registry.Text(kFindVerbs[3] + "\\command"), "shell") << "the places after it are not handled";

    // A backup that is not a string stops the removal the same way.
    registry.SetValue(kFindVerbs[1] + "\\command", RegistryValue{"01", platform::kRegBinary, {1, 2}});
    EXPECT_EQ(ErrorOf([&] { Find(false); }), "Invalid data type for '01'");

    // A refused write names the value: the backup is the first write.
    FakeRegistry fresh;
    FakeSettings freshIni;
    fresh.SetString(kFindVerbs[0] + "\\command", "", "shell");
    fresh.SetString(kFindVerbs[1] + "\\command", "", "shell");
    fresh.refusingWrites.insert(kFindVerbs[0] + "\\command");
    settings::ExplorerIntegration context{fresh, freshIni, kEntry, kExe};
    EXPECT_EQ(ErrorOf([&] { settings::setdefaoultfind(context, true, false); }),
              "Failed to set data for '01'");
    EXPECT_EQ(fresh.Text(kFindVerbs[1] + "\\command"), "shell");
}

TEST_F(ExplorerIntegrationTest, MoveKeepsTypesAndSubkeysAndNeverLosesTheSource)
{
    const std::vector<RegistryValue> values = {
        StringValue("", "default"),
        RegistryValue{"bin", platform::kRegBinary, {0, 1, 2, 255}},
        RegistryValue{"multi", platform::kRegMultiString, {'a', 0, 0, 0, 0, 0}},
        StringValue("unterminated", "abc", platform::kRegString, false),
    };
    for (const auto& value : values)
        registry.SetValue("Src", value);
    registry.SetString("Src\\a\\b", "deep", "1");
    registry.AddKey("Src\\empty");

    // The target cannot be created: the source stays.
    registry.readOnlyTrees.insert("Dst");
    settings::MoveRegistryKey(registry, "Src", "Dst");
    EXPECT_TRUE(registry.Exists("Src"));
    registry.readOnlyTrees.clear();

    // A value the target refuses: the error, the source intact, no half copy.
    registry.refusingWrites.insert("Dst");
    EXPECT_EQ(ErrorOf([&] { settings::MoveRegistryKey(registry, "Src", "Dst"); }),
              "Failed to set data for ''");
    EXPECT_TRUE(registry.Exists("Src\\a\\b"));
    EXPECT_FALSE(registry.Exists("Dst"));
    registry.refusingWrites.clear();

    settings::MoveRegistryKey(registry, "Src", "Dst");
    EXPECT_FALSE(registry.Exists("Src"));
    for (const auto& value : values)
        EXPECT_EQ(registry.Value("Dst", value.name), value) << value.name;
    EXPECT_EQ(registry.Text("Dst\\a\\b", "deep"), "1");
    EXPECT_TRUE(registry.Exists("Dst\\empty"));

    // Nothing to move, or a target in the way: nothing happens.
    registry.journal.clear();
    settings::MoveRegistryKey(registry, "Src", "Other");
    registry.AddKey("Src");
    settings::MoveRegistryKey(registry, "Src", "Dst");
    EXPECT_TRUE(registry.journal.empty());
}

} // namespace
