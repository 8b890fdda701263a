#include "controls/ErrorText.h"
#include "lang/TextIds.h"
#include "platform/Utf8.h"
#include "platform/Win32WholeFile.h"
#include "settings/SettingsFile.h"
#include "tests/support/ZipBuilder.h"
#include "tests/win32/main/FrameFixture.h"

#include <algorithm>
#include <tuple>

namespace uitest
{
namespace
{

using namespace ui;
namespace t = lang::text;

class SearchPanelTest : public FrameTest
{
protected:
    void SetName(const std::string& text) { controls::SetWindowTextUtf8(C(kIdLMDEdit1), text); }
    // The key goes where the keyboard focus would be: a drop-down field's edit.
    void PressEnter(int id) { SendMessageW(FieldEdit(C(id)), WM_KEYDOWN, VK_RETURN, 0x001C0001); }
    std::vector<std::string> ListEntries(int id)
    {
        std::vector<std::string> entries;
        const int count = static_cast<int>(SendMessageW(C(id), CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
        {
            wchar_t text[512] = {};
            SendMessageW(C(id), CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            entries.push_back(platform::Narrow(text));
        }
        return entries;
    }
    void FillTree(TempFolder& tree, int folders, int filesPerFolder)
    {
        for (int f = 0; f < folders; ++f)
            for (int i = 0; i < filesPerFolder; ++i)
                tree.Add("dir" + std::to_string(f) + "\\sub\\note" + std::to_string(i) + ".txt");
        tree.Add("readme.md");
        tree.Add("notes.txt");
    }
    double Today() const { return DateToDays(m_clock.now.year, m_clock.now.month, m_clock.now.day); }
};

TEST_F(SearchPanelTest, OneSectionOpensAtATimeAndMovesWhatIsBelow)
{
    Open();
    auto expectState = [&](int label5, int label11, int button, int openPanel, int panelTop) {
        EXPECT_EQ(Top(kIdLabel4), 224);
        EXPECT_EQ(Top(m_frame->SectionButton(0).Handle()), 224);
        EXPECT_EQ(Top(kIdLabel5), label5);
        EXPECT_EQ(Top(m_frame->SectionButton(1).Handle()), label5);
        EXPECT_EQ(Top(kIdLabel11), label11);
        EXPECT_EQ(Top(m_frame->SectionButton(2).Handle()), label11);
        EXPECT_EQ(Top(kIdFindfilesbtn), button);
        const int panels[3] = {kIdDatePanel, kIdSizePanel, kIdNextsettings};
        for (int i = 0; i < 3; ++i)
        {
            EXPECT_EQ(Visible(panels[i]), i == openPanel) << i;
            EXPECT_EQ(m_frame->SectionButton(i).PictureName(), i == openPanel ? L"BITMAP1" : L"BITMAP2") << i;
        }
        if (openPanel >= 0)
        {
            EXPECT_EQ(Top(panels[openPanel]), panelTop);
        }
    };
    expectState(250, 280, 320, -1, 0);
    ClickSection(0);
    expectState(390, 420, 445, 0, 252);
    ClickSection(1); // closes the date section first
    expectState(250, 400, 440, 1, 280);
    ClickSection(2);
    expectState(250, 280, 380, 2, 310);
    ClickSection(2);
    expectState(250, 280, 320, -1, 0);

    // Opening and closing changes no search property.
    m_frame->FindFile1().SetSizeMin(77);
    ClickSection(1);
    ClickSection(1);
    EXPECT_EQ(m_frame->FindFile1().SizeMin(), 77);
}

TEST_F(SearchPanelTest, DateRadiosWriteTheirWindowAtTheClick)
{
    Open();
    auto& finder = m_frame->FindFile1();
    EXPECT_FALSE(IsWindowEnabled(C(kIdLmdimagecombobox1)));
    EXPECT_FALSE(IsWindowEnabled(C(kIdDateTimePicker1)));
    Click(kIdFlatRadioButton2);
    const double clickDay = Today();
    EXPECT_EQ(finder.ModifiedBefore(), clickDay + 1);
    EXPECT_EQ(finder.ModifiedAfter(), clickDay - 30);
    EXPECT_EQ(finder.CreatedAfter(), 0);

    // Searching a day later keeps the window of the click.
    m_clock.now.day += 1;
    TempFolder tree("ffdate");
    m_frame->LookIn().SetText(tree.Path());
    Click(kIdFindfilesbtn);
    WaitForIdle();
    EXPECT_EQ(finder.ModifiedBefore(), clickDay + 1);
    EXPECT_EQ(finder.ModifiedAfter(), clickDay - 30);

    Click(kIdFlatRadioButton3);
    EXPECT_EQ(finder.ModifiedBefore(), Today() + 1);
    EXPECT_EQ(finder.ModifiedAfter(), Today() - 365.25);
    Click(kIdFlatRadioButton1);
    EXPECT_EQ(finder.ModifiedBefore(), 0);
    EXPECT_EQ(finder.ModifiedAfter(), 0);
}

TEST_F(SearchPanelTest, CustomDateRangeIsReadAtTheStartByTheKindText)
{
    TempFolder tree("ffrange");
    Open();
    auto& finder = m_frame->FindFile1();
    Click(kIdFlatRadioButton2);
    Click(kIdFlatRadioButton4);
    EXPECT_TRUE(IsWindowEnabled(C(kIdLmdimagecombobox1)));
    EXPECT_TRUE(IsWindowEnabled(C(kIdDateTimePicker2)));
    EXPECT_EQ(Text(kIdLmdimagecombobox1), Lang(t::kDateKindCreated));
    // The properties wait for the start.
    EXPECT_EQ(finder.ModifiedBefore(), Today() + 1);
    m_frame->LookIn().SetText(tree.Path());
    Click(kIdFindfilesbtn);
    WaitForIdle();
    EXPECT_EQ(finder.CreatedAfter(), Today());
    EXPECT_EQ(finder.CreatedBefore(), Today());
    EXPECT_EQ(finder.ModifiedBefore(), 0);
    EXPECT_EQ(finder.ModifiedAfter(), 0);

    SendMessageW(C(kIdLmdimagecombobox1), CB_SETCURSEL, 2, 0);
    SYSTEMTIME start{};
    start.wYear = 2025;
    start.wMonth = 1;
    start.wDay = 2;
    DateTime_SetSystemtime(C(kIdDateTimePicker1), GDT_VALID, &start);
    Click(kIdFindfilesbtn);
    WaitForIdle();
    EXPECT_EQ(finder.AccessedAfter(), DateToDays(2025, 1, 2));
    EXPECT_EQ(finder.AccessedBefore(), Today());
    EXPECT_EQ(finder.CreatedAfter(), 0);

    controls::SetWindowTextUtf8(C(kIdLmdimagecombobox1), "whenever");
    Click(kIdFindfilesbtn);
    WaitForIdle();
    EXPECT_EQ(finder.AccessedAfter(), 0);
    EXPECT_EQ(finder.AccessedBefore(), 0);
    EXPECT_EQ(finder.CreatedAfter(), 0);

    Click(kIdFlatRadioButton1);
    EXPECT_FALSE(IsWindowEnabled(C(kIdDateTimePicker1)));
}

TEST_F(SearchPanelTest, SizeRadiosAndTheCustomBound)
{
    TempFolder tree("ffsize");
    Open();
    auto& finder = m_frame->FindFile1();
    const std::tuple<int, int64_t, int64_t> presets[] = {{kIdFlatRadioButton5, 0, 1048576},
                                                         {kIdFlatRadioButton6, 1048576, 10485760},
                                                         {kIdFlatRadioButton7, 10485760, 0},
                                                         {kIdFlatRadioButton9, 0, 0}};
    for (const auto& [button, min, max] : presets)
    {
        Click(button);
        EXPECT_EQ(finder.SizeMin(), min) << button;
        EXPECT_EQ(finder.SizeMax(), max) << button;
        EXPECT_FALSE(IsWindowEnabled(C(kIdLMDSpinEdit1)));
    }
    Click(kIdFlatRadioButton7);
    Click(kIdFlatRadioButton8);
    EXPECT_TRUE(IsWindowEnabled(C(kIdLMDSpinEdit1)));
    EXPECT_TRUE(IsWindowEnabled(C(kIdLmdimagecombobox2)));
    EXPECT_EQ(Text(kIdLmdimagecombobox2), Lang(t::kSizeAtLeast));
    EXPECT_EQ(finder.SizeMin(), 10485760); // unchanged until the start
    SetWindowTextW(C(kIdLMDSpinEdit1), L"5");
    m_frame->LookIn().SetText(tree.Path());
    Click(kIdFindfilesbtn);
    WaitForIdle();
    EXPECT_EQ(finder.SizeMin(), 5120);
    EXPECT_EQ(finder.SizeMax(), 0);

    SendMessageW(C(kIdLmdimagecombobox2), CB_SETCURSEL, 1, 0);
    SetWindowTextW(C(kIdLMDSpinEdit1), L"2000000"); // beyond the field's range
    Click(kIdFindfilesbtn);
    WaitForIdle();
    EXPECT_EQ(finder.SizeMin(), 0);
    EXPECT_EQ(finder.SizeMax(), 1000000LL * 1024);
}

TEST_F(SearchPanelTest, FindSearchesTheTreeAndShowsTheRows)
{
    TempFolder tree("fffind");
    FillTree(tree, 3, 4);
    Open();
    m_frame->LookIn().SetText(tree.Path());
    SetName("note");
    Click(kIdFindfilesbtn);
    EXPECT_EQ(Text(kIdFindfilesbtn), Lang(t::kFindStop));
    EXPECT_EQ(m_frame->FindFile1().Filename(), "*note*.*");
    EXPECT_TRUE(m_frame->FindFile1().Subfolders());
    WaitForIdle();
    EXPECT_EQ(Text(kIdFindfilesbtn), Lang(t::kFindStart));
    EXPECT_EQ(Rows(), 13); // twelve notes in the folders and notes.txt
    EXPECT_EQ(Text(kIdPanel2), Lang(t::kStatusCountBefore) + "13" + Lang(t::kStatusCountAfter));

    // Without subfolders only the top folder; a new search clears the list first.
    SendMessageW(C(kIdFlatCheckBox5), BM_CLICK, 0, 0);
    Click(kIdFindfilesbtn);
    WaitForIdle();
    EXPECT_FALSE(m_frame->FindFile1().Subfolders());
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, 0), "notes.txt");

    // Enter in the name field starts too; in the other fields it does nothing.
    SetName("readme.md");
    PressEnter(kIdLMDEdit2);
    EXPECT_EQ(Text(kIdFindfilesbtn), Lang(t::kFindStart));
    PressEnter(kIdLMDEdit1);
    WaitForIdle();
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, 0), "readme.md");

