// TFindFile on the Win32 services over folder trees made on disk, inline and threaded.
#include "engine/EntryFilter.h"
#include "engine/FindFile.h"
#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"
#include "platform/Win32FileSystem.h"
#include "platform/Win32LocalTime.h"
#include "platform/Win32SyncCall.h"
#include "platform/Win32ThreadControl.h"
#include "tests/win32/platform/TempTree.h"

#include <windows.h>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace
{

using testing_support::LocalFileTimeOf;
using testing_support::TempTree;

std::string Join(const std::string& folder, const std::string& name)
{
    return folder.empty() || folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

// A finder on the real services that records its events as text lines.
class RecordingFinder
{
public:
    RecordingFinder()
    {
        finder.OnNewFolder = [this](engine::TFindFile&, const std::string& folder, bool& ignore) {
            EXPECT_EQ(GetCurrentThreadId(), m_owner);
            events.push_back("folder " + folder);
            ignore = ignoreFolder && ignoreFolder(folder);
        };
        finder.OnFound = [this](engine::TFindFile&, const std::string& folder,
                                const engine::TSearchRec& record) {
            EXPECT_EQ(GetCurrentThreadId(), m_owner);
            events.push_back("found " + Join(folder, record.Name));
            found.push_back(Join(folder, record.Name));
            records[record.Name] = record;
            if (onFound)
                onFound();
        };
        finder.OnComplete = [this](engine::TFindFile&) {
            EXPECT_EQ(GetCurrentThreadId(), m_owner);
            ++completions;
            if (onComplete)
                onComplete();
        };
    }

    // Runs the search to its end, inline or threaded.
    void Run()
    {
        finder.StartSearch();
        sync.ServeUntil([this] { return !finder.Busy(); });
        EXPECT_EQ(completions, 1);
    }

    std::vector<std::string> SortedFound() const
    {
        std::vector<std::string> sorted = found;
        std::sort(sorted.begin(), sorted.end());
        return sorted;
    }

    platform::Win32FileSystem fileSystem;
    platform::Win32LocalTime localTime;
    platform::Win32SyncCall sync;
    platform::Win32ThreadControl threads;
    engine::TFindFile finder{{fileSystem, localTime, sync, threads}};
    std::vector<std::string> events;
    std::vector<std::string> found;
    std::map<std::string, engine::TSearchRec> records;
    std::function<bool(const std::string&)> ignoreFolder;
    std::function<void()> onFound;
    std::function<void()> onComplete;
    int completions = 0;

private:
    DWORD m_owner = GetCurrentThreadId();
};

// Files a.txt, b.log, hidden.txt (hidden, archive), system.dat (system), readonly.txt (read-only),
// .dotfile and Привет.txt; folders sub (c.txt, deeper with d.txt), hiddendir (hidden; e.txt),
// plaindir (empty) and .dotdir (f.txt).
void MakeSampleTree(TempTree& tree)
{
    tree.MakeFile("a.txt", "alpha");
    tree.MakeFile("b.log", "bravo");
    tree.MakeFile("hidden.txt");
    tree.MakeFile("system.dat");
    tree.MakeFile("readonly.txt");
    tree.MakeFolder("sub");
    tree.MakeFile("sub\\c.txt");
    tree.MakeFolder("sub\\deeper");
    tree.MakeFile("sub\\deeper\\d.txt");
    tree.MakeFolder("hiddendir");
    tree.MakeFile("hiddendir\\e.txt");
    tree.MakeFolder("plaindir");
    tree.MakeFile(".dotfile");
    tree.MakeFolder(".dotdir");
    tree.MakeFile(".dotdir\\f.txt");
    tree.MakeFile("Привет.txt", "cyrillic");
    tree.SetAttributes("hidden.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    tree.SetAttributes("system.dat", FILE_ATTRIBUTE_SYSTEM);
    tree.SetAttributes("readonly.txt", FILE_ATTRIBUTE_READONLY);
    tree.SetAttributes("hiddendir", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
}

std::string Folder(const TempTree& tree, const std::string& relative = {})
{
    std::string path = tree.Path(relative);
    return path.size() > 3 && path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
}

TEST(RealTreeSearch, InlineRunWalksDepthFirstWithEveryAttribute)
{
    TempTree tree;
    MakeSampleTree(tree);
    RecordingFinder r;
    r.finder.SetLocation(tree.Root());
    r.Run();
    EXPECT_FALSE(r.finder.Aborted());

    const std::string root = Folder(tree);
    std::vector<std::string> expected = {
        Join(root, "a.txt"),
        Join(root, "b.log"),
        Join(root, "hidden.txt"),
        Join(root, "hiddendir"),
        Join(root, "hiddendir\\e.txt"),
        Join(root, "readonly.txt"),
        Join(root, "sub\\c.txt"),
        Join(root, "sub\\deeper\\d.txt"),
        Join(root, "system.dat"),
        Join(root, "Привет.txt"),
    };
    std::sort(expected.begin(), expected.end());
    // No plain folder (its only attribute is the directory bit), no name starting with a dot.
    EXPECT_EQ(r.SortedFound(), expected);

    // Pre-order: a folder's event, then its own entries, before anything below it.
    auto at = [&r](const std::string& event) {
        return std::find(r.events.begin(), r.events.end(), event) - r.events.begin();
    };
    EXPECT_EQ(at("folder " + root), 0);
    EXPECT_LT(at("found " + Join(root, "a.txt")), at("folder " + Folder(tree, "sub")));
    EXPECT_LT(at("folder " + Folder(tree, "sub")), at("found " + Join(root, "sub\\c.txt")));
    EXPECT_LT(at("found " + Join(root, "sub\\c.txt")), at("folder " + Folder(tree, "sub\\deeper")));
    EXPECT_EQ(at("folder " + Folder(tree, ".dotdir")), static_cast<long>(r.events.size()));
    EXPECT_LT(at("folder " + Folder(tree, "plaindir")), static_cast<long>(r.events.size()));

    EXPECT_EQ(r.records["a.txt"].Size, 5);
    EXPECT_EQ(r.records["hidden.txt"].Attr & 0x17, 0x02);
    EXPECT_EQ(r.records["system.dat"].Attr & 0x17, 0x04);
    EXPECT_EQ(r.records["readonly.txt"].Attr & 0x17, 0x01);
    EXPECT_EQ(r.records["hiddendir"].Attr & 0x17, 0x12);
}

TEST(RealTreeSearch, ThreadedRunGivesTheSameEventsInTheCallersThread)
{
    TempTree tree;
    MakeSampleTree(tree);
    RecordingFinder inlineRun;
    inlineRun.finder.SetLocation(tree.Root());
    inlineRun.Run();

    RecordingFinder threaded;
    threaded.finder.SetLocation(tree.Root());
    threaded.finder.SetThreaded(true);
    threaded.finder.SetThreadPriority(engine::TThreadPriority::tpLower);
    threaded.finder.StartSearch();
    EXPECT_TRUE(threaded.finder.Busy());
    threaded.sync.ServeUntil([&] { return !threaded.finder.Busy(); });
    EXPECT_EQ(threaded.completions, 1);
    EXPECT_EQ(threaded.events, inlineRun.events); // one enumeration order, one walk order
}

TEST(RealTreeSearch, MasksAttributesAndPruning)
{
    TempTree tree;
    MakeSampleTree(tree);
    const std::string root = Folder(tree);
    {
        RecordingFinder r;
        r.finder.SetLocation(tree.Root());
        r.finder.SetFilename("*.TXT");
        r.finder.SetAttributes({engine::ffHidden, engine::ffArchive});
        r.finder.SetExactAttribute(true);
        r.Run();
        EXPECT_EQ(r.SortedFound(), std::vector<std::string>{Join(root, "hidden.txt")});
    }
    {
        RecordingFinder r;
        r.finder.SetLocation(tree.Root());
        r.finder.SetFilename("*");
        r.finder.SetAttributes({engine::ffDirectory});
        r.finder.SetExactAttribute(true);
        r.Run();
        std::vector<std::string> folders = {Join(root, "plaindir"), Join(root, "sub"),
                                            Join(root, "sub\\deeper")};
        EXPECT_EQ(r.SortedFound(), folders);
    }
    {
        RecordingFinder r;
        r.finder.SetLocation(tree.Root());
        r.finder.SetFilename("*.txt");
        // A folder-only exclusion hits the entries of every folder ending with \SUB\, not deeper ones.
        const std::vector<std::string> exclusions = {"\\SUB\\"};
        r.finder.SetExcludeFiles(&exclusions);
        r.ignoreFolder = [&](const std::string& folder) { return folder == Folder(tree, "hiddendir"); };
        r.Run();
        std::vector<std::string> expected = {Join(root, "a.txt"), Join(root, "hidden.txt"),
                                             Join(root, "readonly.txt"), Join(root, "sub\\deeper\\d.txt"),
                                             Join(root, "Привет.txt")};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(r.SortedFound(), expected);
    }
}

TEST(RealTreeSearch, DateAndSizeBoundsOnRealFiles)
{
    TempTree tree;
    tree.MakeFile("old.txt", std::string(1000, 'o'));
    tree.MakeFile("new.txt", std::string(3000, 'n'));
    // Local noon: the dates are the same days in every time zone.
    tree.SetTimes("old.txt", LocalFileTimeOf(2001, 3, 3), LocalFileTimeOf(2002, 4, 4),
                  LocalFileTimeOf(2003, 5, 5));
    tree.SetTimes("new.txt", LocalFileTimeOf(2021, 3, 3), LocalFileTimeOf(2022, 4, 4),
                  LocalFileTimeOf(2023, 5, 5));
    auto names = [&](std::function<void(engine::TFindFile&)> criteria) {
        RecordingFinder r;
        r.finder.SetLocation(tree.Root());
        criteria(r.finder);
        r.Run();
        std::vector<std::string> result;
        for (auto& [name, record] : r.records)
            result.push_back(name);
        return result;
    };
    const std::vector<std::string> both = {"new.txt", "old.txt"}, oldOnly = {"old.txt"},
                                   newOnly = {"new.txt"};
    // 2010-01-01 as a date-only bound: whole days.
    const engine::TDateTime y2010 = 40179;
    EXPECT_EQ(names([&](auto& f) { f.SetModifiedBefore(y2010); }), oldOnly);
    EXPECT_EQ(names([&](auto& f) { f.SetModifiedAfter(y2010); }), newOnly);
    EXPECT_EQ(names([&](auto& f) { f.SetAccessedAfter(y2010); }), newOnly);
    EXPECT_EQ(names([&](auto& f) { f.SetModifiedAfter(y2010 + 365 * 13 + 4); }), newOnly); // 2023-01-01
    // The day of the write itself, as a date-only upper bound, includes that whole day.
    EXPECT_EQ(names([&](auto& f) { f.SetModifiedBefore(37746); }), oldOnly); // 2003-05-05
    EXPECT_EQ(names([&](auto& f) { f.SetSizeMin(1000); }), both);
    EXPECT_EQ(names([&](auto& f) { f.SetSizeMin(1001); }), newOnly);
    EXPECT_EQ(names([&](auto& f) { f.SetSizeMax(1000); }), oldOnly);
}

TEST(RealTreeSearch, SizesBeyondFourGigabytes)
{
    TempTree tree;
    const int64_t size = (5ll << 30) + 7;
    if (!tree.MakeSparseFile("big.bin", size))
        GTEST_SKIP() << "this file system cannot hold a sparse file of 5 GiB";
    tree.MakeFile("small.bin", "x");
    RecordingFinder r;
    r.finder.SetLocation(tree.Root());
    r.finder.SetSizeMin(int64_t(4) << 30);
    r.Run();
    ASSERT_EQ(r.found.size(), 1u);
    EXPECT_EQ(r.records["big.bin"].Size, size);
}

TEST(RealTreeSearch, ContentAcrossBlocksCaseAndLockedFiles)
{
    TempTree tree;
    tree.MakeFile("plain.txt", "xxABCxx");
    tree.MakeFile("lower.txt", "..abc..");
    // The text starts two bytes before the end of the scanner's first block.
    const size_t block = engine::ContentScanner::kBlockSize;
    tree.MakeFile("boundary.bin", std::string(block - 2, '-') + "abc" + std::string(100, '-'));
    tree.MakeFile("boundary2.bin", std::string(2 * block - 1, '-') + "abc");
    tree.MakeFile("nearmiss.bin", std::string(block - 2, '-') + "abX" + std::string(100, '-'));
    tree.MakeFile("none.txt", std::string(9000, 'a'));
    tree.MakeFile("short.txt", "ab");
    tree.MakeFile("locked.txt", "abc");
    platform::UniqueFile locker(CreateFileW(platform::Widen(tree.Path("locked.txt")).c_str(), GENERIC_READ, 0,
                                            nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(locker.Valid());
    tree.MakeFile("zlast.txt", "abc"); // after the locked one: the walk must go on

    auto search = [&tree](RecordingFinder& r, bool threaded, bool scanAhead, bool ignoreCase) {
        r.finder.SetLocation(tree.Root());
        r.finder.SetContaining("abc");
        r.finder.SetIgnoreCase(ignoreCase);
        r.finder.SetThreaded(threaded);
        r.finder.SetScanAhead(scanAhead);
        r.Run();
    };
    std::vector<std::string> oneThreadEvents;
    for (bool threaded : {false, true})
    {
        for (bool scanAhead : {false, true})
        {
            // The long files may be scanned on a helper: the same results in the same order.
            RecordingFinder r;
            search(r, threaded, scanAhead, true);
            std::vector<std::string> names;
            for (auto& [name, record] : r.records)
                names.push_back(name);
            EXPECT_EQ(names, (std::vector<std::string>{"boundary.bin", "boundary2.bin", "lower.txt",
                                                       "plain.txt", "zlast.txt"}))
                << (threaded ? "threaded" : "inline") << (scanAhead ? ", scan ahead" : "");
            if (oneThreadEvents.empty())
                oneThreadEvents = r.events;
            EXPECT_EQ(r.events, oneThreadEvents) << threaded << scanAhead;
            EXPECT_EQ(r.finder.Skipped().counts.filesUnreadable, 1u); // the locked one
        }

        RecordingFinder exact;
        search(exact, threaded, false, false);
        EXPECT_EQ(exact.records.count("plain.txt"), 0u);
        EXPECT_EQ(exact.records.count("lower.txt"), 1u);
    }
}

TEST(RealTreeSearch, ContentLongerThanABlock)
{
    const size_t block = engine::ContentScanner::kBlockSize;
    std::string text(block + 100, 'q');
    text.back() = 'z';
    TempTree tree;
    tree.MakeFile("whole.bin", std::string(block / 2, '-') + text + "--");
    tree.MakeFile("cut.bin", std::string(block / 2, '-') + text.substr(0, text.size() - 1) + "--");
    tree.MakeFile("short.bin", text.substr(1));
    for (bool threaded : {false, true})
    {
        RecordingFinder r;
        r.finder.SetLocation(tree.Root());
        r.finder.SetContaining(text);
        r.finder.SetThreaded(threaded);
        r.Run();
        EXPECT_EQ(r.found, std::vector<std::string>{tree.Path("whole.bin")})
            << (threaded ? "threaded" : "inline");
    }
}

TEST(RealTreeSearch, AbortFromTheCallersOwnMessageLoop)
{
    TempTree tree;
    for (int folder = 0; folder < 20; ++folder)
    {
        std::string name = "f" + std::to_string(folder);
        tree.MakeFolder(name);
        for (int file = 0; file < 20; ++file)
            tree.MakeFile(name + "\\" + std::to_string(file) + ".txt");
    }
    constexpr UINT kStopMessage = WM_APP + 40;
    RecordingFinder r;
    r.finder.SetLocation(tree.Root());
    r.finder.SetThreaded(true);
    const DWORD self = GetCurrentThreadId();
    r.onFound = [&] {
        if (r.found.size() == 10)
            PostThreadMessageW(self, kStopMessage, 0, 0);
    };
    size_t foundWhenAbortCalled = 0;
    size_t foundWhenAbortReturned = 0;
    int completionsWhenAbortReturned = 0;
    r.finder.StartSearch();
    // The caller's own GetMessage loop delivers the events; a message of its own stops the run.
    MSG msg;
    while (r.finder.Busy() && GetMessageW(&msg, nullptr, 0, 0) > 0)
    {
        if (msg.message == kStopMessage)
        {
            foundWhenAbortCalled = r.found.size();
            r.finder.AbortSearch();
            foundWhenAbortReturned = r.found.size();
            completionsWhenAbortReturned = r.completions;
            continue;
        }
        DispatchMessageW(&msg);
    }
    EXPECT_TRUE(r.finder.Aborted());
    EXPECT_FALSE(r.finder.Busy());
    EXPECT_EQ(completionsWhenAbortReturned, 1);
    EXPECT_GE(foundWhenAbortCalled, 10u);
    EXPECT_LT(foundWhenAbortCalled, 400u); // the caller's loop got its message during the run
    // At most the one hand-over already under way arrives while AbortSearch waits.
    EXPECT_LE(foundWhenAbortReturned, foundWhenAbortCalled + 1);
    // Nothing arrives after AbortSearch has returned.
    for (int i = 0; i < 10; ++i)
    {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        Sleep(5);
    }
    EXPECT_EQ(r.found.size(), foundWhenAbortReturned);
    EXPECT_EQ(r.completions, 1);
}

TEST(RealTreeSearch, InlineAbortFromAHandler)
{
    TempTree tree;
    for (int file = 0; file < 30; ++file)
        tree.MakeFile(std::to_string(file) + ".txt");
    RecordingFinder r;
    r.finder.SetLocation(tree.Root());
    r.onFound = [&] {
        if (r.found.size() == 3)
            r.finder.AbortSearch();
    };
    r.Run();
    EXPECT_TRUE(r.finder.Aborted());
    EXPECT_EQ(r.found.size(), 3u);
}

TEST(RealTreeSearch, ALinkLoopIsNotFollowed)
{
    TempTree tree;
    tree.MakeFolder("top");
    tree.MakeFile("top\\file.txt");
    tree.MakeFolder("top\\inner");
    if (!tree.MakeFolderLink("top\\inner\\back", tree.Path("top")))
        GTEST_SKIP() << "this system makes no folder links";
    for (bool threaded : {false, true})
    {
        RecordingFinder r;
        r.finder.SetLocation(tree.Path("top"));
        r.finder.SetThreaded(threaded);
        r.Run();
        EXPECT_EQ(r.SortedFound(), std::vector<std::string>{Join(Folder(tree, "top"), "file.txt")});
        EXPECT_FALSE(r.finder.Aborted());
        EXPECT_LE(r.events.size(), 5u);
    }
}

TEST(RealTreeSearch, FoldersBeyondTheClassicPathLimit)
{
    TempTree tree;
    const std::string relative = tree.MakeDeepFolders(std::string(50, 'p'), 320);
    tree.MakeFile(relative + "deep.txt", "needle");
    for (bool threaded : {false, true})
    {
        RecordingFinder r;
        r.finder.SetLocation(tree.Root());
        r.finder.SetContaining("needle");
        r.finder.SetThreaded(threaded);
        r.Run();
        ASSERT_EQ(r.found.size(), 1u);
        EXPECT_EQ(r.found[0], tree.Path(relative) + "deep.txt");
        EXPECT_GT(r.found[0].size(), 330u);
    }
}

TEST(RealTreeSearch, SeveralLocationsAndTheCurrentFolder)
{
    TempTree tree;
    tree.MakeFolder("one");
    tree.MakeFolder("two");
    tree.MakeFile("one\\x.txt");
    tree.MakeFile("two\\x.txt");
    wchar_t saved[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, saved);
    SetCurrentDirectoryW(platform::Widen(tree.Path("two")).c_str());
    RecordingFinder r;
    r.finder.SetLocation(tree.Path("one") + ";;" + tree.Path("ONE\\")); // the current folder in between
    r.finder.SetFilename("x");
    r.Run();
    SetCurrentDirectoryW(saved);
    EXPECT_EQ(r.found, (std::vector<std::string>{tree.Path("one\\x.txt"), tree.Path("two\\x.txt")}));
}

// Deep, wide and empty folders, a link that is not entered, an ignored folder, and folders and
// files that a new-folder handler deletes during the walk (two levels below the folder it is told
// about, as a user's handler or another program might, before the walk gets there).
void MakeWalkTree(TempTree& tree)
{
    std::string deep = "deep";
    tree.MakeFolder(deep);
    for (int level = 0; level < 25; ++level)
    {
        deep += "\\l" + std::to_string(level);
        tree.MakeFolder(deep);
        tree.MakeFile(deep + "\\f.txt");
    }
    tree.MakeFolder("wide");
    for (int i = 0; i < 120; ++i)
    {
        const std::string wide = "wide\\w" + std::to_string(i);
        tree.MakeFolder(wide);
        tree.MakeFile(wide + "\\a.txt");
        if (i % 9 == 0)
            tree.MakeFolder(wide + "\\empty");
    }
    tree.MakeFolder("ignored");
    tree.MakeFile("ignored\\x.txt");
    tree.MakeFolder("van");
    tree.MakeFolder("van\\a");
    tree.MakeFolder("van\\a\\gone");
    tree.MakeFile("van\\a\\gone\\g.txt");
    tree.MakeFile("van\\a\\f1.txt");
    tree.MakeFile("van\\a\\f2.txt");
    tree.MakeFolder("van\\b"); // may be opened ahead before it is emptied and removed
    tree.MakeFile("van\\b\\late.txt");
    tree.MakeFile("top.txt");
}

TEST(RealTreeSearch, OpeningAheadGivesTheEventsOfThePlainWalk)
{
    std::vector<std::string> plain;
    for (bool threaded : {false, true})
        for (bool prefetch : {false, true})
        {
            TempTree tree;
            MakeWalkTree(tree);
            tree.MakeFolderLink("link", tree.Path("wide"));
            RecordingFinder r;
            r.finder.SetLocation(tree.Root());
            r.finder.SetThreaded(threaded);
            r.finder.SetPrefetch(prefetch);
            r.ignoreFolder = [&](const std::string& folder) {
                if (folder == Folder(tree, "van"))
                {
                    DeleteFileW(platform::Widen(tree.Path("van\\a\\gone\\g.txt")).c_str());
                    RemoveDirectoryW(platform::Widen(tree.Path("van\\a\\gone")).c_str());
                    DeleteFileW(platform::Widen(tree.Path("van\\a\\f2.txt")).c_str());
                }
                if (folder == Folder(tree, "van\\a"))
                {
                    DeleteFileW(platform::Widen(tree.Path("van\\b\\late.txt")).c_str());
                    RemoveDirectoryW(platform::Widen(tree.Path("van\\b")).c_str());
                }
                return folder == Folder(tree, "ignored");
            };
            r.Run();
            // The same tree in another temp folder each time: compare paths below the root.
            std::vector<std::string> events;
            for (const std::string& event : r.events)
            {
                const size_t at = event.find(Folder(tree));
                events.push_back(at == std::string::npos
                                     ? event
                                     : event.substr(0, at) + event.substr(at + Folder(tree).size()));
            }
            EXPECT_GT(events.size(), 300u);
            EXPECT_EQ(std::count(events.begin(), events.end(), "found \\van\\a\\f2.txt"), 0);
            EXPECT_EQ(std::count(events.begin(), events.end(), "found \\van\\a\\f1.txt"), 1);
            EXPECT_EQ(std::count(events.begin(), events.end(), "found \\van\\b\\late.txt"), 0);
            if (plain.empty())
                plain = events;
            else
                EXPECT_EQ(events, plain)
                    << (threaded ? "threaded" : "inline") << (prefetch ? ", prefetch" : "");
        }
}

} // namespace
