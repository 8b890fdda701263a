// The status line's note of what a search skipped: nothing when nothing was, else the total and one
// tooltip line per kind, in the order of the texts.
#include "ui/search/SkipNote.h"

#include "lang/TextIds.h"
#include "tests/support/MapTextStore.h"

#include <gtest/gtest.h>

namespace
{

namespace t = lang::text;

TEST(SkipNoteTest, TheTotalAfterTheCountAndALinePerKindThatHappened)
{
    const fake::MapTextStore texts({{t::kSkippedNote, "; skipped: "},
                                    {t::kSkippedFoldersDenied, "denied: "},
                                    {t::kSkippedFoldersFailed, "unreadable folders: "},
                                    {t::kSkippedMissingFolders, "missing: "},
                                    {t::kSkippedVanished, "vanished: "},
                                    {t::kSkippedUnreadable, "unreadable files: "},
                                    {t::kSkippedLinks, "links: "},
                                    {t::kSkippedPathsTooLong, "too long: "}});
    engine::SkipReport report;
    EXPECT_EQ(ui::MakeSkipNote(report, texts).note, "");
    EXPECT_EQ(ui::MakeSkipNote(report, texts).details, "");

    report.counts.foldersDenied = 3;
    report.counts.linksNotFollowed = 1;
    report.counts.filesUnreadable = 5000000000ULL;
    report.missingFolders = {"Q:\\gone\\"};
    const ui::SkipNote note = ui::MakeSkipNote(report, texts);
    EXPECT_EQ(note.note, "; skipped: 5000000005");
    EXPECT_EQ(note.details, "denied: 3\r\nmissing: 1\r\nunreadable files: 5000000000\r\nlinks: 1");
}

} // namespace
