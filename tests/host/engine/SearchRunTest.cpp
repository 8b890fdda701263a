// The walk of a run over a fake tree: order of events, pruning, the entries it skips or keeps.
#include "engine/DateTime.h"
#include "engine/EntryFilter.h"
#include "engine/FolderPrefetch.h"
#include "tests/host/engine/EngineFixture.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

using engine::TFindFile;
using testing_support::FakeEntry;

namespace
{
using Lines = std::vector<std::string>;
}

TEST_F(EngineTest, EventsComeDepthFirstAndPreOrder)
{
    fs.AddFile("C:\\d\\a.txt");
    fs.AddFolder("C:\\d\\x");
    fs.AddFile("C:\\d\\b.txt");
    fs.AddFile("C:\\d\\x\\c.txt");
    fs.AddFolder("C:\\d\\x\\deep");
    fs.AddFile("C:\\d\\x\\deep\\e.txt");
    fs.AddFolder("C:\\d\\y");
    fs.AddFile("C:\\d\\y\\f.txt");
    auto finder = MakeFinder();
    finder->SetFilename("*.txt");
    RunInline(*finder, "C:\\d");
    EXPECT_EQ(events, (Lines{"folder C:\\d", "found C:\\d|a.txt", "found C:\\d|b.txt", "folder C:\\d\\x",
                             "found C:\\d\\x|c.txt", "folder C:\\d\\x\\deep", "found C:\\d\\x\\deep|e.txt",
                             "folder C:\\d\\y", "found C:\\d\\y|f.txt", "complete"}));
    EXPECT_FALSE(finder->Aborted());
    EXPECT_FALSE(finder->Busy());
}

TEST_F(EngineTest, ListsEachFolderOnce)
{
    fs.AddFile("C:\\d\\a.txt");
    fs.AddFolder("C:\\d\\x\\y");
    fs.AddFolder("C:\\d\\z");
    auto finder = MakeFinder();
    finder->SetPrefetch(false);
    RunInline(*finder, "C:\\d");
    const Lines inWalkOrder{"C:\\d\\", "C:\\d\\x\\", "C:\\d\\x\\y\\", "C:\\d\\z\\"};
    EXPECT_EQ(fs.ListedFolders(), inWalkOrder);
    // Opened ahead, the folders come in any order, but still each once.
    finder->SetPrefetch(true);
    RunInline(*finder, "C:\\d");
    Lines listed = fs.ListedFolders();
    listed.erase(listed.begin(), listed.begin() + 4);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, inWalkOrder);
}

TEST_F(EngineTest, AnIgnoredFolderHidesEverythingBelowItButNotItsSiblings)
{
    fs.AddFile("C:\\d\\x\\a.txt");
    fs.AddFile("C:\\d\\x\\sub\\b.txt");
    fs.AddFile("C:\\d\\y\\c.txt");
    ignoreFolders.insert("C:\\d\\x");
    auto finder = MakeFinder();
    finder->SetPrefetch(false); // opened ahead, x may be opened before its event, never entered
    RunInline(*finder, "C:\\d");
    EXPECT_EQ(events, (Lines{"folder C:\\d", "folder C:\\d\\x", "folder C:\\d\\y", "found C:\\d\\y|c.txt",
                             "complete"}));
    EXPECT_EQ(fs.ListedFolders(), (Lines{"C:\\d\\", "C:\\d\\y\\"}));
}

TEST_F(EngineTest, NamesStartingWithADotAreNeitherReportedNorEntered)
{
    fs.AddFile("C:\\d\\.profile");
    fs.AddFile("C:\\d\\.cache\\inside.txt");
    fs.AddFile("C:\\d\\keep.txt");
    auto finder = MakeFinder();
    finder->SetAttributes(engine::TFileAttributes::FromBits(0x1F));
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"keep.txt"}));
    EXPECT_EQ(fs.ListedFolders(), (Lines{"C:\\d\\"}));
}

