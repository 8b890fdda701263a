// Threaded runs: the worker hands every event to the owner thread, which serves the calls.
#include "tests/host/engine/EngineFixture.h"

using engine::TFindFile;

namespace
{
using Lines = std::vector<std::string>;
}

TEST_F(EngineTest, ThreadedRunDeliversTheSameEventsAsInline)
{
    fs.AddFile("C:\\d\\a.txt");
    fs.AddFolder("C:\\d\\x");
    fs.AddFile("C:\\d\\x\\b.txt");
    auto finder = MakeFinder();
    finder->SetLocation("C:\\d");
    finder->SetThreaded(true);
    finder->StartSearch();
    EXPECT_TRUE(finder->Busy());
    syncCall.ServeUntil([&] { return !finder->Busy(); });
    EXPECT_EQ(events, (Lines{"folder C:\\d", "found C:\\d|a.txt", "folder C:\\d\\x", "found C:\\d\\x|b.txt",
                             "complete"}));
    EXPECT_FALSE(finder->Aborted());
}
