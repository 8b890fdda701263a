#include "ui/results/LineFilter.h"

#include "tests/support/Utf16Bytes.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace
{

namespace fs = std::filesystem;

// Real files of the test's own folder; the largest read it grants is recorded so the tests can
// see the filter streams.
class DiskFileSystem : public platform::FileSystem
{
public:
    class Reader : public platform::FileReader
    {
    public:
        Reader(std::FILE* file, size_t& largestRead) : m_file(file), m_largestRead(largestRead) {}
        ~Reader() override { std::fclose(m_file); }
        int64_t Read(void* buffer, size_t count) override
        {
            m_largestRead = std::max(m_largestRead, count);
            size_t got = std::fread(buffer, 1, count, m_file);
            m_position += got;
            return std::ferror(m_file) ? -1 : static_cast<int64_t>(got);
        }
        uint64_t Size() const override { return 0; }
        uint64_t Position() const override { return m_position; }

    private:
        std::FILE* m_file;
        size_t& m_largestRead;
        uint64_t m_position = 0;
    };

    std::unique_ptr<platform::DirectoryListing> OpenListing(const std::string&,
                                                            platform::OpenFailure&) override
    {
        return nullptr;
    }
    std::unique_ptr<platform::FileReader> OpenFile(const std::string& path, platform::FileShare share,
                                                   platform::OpenFailure&) override
    {
        lastShare = share;
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (!file)
            return nullptr;
        return std::make_unique<Reader>(file, largestRead);
    }
    std::string AbsolutePath(const std::string& path) override { return path; }

    platform::FileShare lastShare = platform::FileShare::ReadWrite;
    size_t largestRead = 0;
};

// Hands out bytes and then fails, as a file on a vanished network share does.
class FailingFileSystem : public DiskFileSystem
{
public:
    class Reader : public platform::FileReader
    {
    public:
        int64_t Read(void* buffer, size_t count) override
        {
            if (m_calls++ > 0)
                return -1;
            const char text[] = "needle here\n";
            size_t n = std::min(count, sizeof text - 1);
            std::memcpy(buffer, text, n);
            return static_cast<int64_t>(n);
        }
        uint64_t Size() const override { return 0; }
        uint64_t Position() const override { return 0; }

    private:
        int m_calls = 0;
    };
    std::unique_ptr<platform::FileReader> OpenFile(const std::string&, platform::FileShare,
                                                   platform::OpenFailure&) override
    {
        return std::make_unique<Reader>();
    }
};

using fake::Utf16;

class LineFilterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = fs::temp_directory_path() /
                   ("linefilter-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string Write(const std::string& name, const std::string& bytes)
    {
        fs::path path = m_folder / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    int Count(const std::string& bytes, const std::string& text)
    {
        return ui::CountMatchingLines(m_files, Write("f.txt", bytes), {text}, m_upper);
    }

    fs::path m_folder;
    DiskFileSystem m_files;
    ui::ByteUpperCase m_upper;
};

TEST_F(LineFilterTest, MatchesIgnoreLetterCasePerLine)
{
    EXPECT_EQ(Count("The Quick brown fox\nquick\nslow\n", "QUICK"), 2);
    EXPECT_EQ(Count("quick", "qUiCk"), 1);
    EXPECT_EQ(Count("qui ck", "quick"), 0);
    EXPECT_EQ(m_files.lastShare, platform::FileShare::Read);
}

TEST_F(LineFilterTest, SplitsLinesAtCrLfCrAndLf)
{
    EXPECT_EQ(Count("a key\r\nkey b\rc key\nnone", "key"), 3);
    EXPECT_EQ(Count("one\r\ntwo", "one\r\ntwo"), 0);
    // A break inside the text never matches, whichever break it is.
    EXPECT_EQ(Count("ab\ncd", "abcd"), 0);
    EXPECT_EQ(Count("ab\rcd", "b\rc"), 0);
    EXPECT_EQ(Count("ab\r\ncd", "bc"), 0);
}

TEST_F(LineFilterTest, LineCountKeepsCrLfAsOneBreak)
{
    // The empty text is held by every line, so the count is the number of lines.
    EXPECT_EQ(Count("a\r\nb\r\nc", ""), 3);
    EXPECT_EQ(Count("a\r\nb\r\n", ""), 2);
    EXPECT_EQ(Count("a\r\rb", ""), 3);
    EXPECT_EQ(Count("a\n\r\nb", ""), 3);
    EXPECT_EQ(Count("\n", ""), 1);
}

TEST_F(LineFilterTest, TextEndsAtTheFirstNul)
{
    EXPECT_EQ(Count(std::string("first\0second\nsecond", 19), "second"), 0);
    EXPECT_EQ(Count(std::string("find me\0", 8), "find"), 1);
    EXPECT_EQ(Count(std::string("\0find", 5), ""), 0);
}

TEST_F(LineFilterTest, EmptyMissingAndUnreadableFilesHoldNothing)
{
    EXPECT_EQ(Count("", "x"), 0);
    EXPECT_EQ(Count("", ""), 0);
    EXPECT_EQ(ui::CountMatchingLines(m_files, (m_folder / "absent.txt").string(), {"x"}, m_upper), 0);
    FailingFileSystem failing;
    EXPECT_EQ(ui::CountMatchingLines(failing, "any", {"needle"}, m_upper), 0);
}

TEST_F(LineFilterTest, UsesTheInjectedUpperCaseAndEveryEncodingOfTheText)
{
    std::array<unsigned char, 256> table{};
    for (size_t c = 0; c < table.size(); ++c)
        table[c] = static_cast<unsigned char>(c);
    for (unsigned char c = 'a'; c <= 'z'; ++c)
        table[c] = static_cast<unsigned char>(c - 32);
    table[0xE9] = 0xC9; // e acute of a Latin-1 code page
    ui::ByteUpperCase latin(table);
    const std::string path = Write("latin.txt", "caf\xE9\nCAF\xC9\nother\n");
    EXPECT_EQ(ui::CountMatchingLines(m_files, path, {"CAF\xC9"}, latin), 2);
    EXPECT_EQ(ui::CountMatchingLines(m_files, path, {"CAF\xC9"}, m_upper), 1);

    const std::string mixed = Write("mixed.txt", "caf\xC3\xA9 in UTF-8\ncaf\xE9 in Latin-1\nneither\n");
    EXPECT_EQ(ui::CountMatchingLines(m_files, mixed, {"CAF\xE9", "CAF\xC3\xA9"}, latin), 2);
}

TEST_F(LineFilterTest, LargeFileIsStreamedAndMatchesAcrossReadBlocks)
{
    // Lines far longer than one read block, with the text straddling block edges.
    // The first line's text is cut by the edge of the first 64 KiB block.
    std::string big = std::string(65533, 'x') + "NEEDLE\n";
    const std::string filler(70000, 'x');
    for (int i = 0; i < 40; ++i)
        big += filler + (i % 2 == 0 ? "NEEDLE" : "needl") + filler + "\r\n";
    const std::string path = Write("big.txt", big);
    EXPECT_EQ(ui::CountMatchingLines(m_files, path, {"needle"}, m_upper), 21);
    EXPECT_LE(m_files.largestRead, 1u << 20);
    EXPECT_LT(m_files.largestRead, big.size());
}

TEST_F(LineFilterTest, CrLfSplitAcrossReadBlocksIsOneBreak)
{
    for (size_t pad : {65535u, 65534u, 65536u})
    {
        std::string text = std::string(pad, 'a') + "\r\n" + "b";
        EXPECT_EQ(Count(text, ""), 2) << pad;
    }
}

TEST_F(LineFilterTest, Utf16FilesAreSearchedInTheirTextLineByLine)
{
    for (bool big : {false, true})
    {
        EXPECT_EQ(Count(Utf16(u"Needle one\r\nno\nneedle \u0436\u0436", big), "NEEDLE"), 2) << big;
        EXPECT_EQ(Count(Utf16(u"\u0436\u0436 needle", big), "\xD0\xB6\xD0\xB6"), 1) << big;
        EXPECT_EQ(Count(Utf16(u"nee\ndle", big), "needle"), 0) << big;
        EXPECT_EQ(Count(Utf16(std::u16string(u"first\0needle", 12), big), "needle"), 0)
            << big; // U+0000 ends the text
        // A text straddling the first 64 KiB read.
        EXPECT_EQ(
            Count(Utf16(std::u16string(32765, u'x') + u"NEEDLE\n" + std::u16string(9, u'y'), big), "needle"),
            1)
            << big;
    }
    EXPECT_EQ(Count(Utf16(u"needle", false) + "z", "needle"), 1); // odd length
    // An unpaired surrogate, also one that ends the file, reads as U+FFFD, as in the engine's scan.
    EXPECT_EQ(Count(Utf16(u"a\xD800\nb\xDC00\nc\xD800", false), "\xEF\xBF\xBD"), 3);
    EXPECT_EQ(Count(Utf16(u"needle", false, false), "needle"), 1); // no mark: told by its zero bytes
}

TEST_F(LineFilterTest, ReadsUnicodeFilesAsUtf8FoldingAsciiLettersOnly)
{
    std::array<unsigned char, 256> table = ui::ByteUpperCase().Table();
    table[0xE9] = 0xC9; // e acute of a Latin-1 code page
    table[0xE3] = 0xC3; // a tilde: also a lead byte of UTF-8
    const ui::ByteUpperCase latin(table);
    const std::vector<std::string> texts = {"CAF\xC9", "CAF\xC3\xA9"};
    for (bool big : {false, true})
        for (bool mark : {false, true})
        {
            const std::string path = Write("utf16.txt", Utf16(u"caf\u00e9\r\nCAF\u00e9\r\nother", big, mark));
            EXPECT_EQ(ui::CountMatchingLines(m_files, path, texts, latin), 2) << big << mark;
        }
    EXPECT_EQ(ui::CountMatchingLines(m_files, Write("utf8.txt", "caf\xC3\xA9\nCAF\xC3\xA9\n"), texts, latin),
              2);
    // U+3A40 is E3 A9 80: folded by the code page its first bytes would read as e acute.
    EXPECT_EQ(
        ui::CountMatchingLines(m_files, Write("cjk.txt", "\xE3\xA9\x80\n"), {"\xE9", "\xC3\xA9"}, latin), 0);
}

} // namespace