TEST_F(EngineTest, FoldersAreReportedByTheirAttributesAndAlwaysEntered)
{
    fs.AddFolder("C:\\d\\plain");
    fs.AddFolder("C:\\d\\secret", FakeEntry::WithAttributes(0x12));
    fs.AddFile("C:\\d\\plain\\in.txt");
    auto finder = MakeFinder();
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"secret", "in.txt"}));

    records.clear();
    finder->SetAttributes(engine::TFileAttributes::FromBits(0x1F));
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"plain", "secret", "in.txt"}));
}

TEST_F(EngineTest, DescentDoesNotDependOnTheMask)
{
    fs.AddFolder("C:\\d\\docs");
    fs.AddFile("C:\\d\\docs\\readme");
    fs.AddFile("C:\\d\\docs\\README.TXT");
    fs.AddFile("C:\\d\\docs\\readmex");
    auto finder = MakeFinder();
    finder->SetFilename("README");
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"readme", "README.TXT"}));
}

TEST_F(EngineTest, WithoutSubfoldersOnlyTheTopFolderIsSearched)
{
    fs.AddFile("C:\\d\\a.txt");
    fs.AddFile("C:\\d\\x\\b.txt");
    auto finder = MakeFinder();
    finder->SetSubfolders(false);
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"a.txt"}));
    EXPECT_EQ(fs.ListedFolders(), (Lines{"C:\\d\\"}));
}

TEST_F(EngineTest, TargetsAreSearchedInOrderAndADriveRootKeepsItsBackslash)
{
    fs.AddFile("C:\\r.txt");
    fs.AddFile("D:\\data\\s.txt");
    auto finder = MakeFinder();
    finder->SetSubfolders(false);
    finder->SetFilename("*.txt");
    RunInline(*finder, "D:\\data;C:\\");
    EXPECT_EQ(events, (Lines{"folder D:\\data", "found D:\\data|s.txt", "folder C:\\", "found C:\\|r.txt",
                             "complete"}));
}

TEST_F(EngineTest, IncludeFilesReplaceLocationAndFilename)
{
    fs.AddFile("C:\\a\\1.txt");
    fs.AddFile("C:\\a\\2.doc");
    fs.AddFile("C:\\b\\3.doc");
    fs.AddFile("C:\\work\\4.doc");
    auto finder = MakeFinder();
    const Lines include{"C:\\a\\*.txt", "C:\\b\\*.doc", "C:\\a\\*.txt", "*.doc"};
    finder->SetIncludeFiles(&include);
    finder->SetFilename("nothing");
    EXPECT_EQ(RunInline(*finder, "C:\\b"), (Lines{"1.txt", "3.doc", "1.txt", "4.doc"}));
    // A line without a folder searches the current folder, and events show it in full.
    EXPECT_EQ(events.at(events.size() - 3), "folder C:\\work");
}

TEST_F(EngineTest, ExclusionsRejectEntriesButNotTheWalk)
{
    fs.AddFile("C:\\d\\a.txt");
    fs.AddFile("C:\\d\\a.tmp");
    fs.AddFile("C:\\d\\temp\\b.txt");
    fs.AddFile("C:\\d\\temp\\deeper\\c.txt");
    auto finder = MakeFinder();
    const Lines exclude{"*.tmp", "\\temp\\"};
    finder->SetExcludeFiles(&exclude);
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"a.txt", "c.txt"}));
    EXPECT_EQ(fs.ListedFolders(), (Lines{"C:\\d\\", "C:\\d\\temp\\", "C:\\d\\temp\\deeper\\"}));
}

TEST_F(EngineTest, AttributeFilterWithExactAttribute)
{
    fs.AddFile("C:\\d\\archive", FakeEntry::WithAttributes(0x20));
    fs.AddFile("C:\\d\\archive-readonly", FakeEntry::WithAttributes(0x21));
    fs.AddFile("C:\\d\\bare", FakeEntry::WithAttributes(0x00));
    fs.AddFile("C:\\d\\normal", FakeEntry::WithAttributes(0x80));
    auto finder = MakeFinder();
    finder->SetExactAttribute(true);
    finder->SetAttributes(engine::TFileAttributes{engine::ffArchive});
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"archive"}));
    records.clear();
    finder->SetAttributes(engine::TFileAttributes{});
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"bare", "normal"}));
}

