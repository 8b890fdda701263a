#include "settings/SettingsFile.h"

#include "platform/UniqueHandle.h"
#include "settings/AppPaths.h"
#include "tests/win32/settings/TempFolder.h"

#include <gtest/gtest.h>

namespace
{

using testing_support::TempFolder;

class SettingsFileTest : public ::testing::Test
{
protected:
    void TearDown() override { settings::SetExeFileNameForTests(""); }
    TempFolder folder;
};

TEST_F(SettingsFileTest, AbsentFileOrKeyReadsAsMinusOneAndError)
{
    const std::string ini = folder / "Finder.ini";
    std::string value = "unchanged";
    EXPECT_EQ(settings::ReadIniInteger(ini, "Settings", "InContextMenu"), -1);
    EXPECT_FALSE(settings::ReadIniString(ini, "Options", "Language", value));
    EXPECT_EQ(value, "<Error>");
    EXPECT_EQ(GetFileAttributesW(platform::Widen(ini).c_str()), INVALID_FILE_ATTRIBUTES)
        << "a read creates no file";

    folder.WriteFile("Finder.ini", "[Settings]\r\nOther=5\r\n[Options]\r\nRunLang=DE\r\n");
    EXPECT_EQ(settings::ReadIniInteger(ini, "Settings", "InContextMenu"), -1);
    EXPECT_EQ(settings::ReadIniInteger(ini, "Missing", "Other"), -1);
    value = "unchanged";
    EXPECT_FALSE(settings::ReadIniString(ini, "Options", "Language", value));
    EXPECT_EQ(value, "<Error>");
}

TEST_F(SettingsFileTest, StoredValuesAsTheFileHoldsThem)
{
    folder.WriteFile("Finder.ini", "[Settings]\r\nA=256\r\nB=0x10\r\nC=word\r\nD=-1\r\nE=\r\nF=$1F\r\nG=0\r\n"
                                   "[Options]\r\nLanguage=<Error>\r\nRunLang=CSY\r\nEmpty=\r\n");
    const std::string ini = folder / "Finder.ini";
    EXPECT_EQ(settings::ReadIniInteger(ini, "Settings", "A"), 256);
    EXPECT_EQ(settings::ReadIniInteger(ini, "Settings", "B"), 16);
    EXPECT_EQ(settings::ReadIniInteger(ini, "Settings", "C"), -1);
    EXPECT_EQ(settings::ReadIniInteger(ini, "Settings", "D"), -1);
    EXPECT_EQ(settings::ReadIniInteger(ini, "Settings", "E"), -1);
    EXPECT_EQ(settings::ReadIniInteger(ini, "Settings", "F"), 31);
    EXPECT_EQ(settings::ReadIniInteger(ini, "Settings", "G"), 0);
    EXPECT_EQ(settings::ReadIniInteger(ini, "settings", "a"), 256) << "names ignore letter case";

    std::string value;
    EXPECT_FALSE(settings::ReadIniString(ini, "Options", "Language", value));
    EXPECT_EQ(value, "<Error>");
    EXPECT_TRUE(settings::ReadIniString(ini, "Options", "RunLang", value));
    EXPECT_EQ(value, "CSY");
    EXPECT_TRUE(settings::ReadIniString(ini, "Options", "Empty", value));
    EXPECT_EQ(value, "");
}

TEST_F(SettingsFileTest, WritesCreateTheFileAndStoreDecimal)
{
    const std::string ini = folder / "Finder.ini";
    EXPECT_TRUE(settings::WriteIniInteger(ini, "Settings", "InContextMenu", 1));
    EXPECT_TRUE(settings::WriteIniInteger(ini, "Settings", "DefaultFind", -20));
    EXPECT_TRUE(settings::WriteIniString(ini, "Options", "Language", "RUS"));
    const std::string text = folder.ReadFile("Finder.ini");
    EXPECT_NE(text.find("InContextMenu=1"), std::string::npos) << text;
    EXPECT_NE(text.find("DefaultFind=-20"), std::string::npos) << text;

    EXPECT_EQ(settings::ReadIniInteger(ini, "Settings", "InContextMenu"), 1);
    EXPECT_EQ(settings::ReadIniInteger(ini, "Settings", "DefaultFind"), -20);
    std::string value;
    EXPECT_TRUE(settings::ReadIniString(ini, "Options", "Language", value));
    EXPECT_EQ(value, "RUS");

    EXPECT_TRUE(settings::WriteIniInteger(ini, "Settings", "InContextMenu", 0));
    EXPECT_EQ(settings::ReadIniInteger(ini, "Settings", "InContextMenu"), 0) << "the last writer wins";
}

TEST_F(SettingsFileTest, UnwritablePlacesFailQuietly)
{
    const std::string noFolder = folder / "missing\\Finder.ini";
    EXPECT_FALSE(settings::WriteIniInteger(noFolder, "Settings", "InContextMenu", 1));
    EXPECT_FALSE(settings::WriteIniString(noFolder, "Options", "Language", "EN"));
    EXPECT_EQ(settings::ReadIniInteger(noFolder, "Settings", "InContextMenu"), -1);

    CreateDirectoryW(platform::Widen(folder / "Folder.ini").c_str(), nullptr);
    EXPECT_FALSE(settings::WriteIniString(folder / "Folder.ini", "Options", "Language", "EN"));

    // Held open by another program without sharing.
    folder.WriteFile("Locked.ini", "[Settings]\r\nInContextMenu=1\r\n");
    platform::UniqueFile lock(CreateFileW(platform::Widen(folder / "Locked.ini").c_str(),
                                          GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                          nullptr));
    ASSERT_TRUE(lock.Valid());
    EXPECT_FALSE(settings::WriteIniInteger(folder / "Locked.ini", "Settings", "InContextMenu", 0));
    EXPECT_EQ(settings::ReadIniInteger(folder / "Locked.ini", "Settings", "InContextMenu"), -1);
    lock.Reset();
    EXPECT_EQ(settings::ReadIniInteger(folder / "Locked.ini", "Settings", "InContextMenu"), 1);
}

TEST_F(SettingsFileTest, ExplorerSettingsComeFromTheFileBesideTheProgram)
{
    settings::SetExeFileNameForTests(folder / "Finder.exe");
    EXPECT_EQ(settings::SettingsFilePath(), folder / "Finder.ini");
    EXPECT_EQ(settings::incontext(), -1);
    EXPECT_EQ(settings::defaultfind(), -1);

    folder.WriteFile("Finder.ini", "[Settings]\r\nInContextMenu=256\r\nDefaultFind=0\r\n");
    EXPECT_EQ(settings::incontext(), 256);
    EXPECT_EQ(settings::defaultfind(), 0);

    settings::WriteIniInteger(settings::SettingsFilePath(), "Settings", "DefaultFind", 1);
    EXPECT_EQ(settings::defaultfind(), 1) << "nothing is cached";
}

TEST(AppPaths, RealExecutableName)
{
    settings::SetExeFileNameForTests("");
    std::string exe = settings::ExeFileName();
    wchar_t expected[MAX_PATH];
    GetModuleFileNameW(nullptr, expected, MAX_PATH);
    EXPECT_EQ(exe, platform::Narrow(expected));
    ASSERT_GT(exe.size(), 4u);
    EXPECT_EQ(settings::SettingsFilePath(), exe.substr(0, exe.size() - 4) + ".ini");
}

} // namespace