    // Through the program's message loop, where the dialog manager sees the key first.
    SetName("notes.txt");
    SetFocus(C(kIdLMDEdit1));
    ASSERT_EQ(GetFocus(), FieldEdit(C(kIdLMDEdit1)));
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0x001C0001);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        if (IsDialogMessageW(m_frame->Handle(), &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    WaitForIdle();
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, 0), "notes.txt");
}

TEST_F(SearchPanelTest, FindAndEnterStopARunningSearch)
{
    TempFolder tree("ffstop");
    FillTree(tree, 20, 10);
    Open();
    m_frame->LookIn().SetText(tree.Path());
    // No message is served between the two clicks, so the worker cannot have finished.
    Click(kIdFindfilesbtn);
    ASSERT_TRUE(m_frame->FindFile1().Busy());
    Click(kIdFindfilesbtn);
    EXPECT_FALSE(m_frame->FindFile1().Busy());
    EXPECT_EQ(Text(kIdFindfilesbtn), Lang(t::kFindStart));
    const int rowsAfterStop = Rows();
    EXPECT_LT(rowsAfterStop, 202);
    Pump();
    EXPECT_EQ(Rows(), rowsAfterStop);

    PressEnter(kIdLMDEdit1);
    ASSERT_TRUE(m_frame->FindFile1().Busy());
    EXPECT_EQ(Text(kIdFindfilesbtn), Lang(t::kFindStop));
    PressEnter(kIdLMDEdit1);
    EXPECT_FALSE(m_frame->FindFile1().Busy());
    EXPECT_EQ(Text(kIdFindfilesbtn), Lang(t::kFindStart));
    PressEnter(kIdLMDEdit1);
    WaitForIdle();
    EXPECT_EQ(Rows(), 202);
}