TEST_F(EngineTest, SizeBoundsUseSixtyFourBitSizes)
{
    FakeEntry big;
    big.size = 5ull << 30;
    fs.AddFile("C:\\d\\big.iso", big);
    FakeEntry small;
    small.size = 1023;
    fs.AddFile("C:\\d\\small.bin", small);
    FakeEntry exact;
    exact.size = 1024;
    fs.AddFile("C:\\d\\exact.bin", exact);
    auto finder = MakeFinder();
    finder->SetSizeMin(1024);
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"big.iso", "exact.bin"}));
    EXPECT_EQ(records.at(0).Size, int64_t{5} << 30);

    records.clear();
    finder->SetSizeMin(4ll << 30);
    finder->SetSizeMax(6ll << 30);
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"big.iso"}));
    records.clear();
    finder->SetSizeMin(0);
    finder->SetSizeMax(4ll << 30);
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"small.bin", "exact.bin"}));
}

TEST_F(EngineTest, EachDatePairTestsItsOwnTime)
{
    const uint64_t early = localTime.FileTimeFromLocal(2020, 6, 1, 12);
    const uint64_t late = localTime.FileTimeFromLocal(2024, 6, 1, 12);
    auto add = [&](const char* name, uint64_t created, uint64_t written, uint64_t accessed) {
        FakeEntry e;
        e.creationTime = created;
        e.lastWriteTime = written;
        e.lastAccessTime = accessed;
        fs.AddFile(std::string("C:\\d\\") + name, e);
    };
    add("created-late", late, early, early);
    add("written-late", early, late, early);
    add("accessed-late", early, early, late);
    const double cut = engine::EncodeDateTime(platform::CalendarTime{2022, 1, 1, 0, 0, 0, 0});
    auto finder = MakeFinder();
    finder->SetCreatedAfter(cut);
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"created-late"}));
    records.clear();
    finder->SetCreatedAfter(0);
    finder->SetModifiedAfter(cut);
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"written-late"}));
    records.clear();
    finder->SetModifiedAfter(0);
    finder->SetAccessedAfter(cut);
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"accessed-late"}));
    records.clear();
    finder->SetAccessedAfter(0);
    finder->SetAccessedBefore(cut);
    finder->SetCreatedBefore(cut);
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"written-late"}));
}

TEST_F(EngineTest, DateOnlyAndTimeOnlyBoundsThroughARun)
{
    FakeEntry lateEvening;
    lateEvening.lastWriteTime = localTime.FileTimeFromLocal(2024, 5, 10, 23, 59);
    fs.AddFile("C:\\d\\evening", lateEvening);
    FakeEntry nextMorning;
    nextMorning.lastWriteTime = localTime.FileTimeFromLocal(2024, 5, 11, 8, 0);
    fs.AddFile("C:\\d\\morning", nextMorning);
    auto finder = MakeFinder();
    finder->SetModifiedBefore(engine::EncodeDateTime(platform::CalendarTime{2024, 5, 10, 0, 0, 0, 0}));
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"evening"}));
    records.clear();
    finder->SetModifiedBefore(0);
    finder->SetModifiedAfter(20.0 / 24); // 20:00 on any date
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"evening"}));
}

TEST_F(EngineTest, TimesAreConvertedOnlyForBoundsInUseAndForReportedEntries)
{
    for (int i = 0; i < 5; ++i)
        fs.AddFile("C:\\d\\f" + std::to_string(i) + (i < 2 ? ".txt" : ".bin"));
    auto finder = MakeFinder();
    finder->SetFilename("*.txt");
    RunInline(*finder, "C:\\d");
    EXPECT_EQ(records.size(), 2u);
    EXPECT_EQ(localTime.Conversions(), 2u); // one packed time per report, nothing else
}

