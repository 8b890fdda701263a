// What a run could not look into: counted by kind, whatever the way it ran, and the targets'
// folders that were not there kept apart.
#include "engine/EntryFilter.h"
#include "tests/host/engine/EngineFixture.h"

using engine::SkipCounts;
using platform::OpenFailure;
using testing_support::FakeEntry;

namespace engine
{

// For the expectations below, found by argument-dependent lookup.
bool operator==(const SkipCounts& a, const SkipCounts& b)
{
    return a.foldersDenied == b.foldersDenied && a.foldersFailed == b.foldersFailed &&
           a.entriesVanished == b.entriesVanished && a.filesUnreadable == b.filesUnreadable &&
           a.linksNotFollowed == b.linksNotFollowed && a.pathsTooLong == b.pathsTooLong;
}

std::ostream& operator<<(std::ostream& out, const SkipCounts& c)
{
    return out << "{denied " << c.foldersDenied << ", failed " << c.foldersFailed << ", vanished "
               << c.entriesVanished << ", unreadable " << c.filesUnreadable << ", links "
               << c.linksNotFollowed << ", too long " << c.pathsTooLong << "}";
}

} // namespace engine

namespace
{

using Lines = std::vector<std::string>;

class SkipCountTest : public EngineTest
{
protected:
    // One of each thing a walk cannot look into, beside files it finds.
    void MakeTroubledTree()
    {
        fs.AddFile("C:\\t\\denied\\inside.txt").content = "needle";
        fs.FailListing("C:\\t\\denied", OpenFailure::AccessDenied);
        fs.AddFile("C:\\t\\broken\\inside.txt").content = "needle";
        fs.FailListing("C:\\t\\broken", OpenFailure::Other);
        fs.AddFile("C:\\t\\deep\\inside.txt").content = "needle";
        fs.FailListing("C:\\t\\deep", OpenFailure::PathTooLong);
        fs.AddFolder("C:\\t\\gone").vanished = true;
        fs.AddFile("C:\\t\\gone\\inside.txt").content = "needle";
        fs.AddFolder("C:\\t\\junction", FakeEntry::WithAttributes(0x410)).reparseTag = 0xA0000003;
        fs.AddFile("C:\\t\\junction\\loop.txt").content = "needle";
        fs.AddFolder("C:\\t\\sub\\winelink", FakeEntry::WithAttributes(0x410));
        FakeEntry locked;
        locked.content = "needle";
        locked.openFails = true;
        fs.AddFile("C:\\t\\sub\\locked.txt", locked);
        FakeEntry deleted;
        deleted.content = "needle";
        deleted.vanished = true;
        fs.AddFile("C:\\t\\sub\\deleted.txt", deleted);
        FakeEntry broken;
        broken.content = std::string(engine::ContentScanner::kBlockSize + 10, '-') + "needle";
        broken.readFailsFrom = engine::ContentScanner::kBlockSize;
        fs.AddFile("C:\\t\\sub\\read-error.txt", broken);
        fs.AddFile("C:\\t\\sub\\found.txt").content = "a needle";
        fs.AddFile("C:\\t\\top.txt").content = "needle";
    }

    // Runs the finder to its end, inline or on the worker; answers the counts OnComplete saw.
    SkipCounts RunToEnd(engine::TFindFile& finder, bool threaded)
    {
        SkipCounts seen;
        finder.OnComplete = [&seen](engine::TFindFile& sender) { seen = sender.Skipped().counts; };
        finder.SetThreaded(threaded);
        finder.StartSearch();
        syncCall.ServeUntil([&finder] { return !finder.Busy(); });
        return seen;
    }
};

TEST_F(SkipCountTest, EachKindIsCountedWhateverTheWayTheRunGoes)
{
    MakeTroubledTree();
    SkipCounts expected;
    expected.foldersDenied = 1;
    expected.foldersFailed = 1;
    expected.entriesVanished = 2; // the folder gone before it was entered, the file before it was read
    expected.filesUnreadable = 2; // the locked file and the one whose read failed
    expected.linksNotFollowed = 2;
    expected.pathsTooLong = 1;
    struct Way
    {
        bool threaded;
        bool prefetch;
    } ways[] = {{false, false}, {false, true}, {true, false}, {true, true}};
    for (const Way& way : ways)
    {
        records.clear();
        auto finder = MakeFinder();
        finder->SetLocation("C:\\t");
        finder->SetContaining("needle");
        finder->SetPrefetch(way.prefetch);
        const SkipCounts seen = RunToEnd(*finder, way.threaded);
        EXPECT_EQ(seen, expected) << "threaded " << way.threaded << ", prefetch " << way.prefetch;
        EXPECT_EQ(finder->Skipped().counts, expected);
        EXPECT_TRUE(finder->Skipped().missingFolders.empty());
        EXPECT_EQ(FoundNames(), (Lines{"top.txt", "found.txt"}));
        EXPECT_FALSE(finder->Aborted());
    }
}

TEST_F(SkipCountTest, FilesAreOnlyOpenedAndLinksOnlyCountedWhenTheSearchWouldNeedThem)
{
    MakeTroubledTree();
    auto finder = MakeFinder();
    finder->SetLocation("C:\\t");
    SkipCounts folderTrouble;
    folderTrouble.foldersDenied = 1;
    folderTrouble.foldersFailed = 1;
    folderTrouble.entriesVanished = 1;
    folderTrouble.linksNotFollowed = 2;
    folderTrouble.pathsTooLong = 1;
    EXPECT_EQ(RunToEnd(*finder, false), folderTrouble); // no text to look for: no file is opened
    finder->SetSubfolders(false);
    EXPECT_EQ(RunToEnd(*finder, false), SkipCounts()); // nothing below the top is entered
    EXPECT_FALSE(finder->Skipped().counts.Any());
}

TEST_F(SkipCountTest, ATargetFolderThatIsNotThereIsNamedNotCounted)
{
    fs.AddFile("C:\\here\\a.txt");
    fs.AddFile("C:\\here\\file.txt");
    fs.AddFolder("C:\\refused");
    fs.FailListing("C:\\refused", OpenFailure::AccessDenied);
    for (bool threaded : {false, true})
    {
        auto finder = MakeFinder();
        finder->SetLocation("C:\\nowhere;C:\\here;C:\\refused;C:\\here\\file.txt;D:\\");
        SkipCounts refused;
        refused.foldersDenied = 1;
        EXPECT_EQ(RunToEnd(*finder, threaded), refused) << threaded;
        EXPECT_EQ(finder->Skipped().missingFolders, (Lines{"C:\\nowhere", "C:\\here\\file.txt", "D:\\"}));

        // The next run starts from nothing.
        finder->SetLocation("C:\\here");
        EXPECT_EQ(RunToEnd(*finder, threaded), SkipCounts());
        EXPECT_TRUE(finder->Skipped().missingFolders.empty());
    }
}

} // namespace
