// Long files scanned ahead on a helper thread: the same answers, events and skips in the walk's
// order as one thread scanning, every file closed when its scan ends, a stop noticed between blocks.
#include "engine/EntryFilter.h"
#include "engine/FileScanAhead.h"
#include "tests/host/engine/EngineFixture.h"

#include <atomic>
#include <thread>

using engine::ContentScanner;
using engine::FileScanAhead;
using engine::ScanOutcome;
using testing_support::FakeEntry;

namespace
{

constexpr size_t kBlock = ContentScanner::kBlockSize;

std::string At(size_t offset, const std::string& text, size_t total)
{
    std::string content(total, '-');
    content.replace(offset, text.size(), text);
    return content;
}

TEST(FileScanAheadTest, OutcomesComeInTheOrderAnnouncedWhoeverScans)
{
    testing_support::FakeFileSystem fs;
    // Sizes differ, so the helper and the walk finish out of order.
    const std::vector<std::pair<std::string, ScanOutcome>> files = {
        {"C:\\a-long-hit.txt", ScanOutcome::Contains},     {"C:\\b-short-miss.txt", ScanOutcome::Lacks},
        {"C:\\c-boundary-hit.txt", ScanOutcome::Contains}, {"C:\\d-long-miss.txt", ScanOutcome::Lacks},
        {"C:\\e-gone.txt", ScanOutcome::Vanished},         {"C:\\f-broken.txt", ScanOutcome::Unreadable},
        {"C:\\g-end-hit.txt", ScanOutcome::Contains},
    };
    fs.AddFile(files[0].first).content = At(11 * kBlock, "needle", 12 * kBlock);
    fs.AddFile(files[1].first).content = std::string(kBlock + 3, '-');
    fs.AddFile(files[2].first).content = At(2 * kBlock - 3, "needle", 3 * kBlock);
    fs.AddFile(files[3].first).content = At(kBlock - 3, "needlX", 9 * kBlock);
    fs.AddFile(files[4].first).vanished = true;
    FakeEntry broken;
    broken.content = At(3 * kBlock, "needle", 4 * kBlock);
    broken.readFailsFrom = 2 * kBlock;
    fs.AddFile(files[5].first, broken);
    fs.AddFile(files[6].first).content = At(5 * kBlock - 6, "needle", 5 * kBlock);
    ContentScanner own("needle", false);
    for (size_t ahead : {size_t{1}, size_t{3}, files.size()})
    {
        FileScanAhead scanAhead(fs, {"needle", ""}, false, {});
        size_t announced = 0;
        for (size_t taken = 0; taken < files.size(); ++taken)
        {
            for (; announced < files.size() && announced < taken + ahead; ++announced)
                scanAhead.Announce(files[announced].first);
            EXPECT_EQ(scanAhead.Take(files[taken].first, own), files[taken].second)
                << files[taken].first << ", " << ahead << " ahead";
        }
        EXPECT_EQ(scanAhead.Take("C:\\b-short-miss.txt", own), ScanOutcome::Lacks) << "not announced";
    }
    EXPECT_EQ(fs.OpenFiles(), 0);
}

TEST(FileScanAheadTest, AStopOrAFileLeftBehindEndsItsScanBetweenBlocksAndClosesIt)
{
    for (bool stop : {false, true})
    {
        testing_support::FakeFileSystem fs;
        const uint64_t size = 4000 * kBlock; // a scan to its end would take long
        FakeEntry huge;
        huge.size = size;
        fs.AddFile("C:\\huge.bin", huge);
        fs.AddFile("C:\\small.txt").content = "needle";
        std::atomic<bool> stopRequested{false};
        ContentScanner own("needle", false, [&stopRequested] { return stopRequested.load(); });
        {
            FileScanAhead scanAhead(fs, {"needle", ""}, false,
                                    [&stopRequested] { return stopRequested.load(); });
            scanAhead.Announce("C:\\huge.bin");
            scanAhead.Announce("C:\\small.txt");
            while (fs.BytesRead() == 0)
                std::this_thread::yield(); // the helper scans the huge file: nothing else reads yet
            if (stop)
            {
                stopRequested = true;
                EXPECT_EQ(scanAhead.Take("C:\\huge.bin", own), ScanOutcome::Stopped);
            }
            else
            {
                EXPECT_EQ(scanAhead.Take("C:\\small.txt", own), ScanOutcome::Contains); // passes over it
            }
        }
        EXPECT_LT(fs.BytesRead(), size / 2) << stop;
        EXPECT_EQ(fs.OpenFiles(), 0) << stop;
    }
}

TEST(FileScanAheadTest, AStopEndsTheWalksOwnScanBetweenBlocksUncounted)
{
    testing_support::FakeFileSystem fs;
    FakeEntry huge;
    huge.size = 64 * kBlock;
    fs.AddFile("C:\\huge.bin", huge);
    engine::SearchSnapshot snapshot;
    snapshot.hasContent = true;
    snapshot.content = "needle";
    engine::SkipCounts skipped;
    testing_support::FakeLocalTime localTime{0};
    int polls = 0;
    engine::EntryTester tester(snapshot, fs, localTime, skipped, [&polls] { return ++polls > 2; });
    platform::FindData entry;
    entry.name = "huge.bin";
    entry.size = *huge.size;
    EXPECT_FALSE(tester.EntryMatches("C:\\", entry));
    EXPECT_EQ(polls, 3);
    EXPECT_EQ(fs.BytesRead(), 3 * kBlock);
    EXPECT_FALSE(skipped.Any());
    EXPECT_EQ(fs.OpenFiles(), 0);
}

class ScanAheadRunTest : public EngineTest
{
protected:
    void MakeTree()
    {
        fs.AddFile("C:\\t\\a-small.txt").content = "a needle";
        fs.AddFile("C:\\t\\b-long.txt").content = At(3 * kBlock - 2, "needle", 6 * kBlock + 5);
        fs.AddFile("C:\\t\\c-long-without.txt").content = std::string(9 * kBlock, '-');
        fs.AddFile("C:\\t\\d-long.txt").content = At(kBlock - 1, "needle", 2 * kBlock);
        fs.AddFile("C:\\t\\e-small-without.txt").content = "nothing";
        FakeEntry broken;
        broken.content = At(4 * kBlock, "needle", 5 * kBlock);
        broken.readFailsFrom = 2 * kBlock;
        fs.AddFile("C:\\t\\sub\\f-read-error.txt", broken);
        FakeEntry gone;
        gone.content = At(0, "needle", 2 * kBlock);
        gone.vanished = true;
        fs.AddFile("C:\\t\\sub\\g-gone.txt", gone);
        FakeEntry locked = gone;
        locked.vanished = false;
        locked.openFails = true;
        fs.AddFile("C:\\t\\sub\\h-locked.txt", locked);
        fs.AddFile("C:\\t\\sub\\i-long-at-end.txt").content = At(7 * kBlock - 6, "needle", 7 * kBlock);
        fs.AddFile("C:\\t\\sub\\j-small.txt").content = "needle";
    }
};

TEST_F(ScanAheadRunTest, EventsAndSkipsAreThoseOfOneThreadScanning)
{
    MakeTree();
    const std::vector<std::string> expectedEvents = {"folder C:\\t",
                                                     "found C:\\t|a-small.txt",
                                                     "found C:\\t|b-long.txt",
                                                     "found C:\\t|d-long.txt",
                                                     "folder C:\\t\\sub",
                                                     "found C:\\t\\sub|i-long-at-end.txt",
                                                     "found C:\\t\\sub|j-small.txt",
                                                     "complete"};
    for (bool threaded : {false, true})
        for (bool scanAhead : {false, true})
        {
            events.clear();
            records.clear();
            auto finder = MakeFinder();
            finder->SetLocation("C:\\t");
            finder->SetContaining("needle");
            finder->SetThreaded(threaded);
            finder->SetScanAhead(scanAhead);
            finder->StartSearch();
            syncCall.ServeUntil([&finder] { return !finder->Busy(); });
            EXPECT_EQ(events, expectedEvents) << "threaded " << threaded << ", scan ahead " << scanAhead;
            EXPECT_EQ(finder->Skipped().counts.filesUnreadable, 2u);
            EXPECT_EQ(finder->Skipped().counts.entriesVanished, 1u);
            EXPECT_EQ(fs.OpenFiles(), 0);
        }
}

} // namespace