TEST_F(EngineTest, TheRecordCarriesTheEntry)
{
    FakeEntry e;
    e.attributes = 0x21;
    e.content = "12345";
    e.creationTime = localTime.FileTimeFromLocal(2001, 2, 3);
    e.lastWriteTime = localTime.FileTimeFromLocal(2024, 3, 2, 13, 45, 30);
    fs.AddFile("C:\\d\\Rec.txt", e);
    FakeEntry ancient;
    ancient.lastWriteTime = localTime.FileTimeFromLocal(1970, 1, 1);
    fs.AddFile("C:\\d\\old.txt", ancient);
    auto finder = MakeFinder();
    RunInline(*finder, "C:\\d");
    ASSERT_EQ(records.size(), 2u);
    const engine::TSearchRec& rec = records[0];
    EXPECT_EQ(rec.Name, "Rec.txt");
    EXPECT_EQ(rec.Size, 5);
    EXPECT_EQ(rec.Attr, 0x21);
    EXPECT_EQ(static_cast<uint32_t>(rec.Time),
              (((44u << 9) | (3u << 5) | 2u) << 16) | (13u << 11) | (45u << 5) | 15u);
    EXPECT_EQ(rec.FindData.creationTime, e.creationTime);
    EXPECT_EQ(rec.FindData.name, "Rec.txt");
    EXPECT_EQ(records[1].Time, 0); // before 1980: no DOS time
}

TEST_F(EngineTest, ContentIsTestedOnFilesOnly)
{
    fs.AddFolder("C:\\d\\abc-folder", FakeEntry::WithAttributes(0x12));
    fs.AddFile("C:\\d\\yes.txt").content = "xxABCxx";
    fs.AddFile("C:\\d\\no.txt").content = "xxAB-Cxx";
    auto finder = MakeFinder();
    finder->SetContaining("abc");
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"abc-folder", "yes.txt"}));
    records.clear();
    finder->SetIgnoreCase(false);
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"abc-folder"}));
    records.clear();
    finder->SetContaining(std::string("ABC\0zzz", 7)); // the text ends at a zero byte
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"abc-folder", "yes.txt"}));
}

TEST_F(EngineTest, UnreadableFoldersAndFilesNeverStopTheWalk)
{
    fs.AddFile("C:\\d\\a\\hidden-by-failure.txt");
    fs.FailListing("C:\\d\\a");
    FakeEntry locked;
    locked.content = "needle";
    locked.openFails = true;
    fs.AddFile("C:\\d\\b\\locked.txt", locked);
    FakeEntry broken;
    broken.content = std::string(engine::ContentScanner::kBlockSize + 10, '-') + "needle";
    broken.readFailsFrom = engine::ContentScanner::kBlockSize;
    fs.AddFile("C:\\d\\b\\broken.txt", broken);
    fs.AddFile("C:\\d\\b\\fine.txt").content = "a needle";
    fs.AddFile("C:\\d\\c\\also.txt").content = "needle";
    auto finder = MakeFinder();
    finder->SetContaining("needle");
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"fine.txt", "also.txt"}));
    EXPECT_EQ(events.front(), "folder C:\\d");
    EXPECT_NE(std::find(events.begin(), events.end(), "folder C:\\d\\a"), events.end());
    EXPECT_FALSE(finder->Aborted());
}

TEST_F(EngineTest, AMissingTopFolderStillRaisesItsNewFolderEvent)
{
    auto finder = MakeFinder();
    RunInline(*finder, "C:\\nowhere");
    EXPECT_EQ(events, (Lines{"folder C:\\nowhere", "complete"}));
    EXPECT_FALSE(finder->Aborted());
}

