// The entry tests of a run that stand alone: attributes, size bounds, links, the content scan.
#include "engine/EntryFilter.h"

#include "engine/TextEncoding.h"
#include "tests/support/FakeFileSystem.h"
#include "tests/support/Utf16Bytes.h"

#include <gtest/gtest.h>
#include <random>

using engine::AttributesMatch;
using engine::ContentScanner;
using engine::ScanOutcome;
using engine::TFileAttributes;
using testing_support::FakeEntry;

namespace
{

constexpr uint64_t kGiB = 1ull << 30;

platform::FindData Entry(uint32_t attributes, uint64_t size = 0, uint32_t tag = 0)
{
    platform::FindData d;
    d.attributes = attributes;
    d.size = size;
    d.reparseTag = tag;
    d.name = "x";
    return d;
}

TEST(AttributesMatchTest, AnyCommonAttributeOrNoneAtAll)
{
    const TFileAttributes initial{engine::ffArchive, engine::ffReadonly, engine::ffHidden, engine::ffSystem};
    EXPECT_FALSE(AttributesMatch(0x10, initial, false)); // a plain folder
    EXPECT_TRUE(AttributesMatch(0x12, initial, false));  // a hidden folder
    EXPECT_TRUE(AttributesMatch(0x00, initial, false));  // none of the five bits
    EXPECT_TRUE(AttributesMatch(0x80, initial, false));  // other bits are ignored
    EXPECT_TRUE(AttributesMatch(0x2000, initial, false));
    EXPECT_TRUE(AttributesMatch(0x21, initial, false));
    const TFileAttributes withFolders =
        TFileAttributes::FromBits(initial.Bits() | (1u << engine::ffDirectory));
    EXPECT_TRUE(AttributesMatch(0x10, withFolders, false));
    EXPECT_FALSE(AttributesMatch(0x20, TFileAttributes{engine::ffHidden}, false));
    EXPECT_TRUE(AttributesMatch(0x22, TFileAttributes{engine::ffHidden}, false));
}

TEST(AttributesMatchTest, ExactAttributeWantsTheSameSet)
{
    const TFileAttributes archive{engine::ffArchive};
    EXPECT_TRUE(AttributesMatch(0x20, archive, true));
    EXPECT_FALSE(AttributesMatch(0x21, archive, true));
    EXPECT_TRUE(AttributesMatch(0x20 | 0x80 | 0x400, archive, true)); // only the five bits count
    EXPECT_TRUE(AttributesMatch(0x00, TFileAttributes{}, true));
    EXPECT_TRUE(AttributesMatch(0x80, TFileAttributes{}, true));
    EXPECT_FALSE(AttributesMatch(0x20, TFileAttributes{}, true));
    EXPECT_TRUE(AttributesMatch(
        0x17, TFileAttributes{engine::ffReadonly, engine::ffHidden, engine::ffSystem, engine::ffDirectory},
        true));
}

TEST(SizeMatchesTest, BoundsAreInclusiveAndSkipFolders)
{
    EXPECT_TRUE(engine::SizeMatches(Entry(0x20, 1024), 1024, 0));
    EXPECT_FALSE(engine::SizeMatches(Entry(0x20, 1023), 1024, 0));
    EXPECT_TRUE(engine::SizeMatches(Entry(0x20, 2048), 0, 2048));
    EXPECT_FALSE(engine::SizeMatches(Entry(0x20, 2049), 0, 2048));
    EXPECT_TRUE(engine::SizeMatches(Entry(0x20, 0), 0, 0));
    EXPECT_TRUE(engine::SizeMatches(Entry(0x10, 0), 1024, 0)); // a folder is never rejected
    EXPECT_TRUE(engine::SizeMatches(Entry(0x10, 99999), 0, 10));
}

TEST(SizeMatchesTest, UsesAllSixtyFourBits)
{
    // A 32-bit view would see 2 GiB as negative and 5 GiB as 1 GiB.
    EXPECT_FALSE(engine::SizeMatches(Entry(0x20, 2 * kGiB), 0, 2 * kGiB - 1));
    EXPECT_TRUE(engine::SizeMatches(Entry(0x20, 2 * kGiB), 2 * kGiB, 0));
    EXPECT_TRUE(engine::SizeMatches(Entry(0x20, 5 * kGiB), 4 * kGiB + 1, 0));
    EXPECT_FALSE(engine::SizeMatches(Entry(0x20, 5 * kGiB), 0, 4 * kGiB));
    EXPECT_FALSE(engine::SizeMatches(Entry(0x20, 1 * kGiB), 4 * kGiB + 1, 0));
}

TEST(NameSurrogateTest, LinksAndWineSymlinksButNotPlaceholders)
{
    EXPECT_TRUE(engine::IsNameSurrogate(Entry(0x410, 0, 0xA000000C)));  // symbolic link
    EXPECT_TRUE(engine::IsNameSurrogate(Entry(0x410, 0, 0xA0000003)));  // junction
    EXPECT_TRUE(engine::IsNameSurrogate(Entry(0x410, 0, 0)));           // Wine: a Unix symlink
    EXPECT_FALSE(engine::IsNameSurrogate(Entry(0x410, 0, 0x9000001A))); // cloud placeholder
    EXPECT_FALSE(engine::IsNameSurrogate(Entry(0x10, 0, 0xA000000C)));  // no reparse attribute
}

using fake::Utf16;

class ContentScanTest : public ::testing::Test
{
protected:
    bool Scan(const std::string& text, bool ignoreCase, const std::string& content)
    {
        fs.AddFile("C:\\f.bin").content = content;
        ContentScanner scanner(text, ignoreCase);
        return scanner.FileContains(fs, "C:\\f.bin");
    }
    // content with text written at offset, the rest filled with '-'.
    static std::string At(size_t offset, const std::string& text, size_t total)
    {
        std::string content(total, '-');
        content.replace(offset, text.size(), text);
        return content;
    }
    testing_support::FakeFileSystem fs;
};

TEST_F(ContentScanTest, FoldsOnlyAsciiLettersWhenIgnoringCase)
{
    EXPECT_TRUE(Scan("abc", true, "xABCx"));
    EXPECT_FALSE(Scan("abc", false, "xABCx"));
    EXPECT_TRUE(Scan("aBc", false, "xaBcx"));
    EXPECT_TRUE(Scan("[a]", true, "[A]"));
    EXPECT_FALSE(Scan("{", true, "[")); // '[' and '{' differ by the case bit but are not letters
    EXPECT_FALSE(Scan("\xC3\xA9", true, "\xC3\x89")); // é is not folded onto É
    EXPECT_FALSE(Scan("abc", true, std::string("ab\0c", 4)));
    EXPECT_TRUE(Scan("b\xFF", true, std::string("a\0b\xFF", 4)));
}

TEST_F(ContentScanTest, FindsTextAcrossEveryBlockBoundary)
{
    const size_t block = ContentScanner::kBlockSize;
    for (size_t offset : {block - 3, block - 2, block - 1, block, 2 * block - 1, 3 * block - 4})
        EXPECT_TRUE(Scan("abcd", false, At(offset, "abcd", 4 * block))) << "at " << offset;
    EXPECT_TRUE(Scan("abc", true, At(block - 2, "ABC", 2 * block + 100)));
    EXPECT_TRUE(Scan("abc", true, At(2 * block - 3, "abc", 2 * block))); // the file's last bytes
    EXPECT_TRUE(Scan("abc", true, At(2 * block - 1, "abc", 2 * block + 2)));
    EXPECT_FALSE(Scan("abcd", false, At(block - 2, "abcX", 3 * block)));
    EXPECT_FALSE(Scan("abcd", false, At(block - 2, "Xbcd", 3 * block)));
}

TEST_F(ContentScanTest, FindsTextsLongerThanABlock)
{
    const size_t block = ContentScanner::kBlockSize;
    for (size_t length : {block - 1, block + 1, 2 * block + 3})
    {
        std::string text(length, 'q');
        text.back() = 'z';
        ContentScanner scanner(text, false);
        for (size_t offset : {size_t{0}, block - 1, 2 * block + 5})
        {
            const size_t total = offset + length + 77;
            fs.AddFile("C:\\hit.bin").content = At(offset, text, total);
            EXPECT_TRUE(scanner.FileContains(fs, "C:\\hit.bin")) << length << " at " << offset;
            fs.AddFile("C:\\cut.bin").content = At(offset, text.substr(0, length - 1), total);
            EXPECT_FALSE(scanner.FileContains(fs, "C:\\cut.bin")) << length << " at " << offset;
        }
    }
}

TEST_F(ContentScanTest, ShortReadsFindTheSameTexts)
{
    const size_t block = ContentScanner::kBlockSize;
    ContentScanner scanner("abcd", false);
    std::string longText(block + 10, 'q');
    longText.back() = 'z';
    ContentScanner longScanner(longText, false);
    const std::vector<std::vector<size_t>> pieces = {{1}, {3, 7, block - 1}, {block / 2 + 1}, {5000, 3}};
    for (const std::vector<size_t>& shortReads : pieces)
    {
        const bool fewReads = shortReads[0] > 1; // one byte at a time would take long for the long text
        for (size_t offset : {size_t{0}, size_t{2}, block - 2, block + 1, 2 * block - 3})
        {
            FakeEntry file;
            file.shortReads = shortReads;
            file.content = At(offset, "abcd", 2 * block + 50);
            fs.AddFile("C:\\hit.bin", file);
            EXPECT_TRUE(scanner.FileContains(fs, "C:\\hit.bin")) << "at " << offset;
            file.content = At(offset, "abcX", 2 * block + 50);
            fs.AddFile("C:\\miss.bin", file);
            EXPECT_FALSE(scanner.FileContains(fs, "C:\\miss.bin")) << "at " << offset;
            if (!fewReads)
                continue;
            file.content = At(offset, longText, offset + longText.size() + 3);
            fs.AddFile("C:\\long.bin", file);
            EXPECT_TRUE(longScanner.FileContains(fs, "C:\\long.bin")) << "at " << offset;
            file.content.pop_back();
            file.content.pop_back();
            file.content.pop_back();
            file.content.pop_back(); // the text loses its last byte
            fs.AddFile("C:\\long.bin", file);
            EXPECT_FALSE(longScanner.FileContains(fs, "C:\\long.bin")) << "at " << offset;
        }
    }
}

TEST_F(ContentScanTest, RejectsShortEmptyAndUnreadableFiles)
{
    EXPECT_FALSE(Scan("abcdef", true, "abc"));
    EXPECT_FALSE(Scan("a", true, ""));
    EXPECT_TRUE(Scan("abc", true, "abc"));
    FakeEntry locked;
    locked.content = "abc";
    locked.openFails = true;
    fs.AddFile("C:\\locked.txt", locked);
    FakeEntry gone;
    gone.content = "abc";
    gone.vanished = true;
    fs.AddFile("C:\\gone.txt", gone);
    ContentScanner scanner("abc", true);
    // Neither holds the text; the walk counts the two kinds apart.
    EXPECT_EQ(scanner.Scan(fs, "C:\\locked.txt"), ScanOutcome::Unreadable);
    EXPECT_EQ(scanner.Scan(fs, "C:\\missing.txt"), ScanOutcome::Vanished);
    EXPECT_EQ(scanner.Scan(fs, "C:\\gone.txt"), ScanOutcome::Vanished);
    EXPECT_FALSE(scanner.FileContains(fs, "C:\\locked.txt"));
}

TEST_F(ContentScanTest, AReadErrorEndsTheScanWithWhatWasFound)
{
    const size_t block = ContentScanner::kBlockSize;
    FakeEntry early;
    early.content = At(10, "abc", 3 * block);
    early.readFailsFrom = block;
    fs.AddFile("C:\\early.txt", early);
    FakeEntry late;
    late.content = At(2 * block + 10, "abc", 3 * block);
    late.readFailsFrom = block;
    fs.AddFile("C:\\late.txt", late);
    fs.AddFile("C:\\whole.txt").content = At(2 * block + 10, "xyz", 3 * block);
    ContentScanner scanner("abc", true);
    EXPECT_EQ(scanner.Scan(fs, "C:\\early.txt"), ScanOutcome::Contains);
    EXPECT_EQ(scanner.Scan(fs, "C:\\late.txt"), ScanOutcome::Unreadable);
    EXPECT_EQ(scanner.Scan(fs, "C:\\whole.txt"), ScanOutcome::Lacks);
}

TEST(ContentSearchTest, AgreesWithAPlainSearchOnRandomData)
{
    // A small alphabet makes partial matches frequent, which is where a skip table goes wrong.
    const char alphabet[] = {'a', 'b', 'A', 'B', 'z'};
    std::mt19937 random(12345);
    auto pick = [&](size_t count) {
        std::string s;
        for (size_t i = 0; i < count; ++i)
            s.push_back(alphabet[random() % sizeof(alphabet)]);
        return s;
    };
    auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
    for (int round = 0; round < 3000; ++round)
    {
        const bool ignoreCase = round % 2 == 0;
        const std::string text = pick(1 + random() % 5);
        std::string data = pick(random() % 40);
        if (round % 3 == 0 && !data.empty())
            data[random() % data.size()] = '\0'; // zero bytes occur in files, never in texts
        bool expected = false;
        for (size_t at = 0; at + text.size() <= data.size() && !expected; ++at)
        {
            expected = true;
            for (size_t k = 0; k < text.size() && expected; ++k)
                expected = ignoreCase ? fold(data[at + k]) == fold(text[k]) : data[at + k] == text[k];
        }
        EXPECT_EQ(ContentScanner(text, ignoreCase).Contains(data.data(), data.size()), expected)
            << "text '" << text << "' data '" << data << "' ignoreCase " << ignoreCase;
    }
}

TEST_F(ContentScanTest, OneScannerServesManyFiles)
{
    const size_t block = ContentScanner::kBlockSize;
    fs.AddFile("C:\\1").content = At(block - 3, "needle", block + 9000);
    fs.AddFile("C:\\2").content = "nothing here";
    fs.AddFile("C:\\3").content = "needle";
    ContentScanner scanner("NEEDLE", true);
    EXPECT_TRUE(scanner.FileContains(fs, "C:\\1"));
    EXPECT_FALSE(scanner.FileContains(fs, "C:\\2"));
    EXPECT_TRUE(scanner.FileContains(fs, "C:\\3"));
}

TEST_F(ContentScanTest, FindsTextInUtf16FilesOfEitherByteOrder)
{
    for (bool big : {false, true})
    {
        EXPECT_TRUE(Scan("needle", true, Utf16(u"a NeEdLe here", big))) << big;
        EXPECT_FALSE(Scan("needle", false, Utf16(u"a NeEdLe here", big))) << big;
        EXPECT_TRUE(Scan("caf\xC3\xA9", true, Utf16(u"CAF\u00e9", big))) << big;
        EXPECT_FALSE(Scan("caf\xC3\xA9", true, Utf16(u"CAF\u00c9", big))) << big; // only ASCII folds
        EXPECT_TRUE(Scan("\xF0\x9F\x98\x80!", true, Utf16(u"x\U0001F600!", big))) << big;
        // The raw bytes of UTF-16 text are not what is searched.
        EXPECT_FALSE(Scan(std::string("n\0e", 3), true, Utf16(u"needle", big))) << big;
    }
    // Without the mark, told by the zero bytes.
    for (bool big : {false, true})
    {
        EXPECT_TRUE(Scan("needle", true, Utf16(u"a NeEdLe here", big, false))) << big;
        EXPECT_FALSE(Scan(std::string("n\0e", 3), true, Utf16(u"needle", big, false))) << big;
    }
    // An odd last byte is no character; the text before it is found, nothing breaks.
    EXPECT_TRUE(Scan("end", true, Utf16(u"the end", false) + "x"));
    EXPECT_FALSE(Scan("ende", true, Utf16(u"the end", false) + "e"));
    EXPECT_FALSE(Scan("x", true, "\xFF\xFE"));
    EXPECT_FALSE(Scan("x", true,
                      "\xFF\xFE"
                      "x"));
}

TEST_F(ContentScanTest, FindsTheTextInTheFormOfTheFilesEncoding)
{
    const platform::Latin1CodePage latin1;
    const engine::ContentText cafe{"caf\xC3\xA9", engine::AnsiForm("caf\xC3\xA9", &latin1)};
    const std::string asciiStart(5000, 'x');
    struct Row
    {
        std::string content;
        bool expected;
        const char* why;
    };
    const std::vector<Row> rows = {
        {"un CAF\xC3\xA9", true, "UTF-8, ASCII letters folded"},
        {"\xEF\xBB\xBF"
         "caf\xC3\xA9",
         true, "UTF-8 with a mark"},
        {"un CAF\xE9", true, "ANSI"},
        {"un CAF\xC9", false, "ANSI, other letters not folded"},
        {asciiStart + "caf\xC3\xA9", true, "UTF-8 the first bytes do not tell"},
        {asciiStart + "caf\xE9", true, "ANSI after ASCII"},
        {"\xC3\xA0 caf\xE9\x80\x80", false, "the ANSI form in a UTF-8 file is no match"},
        {Utf16(u"un caf\u00e9", false, false), true, "UTF-16 LE"},
        {Utf16(u"un caf\u00e9", true, false), true, "UTF-16 BE"},
        {Utf16(u"un caf\u00e9", true), true, "UTF-16 BE with a mark"},
        {"", false, "an empty file"},
        {"c", false, "a file of one byte"},
    };
    for (const Row& row : rows)
    {
        fs.AddFile("C:\\f.txt").content = row.content;
        EXPECT_EQ(ContentScanner(cafe, true).FileContains(fs, "C:\\f.txt"), row.expected) << row.why;
    }
    // A text the code page cannot hold is looked for in its UTF-8 form alone.
    fs.AddFile("C:\\f.txt").content = "5 \xE2\x82\xAC";
    const engine::ContentText euro{"\xE2\x82\xAC", engine::AnsiForm("\xE2\x82\xAC", &latin1)};
    EXPECT_TRUE(ContentScanner(euro, false).FileContains(fs, "C:\\f.txt"));
}

TEST_F(ContentScanTest, FindsAnsiTextAcrossEveryBlockBoundary)
{
    const size_t block = ContentScanner::kBlockSize;
    const engine::ContentText text{"\xC3\xA9t\xC3\xA9", "\xE9t\xE9"};
    for (size_t at : {block - 3, block - 2, block - 1, block})
    {
        fs.AddFile("C:\\f.txt").content = At(at, "\xE9T\xE9", block + 100);
        EXPECT_TRUE(ContentScanner(text, true).FileContains(fs, "C:\\f.txt")) << at;
        EXPECT_FALSE(ContentScanner(text, false).FileContains(fs, "C:\\f.txt")) << at;
    }
}

TEST_F(ContentScanTest, UnpairedSurrogatesOfUtf16FilesReadAsReplacementCharacters)
{
    const std::string replacement = "\xEF\xBF\xBD";
    for (bool big : {false, true})
    {
        EXPECT_TRUE(Scan("a" + replacement + "b", true, Utf16({u'a', 0xDC00, u'b'}, big))) << big; // lone low
        EXPECT_TRUE(Scan("a" + replacement + "b", true, Utf16({u'a', 0xD800, u'b'}, big))) << big; // no low
        // A high surrogate that ends the file waits for a pair that never comes.
        EXPECT_TRUE(Scan("a" + replacement, true, Utf16(u"a\xD800", big))) << big;
        EXPECT_TRUE(Scan(replacement, true, Utf16(u"\xD800", big))) << big;
        EXPECT_TRUE(Scan("a" + replacement, true, Utf16(u"a\xD800", big) + "x")) << big;
        EXPECT_FALSE(Scan(replacement, true, Utf16(u"a", big) + "x")) << big; // an odd byte is none
    }
}

TEST_F(ContentScanTest, FindsUtf16TextAcrossReadBlocks)
{
    const size_t block = ContentScanner::kBlockSize;
    for (bool big : {false, true})
    {
        // Units placed so the text, or a surrogate pair in it, straddles the first raw blocks; the
        // short reads split units at odd offsets.
        for (size_t units : {block / 2 - 3, block / 2 - 2, block / 2 - 1, block / 2, block - 2})
        {
            const std::u16string text =
                std::u16string(units, u'-') + u"Ab\U0001F600cd" + std::u16string(40000, u'-');
            EXPECT_TRUE(Scan("ab\xF0\x9F\x98\x80"
                             "CD",
                             true, Utf16(text, big)))
                << units << " " << big;
            FakeEntry file;
            file.shortReads = {7, 3};
            ContentScanner scanner("ab\xF0\x9F\x98\x80"
                                   "cd",
                                   true);
            for (bool mark : {false, true})
            {
                file.content = Utf16(text, big, mark);
                fs.AddFile("C:\\short.bin", file);
                EXPECT_TRUE(scanner.FileContains(fs, "C:\\short.bin")) << units << " " << big << mark;
            }
        }
    }
}

} // namespace
