// The version block's lookup: nodes by path, the translation list and the order in which values
// are looked up, on blocks built byte by byte.
#include "about/VersionBlock.h"

#include "about/FileVersion.h"
#include "tests/host/about/VersionBlockBuilder.h"

#include <gtest/gtest.h>
#include <map>

using namespace abouttest;
using about::TFileVersion;
using about::VersionBlock;

namespace
{

std::vector<uint8_t> Words(std::initializer_list<unsigned> words)
{
    std::vector<uint8_t> bytes;
    for (unsigned w : words)
    {
        bytes.push_back(static_cast<uint8_t>(w & 0xFF));
        bytes.push_back(static_cast<uint8_t>(w >> 8));
    }
    return bytes;
}

BlockNode Strings(const std::u16string& translation, const std::u16string& prefix)
{
    std::vector<BlockNode> values;
    for (const char16_t* key : {u"CompanyName", u"FileDescription", u"FileVersion", u"InternalName",
                                u"LegalCopyright", u"LegalTrademarks", u"OriginalFilename", u"ProductName",
                                u"ProductVersion", u"Comments", u"BuildFlags"})
        values.push_back(TextValue(key, prefix + key));
    return Group(translation, std::move(values));
}

// A block with string tables under the given names and, unless null, this translation value.
std::vector<uint8_t> Block(std::vector<BlockNode> tables, const std::vector<uint8_t>* translation)
{
    std::vector<BlockNode> children{Group(u"StringFileInfo", std::move(tables))};
    if (translation)
        children.push_back(Group(u"VarFileInfo", {BinaryValue(u"Translation", *translation)}));
    return Serialize(Root(std::move(children)));
}

// Files by path for the reader; the executable is "C:\\App\\Finder.exe".
struct Files
{
    std::map<std::string, std::vector<uint8_t>> blocks;
    std::vector<std::string> reads;

    about::VersionServices Services()
    {
        about::VersionServices services;
        services.readBlock = [this](const std::string& path) {
            reads.push_back(path);
            auto it = blocks.find(path);
            return it == blocks.end() ? std::vector<uint8_t>() : it->second;
        };
        services.exeFileName = [] { return std::string("C:\\App\\Finder.exe"); };
        services.fileDate = [](const std::string& path) { return "date of " + path; };
        return services;
    }
};

} // namespace

TEST(VersionBlock, FindsNodesByPathWithoutRegardToCase)
{
    const std::vector<uint8_t> translation = Words({0x0409, 0x04B0});
    VersionBlock block(Block({Strings(u"040904B0", u"en-")}, &translation));
    EXPECT_EQ(block.Text("\\StringFileInfo\\040904b0\\companyname"), "en-CompanyName");
    EXPECT_EQ(block.Text("\\STRINGFILEINFO\\040904B0\\Comments"), "en-Comments");
    EXPECT_EQ(block.Query("\\VarFileInfo\\Translation")->bytes, translation);
    EXPECT_FALSE(block.Query("\\StringFileInfo\\040904B0\\Missing"));
    EXPECT_FALSE(block.Query("\\StringFileInfo\\04070000\\CompanyName"));
    // A key is matched whole, not as a prefix.
    EXPECT_FALSE(block.Query("\\StringFileInfo\\040904B0\\Company"));
    // The root's own value: the fixed information.
    EXPECT_EQ(block.Query("\\")->bytes.size(), 52u);
}

TEST(VersionBlock, TextEndsAtItsFirstNulAndIsUtf8)
{
    BlockNode table = Group(u"040904B0", {TextValue(u"CompanyName", std::u16string(u"Pel\u00EDon\0tail", 11)),
                                          TextValue(u"ProductName", u"\u041F\U0001F50E")});
    VersionBlock block(Serialize(Root({Group(u"StringFileInfo", {table})})));
    EXPECT_EQ(block.Text("\\StringFileInfo\\040904B0\\CompanyName"), "Pel\xC3\xADon");
    EXPECT_EQ(block.Text("\\StringFileInfo\\040904B0\\ProductName"), "\xD0\x9F\xF0\x9F\x94\x8E");
}