TEST_F(EngineTest, LinksAreReportedButNotEntered)
{
    fs.AddFolder("C:\\d\\junction", FakeEntry::WithAttributes(0x412)).reparseTag = 0xA0000003;
    fs.AddFile("C:\\d\\junction\\loop.txt");
    fs.AddFolder("C:\\d\\winelink", FakeEntry::WithAttributes(0x412));
    fs.AddFile("C:\\d\\winelink\\loop.txt");
    fs.AddFolder("C:\\d\\cloud", FakeEntry::WithAttributes(0x412)).reparseTag = 0x9000001A;
    fs.AddFile("C:\\d\\cloud\\real.txt");
    auto finder = MakeFinder();
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"junction", "winelink", "cloud", "real.txt"}));
    EXPECT_EQ(fs.ListedFolders(), (Lines{"C:\\d\\", "C:\\d\\cloud\\"}));
}

TEST_F(EngineTest, WalksPathsLongerThan260Characters)
{
    std::string folder = "C:\\d";
    for (int i = 0; i < 45; ++i)
        folder += "\\folder-" + std::to_string(i);
    ASSERT_GT(folder.size(), 400u);
    fs.AddFile(folder + "\\deep.txt");
    auto finder = MakeFinder();
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"deep.txt"}));
    EXPECT_EQ(events.at(events.size() - 2), "found " + folder + "|deep.txt");
}

TEST_F(EngineTest, WalksTreesNestedThousandsOfFoldersDeep)
{
    std::string folder = "C:\\d";
    for (int i = 0; i < 3000; ++i)
        folder += "\\n";
    fs.AddFile(folder + "\\bottom.txt");
    auto finder = MakeFinder();
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"bottom.txt"}));
}

TEST_F(EngineTest, TheRunReadsOnlyItsSnapshot)
{
    fs.AddFile("C:\\d\\a.txt");
    fs.AddFile("C:\\d\\x\\b.txt");
    auto finder = MakeFinder();
    finder->OnNewFolder = [&](engine::TFindFile& sender, const std::string&, bool&) {
        sender.SetSubfolders(false);
        sender.SetFilename("none");
        sender.SetContaining("zzz");
    };
    EXPECT_EQ(RunInline(*finder, "C:\\d"), (Lines{"a.txt", "b.txt"}));
    EXPECT_FALSE(finder->Subfolders());
}

TEST_F(EngineTest, ATimeOutsideTheCalendarFailsAnyBoundOfItsKind)
{
    // West of UTC, the file time 0 has no local calendar time.
    testing_support::FakeLocalTime westOfUtc(-60);
    FakeEntry unplaceable;
    unplaceable.lastWriteTime = 0;
    unplaceable.creationTime = westOfUtc.FileTimeFromLocal(2020, 1, 1);
    fs.AddFile("C:\\d\\zero.txt", unplaceable);
    TFindFile finder({fs, westOfUtc, syncCall, threads});
    std::vector<engine::TSearchRec> found;
    finder.OnFound = [&](TFindFile&, const std::string&, const engine::TSearchRec& rec) {
        found.push_back(rec);
    };
    finder.SetLocation("C:\\d");
    finder.StartSearch();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Time, 0);
    found.clear();
    finder.SetCreatedAfter(1.0); // the creation time is fine
    finder.StartSearch();
    EXPECT_EQ(found.size(), 1u);
    found.clear();
    finder.SetModifiedAfter(1.0);
    finder.StartSearch();
    EXPECT_TRUE(found.empty());
}

namespace
{

// A tree with every shape the walk meets: deep, wide, empty, unlistable and ignored folders, and
// files at every level.
void MakeMixedTree(testing_support::FakeFileSystem& fs)
{
    std::string deep = "C:\\t\\deep";
    for (int level = 0; level < 40; ++level)
    {
        deep += "\\l" + std::to_string(level);
        fs.AddFile(deep + "\\f.txt");
    }
    for (int i = 0; i < 150; ++i)
    {
        const std::string wide = "C:\\t\\wide\\w" + std::to_string(i);
        fs.AddFile(wide + "\\a.txt");
        if (i % 7 == 0)
            fs.AddFile(wide + "\\sub\\b.txt");
        if (i % 11 == 0)
            fs.AddFolder(wide + "\\empty");
    }
    fs.AddFolder("C:\\t\\denied\\inner");
    fs.FailListing("C:\\t\\denied");
    fs.AddFile("C:\\t\\ignored\\x.txt");
    fs.AddFile("C:\\t\\ignored\\below\\y.txt");
    fs.AddFile("C:\\t\\.hidden\\z.txt");
    fs.AddFile("C:\\t\\top.txt");
}

} // namespace

