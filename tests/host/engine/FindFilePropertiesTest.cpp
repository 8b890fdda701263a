// The finder's properties: initial values, validation and its messages, list copies.
#include "tests/host/engine/EngineFixture.h"

using engine::EFindFileError;
using engine::TFileAttributes;
using engine::TThreadPriority;

namespace
{

TEST_F(EngineTest, ANewFinderHasTheInitialValues)
{
    engine::TFindFile finder(Services());
    EXPECT_EQ(finder.Filename(), "*.*");
    EXPECT_EQ(finder.Location(), "");
    EXPECT_TRUE(finder.IncludeFiles().empty());
    EXPECT_TRUE(finder.ExcludeFiles().empty());
    EXPECT_TRUE(finder.Subfolders());
    EXPECT_EQ(finder.Attributes(),
              (TFileAttributes{engine::ffArchive, engine::ffReadonly, engine::ffHidden, engine::ffSystem}));
    EXPECT_EQ(finder.Attributes().Bits(), 15);
    EXPECT_FALSE(finder.ExactAttribute());
    EXPECT_EQ(finder.ModifiedBefore(), 0);
    EXPECT_EQ(finder.ModifiedAfter(), 0);
    EXPECT_EQ(finder.CreatedBefore(), 0);
    EXPECT_EQ(finder.CreatedAfter(), 0);
    EXPECT_EQ(finder.AccessedBefore(), 0);
    EXPECT_EQ(finder.AccessedAfter(), 0);
    EXPECT_EQ(finder.SizeMin(), 0);
    EXPECT_EQ(finder.SizeMax(), 0);
    EXPECT_EQ(finder.Containing(), "");
    EXPECT_TRUE(finder.IgnoreCase());
    EXPECT_FALSE(finder.Threaded());
    EXPECT_EQ(finder.ThreadPriority(), TThreadPriority::tpNormal);
    EXPECT_FALSE(finder.Busy());
    EXPECT_FALSE(finder.Aborted());
    EXPECT_FALSE(finder.OnFound);
    EXPECT_FALSE(finder.OnNewFolder);
    EXPECT_FALSE(finder.OnComplete);
}

TEST_F(EngineTest, FilenameMustBeABareName)
{
    engine::TFindFile finder(Services());
    for (const char* bad : {"C:\\*.txt", "sub\\x.txt", "c:x.txt", "\\x", "x:"})
    {
        EXPECT_THROW(finder.SetFilename(bad), EFindFileError) << bad;
        EXPECT_EQ(finder.Filename(), "*.*") << "a rejected value leaves the old one";
    }
    for (const char* good : {"*.txt", "x", "", "*.txt;*.doc", "a?b*.c.d"})
    {
        EXPECT_NO_THROW(finder.SetFilename(good)) << good;
        EXPECT_EQ(finder.Filename(), good);
    }
}

TEST_F(EngineTest, LocationMayHoldNoWildcard)
{
    engine::TFindFile finder(Services());
    finder.SetLocation("C:\\keep");
    for (const char* bad : {"C:\\TEMP\\*", "C:\\TEMP?", "*", "C:\\;D:\\?x"})
    {
        EXPECT_THROW(finder.SetLocation(bad), EFindFileError) << bad;
        EXPECT_EQ(finder.Location(), "C:\\keep");
    }
    for (const char* good : {"C:\\;D:\\", "", "Q:\\does\\not\\exist", ";", "rel\\path"})
    {
        EXPECT_NO_THROW(finder.SetLocation(good)) << good;
        EXPECT_EQ(finder.Location(), good);
    }
}

TEST_F(EngineTest, ValidationMessagesCarryTheValueThenLineFeedAndCarriageReturn)
{
    engine::TFindFile finder(Services());
    try
    {
        finder.SetFilename("C:\\*.txt");
        FAIL() << "no exception";
    }
    catch (const EFindFileError& error)
    {
        EXPECT_EQ(std::string(error.what()), std::string("C:\\*.txt\x0A\x0DInvalid filename specified"));
    }
    try
    {
        finder.SetLocation("C:\\TEMP\\*");
        FAIL() << "no exception";
    }
    catch (const EFindFileError& error)
    {
        EXPECT_EQ(std::string(error.what()),
                  std::string("C:\\TEMP\\*\x0A\x0Dlocation cannot to be contained wildcards"));
    }
}

TEST_F(EngineTest, ListsAreCopiedAndNullClears)
{
    engine::TFindFile finder(Services());
    std::vector<std::string> lines{"C:\\a\\*.txt", "D:\\b\\*.*"};
    finder.SetIncludeFiles(&lines);
    finder.SetExcludeFiles(&lines);
    lines.push_back("changed later");
    EXPECT_EQ(finder.IncludeFiles().size(), 2u);
    EXPECT_EQ(finder.ExcludeFiles().size(), 2u);
    finder.SetIncludeFiles(nullptr);
    finder.SetExcludeFiles(nullptr);
    EXPECT_TRUE(finder.IncludeFiles().empty());
    EXPECT_TRUE(finder.ExcludeFiles().empty());
}

TEST_F(EngineTest, CriteriaAreSetWholeOrNotAtAll)
{
    engine::TFindFile finder(Services());
    engine::FindCriteria wanted;
    wanted.filename = "*.log";
    wanted.location = "C:\\logs";
    wanted.sizeMax = 5;
    wanted.accessedAfter = 42;
    wanted.ignoreCase = false;
    finder.SetCriteria(wanted);
    EXPECT_EQ(finder.Filename(), "*.log");
    EXPECT_EQ(finder.Location(), "C:\\logs");
    EXPECT_EQ(finder.SizeMax(), 5);
    EXPECT_EQ(finder.AccessedAfter(), 42);
    EXPECT_FALSE(finder.IgnoreCase());

    engine::FindCriteria badMask = wanted;
    badMask.filename = "sub\\*.txt";
    badMask.sizeMax = 99;
    EXPECT_THROW(finder.SetCriteria(badMask), EFindFileError);
    engine::FindCriteria badPlace = wanted;
    badPlace.location = "C:\\*";
    badPlace.sizeMax = 99;
    EXPECT_THROW(finder.SetCriteria(badPlace), EFindFileError);
    EXPECT_EQ(finder.SizeMax(), 5);
    EXPECT_EQ(finder.Criteria().location, "C:\\logs");
}

TEST(PlatformPriorityTest, MapsTheSevenPrioritiesInOrder)
{
    using P = TThreadPriority;
    const std::pair<P, int> expected[] = {{P::tpIdle, -15},       {P::tpLowest, -2}, {P::tpLower, -1},
                                          {P::tpNormal, 0},       {P::tpHigher, 1},  {P::tpHighest, 2},
                                          {P::tpTimeCritical, 15}};
    for (const auto& [priority, platform] : expected)
        EXPECT_EQ(engine::PlatformPriority(priority), platform);
}

} // namespace
