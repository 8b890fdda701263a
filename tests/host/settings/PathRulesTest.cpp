#include "settings/PathRules.h"

#include "settings/AppPaths.h"

#include <gtest/gtest.h>

namespace
{

TEST(ChangeFileExtension, ReplacesTheLastElementsExtension)
{
    using settings::ChangeFileExtension;
    EXPECT_EQ(ChangeFileExtension("C:\\Tools\\Finder.exe", ".ini"), "C:\\Tools\\Finder.ini");
    EXPECT_EQ(ChangeFileExtension("C:\\Tools\\Finder.v2.exe", ".ini"), "C:\\Tools\\Finder.v2.ini");
    EXPECT_EQ(ChangeFileExtension("C:\\Tools\\Finder.exe", ""), "C:\\Tools\\Finder");
    EXPECT_EQ(ChangeFileExtension("C:\\Tools.v2\\Finder", ".ini"), "C:\\Tools.v2\\Finder.ini");
    EXPECT_EQ(ChangeFileExtension("C:/Tools.v2/Finder", ".ini"), "C:/Tools.v2/Finder.ini");
    EXPECT_EQ(ChangeFileExtension("Finder", ".ini"), "Finder.ini");
    EXPECT_EQ(ChangeFileExtension("C:Finder.exe", ".ini"), "C:Finder.ini");
    EXPECT_EQ(ChangeFileExtension("C:\\Příliš\\Hledání.exe", ".ini"), "C:\\Příliš\\Hledání.ini");
}

TEST(AppPaths, TestPathMovesTheSettingsFile)
{
    std::string real = settings::ExeFileName();
    EXPECT_FALSE(real.empty());

    settings::SetExeFileNameForTests("D:\\Test folder\\Finder.exe");
    EXPECT_EQ(settings::ExeFileName(), "D:\\Test folder\\Finder.exe");
    EXPECT_EQ(settings::SettingsFilePath(), "D:\\Test folder\\Finder.ini");

    settings::SetExeFileNameForTests("");
    EXPECT_EQ(settings::ExeFileName(), real);
}

} // namespace
