// The About box's choices: flag and caption by the running language, the name's size rule, links
// and the exact message texts.
#include "about/AboutContent.h"

#include <gtest/gtest.h>

using namespace about;

TEST(AboutContent, RunningLanguageChoosesFlagAndCaptionIgnoringCase)
{
    struct Row
    {
        const char* runLang;
        const char* flag;
        const char* caption;
    } rows[] = {
        {"CSY", "CSY", "O Aplikaci"},
        {"csy", "CSY", "O Aplikaci"},
        {"de", "DE",
         "\xC3\x9C"
         "ber Applikacion"},
        {"Es", "ES", "Sobre aplicati\xC3\xB3n"},
        {"FR", "FR", "About"},
        {"it", "IT", "About"},
        {"rus", "RUS", "About"},
        {"EN", "EN", "About"},
        {"<Error>", "EN", "About"},
        {"", "EN", "About"},
        {"PT", "EN", "About"},
        {"CZ", "EN", "About"},
        {"RU", "EN", "About"},
    };
    for (const Row& row : rows)
    {
        const AboutLanguage language = AboutLanguageFor(row.runLang);
        EXPECT_EQ(language.flag, row.flag) << row.runLang;
        EXPECT_EQ(language.caption, row.caption) << row.runLang;
    }
}

TEST(AboutContent, NamesOfSixteenCharactersAndMoreAreDrawnSmaller)
{
    EXPECT_FALSE(NameNeedsSmallFont("FindFile"));
    EXPECT_FALSE(NameNeedsSmallFont("123456789012345"));
    EXPECT_TRUE(NameNeedsSmallFont("1234567890123456"));
    // Characters, not bytes: fifteen Cyrillic letters are thirty bytes.
    std::string cyrillic;
    for (int i = 0; i < 15; ++i)
        cyrillic += "\xD0\x96";
    EXPECT_FALSE(NameNeedsSmallFont(cyrillic));
    EXPECT_TRUE(NameNeedsSmallFont(cyrillic + "x"));
}

TEST(AboutContent, LinksAndMessagesAreExact)
{
    EXPECT_EQ(WebTarget(kMakerWebAddress), "http://pelioninfo.example");
    EXPECT_EQ(MailTarget(kMakerMailAddress), "mailto:support@pelioninfo.example");
    // The "\n" of the messages are two characters each, shown as they are.
    EXPECT_EQ(OpenDialogErrorText("Out of memory"), "Error open dialog !\\n\\nOut of memory");
    EXPECT_EQ(ShellExecuteErrorText(2, "SysErr: File not found"),
              "Error no.2 of 'ShellExecute' design!\\n\\nSysErr: File not found");
    EXPECT_STREQ(kNotShownText, "Not show 'About' !");
}

TEST(AboutContent, SystemErrorTextLosesTrailingStopsSpacesAndLineBreaks)
{
    EXPECT_EQ(SysErrorTextFrom("The system cannot find the file specified. \r\n"),
              "SysErr: The system cannot find the file specified");
    EXPECT_EQ(SysErrorTextFrom("Access is denied..\t"), "SysErr: Access is denied");
    EXPECT_EQ(SysErrorTextFrom("v1.2 failed"), "SysErr: v1.2 failed");
    EXPECT_EQ(SysErrorTextFrom(" .\r\n"), "SysErr: ");
    EXPECT_EQ(SysErrorTextFrom(""), "SysErr: ");
}
