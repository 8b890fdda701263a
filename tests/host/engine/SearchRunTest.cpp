// The walk of a run over a fake tree: order of events, pruning, the entries it skips or keeps.
#include "tests/host/engine/EngineFixture.h"

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
