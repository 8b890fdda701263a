// Long files read ahead on a helper thread: the same answers, events and skips as reading each
// block where it is compared, every file closed when its scan ends, a stop noticed between blocks.
#include "engine/EntryFilter.h"
#include "engine/FileReadAhead.h"
#include "tests/host/engine/EngineFixture.h"

#include <atomic>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

using engine::ContentScanner;
using engine::ScanOutcome;
using testing_support::FakeEntry;

namespace
{

constexpr size_t kBlock = ContentScanner::kBlockSize;
constexpr size_t kLong = (ContentScanner::kReadAheadFromBlocks + 1) * kBlock; // read ahead

std::string At(size_t offset, const std::string& text, size_t total)
{
    std::string content(total, '-');
    content.replace(offset, text.size(), text);
    return content;
}

TEST(ContentReadAheadTest, GivesTheAnswersOfReadingInlineAndClosesEveryFile)
{
    const size_t ring = ContentScanner::kReadAheadBlocks * kBlock;
    struct Case
    {
        const char* what;
        FakeEntry file;
        ScanOutcome expected;
    };
    auto file = [](std::string content, std::vector<size_t> shortReads = {},
                   std::optional<uint64_t> failFrom = std::nullopt) {
        FakeEntry entry;
        entry.content = std::move(content);
        entry.shortReads = std::move(shortReads);
        entry.readFailsFrom = failFrom;
        return entry;
    };
    const Case cases[] = {
        {"first bytes", file(At(0, "needle", kLong)), ScanOutcome::Contains},
        {"across a boundary", file(At(3 * kBlock - 3, "needle", kLong)), ScanOutcome::Contains},
        {"across the ring's wrap", file(At(ring - 2, "needle", ring + 3 * kBlock)), ScanOutcome::Contains},
        {"last bytes", file(At(3 * ring - 6, "needle", 3 * ring)), ScanOutcome::Contains},
        {"cut by a boundary", file(At(2 * kBlock - 3, "needlX", kLong)), ScanOutcome::Lacks},
        {"absent, many blocks", file(std::string(2 * ring + 7, '-')), ScanOutcome::Lacks},
        {"short reads", file(At(4 * kBlock - 1, "needle", kLong), {kBlock / 3 + 1, 5}),
         ScanOutcome::Contains},
        {"read fails after the text", file(At(10, "needle", kLong), {}, 2 * kBlock), ScanOutcome::Contains},
        {"read fails before the text", file(At(4 * kBlock, "needle", kLong), {}, 2 * kBlock),
         ScanOutcome::Unreadable},
        {"short, inline either way", file(At(kBlock - 2, "needle", 2 * kBlock)), ScanOutcome::Contains},
    };
    testing_support::FakeFileSystem fs;
    ContentScanner inlineScanner("needle", false, false);
    ContentScanner aheadScanner("needle", false, true);
    for (const Case& c : cases)
    {
        fs.AddFile("C:\\f.txt", c.file);
        EXPECT_EQ(inlineScanner.Scan(fs, "C:\\f.txt"), c.expected) << c.what;
        EXPECT_EQ(aheadScanner.Scan(fs, "C:\\f.txt"), c.expected) << c.what << ", read ahead";
        EXPECT_EQ(fs.OpenFiles(), 0) << c.what;
    }
}

TEST(ContentReadAheadTest, AStopEndsALongFileBetweenBlocksUncountedAndClosed)
{
    for (bool readAhead : {false, true})
    {
        testing_support::FakeFileSystem fs;
        const uint64_t size = 40 * kBlock;
        FakeEntry huge;
        huge.size = size; // zeros: the text is not there
        fs.AddFile("C:\\huge.bin", huge);
        engine::SearchSnapshot snapshot;
        snapshot.hasContent = true;
        snapshot.content = "needle";
        snapshot.readAhead = readAhead;
        engine::SkipCounts skipped;
        testing_support::FakeLocalTime localTime{0};
        int polls = 0;
        engine::EntryTester tester(snapshot, fs, localTime, skipped, [&polls] { return ++polls > 2; });
        platform::FindData entry;
        entry.name = "huge.bin";
        entry.size = size;
        EXPECT_FALSE(tester.EntryMatches("C:\\", entry)) << readAhead;
        EXPECT_EQ(polls, 3) << readAhead;
        EXPECT_LE(fs.BytesRead(), (3 + ContentScanner::kReadAheadBlocks) * kBlock) << readAhead;
        EXPECT_FALSE(skipped.Any()) << readAhead;
        EXPECT_EQ(fs.OpenFiles(), 0) << readAhead;
    }
}

// Files of ten blocks that say on which threads they were read and when they are closed; the
// reads of "C:\throws.bin" throw after its first three blocks.
class ProbeFileSystem : public testing_support::FakeFileSystem
{
public:
    class Reader : public platform::FileReader
    {
    public:
        Reader(ProbeFileSystem& owner, bool throws) : m_owner(owner), m_throws(throws) { ++m_owner.open; }
        ~Reader() override { --m_owner.open; }
        int64_t Read(void*, size_t count) override
        {
            {
                std::lock_guard<std::mutex> lock(m_owner.mutex);
                m_owner.readers.insert(std::this_thread::get_id());
            }
            if (m_throws && m_position >= 3 * kBlock)
                throw std::runtime_error("device gone");
            count = static_cast<size_t>(std::min<uint64_t>(count, Size() - m_position));
            m_position += count;
            return static_cast<int64_t>(count);
        }
        uint64_t Size() const override { return 10 * kBlock; }
        uint64_t Position() const override { return m_position; }

