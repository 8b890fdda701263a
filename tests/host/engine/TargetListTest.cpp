// Targets of a run from Location and Filename, and the folder strings shown in events.
#include "engine/TargetList.h"

#include "tests/support/FakeFileSystem.h"

#include <gtest/gtest.h>

using engine::BuildTargetList;
using engine::EventFolder;
using engine::SplitTarget;

namespace
{

using Lines = std::vector<std::string>;

class TargetListTest : public ::testing::Test
{
protected:
    TargetListTest()
    {
        fs.SetCurrentFolder("C:\\work");
        fs.SetDriveFolder('D', "D:\\projects");
    }
    Lines Build(const std::string& location, const std::string& filename)
    {
        Lines targets;
        BuildTargetList(targets, location, filename,
                        [this](const std::string& p) { return fs.AbsolutePath(p); });
        return targets;
    }
    testing_support::FakeFileSystem fs;
};

TEST_F(TargetListTest, JoinsEachFolderWithTheMask)
{
    EXPECT_EQ(Build("C:\\;D:\\", "*.TXT"), (Lines{"C:\\*.TXT", "D:\\*.TXT"}));
    EXPECT_EQ(Build("C:\\data", "*.txt"), (Lines{"C:\\data\\*.txt"}));
    EXPECT_EQ(Build("sub", "*.txt"), (Lines{"C:\\work\\sub\\*.txt"}));
    EXPECT_EQ(Build("D:", "*.txt"), (Lines{"D:\\projects\\*.txt"}));
    EXPECT_EQ(Build("\\\\server\\share", "x.y"), (Lines{"\\\\server\\share\\x.y"}));
}

TEST_F(TargetListTest, DerivesTheMaskFromTheFilename)
{
    EXPECT_EQ(Build("C:\\", "README"), (Lines{"C:\\README.*"}));
    EXPECT_EQ(Build("C:\\", ""), (Lines{"C:\\*.*"}));
    EXPECT_EQ(Build("C:\\", "a.b"), (Lines{"C:\\a.b"}));
    EXPECT_EQ(Build("C:\\", "*.txt;*.doc"), (Lines{"C:\\*.txt;*.doc"})); // never split
    EXPECT_EQ(Build("C:\\", "x;y"), (Lines{"C:\\x;y.*"}));
}

TEST_F(TargetListTest, DropsTargetsThatDifferOnlyInCase)
{
    EXPECT_EQ(Build("C:\\;c:\\", "*.*"), (Lines{"C:\\*.*"}));
    EXPECT_EQ(Build("C:\\Data;C:\\DATA\\;D:\\", "*.*"), (Lines{"C:\\Data\\*.*", "D:\\*.*"}));
    Lines targets{"C:\\WORK\\*.TXT"};
    BuildTargetList(targets, "", "*.txt", [this](const std::string& p) { return fs.AbsolutePath(p); });
    EXPECT_EQ(targets, (Lines{"C:\\WORK\\*.TXT"})); // the list's existing lines count too
}

TEST_F(TargetListTest, ReadsEmptyPartsAsTheCurrentFolder)
{
    EXPECT_EQ(Build("", "*.*"), (Lines{"C:\\work\\*.*"}));
    EXPECT_EQ(Build(";", "*.*"), (Lines{"C:\\work\\*.*"}));
    EXPECT_EQ(Build("C:\\;;D:\\", "*.*"), (Lines{"C:\\*.*", "C:\\work\\*.*", "D:\\*.*"}));
    EXPECT_EQ(Build("C:\\;", "*.*"), (Lines{"C:\\*.*"}));
    EXPECT_EQ(Build("C:\\;;", "*.*"), (Lines{"C:\\*.*"}));
    EXPECT_EQ(Build(";C:\\", "*.*"), (Lines{"C:\\work\\*.*", "C:\\*.*"}));
}

TEST(TargetPartsTest, SplitsAtTheLastBackslashOrColon)
{
    EXPECT_EQ(SplitTarget("C:\\DATA\\*.TXT").folder, "C:\\DATA\\");
    EXPECT_EQ(SplitTarget("C:\\DATA\\*.TXT").mask, "*.TXT");
    EXPECT_EQ(SplitTarget("D:*.txt").folder, "D:");
    EXPECT_EQ(SplitTarget("D:*.txt").mask, "*.txt");
    EXPECT_EQ(SplitTarget("*.txt").folder, "");
    EXPECT_EQ(SplitTarget("*.txt").mask, "*.txt");
    EXPECT_EQ(SplitTarget("C:\\DATA\\").mask, "");
}

TEST(TargetPartsTest, EventFoldersLoseTheirTrailingBackslashExceptAtADriveRoot)
{
    EXPECT_EQ(EventFolder("C:\\WINDOWS\\"), "C:\\WINDOWS");
    EXPECT_EQ(EventFolder("C:\\"), "C:\\");
    EXPECT_EQ(EventFolder("\\\\SERVER\\SHARE\\DIR\\"), "\\\\SERVER\\SHARE\\DIR");
    EXPECT_EQ(EventFolder("\\"), "\\");
    EXPECT_EQ(EventFolder(""), "");
    EXPECT_EQ(EventFolder("C:\\A"), "C:\\A");
}

} // namespace
