// The fields' history: order, distinct entries, the length, and the stored form of an entry.
#include "ui/search/SearchHistory.h"

#include <gtest/gtest.h>

namespace
{

using ui::SearchHistory;
using Entries = std::vector<std::string>;

TEST(SearchHistoryTest, NewestFirstDistinctIgnoringAsciiCaseBlanksDroppedAndCutAtTheLength)
{
    SearchHistory history;
    for (const char* text : {"*.txt", "report", "", "  ", "*.TXT", "Ärger"})
        history.Add(text);
    EXPECT_EQ(history.Entries(), (Entries{"Ärger", "*.TXT", "report"}));
    // Letters beyond ASCII are compared exactly: the system's folding of them is not ours.
    history.Add("äRGER");
    EXPECT_EQ(history.Entries().size(), 4u);

    for (int i = 0; i < 30; ++i)
        history.Add("entry" + std::to_string(i));
    ASSERT_EQ(history.Entries().size(), ui::kSearchHistoryLength);
    EXPECT_EQ(history.Entries().front(), "entry29");
    EXPECT_EQ(history.Entries().back(), "entry10");

    // Stored entries come back in their order; the first of two equal ones wins.
    const SearchHistory stored(Entries{"b", "A", "a", "", "c"});
    EXPECT_EQ(stored.Entries(), (Entries{"b", "A", "c"}));
}

TEST(SearchHistoryTest, AnEntryIsStoredAsPrintableAsciiAndComesBackWhole)
{
    struct Case
    {
        std::string text;
        std::string stored;
    };
    const Case cases[] = {
        {"*.txt;*.doc", "*.txt%3B*.doc"},
        {" two  blanks ", "%20two%20%20blanks%20"},
        {"\"quoted\" 'text'", "%22quoted%22%20%27text%27"},
        {"100%", "100%25"},
        {"Ärger \xE2\x82\xAC", "%C3%84rger%20%E2%82%AC"},
        {"tab\there\r\n", "tab%09here%0D%0A"},
        {"C:\\Users\\x", "C:\\Users\\x"},
        {"", ""},
    };
    for (const Case& c : cases)
    {
        const std::string stored = ui::EncodeHistoryEntry(c.text);
        EXPECT_EQ(stored, c.stored);
        for (unsigned char byte : stored)
            EXPECT_TRUE(byte > ' ' && byte < 0x7F) << c.stored;
        EXPECT_EQ(ui::DecodeHistoryEntry(stored), c.text);
    }
    for (const char* damaged : {"%", "%4", "abc%G1", "%%41"})
        EXPECT_EQ(ui::DecodeHistoryEntry(damaged), std::nullopt) << damaged;
    EXPECT_EQ(ui::DecodeHistoryEntry("%41%6a"), "Aj");
}

} // namespace
