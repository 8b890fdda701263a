// The text inside documents and archives: the XML parts' text, which parts and members are read,
// and the content test over them (through the fake file system).
#include "engine/DocumentText.h"

#include "engine/ContentScanner.h"
#include "engine/XmlText.h"
#include "tests/support/FakeFileSystem.h"
#include "tests/support/ZipBuilder.h"

#include <gtest/gtest.h>

using engine::ContainerKind;
using engine::ContainerKinds;
using engine::ScanOutcome;
using engine::TextOutcome;
using engine::TextPiece;
using testing_support::OfficeFile;
using testing_support::ZipBuilder;

namespace
{

TEST(XmlTextTest, TagsDroppedEntitiesDecodedParagraphsOnLines)
{
    struct Case
    {
        const char* xml;
        const char* text;
    };
    const Case cases[] = {
        {"<w:p><w:r><w:t>Hel</w:t></w:r><w:r><w:rPr><w:b/></w:rPr><w:t>lo</w:t></w:r></w:p>", "Hello\n"},
        {"<w:p><w:r><w:t>one</w:t></w:r></w:p><w:p><w:r><w:t>two</w:t></w:r></w:p>", "one\ntwo\n"},
        {"<w:p><w:r><w:t>a</w:t><w:tab/><w:t>b</w:t><w:br/><w:t>c</w:t></w:r></w:p>", "a\tb\nc\n"},
        {"<w:t>&lt;&amp;&gt;&quot;&apos;</w:t>", "<&>\"'"},
        {"<w:t>caf&#233; &#x20AC;&#X1F600;</w:t>", "caf\xC3\xA9 \xE2\x82\xAC\xF0\x9F\x98\x80"},
        {"<w:t>&nbsp;&#0;&#xD800;&#x110000;&#;&amp</w:t>", "&nbsp;&#0;&#xD800;&#x110000;&#;&amp"},
        {"<t><![CDATA[a <b> & c]]></t>", "a <b> & c"},
        {"\xEF\xBB\xBF<?xml version=\"1.0\"?><!-- <w:t>hidden</w:t> --><x>shown</x>", "shown"},
        {"<!DOCTYPE d [<!ENTITY e \"x>y\">]><x>after</x>", "after"},
        {"<a title=\"1 > 0\" b='>'>text</a>", "text"},
        {"<w:p>\n  <w:r>\n    <w:t>Hel</w:t>\n  </w:r>\n  <w:r><w:t>lo</w:t></w:r>\n</w:p>", "Hello\n"},
        {"<w:t xml:space=\"preserve\">two</w:t><w:t xml:space=\"preserve\"> </w:t><w:t>words</w:t>",
         "two words"},
        {"<a:p><a:r><a:t>slide</a:t></a:r></a:p><text:p>odt<text:s/>x</text:p><text:h>head</text:h>",
         "slide\nodt x\nhead\n"},
        {"<row><c><v>1</v></c><c t=\"inlineStr\"><is><t>cell</t></is></c></row><si><t>shared</t></si>",
         "1\tcell\t\nshared\n"},
        {"<table:table-row><table:table-cell><text:p>x</text:p></table:table-cell></table:table-row>",
         "x\n\t\n"},
        {"<x>cut off <y", "cut off "},
        {"<x>open comment<!-- never closed", "open comment"},
        {"no markup at all", "no markup at all"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(engine::XmlText(c.xml), c.text) << c.xml;
}

TEST(ContainerKindTest, ByExtensionWhenTheKindIsOpened)
{
    const ContainerKinds both{true, true};
    const ContainerKinds documentsOnly{true, false};
    const ContainerKinds none{false, false};
    EXPECT_EQ(engine::ContainerKindOf("C:\\a\\report.DOCX", documentsOnly), ContainerKind::Document);
    EXPECT_EQ(engine::ContainerKindOf("C:\\a\\sheet.xlsm", documentsOnly), ContainerKind::Document);
    EXPECT_EQ(engine::ContainerKindOf("C:\\a\\talk.odp", both), ContainerKind::Document);
    EXPECT_EQ(engine::ContainerKindOf("C:\\a\\b.zip", documentsOnly), ContainerKind::None);
    EXPECT_EQ(engine::ContainerKindOf("C:\\a\\b.Zip", both), ContainerKind::Archive);
    EXPECT_EQ(engine::ContainerKindOf("C:\\a\\report.docx", none), ContainerKind::None);
    EXPECT_EQ(engine::ContainerKindOf("C:\\a\\report.doc", both), ContainerKind::None);
    EXPECT_EQ(engine::ContainerKindOf("C:\\a.docx\\readme", both), ContainerKind::None);
    EXPECT_EQ(engine::ContainerKindOf("C:\\a\\docx", both), ContainerKind::None);
}

using Listing = std::vector<std::pair<std::string, std::string>>;

class DocumentTextTest : public ::testing::Test
{
protected:
    std::string Add(const std::string& name, const std::string& bytes)
    {
        testing_support::FakeEntry entry;
        entry.content = bytes;
        const std::string path = "C:\\docs\\" + name;
        m_files.AddFile(path, entry);
        return path;
    }
    // The pieces as (member, text) pairs.
    Listing Pieces(const std::string& path, ContainerKind kind)
    {
        std::vector<TextPiece> pieces;
        EXPECT_EQ(engine::ContainerText(m_files, path, kind, pieces), TextOutcome::Read);
        Listing listing;
        for (const TextPiece& piece : pieces)
            listing.emplace_back(piece.member, piece.text);
        return listing;
    }
    ScanOutcome Scan(const std::string& path, const std::string& text, bool ignoreCase = true,
                     ContainerKinds opened = ContainerKinds{true, true})
    {
        return engine::ContentScanner(text, ignoreCase, {}, opened).Scan(m_files, path);
    }

    testing_support::FakeFileSystem m_files;
};

TEST_F(DocumentTextTest, OfficeAndOpenDocumentPartsAreRead)
{
    const std::string docx = Add("a.docx", OfficeFile({
                                               {"word/document.xml", "<w:p><w:t>Body</w:t></w:p>"},
                                               {"word/header1.xml", "<w:p><w:t>Head</w:t></w:p>"},
                                               {"word/footnotes.xml", "<w:p><w:t>Note</w:t></w:p>"},
                                               {"word/styles.xml", "<w:t>StyleName</w:t>"},
                                               {"word/_rels/header1.xml.rels", "<r>Rel</r>"},
                                           }));
    EXPECT_EQ(Pieces(docx, ContainerKind::Document), (Listing{{"word/document.xml", "Body\n"},
                                                              {"word/header1.xml", "Head\n"},
                                                              {"word/footnotes.xml", "Note\n"}}));

    struct Case
    {
        const char* name;
        std::vector<std::pair<std::string, std::string>> parts;
        const char* found;
    };
    const Case cases[] = {
        {"b.xlsx", {{"xl/sharedStrings.xml", "<si><t>Shared</t></si>"}}, "shared"},
        {"c.xlsx",
         {{"xl/worksheets/sheet2.xml", "<row><c t=\"inlineStr\"><is><t>Inline</t></is></c></row>"}},
         "INLINE"},
        {"d.pptx",
         {{"ppt/slides/slide1.xml", "<a:p><a:r><a:t>Sli</a:t></a:r><a:r><a:t>de</a:t></a:r></a:p>"}},
         "slide"},
        {"e.pptx", {{"ppt/notesSlides/notesSlide1.xml", "<a:p><a:t>Speaker</a:t></a:p>"}}, "speaker"},
        {"f.odt", {{"content.xml", "<text:p>Open&#233;</text:p>"}}, "open\xC3\xA9"},
        {"g.ods", {{"styles.xml", "<style:header><text:p>Footer text</text:p></style:header>"}}, "footer"},
        {"h.docx", {{"word/comments.xml", "<w:p><w:t>Remark</w:t></w:p>"}}, "remark"},
    };
    for (const Case& c : cases)
    {
        const std::string path = Add(c.name, OfficeFile(c.parts));
        EXPECT_EQ(Scan(path, c.found), ScanOutcome::Contains) << c.name;
        EXPECT_EQ(Scan(path, "absent"), ScanOutcome::Lacks) << c.name;
    }
}

TEST_F(DocumentTextTest, ContentTestSearchesTheTextNotTheBytes)
{
    const std::string docx =
        Add("runs.docx", OfficeFile({{"word/document.xml", "<w:p><w:r><w:t>Hel</w:t></w:r><w:r><w:t>lo "
                                                           "W&amp;rld</w:t></w:r></w:p>"}}));
    EXPECT_EQ(Scan(docx, "hello w&rld"), ScanOutcome::Contains);
    EXPECT_EQ(Scan(docx, "hello w&rld", false), ScanOutcome::Lacks);
    EXPECT_EQ(Scan(docx, "Hello W&rld", false), ScanOutcome::Contains);
    EXPECT_EQ(Scan(docx, "w:t"), ScanOutcome::Lacks);           // markup is not text
    EXPECT_EQ(Scan(docx, "Content_Types"), ScanOutcome::Lacks); // nor are other parts
    // With documents not opened, the file's own (deflated) bytes are searched as before.
    EXPECT_EQ(Scan(docx, "Content_Types", true, ContainerKinds{false, false}), ScanOutcome::Contains);
    EXPECT_EQ(Scan(docx, "hello", true, ContainerKinds{false, true}), ScanOutcome::Lacks);
}

TEST_F(DocumentTextTest, ArchivesGiveTheirTextMembers)
{
    ZipBuilder builder;
    builder.Add("readme.txt", "Install notes\r\nline two", false);
    builder.Add("src/main.c", "int needle;\n");
    builder.Add("folder/", "", false);
    builder.Add("image.bin", std::string("\x89PNG\0\0needle", 12));
    builder.Add("wide.txt", std::string("\xFF\xFEw\0i\0d\0e\0", 10));
    builder.Add("late-nul.txt", std::string(5000, 'x') + std::string(1, '\0') + "tail");
    const std::string zip = Add("a.zip", builder.Build());
    EXPECT_EQ(Pieces(zip, ContainerKind::Archive),
              (Listing{{"readme.txt", "Install notes\r\nline two"},
                       {"src/main.c", "int needle;\n"},
                       {"wide.txt", "wide"},
                       {"late-nul.txt", std::string(5000, 'x') + std::string(1, '\0') + "tail"}}));

    EXPECT_EQ(Scan(zip, "NEEDLE"), ScanOutcome::Contains);
    EXPECT_EQ(Scan(zip, "WIDE"), ScanOutcome::Contains);
    // Archives not opened: the file's bytes, where only the stored member reads as written.
    EXPECT_EQ(Scan(zip, "Install notes", false, ContainerKinds{true, false}), ScanOutcome::Contains);
    EXPECT_EQ(Scan(zip, "int needle", false, ContainerKinds{true, false}), ScanOutcome::Lacks);
}

TEST_F(DocumentTextTest, HostileAndBrokenFilesDoNotContainTheText)
{
    const std::string text = "needle in the document";
    const std::string good = OfficeFile({{"word/document.xml", "<w:p><w:t>" + text + "</w:t></w:p>"}});
    ZipBuilder encrypted;
    encrypted.Add({"word/document.xml", "<w:t>" + text + "</w:t>", true, 1, false});
    ZipBuilder wrongCrc;
    wrongCrc.Add({"word/document.xml", "<w:t>" + text + "</w:t>", false, 0, true});
    ZipBuilder bomb;
    bomb.Add("word/document.xml", "<w:t>" + text + "</w:t>" + std::string(16u << 20, ' '));
    struct Case
    {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"truncated.docx", good.substr(0, good.size() / 2)},
        {"no-end.docx", good.substr(0, good.size() - 10)},
        {"plain-text.docx", text},
        {"empty.docx", ""},
        {"encrypted.docx", encrypted.Build()},
        {"wrong-crc.docx", wrongCrc.Build()},
        {"bomb.docx", bomb.Build()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Scan(Add(c.name, c.bytes), "needle"), ScanOutcome::Lacks) << c.name;
    EXPECT_EQ(Scan(Add("good.docx", good), "needle"), ScanOutcome::Contains);

    // Opening problems are told apart as for plain files.
    EXPECT_EQ(Scan("C:\\docs\\absent.docx", "needle"), ScanOutcome::Vanished);
    m_files.Entry(Add("locked.docx", good)).openFails = true;
    EXPECT_EQ(Scan("C:\\docs\\locked.docx", "needle"), ScanOutcome::Unreadable);
}

TEST_F(DocumentTextTest, StopRequestEndsTheVisitBetweenMembers)
{
    ZipBuilder builder;
    builder.Add("1.txt", "first").Add("2.txt", "second needle");
    const std::string zip = Add("s.zip", builder.Build());
    int polls = 0;
    engine::ContentScanner scanner(
        "needle", true, [&polls] { return ++polls > 0; }, ContainerKinds{false, true});
    EXPECT_EQ(scanner.Scan(m_files, zip), ScanOutcome::Stopped);
    EXPECT_EQ(polls, 1);
}

} // namespace
