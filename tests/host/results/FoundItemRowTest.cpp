#include "lang/TextIds.h"
#include "tests/support/MapTextStore.h"
#include "ui/results/ResultRowsFound.h"

#include <cstring>
#include <gtest/gtest.h>
#include <map>

namespace
{

// Files held in memory; OpenFile fails for the names in locked, as for a file another program
// holds open for writing.
class MemoryFileSystem : public platform::FileSystem
{
public:
    class Reader : public platform::FileReader
    {
    public:
        explicit Reader(std::string bytes) : m_bytes(std::move(bytes)) {}
        int64_t Read(void* buffer, size_t count) override
        {
            size_t n = std::min(count, m_bytes.size() - m_position);
            std::memcpy(buffer, m_bytes.data() + m_position, n);
            m_position += n;
            return static_cast<int64_t>(n);
        }
        uint64_t Size() const override { return m_bytes.size(); }
        uint64_t Position() const override { return m_position; }

    private:
        std::string m_bytes;
        size_t m_position = 0;
    };

    std::unique_ptr<platform::DirectoryListing> OpenListing(const std::string&,
                                                            platform::OpenFailure&) override
    {
        return nullptr;
    }
    std::unique_ptr<platform::FileReader> OpenFile(const std::string& path, platform::FileShare,
                                                   platform::OpenFailure&) override
    {
        opened.push_back(path);
        auto found = files.find(path);
        if (found == files.end() || locked.count(path))
            return nullptr;
        return std::make_unique<Reader>(found->second);
    }
    std::string AbsolutePath(const std::string& path) override { return path; }

    std::map<std::string, std::string> files;
    std::set<std::string> locked;
    std::vector<std::string> opened;
};

// UTC ticks map to a calendar time one hour ahead, as a time zone would.
class PlusOneHour : public platform::LocalTimeConverter
{
public:
    std::optional<platform::CalendarTime> ToLocal(uint64_t ticks) const override
    {
        if (ticks == kUnconvertible)
            return std::nullopt;
        uint64_t seconds = ticks / 10000000 + 3600;
        platform::CalendarTime t;
        t.year = 2001;
        t.month = 2;
        t.day = 3;
        t.hour = static_cast<int>(seconds / 3600 % 24);
        t.minute = static_cast<int>(seconds / 60 % 60);
        t.second = static_cast<int>(seconds % 60);
        return t;
    }
    static constexpr uint64_t kUnconvertible = 42;
};

class FoundItemRowTest : public ::testing::Test
{
protected:
    FoundItemRowTest()
        : m_cache([](const std::string& path) -> std::optional<ui::ShellInfo> {
              if (path.find("ghost") != std::string::npos)
                  return std::nullopt;
              if (path.find(".xyz") != std::string::npos)
                  return ui::ShellInfo{"", 7};
              return ui::ShellInfo{"Shell type", 3};
          }),
          m_services{m_files, m_time, m_cache, m_upper, m_texts, engine::ContainerKinds{false, false}}
    {
        m_format.shortDate = "yyyy-MM-dd";
        m_format.longTime = "HH:mm:ss";
        m_format.thousandsSeparator = ".";
    }

    static engine::TSearchRec Record(std::string name, int64_t size, uint32_t attributes = 0x20)
    {
        engine::TSearchRec record;
        record.Name = std::move(name);
        record.Size = size;
        record.Attr = static_cast<int32_t>(attributes);
        record.FindData.attributes = attributes;
        record.FindData.lastWriteTime = (12 * 3600 + 30 * 60 + 15) * 10000000ULL;
        return record;
    }

    std::optional<ui::ResultRow> Row(const std::string& folder, const engine::TSearchRec& record,
                                     std::vector<std::string> texts = {})
    {
        return ui::FoundItemRow(m_services, m_format, folder, record, texts);
    }