    private:
        ProbeFileSystem& m_owner;
        bool m_throws;
        uint64_t m_position = 0;
    };
    using FakeFileSystem::OpenFile;
    std::unique_ptr<platform::FileReader> OpenFile(const std::string& path, platform::FileShare,
                                                   platform::OpenFailure&) override
    {
        return std::make_unique<Reader>(*this, path == "C:\\throws.bin");
    }
    std::atomic<int> open{0};
    std::mutex mutex;
    std::set<std::thread::id> readers;
};

TEST(ContentReadAheadTest, ReadsOnAHelperOnlyWhenAskedAndCarriesItsExceptionToTheScan)
{
    for (bool readAhead : {false, true})
    {
        ProbeFileSystem fs;
        ContentScanner scanner("needle", false, readAhead);
        EXPECT_EQ(scanner.Scan(fs, "C:\\zeros.bin"), ScanOutcome::Lacks);
        EXPECT_EQ(fs.open, 0);
        // The first bytes are read where the file is opened, to look for a byte-order mark.
        EXPECT_EQ(fs.readers.size(), readAhead ? 2u : 1u) << readAhead;
        EXPECT_EQ(fs.readers.count(std::this_thread::get_id()), 1u) << readAhead;
        EXPECT_THROW(scanner.Scan(fs, "C:\\throws.bin"), std::runtime_error) << readAhead;
        EXPECT_EQ(fs.open, 0) << readAhead;
        EXPECT_EQ(scanner.Scan(fs, "C:\\zeros.bin"), ScanOutcome::Lacks) << readAhead;
    }
}

class ReadAheadRunTest : public EngineTest
{
protected:
    void MakeTree()
    {
        fs.AddFile("C:\\t\\a-small.txt").content = "a needle";
        fs.AddFile("C:\\t\\b-long.txt").content = At(3 * kBlock - 2, "needle", kLong + 5);
        fs.AddFile("C:\\t\\c-long-without.txt").content = std::string(3 * kLong, '-');
        fs.AddFile("C:\\t\\d-small-without.txt").content = "nothing";
        FakeEntry broken;
        broken.content = At(4 * kBlock, "needle", kLong);
        broken.readFailsFrom = 2 * kBlock;
        fs.AddFile("C:\\t\\sub\\e-read-error.txt", broken);
        FakeEntry gone;
        gone.content = At(0, "needle", kLong);
        gone.vanished = true;
        fs.AddFile("C:\\t\\sub\\f-gone.txt", gone);
        FakeEntry locked = gone;
        locked.vanished = false;
        locked.openFails = true;
        fs.AddFile("C:\\t\\sub\\g-locked.txt", locked);
        fs.AddFile("C:\\t\\sub\\h-long-at-end.txt").content = At(2 * kLong - 6, "needle", 2 * kLong);
        fs.AddFile("C:\\t\\sub\\i-small.txt").content = "needle";
    }
};

TEST_F(ReadAheadRunTest, EventsAndSkipsAreThoseOfTheInlineRead)
{
    MakeTree();
    const std::vector<std::string> expectedEvents = {"folder C:\\t",
                                                     "found C:\\t|a-small.txt",
                                                     "found C:\\t|b-long.txt",
                                                     "folder C:\\t\\sub",
                                                     "found C:\\t\\sub|h-long-at-end.txt",
                                                     "found C:\\t\\sub|i-small.txt",
                                                     "complete"};
    for (bool threaded : {false, true})
        for (bool readAhead : {false, true})
        {
            events.clear();
            records.clear();
            auto finder = MakeFinder();
            finder->SetLocation("C:\\t");
            finder->SetContaining("needle");
            finder->SetThreaded(threaded);
            finder->SetReadAhead(readAhead);
            finder->StartSearch();
            syncCall.ServeUntil([&finder] { return !finder->Busy(); });
            EXPECT_EQ(events, expectedEvents) << "threaded " << threaded << ", read ahead " << readAhead;
            EXPECT_EQ(finder->Skipped().counts.filesUnreadable, 2u);
            EXPECT_EQ(finder->Skipped().counts.entriesVanished, 1u);
            EXPECT_EQ(fs.OpenFiles(), 0);
        }
}

} // namespace