TEST_F(EngineTest, OpeningAheadGivesTheEventsOfThePlainWalk)
{
    MakeMixedTree(fs);
    ignoreFolders.insert("C:\\t\\ignored");
    ignoreFolders.insert("C:\\t\\wide\\w14");
    auto finder = MakeFinder();
    finder->SetFilename("*.txt");
    finder->SetPrefetch(false);
    RunInline(*finder, "C:\\t;C:\\t\\wide\\w21");
    const Lines plain = events;
    ASSERT_GT(plain.size(), 400u);
    for (int round = 0; round < 5; ++round)
    {
        events.clear();
        finder->SetPrefetch(true);
        RunInline(*finder, "C:\\t;C:\\t\\wide\\w21");
        EXPECT_EQ(events, plain) << "round " << round;
    }
}

TEST_F(EngineTest, AStopEndsAWalkThatOpensAhead)
{
    MakeMixedTree(fs);
    auto finder = MakeFinder();
    int folders = 0;
    finder->OnNewFolder = [&](TFindFile& sender, const std::string& folder, bool&) {
        events.push_back("folder " + folder);
        if (++folders == 30)
            sender.AbortSearch();
    };
    RunInline(*finder, "C:\\t");
    // Nothing after the folder whose handler stopped the run, whatever was opened ahead.
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(std::count_if(events.begin(), events.end(),
                            [](const std::string& e) { return e.rfind("folder", 0) == 0; }),
              30);
    EXPECT_EQ(events[events.size() - 2].rfind("folder", 0), 0u);
    EXPECT_EQ(events.back(), "complete");
    EXPECT_TRUE(finder->Aborted());
}

TEST(FolderPrefetchTest, OpensNoMoreThanItsWindowAheadAndHandsOverEveryFolder)
{
    testing_support::FakeFileSystem fs;
    Lines names;
    for (int i = 0; i < 100; ++i)
    {
        names.push_back("f" + std::to_string(i));
        fs.AddFile("C:\\r\\" + names.back() + "\\x.txt");
    }
    std::atomic<int> opened{0};
    std::atomic<int> taken{0};
    std::atomic<int> mostAhead{0};
    fs.onListing = [&](const std::string&) {
        const int ahead = ++opened - taken;
        int seen = mostAhead;
        while (ahead > seen && !mostAhead.compare_exchange_weak(seen, ahead))
        {
        }
    };
    constexpr size_t kWindow = 4;
    engine::FolderPrefetch prefetch(
        fs, [] { return false; }, kWindow);
    for (const std::string& name : names)
        prefetch.Announce("C:\\r\\", name);
    for (int spins = 0; opened < static_cast<int>(kWindow) && spins < 100000; ++spins)
        std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(20)); // room to overrun the window, if it could
    EXPECT_EQ(opened, static_cast<int>(kWindow));
    for (const std::string& name : names)
    {
        platform::OpenFailure failure = platform::OpenFailure::Other;
        engine::FolderPrefetch::Listing listing = prefetch.Take("C:\\r\\" + name + "\\", failure);
        ++taken;
        ASSERT_TRUE(listing) << name;
        EXPECT_EQ(failure, platform::OpenFailure::None);
        Lines entries;
        platform::FindData entry;
        while (listing->Next(entry))
            entries.push_back(entry.name);
        EXPECT_EQ(entries, (Lines{".", "..", "x.txt"})) << name;
        prefetch.Release(std::move(listing));
    }
    // Taking a folder frees a place in the window at once, before the count here follows.
    EXPECT_LE(mostAhead, static_cast<int>(kWindow) + 1);
    EXPECT_EQ(opened, 100);
}