TEST(VersionBlock, DamagedBlocksAnswerNothingInsteadOfReadingPastTheEnd)
{
    const std::vector<uint8_t> translation = Words({0x0409, 0x04B0});
    std::vector<uint8_t> bytes = Block({Strings(u"040904B0", u"x")}, &translation);
    for (size_t cut : {size_t{0}, size_t{3}, size_t{7}, size_t{60}, bytes.size() / 2, bytes.size() - 1})
    {
        std::vector<uint8_t> shortened(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        VersionBlock block(shortened);
        EXPECT_FALSE(block.Query("\\VarFileInfo\\Translation")) << cut;
    }
    // A child that claims more than its parent holds.
    std::vector<uint8_t> lying = bytes;
    lying[92] = 0xFF;
    lying[93] = 0x7F;
    VersionBlock block(lying);
    (void)block.Text("\\StringFileInfo\\040904B0\\Comments");
    // Bytes after the root's length (the system's copy area) are not part of the block.
    std::vector<uint8_t> padded = bytes;
    padded.resize(bytes.size() * 2, 0xAB);
    EXPECT_EQ(VersionBlock(padded).Size(), bytes.size());
}

TEST(TranslationList, FourBytesPerTranslationAndShortValuesAsUsEnglish)
{
    using about::TranslationList;
    EXPECT_EQ(TranslationList(Words({0x0409, 0x04B0, 0x0405, 0x04E2})),
              (std::vector<std::string>{"040904b0", "040504e2"}));
    // Six bytes: one whole item; the rest is ignored.
    EXPECT_EQ(TranslationList(Words({0x0407, 0x04E4, 0x0405})), (std::vector<std::string>{"040704e4"}));
    // One to three bytes: US English with the first word as the code page.
    EXPECT_EQ(TranslationList(Words({0x04E4})), (std::vector<std::string>{"040904e4"}));
    EXPECT_EQ(TranslationList({0xE4, 0x04, 0x77}), (std::vector<std::string>{"040904e4"}));
    EXPECT_EQ(TranslationList({0x52}), (std::vector<std::string>{"04090052"}));
    EXPECT_TRUE(TranslationList({}).empty());
}

TEST(FileVersion, ValuesComeFromTheSelectedTranslation)
{
    Files files;
    const std::vector<uint8_t> two = Words({0x0409, 0x04B0, 0x0407, 0x04E4});
    files.blocks["C:\\two.dll"] = Block({Strings(u"040904B0", u"en-"), Strings(u"040704E4", u"de-")}, &two);
    TFileVersion reader(files.Services());
    reader.SetFilename("C:\\two.dll");
    EXPECT_EQ(reader.Translations(), (std::vector<std::string>{"040904b0", "040704e4"}));
    EXPECT_EQ(reader.PreDefValue(about::pdCompanyName), "en-CompanyName");
    reader.SetSelectedTranslation(1);
    EXPECT_EQ(reader.PreDefValue(about::pdBuildFlags), "de-BuildFlags");
    EXPECT_EQ(reader.PreDefValue(11), "");
    EXPECT_EQ(reader.PreDefValue(-1), "");

    // A read that finds fewer translations than the selected index starts over at the first.
    const std::vector<uint8_t> one = Words({0x0405, 0x04E2});
    files.blocks["C:\\one.dll"] = Block({Strings(u"040504E2", u"cs-")}, &one);
    reader.SetFilename("C:\\one.dll");
    EXPECT_EQ(reader.SelectedTranslation(), 0);
    EXPECT_EQ(reader.PreDefValue(about::pdProductName), "cs-ProductName");
}

TEST(FileVersion, WithoutTranslationValuesAreLookedUpUnderUsEnglishWesternEuropean)
{
    Files files;
    files.blocks["C:\\none.dll"] = Block({Strings(u"040904E4", u"w-"), Strings(u"040904B0", u"u-")}, nullptr);
    const std::vector<uint8_t> shortValue = Words({0x04E4});
    files.blocks["C:\\short.dll"] = Block({Strings(u"040904E4", u"s-")}, &shortValue);
    TFileVersion reader(files.Services());
    reader.SetFilename("C:\\none.dll");
    EXPECT_TRUE(reader.Translations().empty());
    EXPECT_EQ(reader.PreDefValue(about::pdFileVersion), "w-FileVersion");
    reader.SetFilename("C:\\short.dll");
    EXPECT_EQ(reader.Translations(), (std::vector<std::string>{"040904e4"}));
    EXPECT_EQ(reader.PreDefValue(about::pdComments), "s-Comments");
    // No block at all: every value is empty.
    reader.SetFilename("C:\\missing.dll");
    EXPECT_TRUE(reader.Block().Empty());
    EXPECT_EQ(reader.PreDefValue(about::pdCompanyName), "");
}

TEST(FileVersion, EmptyNameReadsTheExecutableAndForceExeRereadsOnlyOnChange)
{
    Files files;
    TFileVersion reader(files.Services());
    reader.StoreFilename("");
    EXPECT_TRUE(files.reads.empty());
    reader.SetForceEXE(true);
    reader.SetForceEXE(true);
    EXPECT_EQ(files.reads, (std::vector<std::string>{"C:\\App\\Finder.exe"}));
}

TEST(GetVersionString, SelectorsNameTheKeysInTheAboutBoxsOrder)
{
    Files files;
    const std::vector<uint8_t> one = Words({0x0409, 0x04B0});
    files.blocks["C:\\App\\Finder.exe"] = Block({Strings(u"040904B0", u"")}, &one);
    const auto services = files.Services();
    const char* expected[] = {"CompanyName", "LegalTrademarks", "InternalName",     "FileDescription",
                              "FileVersion", "LegalCopyright",  "OriginalFilename", "Comments",
                              "ProductName", "ProductVersion"};
    for (int selector = 0; selector < 10; ++selector)
        EXPECT_EQ(about::GetVersionString(services, "C:\\App\\Finder.exe", selector), expected[selector]);
    EXPECT_EQ(about::GetVersionString(services, "C:\\App\\Finder.exe", 10), "date of C:\\App\\Finder.exe");
    EXPECT_EQ(about::GetVersionString(services, "C:\\App\\Finder.exe", 11), "");
    EXPECT_EQ(about::GetVersionString(services, "C:\\App\\Finder.exe", -1), "");
}
