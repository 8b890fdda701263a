// Starting, stopping and ending runs, inline and on the worker thread: completion, abort, handler
// exceptions, a new run from OnComplete, destroying a finder mid-run, the worker's priority.
#include "tests/host/engine/EngineFixture.h"

#include <stdexcept>

using engine::TFindFile;
using engine::TThreadPriority;

namespace
{

using Lines = std::vector<std::string>;

class RunControlTest : public EngineTest
{
protected:
    RunControlTest()
    {
        for (const char* folder : {"C:\\d\\x", "C:\\d\\y"})
            for (int i = 0; i < 3; ++i)
                fs.AddFile(std::string(folder) + "\\f" + std::to_string(i) + ".txt");
        fs.AddFolder("C:\\e");
        fs.AddFile("C:\\e\\last.txt");
    }

    // Starts a threaded run of C:\d and C:\e.
    std::unique_ptr<TFindFile> StartThreaded()
    {
        auto finder = MakeFinder();
        finder->SetLocation("C:\\d;C:\\e");
        finder->SetThreaded(true);
        finder->StartSearch();
        return finder;
    }
    void ServeToEnd(TFindFile& finder)
    {
        syncCall.ServeUntil([&] { return !finder.Busy(); });
    }
    size_t Count(const std::string& prefix) const
    {
        return static_cast<size_t>(std::count_if(events.begin(), events.end(), [&](const std::string& e) {
            return e.compare(0, prefix.size(), prefix) == 0;
        }));
    }
};

const Lines kAllEvents{"folder C:\\d",          "folder C:\\d\\x",       "found C:\\d\\x|f0.txt",
                       "found C:\\d\\x|f1.txt", "found C:\\d\\x|f2.txt", "folder C:\\d\\y",
                       "found C:\\d\\y|f0.txt", "found C:\\d\\y|f1.txt", "found C:\\d\\y|f2.txt",
                       "folder C:\\e",          "found C:\\e|last.txt",  "complete"};

TEST_F(RunControlTest, InlineAndThreadedRunsDeliverTheSameEvents)
{
    auto inlineFinder = MakeFinder();
    RunInline(*inlineFinder, "C:\\d;C:\\e");
    EXPECT_EQ(events, kAllEvents);
    EXPECT_FALSE(inlineFinder->Busy());

    events.clear();
    auto finder = StartThreaded();
    EXPECT_TRUE(finder->Busy());
    ServeToEnd(*finder);
    EXPECT_EQ(events, kAllEvents);
    EXPECT_FALSE(finder->Aborted());

    // The finished worker is joined by the next start; the second run is complete too.
    events.clear();
    finder->StartSearch();
    ServeToEnd(*finder);
    EXPECT_EQ(events, kAllEvents);
}

TEST_F(RunControlTest, InlineAbortStopsAtTheNextCheckAndSkipsLaterTargets)
{
    auto finder = MakeFinder();
    finder->OnFound = [&](TFindFile& sender, const std::string& folder, const engine::TSearchRec& rec) {
        events.push_back("found " + folder + "|" + rec.Name);
        sender.AbortSearch();
    };
    RunInline(*finder, "C:\\d;C:\\e");
    EXPECT_EQ(events, (Lines{"folder C:\\d", "folder C:\\d\\x", "found C:\\d\\x|f0.txt", "complete"}));
    EXPECT_TRUE(finder->Aborted());
    EXPECT_FALSE(finder->Busy());
}

TEST_F(RunControlTest, AbortInANewFolderHandlerKeepsTheFolderUnlisted)
{
    auto finder = MakeFinder();
    finder->OnNewFolder = [&](TFindFile& sender, const std::string& folder, bool&) {
        events.push_back("folder " + folder);
        if (folder == "C:\\d\\x")
            sender.AbortSearch();
    };
    finder->SetPrefetch(false); // opened ahead, x may be opened before its event
    RunInline(*finder, "C:\\d;C:\\e");
    EXPECT_EQ(events, (Lines{"folder C:\\d", "folder C:\\d\\x", "complete"}));
    EXPECT_EQ(fs.ListedFolders(), (Lines{"C:\\d\\"}));
}

TEST_F(RunControlTest, AbortWhileIdleOnlySetsTheFlagUntilTheNextStart)
{
    auto finder = MakeFinder();
    finder->AbortSearch();
    EXPECT_TRUE(finder->Aborted());
    EXPECT_TRUE(events.empty());
    RunInline(*finder, "C:\\e");
    EXPECT_FALSE(finder->Aborted());
    EXPECT_EQ(events, (Lines{"folder C:\\e", "found C:\\e|last.txt", "complete"}));
}

TEST_F(RunControlTest, StartWhileBusyIsIgnored)
{
    auto finder = MakeFinder();
    int starts = 0;
    finder->OnFound = [&](TFindFile& sender, const std::string&, const engine::TSearchRec&) {
        ++starts;
        sender.StartSearch();
    };
    RunInline(*finder, "C:\\e");
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(Count("complete"), 1u);
}

TEST_F(RunControlTest, AHandlerExceptionEndsAnInlineRunQuietly)
{
    auto finder = MakeFinder();
    finder->OnFound = [&](TFindFile&, const std::string& folder, const engine::TSearchRec& rec) {
        events.push_back("found " + folder + "|" + rec.Name);
        throw std::runtime_error("handler failed");
    };
    EXPECT_NO_THROW(RunInline(*finder, "C:\\d;C:\\e"));
    EXPECT_EQ(events, (Lines{"folder C:\\d", "folder C:\\d\\x", "found C:\\d\\x|f0.txt", "complete"}));
    EXPECT_TRUE(finder->Aborted());
    EXPECT_FALSE(finder->Busy());
}

TEST_F(RunControlTest, AHandlerExceptionTravelsBackToTheWorkerAndEndsTheRun)
{
    auto finder = MakeFinder();
    finder->OnNewFolder = [&](TFindFile&, const std::string& folder, bool&) {
        events.push_back("folder " + folder);
        if (folder == "C:\\d\\y")
            throw std::runtime_error("handler failed");
    };
    finder->SetLocation("C:\\d;C:\\e");
    finder->SetThreaded(true);
    finder->StartSearch();
    ServeToEnd(*finder);
    EXPECT_EQ(events,
              (Lines{"folder C:\\d", "folder C:\\d\\x", "found C:\\d\\x|f0.txt", "found C:\\d\\x|f1.txt",
                     "found C:\\d\\x|f2.txt", "folder C:\\d\\y", "complete"}));
    EXPECT_TRUE(finder->Aborted());
}

TEST_F(RunControlTest, AFoundHandlerExceptionEndsTheRunBeforeTheNextItemOrFolder)
{
    // The worker goes on walking while an item's handler runs: what it found meanwhile must not
    // be reported once that handler has failed.
    for (const char* failing : {"f1.txt", "f2.txt"})
    {
        events.clear();
        auto finder = MakeFinder();
        finder->OnFound = [&](TFindFile&, const std::string& folder, const engine::TSearchRec& record) {
            events.push_back("found " + folder + "|" + record.Name);
            if (record.Name == failing)
                throw std::runtime_error("handler failed");
        };
        finder->SetLocation("C:\\d;C:\\e");
        finder->SetThreaded(true);
        finder->StartSearch();
        ServeToEnd(*finder);
        Lines expected{"folder C:\\d", "folder C:\\d\\x", "found C:\\d\\x|f0.txt", "found C:\\d\\x|f1.txt"};
        if (std::string(failing) == "f2.txt")
            expected.push_back("found C:\\d\\x|f2.txt");
        expected.push_back("complete");
        EXPECT_EQ(events, expected) << failing;
        EXPECT_TRUE(finder->Aborted());
    }
}

TEST_F(RunControlTest, OnCompleteMayStartTheNextRun)
{
    for (bool threaded : {false, true})
    {
        events.clear();
        auto finder = MakeFinder();
        int runs = 0;
        finder->OnComplete = [&](TFindFile& sender) {
            events.push_back("complete");
            if (++runs < 3)
                sender.StartSearch();
        };
        finder->SetLocation("C:\\e");
        finder->SetThreaded(threaded);
        finder->StartSearch();
        syncCall.ServeUntil([&] { return runs == 3 && !finder->Busy(); });
        EXPECT_EQ(events, (Lines{"folder C:\\e", "found C:\\e|last.txt", "complete", "folder C:\\e",
                                 "found C:\\e|last.txt", "complete", "folder C:\\e", "found C:\\e|last.txt",
                                 "complete"}))
            << (threaded ? "threaded" : "inline");
    }
}

// A worker opens the folder while the handler answers, and the helper may have opened it even
// earlier, but either reads it only afterwards; a skipped folder's listing is closed unread.
TEST_F(RunControlTest, AFolderIsReadAfterItsNewFolderHandlerHasRun)
{
    for (int way = 0; way < 4; ++way)
    {
        const bool threaded = way & 1, prefetch = way & 2;
        events.clear();
        auto finder = MakeFinder();
        finder->SetPrefetch(prefetch);
        finder->OnNewFolder = [&](TFindFile&, const std::string& folder, bool& ignore) {
            events.push_back("folder " + folder);
            if (folder == "C:\\d\\x")
                fs.AddFile("C:\\d\\x\\late.txt");
            ignore = folder == "C:\\d\\y";
        };
        finder->SetLocation("C:\\d");
        finder->SetThreaded(threaded);
        finder->StartSearch();
        ServeToEnd(*finder);
        EXPECT_EQ(events,
                  (Lines{"folder C:\\d", "folder C:\\d\\x", "found C:\\d\\x|f0.txt", "found C:\\d\\x|f1.txt",
                         "found C:\\d\\x|f2.txt", "found C:\\d\\x|late.txt", "folder C:\\d\\y", "complete"}))
            << (threaded ? "threaded" : "inline") << (prefetch ? ", opened ahead" : "");
    }
}

TEST_F(RunControlTest, ThreadedAbortReturnsAfterOnCompleteWithAtMostOneEventInBetween)
{
    auto finder = StartThreaded();
    syncCall.ServeOne(); // the first new-folder event
    ASSERT_EQ(events, (Lines{"folder C:\\d"}));
    finder->AbortSearch();
    EXPECT_FALSE(finder->Busy());
    EXPECT_TRUE(finder->Aborted());
    ASSERT_GE(events.size(), 2u);
    EXPECT_LE(events.size(), 3u);
    EXPECT_EQ(events.back(), "complete");
    EXPECT_EQ(syncCall.ServePending(), 0u); // nothing follows
    EXPECT_EQ(Count("complete"), 1u);
}

TEST_F(RunControlTest, OnCompleteFailingInlineReachesTheCallerWithTheRunEnded)
{
    auto finder = MakeFinder();
    finder->OnComplete = [](TFindFile&) { throw std::runtime_error("complete failed"); };
    finder->SetLocation("C:\\e");
    EXPECT_THROW(finder->StartSearch(), std::runtime_error);
    EXPECT_FALSE(finder->Busy());
    EXPECT_FALSE(finder->Aborted());
}

TEST_F(RunControlTest, OnCompleteFailingInTheWorkerRunIsContained)
{
    auto finder = StartThreaded();
    finder->OnComplete = [&](TFindFile&) {
        events.push_back("complete");
        throw std::runtime_error("complete failed");
    };
    ServeToEnd(*finder);
    EXPECT_EQ(events.back(), "complete");
    EXPECT_FALSE(finder->Busy());
    events.clear();
    finder->OnComplete = nullptr;
    finder->StartSearch();
    ServeToEnd(*finder);
    EXPECT_EQ(events.size(), kAllEvents.size() - 1);
}

TEST_F(RunControlTest, DestroyingAFinderMidRunStopsTheWorkerAndCallsNoHandler)
{
    auto finder = StartThreaded();
    syncCall.ServeOne();
    ASSERT_EQ(events, (Lines{"folder C:\\d"}));
    finder.reset();
    EXPECT_EQ(events, (Lines{"folder C:\\d"}));
    EXPECT_EQ(syncCall.ServePending(), 0u);
    // The worker neither listed nor entered the remaining targets.
    for (const std::string& folder : fs.ListedFolders())
        EXPECT_NE(folder, "C:\\e\\");
}

TEST_F(RunControlTest, DestroyingAFinderRightAfterStartIsSafe)
{
    for (int i = 0; i < 20; ++i)
    {
        auto finder = StartThreaded();
        finder.reset();
    }
    EXPECT_EQ(Count("complete"), 0u);
}

TEST_F(RunControlTest, ThreadPriorityIsAppliedAtStartAndWhileTheWorkerRuns)
{
    auto finder = MakeFinder();
    finder->SetThreadPriority(TThreadPriority::tpLowest);
    EXPECT_TRUE(threads.Priorities().empty()); // no worker yet
    finder->OnNewFolder = [&](TFindFile& sender, const std::string& folder, bool&) {
        if (folder == "C:\\d\\y")
            sender.SetThreadPriority(TThreadPriority::tpTimeCritical);
    };
    finder->SetLocation("C:\\d");
    finder->SetThreaded(true);
    finder->StartSearch();
    ServeToEnd(*finder);
    EXPECT_EQ(threads.Priorities(), (std::vector<int>{-2, 15}));
    finder->SetThreadPriority(TThreadPriority::tpIdle); // after the run: stored only
    EXPECT_EQ(threads.Priorities().size(), 2u);
    EXPECT_EQ(finder->ThreadPriority(), TThreadPriority::tpIdle);
}

} // namespace
