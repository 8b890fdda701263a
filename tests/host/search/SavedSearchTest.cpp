// Search files: a round trip of every field, what a hand-written file may hold, and refusals that
// name the bad key.
#include "ui/search/SavedSearch.h"

#include <gtest/gtest.h>

namespace
{

using ui::SavedSearch;

TEST(SavedSearchTest, EveryFieldSurvivesARoundTrip)
{
    SavedSearch search;
    search.name = "*.txt;\xC3\x84rger*";
    search.text = " needle = \"x\" ; y ";
    search.lookIn = "C:\\Data\\Ordner \xE2\x82\xAC";
    search.subfolders = false;
    search.date = SavedSearch::DateChoice::Range;
    search.dateKind = SavedSearch::DateKind::Accessed;
    search.dateFrom = {2024, 2, 29};
    search.dateTo = {2026, 12, 31};
    search.size = SavedSearch::SizeChoice::Custom;
    search.sizeAtLeast = false;
    search.sizeKilobytes = 9007199254740991;
    search.documents = false;
    search.archives = true;
    const ui::SavedSearchResult back = ui::ReadSavedSearch(ui::WriteSavedSearch(search));
    ASSERT_TRUE(back.search) << back.badKey;
    EXPECT_EQ(*back.search, search);

    // A value cannot break the file into two lines.
    search.name = "a\r\n[Search]\nSubfolders=1";
    search.date = SavedSearch::DateChoice::Last30Days;
    const ui::SavedSearchResult oneLine = ui::ReadSavedSearch(ui::WriteSavedSearch(search));
    ASSERT_TRUE(oneLine.search);
    EXPECT_EQ(oneLine.search->name, "a[Search]Subfolders=1");
    EXPECT_FALSE(oneLine.search->subfolders);
}

TEST(SavedSearchTest, HandWrittenFilesReadWithDefaultsCaseAndLineEndsForgiven)
{
    const ui::SavedSearchResult read = ui::ReadSavedSearch("\xEF\xBB\xBF; kept for the reports\n"
                                                           "[Other]\nName=not this\n"
                                                           "[SEARCH]\r\nname=*.log\r\nDATE=LastYear\r\n"
                                                           "Name=second\nFuture=whatever\n");
    ASSERT_TRUE(read.search) << read.badKey;
    EXPECT_EQ(read.search->name, "*.log");
    EXPECT_EQ(read.search->date, SavedSearch::DateChoice::LastYear);
    EXPECT_TRUE(read.search->subfolders);
    EXPECT_EQ(read.search->size, SavedSearch::SizeChoice::Any);
    EXPECT_EQ(read.search->lookIn, "");
    // Files from before the kinds of file searched inside were kept: the defaults.
    EXPECT_TRUE(read.search->documents);
    EXPECT_FALSE(read.search->archives);
}

TEST(SavedSearchTest, ABadValueRefusesTheFileNamingItsKey)
{
    const struct
    {
        const char* file;
        const char* badKey;
    } cases[] = {
        {"Name=x\n", "Search"},
        {"", "Search"},
        {"[Search]\nSubfolders=yes\n", "Subfolders"},
        {"[Search]\nDate=tomorrow\n", "Date"},
        {"[Search]\nDateKind=changed\n", "DateKind"},
        {"[Search]\nDate=range\nDateFrom=2025-02-29\nDateTo=2025-03-01\n", "DateFrom"},
        {"[Search]\nDate=range\nDateFrom=2025-01-01\nDateTo=2025-13-01\n", "DateTo"},
        {"[Search]\nDate=range\nDateFrom=1600-12-31\nDateTo=2025-01-01\n", "DateFrom"},
        {"[Search]\nDate=range\nDateFrom=2025-1-1\nDateTo=2025-01-01\n", "DateFrom"},
        {"[Search]\nDate=range\nDateFrom=2025-01-01\n", "DateTo"},
        {"[Search]\nDate=range\n", "DateFrom"},
        {"[Search]\nSize=huge\n", "Size"},
        {"[Search]\nSizeKind=about\n", "SizeKind"},
        {"[Search]\nSizeKB=-1\n", "SizeKB"},
        {"[Search]\nSizeKB=12k\n", "SizeKB"},
        {"[Search]\nSizeKB=\n", "SizeKB"},
        {"[Search]\nSizeKB=9007199254740992\n", "SizeKB"},
        {"[Search]\nSizeKB=99999999999999999999\n", "SizeKB"},
        {"[Search]\nDocuments=yes\n", "Documents"},
        {"[Search]\nArchives=2\n", "Archives"},
    };
    for (const auto& c : cases)
    {
        const ui::SavedSearchResult read = ui::ReadSavedSearch(c.file);
        EXPECT_FALSE(read.search) << c.file;
        EXPECT_EQ(read.badKey, c.badKey) << c.file;
    }
}

} // namespace
