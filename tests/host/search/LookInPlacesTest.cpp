#include "ui/search/LookInPlaces.h"

#include "controls/ErrorText.h"
#include "tests/support/FakeRegistry.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace
{

using ui::PlaceKind;

class FakeShell : public ui::PlaceProber
{
public:
    std::set<std::string> fixed;
    std::map<std::string, ui::ShellDescription> known;
    std::vector<std::string> asked;

    bool IsFixedDrive(const std::string& root) override { return fixed.count(root) != 0; }
    std::optional<ui::ShellDescription> Describe(const std::string& path) override
    {
        asked.push_back(path);
        auto it = known.find(path);
        if (it == known.end())
            return std::nullopt;
        return it->second;
    }
};

TEST(LastPathPart, PartAfterTheLastBackslash)
{
    EXPECT_EQ(ui::LastPathPart("C:\\Users\\Me\\Desktop"), "Desktop");
    EXPECT_EQ(ui::LastPathPart("C:\\Documents and Settings\\Me\\Desktop"), "Desktop");
    EXPECT_EQ(ui::LastPathPart("C:\\Data\\"), "Data\\");
    EXPECT_EQ(ui::LastPathPart("C:\\"), "");
    EXPECT_EQ(ui::LastPathPart("\\a"), "a");
    EXPECT_EQ(ui::LastPathPart("Desktop"), "");
    EXPECT_EQ(ui::LastPathPart("\\"), "");
    EXPECT_EQ(ui::LastPathPart(""), "");
    EXPECT_EQ(ui::LastPathPart("C:\\Users\\Плоха"), "Плоха");
}

TEST(CutSpecialFolderPath, KeepsAtMost255Characters)
{
    const std::string shortPath = "C:\\Users\\Me";
    EXPECT_EQ(ui::CutSpecialFolderPath(shortPath), shortPath);
    EXPECT_EQ(ui::CutSpecialFolderPath(std::string(300, 'x')), std::string(255, 'x'));
    std::string cyrillic;
    for (int i = 0; i < 300; ++i)
        cyrillic += "ж";
    const std::string cut = ui::CutSpecialFolderPath(cyrillic);
    EXPECT_EQ(cut.size(), 255u * 2);
}

TEST(ReadSpecialFolders, TakesTheUsersShellFoldersStringsOnly)
{
    using platform::RegistryRoot;
    const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    testing_support::FakeRegistry missing;
    EXPECT_EQ(ui::ReadSpecialFolders(missing).desktop, "");

    testing_support::FakeRegistry registry;
    registry.SetString(key, "Desktop", "C:\\Users\\Ана\\Desktop", RegistryRoot::CurrentUser);
    registry.SetValue(key, {"Personal", platform::kRegDword, {1, 0, 0, 0}}, RegistryRoot::CurrentUser);
    // The same key under the classes root is not the user's.
    registry.SetString(key, "Personal", "C:\\Wrong", RegistryRoot::ClassesRoot);
    ui::SpecialFolders folders = ui::ReadSpecialFolders(registry);
    EXPECT_EQ(folders.desktop, "C:\\Users\\Ана\\Desktop");
    EXPECT_EQ(folders.personal, "");

    registry.SetString(key, "Personal", std::string(300, 'p'), RegistryRoot::CurrentUser);
    EXPECT_EQ(ui::ReadSpecialFolders(registry).personal, std::string(255, 'p'));
}

TEST(BuildPlaces, DrivesFixedDrivesSpecialFoldersAndBrowse)
{
    FakeShell shell;
    shell.fixed = {"C:\\", "D:\\"};
    shell.known = {{"C:\\", {3, "Local Disk"}},
                   {"D:\\", {4, "Local Disk"}},
                   {"E:\\", {5, "CD Drive"}},
                   {"C:\\Users\\Me\\Desktop", {7, "File folder"}},
                   {"C:\\Users\\Me\\Documents", {8, "File folder"}}};
    const auto places =
        ui::BuildPlaces(shell, {"C:\\Users\\Me\\Desktop", "C:\\Users\\Me\\Documents"}, "Browse...");
    ASSERT_EQ(places.size(), 7u);
    EXPECT_EQ(places[0].text, "C:\\");
    EXPECT_EQ(places[2].text, "E:\\");
    EXPECT_EQ(places[2].iconIndex, 5);
    EXPECT_EQ(places[3].kind, PlaceKind::AllFixedDrives);
    EXPECT_EQ(places[3].text, "C:\\;D:\\;");
    EXPECT_EQ(places[3].iconIndex, 5); // the last drive described
    EXPECT_EQ(places[4].kind, PlaceKind::Desktop);
    EXPECT_EQ(places[4].text, "Desktop");
    EXPECT_EQ(places[5].text, "Documents");
    EXPECT_EQ(places[6].kind, PlaceKind::Browse);
    EXPECT_EQ(places[6].text, "Browse...");
    EXPECT_EQ(places[6].iconIndex, 8);
    EXPECT_EQ(ui::StartPlaceIndex(places.size()), 3u);
}

TEST(BuildPlaces, UndescribedOrNamelessPlacesAreLeftOut)
{
    FakeShell shell;
    shell.known = {{"C:\\", {1, "Local Disk"}}, {"F:\\", {2, ""}}, {"C:\\Desk", {6, "File folder"}}};
    const auto places = ui::BuildPlaces(shell, {"C:\\Desk", ""}, "Browse");
    ASSERT_EQ(places.size(), 4u);
    EXPECT_EQ(places[0].text, "C:\\");
    // No fixed drive: an empty all-fixed-drives text; the nameless F: still gave the last icon.
    EXPECT_EQ(places[1].kind, PlaceKind::AllFixedDrives);
    EXPECT_EQ(places[1].text, "");
    EXPECT_EQ(places[1].iconIndex, 2);
    EXPECT_EQ(places[2].kind, PlaceKind::Desktop);
    EXPECT_EQ(places[3].kind, PlaceKind::Browse);
    // The empty Personal path is never handed to the shell.
    EXPECT_EQ(std::count(shell.asked.begin(), shell.asked.end(), ""), 0);
    // With an entry missing, count - 4 no longer falls on the all-fixed-drives entry.
    EXPECT_EQ(ui::StartPlaceIndex(places.size()), 0u);
    EXPECT_FALSE(ui::StartPlaceIndex(3).has_value());
}

TEST(ErrorBoxText, FullStopOnlyAfterCharactersSortingAfterIt)
{
    EXPECT_EQ(controls::ErrorBoxText("Invalid location"), "Invalid location.");
    EXPECT_EQ(controls::ErrorBoxText("Done."), "Done.");
    EXPECT_EQ(controls::ErrorBoxText("Really!"), "Really!");
    EXPECT_EQ(controls::ErrorBoxText("C:\\"), "C:\\.");
    EXPECT_EQ(controls::ErrorBoxText("Path -"), "Path -");
    EXPECT_EQ(controls::ErrorBoxText("code 7"), "code 7.");
    EXPECT_EQ(controls::ErrorBoxText("Ошибка"), "Ошибка.");
    EXPECT_EQ(controls::ErrorBoxText(""), "");
}

} // namespace