TEST_F(SearchPanelTest, RefusedMaskOrLocationShowsTheErrorBoxAndStartsNothing)
{
    TempFolder tree("fferr");
    tree.Add("a.txt");
    Open();
    m_frame->LookIn().SetText(tree.Path());
    Click(kIdFindfilesbtn);
    WaitForIdle();
    ASSERT_EQ(Rows(), 1);

    SetName("sub\\a.txt");
    Click(kIdFlatRadioButton5);
    Click(kIdFindfilesbtn);
    ASSERT_EQ(m_errorBoxes.size(), 1u);
    EXPECT_EQ(m_errorBoxes[0].first, "Pelion Info Find File");
    EXPECT_FALSE(m_errorBoxes[0].second.empty());
    EXPECT_FALSE(m_frame->FindFile1().Busy());
    EXPECT_EQ(Text(kIdFindfilesbtn), Lang(t::kFindStart));
    EXPECT_EQ(Rows(), 0); // cleared before the refusal
    EXPECT_EQ(m_frame->FindFile1().Location(), tree.Path());

    // The same through Enter, and a location with a wildcard.
    PressEnter(kIdLMDEdit1);
    EXPECT_EQ(m_errorBoxes.size(), 2u);
    SetName("");
    m_frame->LookIn().SetText(tree.Path() + "\\*");
    Click(kIdFindfilesbtn);
    ASSERT_EQ(m_errorBoxes.size(), 3u);
    EXPECT_FALSE(m_frame->FindFile1().Busy());
    EXPECT_EQ(m_frame->FindFile1().Location(), tree.Path());
    // The window goes on working.
    m_frame->LookIn().SetText(tree.Path());
    Click(kIdFindfilesbtn);
    WaitForIdle();
    EXPECT_EQ(Rows(), 1);
}