namespace
{

// Counts the listings that are open (made and not yet destroyed), as a system counts handles.
class CountingFileSystem : public platform::FileSystem
{
public:
    explicit CountingFileSystem(platform::FileSystem& inner) : m_inner(inner) {}

    std::unique_ptr<platform::DirectoryListing> OpenListing(const std::string& folder,
                                                            platform::OpenFailure& failure) override
    {
        std::unique_ptr<platform::DirectoryListing> listing = m_inner.OpenListing(folder, failure);
        if (!listing)
            return nullptr;
        const int now = ++open;
        int seen = mostOpen;
        while (now > seen && !mostOpen.compare_exchange_weak(seen, now))
        {
        }
        return std::make_unique<Counted>(std::move(listing), open);
    }
    std::unique_ptr<platform::FileReader> OpenFile(const std::string& path, platform::FileShare share,
                                                   platform::OpenFailure& failure) override
    {
        return m_inner.OpenFile(path, share, failure);
    }
    std::string AbsolutePath(const std::string& path) override { return m_inner.AbsolutePath(path); }

    std::atomic<int> open{0};
    std::atomic<int> mostOpen{0};

private:
    class Counted : public platform::DirectoryListing
    {
    public:
        Counted(std::unique_ptr<platform::DirectoryListing> inner, std::atomic<int>& open)
            : m_inner(std::move(inner)), m_open(open)
        {
        }
        ~Counted() override { --m_open; }
        bool Next(platform::FindData& entry) override { return m_inner->Next(entry); }

    private:
        std::unique_ptr<platform::DirectoryListing> m_inner;
        std::atomic<int>& m_open;
    };
    platform::FileSystem& m_inner;
};

} // namespace

TEST(FolderPrefetchTest, ClosesWhatTheWalkPassesOverOrLeavesAndHoldsNoMoreThanItsWindow)
{
    // Three levels of five folders; the walk takes only every other folder of each level, as if
    // it pruned the rest, and drops what is left when it starts over.
    testing_support::FakeFileSystem fake;
    for (int a = 0; a < 5; ++a)
        for (int b = 0; b < 5; ++b)
            for (int c = 0; c < 5; ++c)
                fake.AddFolder("C:\\r\\a" + std::to_string(a) + "\\b" + std::to_string(b) + "\\c" +
                               std::to_string(c));
    CountingFileSystem fs(fake);
    constexpr size_t kWindow = 3;
    Lines taken;
    {
        engine::FolderPrefetch prefetch(
            fs, [] { return false; }, kWindow);
        std::function<void(const std::string&, int)> walk = [&](const std::string& folder, int depth) {
            platform::OpenFailure failure;
            engine::FolderPrefetch::Listing listing = prefetch.Take(folder, failure);
            ASSERT_TRUE(listing) << folder;
            taken.push_back(folder);
            Lines subfolders;
            platform::FindData entry;
            while (listing->Next(entry))
                if (entry.name[0] != '.')
                {
                    subfolders.push_back(entry.name);
                    prefetch.Announce(folder, entry.name);
                }
            prefetch.Release(std::move(listing));
            for (size_t i = 0; i < subfolders.size(); i += 2)
                walk(folder + subfolders[i] + "\\", depth + 1);
        };
        walk("C:\\r\\", 0);
        prefetch.Announce("C:\\r\\", "a0"); // left behind by a run that starts over
        prefetch.Clear();
        prefetch.Announce("C:\\r\\", "a1"); // left behind by a run that ends
    }
    EXPECT_EQ(taken.size(), 1u + 3 + 9 + 27);
    EXPECT_EQ(taken[1], "C:\\r\\a0\\");
    EXPECT_EQ(taken[2], "C:\\r\\a0\\b0\\");
    EXPECT_EQ(taken[3], "C:\\r\\a0\\b0\\c0\\");
    EXPECT_EQ(fs.open, 0) << "listings left open";
    // The walk runs far ahead of the helper here: its own listing, the window, and up to a window
    // each of passed-over and of released listings waiting to be closed.
    EXPECT_LE(fs.mostOpen, static_cast<int>(3 * kWindow + 1));
}