    MemoryFileSystem m_files;
    PlusOneHour m_time;
    ui::ByteUpperCase m_upper;
    ui::ShellInfoCache m_cache;
    fake::MapTextStore m_texts{{{201, "<201>"}}};
    ui::FoundItemServices m_services;
    ui::DisplayFormat m_format;
};

TEST_F(FoundItemRowTest, FileRowHoldsNameFolderSizeDateTypeAndIcon)
{
    auto row = Row("C:\\Data", Record("report.txt", 1536000));
    ASSERT_TRUE(row);
    EXPECT_EQ(row->caption, "report.txt");
    EXPECT_EQ(row->cells,
              (std::vector<std::string>{"C:\\Data", "1.500 KB", "2001-02-03 13:30:14", "Shell type"}));
    EXPECT_EQ(row->icon, 3);
    EXPECT_TRUE(m_files.opened.empty());
}

TEST_F(FoundItemRowTest, FolderRowHasNoSizeOrDate)
{
    auto row = Row("C:\\", Record("Sub", 0, 0x10));
    ASSERT_TRUE(row);
    EXPECT_EQ(row->cells, (std::vector<std::string>{"C:\\", "", "", "Shell type"}));
}

TEST_F(FoundItemRowTest, TypeFallsBackToPrefixAndExtensionOrIsAbsent)
{
    auto named = Row("C:\\d", Record("a.xyz", 10));
    ASSERT_TRUE(named);
    EXPECT_EQ(named->Text(4), "<201>xyz");
    EXPECT_EQ(named->icon, 7);

    auto unknown = Row("C:\\d", Record("ghost.bin", 10));
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->cells.size(), 3u);
    EXPECT_EQ(unknown->icon, -1);
}

TEST_F(FoundItemRowTest, DateFromPackedTimeWhenNoFileTimeAndEmptyWhenUnconvertible)
{
    engine::TSearchRec packed = Record("p.txt", 5);
    packed.FindData.lastWriteTime = 0;
    packed.Time =
        static_cast<int32_t>((45u << 25) | (6u << 21) | (30u << 16) | (23u << 11) | (59u << 5) | 29u);
    EXPECT_EQ(Row("C:\\d", packed)->Text(3), "2025-06-30 23:59:58");

    engine::TSearchRec odd = Record("q.txt", 5);
    odd.FindData.lastWriteTime = PlusOneHour::kUnconvertible;
    EXPECT_EQ(Row("C:\\d", odd)->Text(3), "");
}

TEST_F(FoundItemRowTest, ContainingTextLeavesOutFoldersLockedAndNonMatchingFiles)
{
    m_files.files["C:\\d\\yes.txt"] = "first\nthe Word is here\n";
    m_files.files["C:\\d\\no.txt"] = "nothing\n";
    m_files.files["C:\\d\\held.txt"] = "word\n";
    m_files.locked.insert("C:\\d\\held.txt");
    EXPECT_TRUE(Row("C:\\d", Record("yes.txt", 30), {"WORD"}));
    EXPECT_FALSE(Row("C:\\d", Record("no.txt", 8), {"WORD"}));
    EXPECT_FALSE(Row("C:\\d", Record("held.txt", 5), {"WORD"}));
    EXPECT_FALSE(Row("C:\\d", Record("missing.txt", 5), {"WORD"}));
    EXPECT_FALSE(Row("C:\\", Record("d", 0, 0x10), {"WORD"}));
    EXPECT_EQ(m_files.opened, (std::vector<std::string>{"C:\\d\\yes.txt", "C:\\d\\no.txt", "C:\\d\\held.txt",
                                                        "C:\\d\\missing.txt"}));
}

TEST_F(FoundItemRowTest, FileDatedOutsideThePackedRangeStaysListedWithItsDate)
{
    m_files.files["C:\\d\\old.txt"] = "word";
    engine::TSearchRec old = Record("old.txt", 4);
    old.Time = 0; // no packed form exists for it
    auto row = Row("C:\\d", old, {"word"});
    ASSERT_TRUE(row);
    EXPECT_EQ(row->Text(3), "2001-02-03 13:30:14");
}

} // namespace