TEST_F(SearchPanelTest, DesktopEntrySearchesTheDesktopFolder)
{
    Open();
    const auto& places = m_frame->Places();
    const auto desktop = std::find_if(places.begin(), places.end(),
                                      [](const PlaceEntry& p) { return p.kind == PlaceKind::Desktop; });
    ASSERT_NE(desktop, places.end());
    m_frame->LookIn().Select(static_cast<int>(desktop - places.begin()));
    Click(kIdFindfilesbtn);
    WaitForIdle();
    EXPECT_EQ(m_frame->FindFile1().Location(), m_frame->SpecialFolderPaths().desktop);
    // Typed by hand it is the same.
    m_frame->LookIn().SetText(desktop->text);
    Click(kIdFindfilesbtn);
    WaitForIdle();
    EXPECT_EQ(m_frame->FindFile1().Location(), m_frame->SpecialFolderPaths().desktop);
}

TEST_F(SearchPanelTest, FileHeaderClicksEmptyTheList)
{
    TempFolder tree("ffhead");
    FillTree(tree, 1, 3);
    Open();
    m_frame->LookIn().SetText(tree.Path());
    auto search = [&] {
        Click(kIdFindfilesbtn);
        WaitForIdle();
        ASSERT_GT(Rows(), 0);
    };
    search();
    SendMessageW(C(kIdLabel1), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(C(kIdLMDEdit1), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(C(kIdLMDEdit1), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_GT(Rows(), 0);
    SendMessageW(C(kIdHeader1Page), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 400));
    EXPECT_EQ(Rows(), 0);
    search();
    ListView_SetColumnWidth(C(kIdLV1), 1, 50);
    SendMessageW(C(kIdHeader1), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(ListView_GetColumnWidth(C(kIdLV1), 1), 200);

    // The network header shows its own page; the file header brings the search panel back.
    SendMessageW(C(kIdHeader2), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_FALSE(Visible(kIdHeader1Page));
    EXPECT_TRUE(Visible(kIdHeader2Page));
    SendMessageW(C(kIdHeader1), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(Visible(kIdHeader1Page));
    EXPECT_FALSE(Visible(kIdHeader2Page));
}

// The two kinds of file searched inside: standard check boxes in the more-options section, kept in
// the settings, and read by the containing-text filter at the search's start.
TEST_F(SearchPanelTest, TheKindBoxesAreCheckBoxesWhoseStateReachesTheFilter)
{
    ASSERT_TRUE(settings::SetSearchInDocuments(true));
    ASSERT_TRUE(settings::SetSearchInArchives(false));
    TempFolder tree("ffkinds");
    tree.Add("report.docx",
             testing_support::OfficeFile({{"word/document.xml", "<w:p><w:r><w:t>inner ne</w:t></w:r>"
                                                                "<w:r><w:t>edle</w:t></w:r></w:p>"}}));
    testing_support::ZipBuilder zip;
    zip.Add("doc/readme.txt", "an inner needle\n");
    tree.Add("bundle.zip", zip.Build());
    tree.Add("plain.txt", "inner needle");
    Open();
    for (const auto& [id, text, checked] :
         {std::tuple{kIdSearchDocuments, t::kSearchInDocuments, BST_CHECKED},
          std::tuple{kIdSearchArchives, t::kSearchInArchives, BST_UNCHECKED}})
    {
        wchar_t className[32] = {};
        GetClassNameW(C(id), className, 32);
        EXPECT_EQ(std::wstring(className), L"Button");
        EXPECT_EQ(GetWindowLongW(C(id), GWL_STYLE) & BS_TYPEMASK, BS_AUTOCHECKBOX);
        EXPECT_EQ(Text(id), Lang(text));
        EXPECT_EQ(SendMessageW(C(id), BM_GETCHECK, 0, 0), checked);
        EXPECT_EQ(GetParent(C(id)), C(kIdNextsettings));
    }
    m_frame->LookIn().SetText(tree.Path());
    controls::SetWindowTextUtf8(C(kIdLMDEdit2), "INNER NEEDLE");
    auto found = [&] {
        Click(kIdFindfilesbtn);
        WaitForIdle();
        std::vector<std::string> names;
        for (int row = 0; row < Rows(); ++row)
            names.push_back(Cell(row, 0));
        std::sort(names.begin(), names.end());
        return names;
    };
    EXPECT_EQ(found(), (std::vector<std::string>{"plain.txt", "report.docx"}));
    Click(kIdSearchArchives);
    EXPECT_EQ(found(), (std::vector<std::string>{"bundle.zip", "plain.txt", "report.docx"}));
    EXPECT_TRUE(settings::SearchInArchives());
    Click(kIdSearchDocuments);
    EXPECT_EQ(found(), (std::vector<std::string>{"bundle.zip", "plain.txt"}));
    EXPECT_FALSE(settings::SearchInDocuments());

    // The choice comes back after a restart.
    m_frame.reset();
    Open();
    EXPECT_EQ(SendMessageW(C(kIdSearchDocuments), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(C(kIdSearchArchives), BM_GETCHECK, 0, 0), BST_CHECKED);
    ASSERT_TRUE(settings::SetSearchInDocuments(true));
    ASSERT_TRUE(settings::SetSearchInArchives(false));
}

// What a search's fields held comes back in their drop-down lists after a restart, newest first and
// each once, non-ASCII text whole; turned off in the settings, the history is empty and stays so.
TEST_F(SearchPanelTest, TheFieldsRememberTheirEntriesAcrossARestartUntilTheSettingTurnsThemOff)
{
    TempFolder tree("ffhistory");
    tree.Add("notes.txt", "needle");
    ASSERT_TRUE(settings::SetKeepSearchHistory(false)); // an empty history to start from
    ASSERT_TRUE(settings::SetKeepSearchHistory(true));
    Open();
    const int places = m_frame->LookIn().Count();
    const std::string startPlace = m_frame->LookIn().Text();
    m_frame->LookIn().SetText(tree.Path());
    for (const char* name : {"notes", "\xC3\x84rger \"quoted\"", "*.md", "NOTES"})
    {
        SetName(name);
        controls::SetWindowTextUtf8(C(kIdLMDEdit2), "needle");
        Click(kIdFindfilesbtn);
        WaitForIdle();
    }
    EXPECT_EQ(ListEntries(kIdLMDEdit1).front(), "NOTES");

    m_frame.reset();
    Open();
    EXPECT_EQ(ListEntries(kIdLMDEdit1),
              (std::vector<std::string>{"NOTES", "*.md", "\xC3\x84rger \"quoted\""}));
    EXPECT_EQ(ListEntries(kIdLMDEdit2), (std::vector<std::string>{"needle"}));
    EXPECT_EQ(Text(kIdLMDEdit1), "");
    // The folder follows the places; the start place is chosen among the places as before.
    ASSERT_EQ(m_frame->LookIn().Count(), places + 1);
    EXPECT_EQ(m_frame->LookIn().ItemText(places), tree.Path());
    EXPECT_EQ(m_frame->LookIn().Text(), startPlace);

    ASSERT_TRUE(settings::SetKeepSearchHistory(false));
    m_frame.reset();
    Open();
    m_frame->LookIn().SetText(tree.Path());
    SetName("notes.txt");
    Click(kIdFindfilesbtn);
    WaitForIdle();
    EXPECT_TRUE(ListEntries(kIdLMDEdit1).empty());
    EXPECT_EQ(m_frame->LookIn().Count(), places);
    ASSERT_TRUE(settings::SetKeepSearchHistory(true));
}

// A search file keeps the panel's criteria in words of no language: saved with Ctrl+S, it fills a
// panel in another language through Ctrl+O and through the command line; a file with a wrong value
// is refused naming the key, and the panel stays as it was.
TEST_F(SearchPanelTest, SearchFilesKeepThePanelAndABadOneChangesNothing)
{
    TempFolder files("ffsaved");
    const std::string saved = files.Path() + "\\week.ffsearch";
    std::string answer = saved;
    std::vector<bool> asked;
    m_hooks.askSearchFile = [&](HWND, bool save) -> std::optional<std::string> {
        asked.push_back(save);
        return answer;
    };
    Open();
    SetName("*.log;report*");
    controls::SetWindowTextUtf8(C(kIdLMDEdit2), "\xC3\x84rger = \"x\"");
    m_frame->LookIn().SetText(files.Path());
    Click(kIdFlatCheckBox5);
    Click(kIdFlatRadioButton4);
    SendMessageW(C(kIdLmdimagecombobox1), CB_SETCURSEL, 2, 0);
    Click(kIdFlatRadioButton8);
    SendMessageW(C(kIdLmdimagecombobox2), CB_SETCURSEL, 1, 0);
    controls::SetWindowTextUtf8(C(kIdLMDSpinEdit1), "750");
    Click(kIdSearchDocuments);
    Click(kIdSearchArchives);
    // The key (Ctrl+S) is pressed with the real keyboard in RealClickTest.
    SendMessageW(m_frame->Handle(), WM_COMMAND, MAKEWPARAM(kIdSaveSearch, 1), 0);
    ASSERT_EQ(asked, (std::vector<bool>{true}));
    const std::string english = controls::WindowText(C(kIdLmdimagecombobox1));

    m_frame.reset();
    // The boxes' stored choice back at its defaults: what the file holds shows.
    ASSERT_TRUE(settings::SetSearchInDocuments(true));
    ASSERT_TRUE(settings::SetSearchInArchives(false));
    Open("DE");
    SendMessageW(m_frame->Handle(), WM_COMMAND, MAKEWPARAM(kIdOpenSearch, 1), 0);
    EXPECT_EQ(asked, (std::vector<bool>{true, false}));
    EXPECT_EQ(Text(kIdLMDEdit1), "*.log;report*");
    EXPECT_EQ(Text(kIdLMDEdit2), "\xC3\x84rger = \"x\"");
    EXPECT_EQ(m_frame->LookIn().Text(), files.Path());
    EXPECT_EQ(SendMessageW(C(kIdFlatCheckBox5), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(C(kIdFlatRadioButton4), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(Text(kIdLmdimagecombobox1), ModuleText("DE", t::kDateKindAccessed));
    EXPECT_NE(Text(kIdLmdimagecombobox1), english);
    EXPECT_TRUE(IsWindowEnabled(C(kIdDateTimePicker1)));
    EXPECT_EQ(SendMessageW(C(kIdFlatRadioButton8), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(Text(kIdLmdimagecombobox2), ModuleText("DE", t::kSizeAtMost));
    EXPECT_EQ(Text(kIdLMDSpinEdit1), "750");
    EXPECT_EQ(SendMessageW(C(kIdSearchDocuments), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(C(kIdSearchArchives), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(m_errorBoxes.empty());

    // Refused: a wrong size, and a size beyond what the panel's box takes.
    SetName("kept");
    for (const char* line : {"SizeKB=12k", "SizeKB=1000001"})
    {
        answer =
            files.Add("bad.ffsearch", std::string("[Search]\r\nName=changed\r\nSubfolders=1\r\n") + line);
        SendMessageW(m_frame->Handle(), WM_COMMAND, MAKEWPARAM(kIdOpenSearch, 1), 0);
        ASSERT_FALSE(m_errorBoxes.empty()) << line;
        EXPECT_EQ(m_errorBoxes.back().second,
                  controls::ErrorBoxText(ModuleText("DE", t::kSearchFileBadKey) + "SizeKB"));
        EXPECT_EQ(Text(kIdLMDEdit1), "kept");
        EXPECT_EQ(SendMessageW(C(kIdFlatCheckBox5), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    }

    // Named on the command line, as Explorer opens it.
    m_frame.reset();
    Open("EN", saved);
    EXPECT_EQ(Text(kIdLMDEdit1), "*.log;report*");
    EXPECT_EQ(Text(kIdLmdimagecombobox1), Lang(t::kDateKindAccessed));
}

// The console's output of FindFileCmd.exe (beside this test) run with args.
std::string ConsoleOutput(const std::wstring& args, const std::string& outputFile)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring program(self);
    program.resize(program.find_last_of(L'\\') + 1);
    program += L"FindFileCmd.exe";
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE out = CreateFileW(platform::Widen(outputFile).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = out;
    PROCESS_INFORMATION process{};
    std::wstring line = L"\"" + program + L"\" " + args;
    const BOOL started = CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(out);
    if (!started)
        return "not started";
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return platform::ReadWholeFile(outputFile, 1 << 20).value_or("not read");
}

// What the window saves, the console runs: the same files.
TEST_F(SearchPanelTest, ASearchSavedByTheWindowRunsTheSameOnTheConsole)
{
    TempFolder tree("ffroundtrip");
    tree.Add("one.txt", "a needle here");
    tree.Add("two.txt", "nothing");
    tree.Add("three.log", "a needle");
    tree.Add("sub\\four.txt", "needle");
    const std::string saved = tree.Path() + "\\texts.ffsearch";
    m_hooks.askSearchFile = [&](HWND, bool) -> std::optional<std::string> { return saved; };
    Open();
    SetName("*.txt");
    controls::SetWindowTextUtf8(C(kIdLMDEdit2), "needle");
    m_frame->LookIn().SetText(tree.Path());
    Click(kIdFlatCheckBox5); // no subfolders
    Click(kIdFindfilesbtn);
    WaitForIdle();
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, 0), "one.txt");
    // Saved from the results menu, whose last entry is the file panel's.
    std::string lastItem;
    m_frame->Results().chooseResultsMenuItem = [&lastItem](HMENU menu) {
        wchar_t text[128] = {};
        GetMenuStringW(menu, static_cast<UINT>(GetMenuItemCount(menu) - 1), text, 128, MF_BYPOSITION);
        lastItem = platform::Narrow(text);
        return static_cast<UINT>(ResultsList::kMenuModeItem);
    };
    m_frame->Results().ShowResultsMenu(POINT{0, 0});
    EXPECT_EQ(lastItem, Lang(t::kSaveSearchMenu));

    std::string console =
        ConsoleOutput(L"--search \"" + platform::Widen(saved) + L"\"", tree.Path() + "\\console.out");
    console.erase(std::remove(console.begin(), console.end(), '\r'), console.end());
    EXPECT_EQ(console, tree.Path() + "\\one.txt\n");
}

// What a search could not look into follows the count on the status line; the tooltip names each
// kind. A search that skipped nothing says nothing more and has no tooltip.
TEST_F(SearchPanelTest, TheStatusLineTellsWhatTheSearchCouldNotLookInto)
{
    TempFolder tree("ffskipped");
    tree.Add("one.txt");
    Open();
    auto tipText = [this] {
        wchar_t text[512] = {};
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = m_frame->Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(C(kIdPanel2));
        tool.lpszText = text;
        SendMessageW(m_frame->StatusTip(), TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
        return platform::Narrow(text);
    };
    const std::string found = Lang(t::kStatusCountBefore) + "1" + Lang(t::kStatusCountAfter);
    m_frame->LookIn().SetText(tree.Path() + ";" + tree.Path() + "\\gone");
    SetName("*.txt");
    Click(kIdFindfilesbtn);
    WaitForIdle();
    EXPECT_EQ(Text(kIdPanel2), found + Lang(t::kSkippedNote) + "1");
    EXPECT_EQ(tipText(), Lang(t::kSkippedMissingFolders) + "1");

    m_frame->LookIn().SetText(tree.Path());
    Click(kIdFindfilesbtn);
    WaitForIdle();
    EXPECT_EQ(Text(kIdPanel2), found);
    EXPECT_EQ(tipText(), "");
}

TEST_F(SearchPanelTest, ClosingDuringASearchStopsItFirst)
{
    TempFolder tree("ffclose");
    FillTree(tree, 20, 10);
    Open();
    m_frame->LookIn().SetText(tree.Path());
    Click(kIdFindfilesbtn);
    ASSERT_TRUE(m_frame->FindFile1().Busy());
    HWND window = m_frame->Handle();
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(m_frame->FindFile1().Busy());
    Pump();
}

} // namespace
} // namespace uitest
