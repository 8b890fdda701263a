// The line filter over the text inside documents and archives: lines counted per text piece.
#include "ui/results/LineFilterContainers.h"

#include "tests/support/FakeFileSystem.h"
#include "tests/support/ZipBuilder.h"

#include <array>
#include <gtest/gtest.h>

namespace
{

TEST(LineFilterContainersTest, LinesOfTextInMemory)
{
    const ui::ByteUpperCase upper;
    struct Case
    {
        std::string text;
        std::vector<std::string> texts;
        int count;
    };
    const Case cases[] = {
        {"needle\nhay\nNEEDLE\r\nneedle\rhay", {"needle"}, 3},
        {"a\n\nb\n", {""}, 3}, // an empty text matches every line, the empty one too
        {"nee\ndle", {"needle"}, 0},
        {std::string("needle\0needle", 13), {"needle"}, 1},
        {"caf\xC3\xA9", {"CAF\xC3\x89", "caf\xC3\xA9"}, 1}, // one of the encodings
        {"", {"x"}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ui::CountMatchingLinesInText(c.text, c.texts, upper), c.count) << c.text;
}

TEST(LineFilterContainersTest, CountsOverThePiecesOfTheKindsTurnedOn)
{
    testing_support::FakeFileSystem files;
    testing_support::FakeEntry docx;
    docx.content = testing_support::OfficeFile(
        {{"word/document.xml",
          "<w:p><w:t>Hel</w:t><w:t>lo</w:t></w:p><w:p><w:t>x</w:t></w:p><w:p>hello</w:p>"},
         {"word/footer1.xml", "<w:p><w:t>hello footer</w:t></w:p>"}});
    files.AddFile("C:\\a.docx", docx);
    testing_support::ZipBuilder zip;
    zip.Add("one.txt", "hello\nhello\n").Add("two.txt", "no\nHELLO").Add("bin", std::string("hello\0", 6));
    testing_support::FakeEntry archive;
    archive.content = zip.Build();
    files.AddFile("C:\\a.zip", archive);

    const ui::ByteUpperCase upper;
    const engine::ContainerKinds both{true, true};
    EXPECT_EQ(ui::CountMatchingLines(files, "C:\\a.docx", {"hello"}, upper, both), 3);
    EXPECT_EQ(ui::CountMatchingLines(files, "C:\\a.zip", {"hello"}, upper, both), 3);
    EXPECT_EQ(
        ui::CountMatchingLines(files, "C:\\a.zip", {"hello"}, upper, engine::ContainerKinds{true, false}),
        0); // read as a plain file, whose text ends at the first NUL byte of the zip's header
    EXPECT_EQ(
        ui::CountMatchingLines(files, "C:\\a.docx", {"hello"}, upper, engine::ContainerKinds{false, true}),
        0);
    EXPECT_EQ(ui::CountMatchingLines(files, "C:\\absent.docx", {"hello"}, upper, both), 0);
}

// The text inside a document is UTF-8: a code page's upper case must not fold its bytes, nor may
// the text's code-page form be found inside its characters.
TEST(LineFilterContainersTest, TheTextInsideIsReadAsUtf8NotInTheCodePage)
{
    testing_support::FakeFileSystem files;
    testing_support::FakeEntry docx;
    docx.content =
        testing_support::OfficeFile({{"word/document.xml", "<w:p>caf\xC3\xA9</w:p><w:p>CAFE</w:p>"}});
    files.AddFile("C:\\b.docx", docx);
    // Windows-1252: "\xE3" is a-tilde, whose upper case "\xC3" is also the first byte of UTF-8's e-acute.
    std::array<unsigned char, 256> table = ui::ByteUpperCase().Table();
    table[0xE3] = 0xC3;
    const ui::ByteUpperCase upper(table);
    const engine::ContainerKinds documents{true, false};
    EXPECT_EQ(ui::CountMatchingLines(files, "C:\\b.docx", {"\xE3"}, upper, documents), 0);
    EXPECT_EQ(ui::CountMatchingLines(files, "C:\\b.docx", {"\xE3", "\xC3\xA3"}, upper, documents), 0);
    EXPECT_EQ(ui::CountMatchingLines(files, "C:\\b.docx", {"\xE9", "\xC3\xA9"}, upper, documents), 1);
    EXPECT_EQ(ui::CountMatchingLines(files, "C:\\b.docx", {"cafe"}, upper, documents), 1);
}

} // namespace
