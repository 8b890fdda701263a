// The results list inside the real main window, filled by real searches.
#include "lang/TextIds.h"
#include "platform/Utf8.h"
#include "settings/SettingsFile.h"
#include "tests/win32/OwnProcess.h"
#include "tests/win32/main/FrameFixture.h"
#include "ui/search/FileSearchPanel.h"

#include <shellapi.h>

namespace
{

using namespace ui;
using uitest::PumpUntil;
using uitest::TempFolder;
namespace t = lang::text;

class ResultsFrameTest : public uitest::FrameTest
{
protected:
    HWND List() const { return C(kIdLV1); }
    void Find(const std::string& folder, const std::string& containing = {})
    {
        m_frame->LookIn().SetText(folder);
        controls::SetWindowTextUtf8(C(kIdLMDEdit2), containing);
        Click(kIdFindfilesbtn);
    }
    int RowNamed(const std::string& name) const
    {
        for (int i = 0; i < Rows(); ++i)
            if (Cell(i, 0) == name)
                return i;
        return -1;
    }
    std::string CountStatus(int count) const
    {
        return Lang(t::kStatusCountBefore) + std::to_string(count) + Lang(t::kStatusCountAfter);
    }
};

TEST_F(ResultsFrameTest, SearchFillsRowsThatMatchTheFiles)
{
    TempFolder tree("ffrows");
    tree.Add("one.txt", std::string(2048, 'a'));
    tree.Add("sub\\two.bin", std::string(1536000, 'b'));
    Open();
    Find(tree.Path());
    WaitForIdle();
    // The panel's search lists files only.
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Text(kIdPanel2), CountStatus(2));

    const int two = RowNamed("two.bin");
    ASSERT_GE(two, 0);
    EXPECT_EQ(Cell(two, 1), tree.Path() + "\\sub");
    EXPECT_EQ(Cell(two, 2), "1" + testing_win32::ThousandsSeparator() + "500 KB");
    EXPECT_FALSE(Cell(two, 3).empty());
    EXPECT_EQ(Cell(RowNamed("one.txt"), 2), "2 KB");
    for (int row = 0; row < Rows(); ++row)
    {
        SHFILEINFOW info{};
        const std::wstring path = platform::Widen(Cell(row, 1) + "\\" + Cell(row, 0));
        ASSERT_TRUE(SHGetFileInfoW(path.c_str(), 0, &info, sizeof info,
                                   SHGFI_SYSICONINDEX | SHGFI_TYPENAME | SHGFI_SMALLICON));
        EXPECT_EQ(Cell(row, 4), platform::Narrow(info.szTypeName));
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        ListView_GetItem(List(), &item);
        EXPECT_EQ(item.iImage, info.iIcon);
    }
}

TEST_F(ResultsFrameTest, ContainingTextLeavesOutAFileHeldOpenForWriting)
{
    TempFolder tree("ffcontain");
    tree.Add("a.txt", "first line\r\nthe NEEDLE\r\n");
    tree.Add("b.txt", "nee\ndle\n");
    const std::string held = tree.Add("c.txt", "needle\n");
    tree.Add("deeper\\d.txt", "x needle x");
    HANDLE writer = CreateFileW(platform::Widen(held).c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    Open();
    Find(tree.Path(), "Needle");
    WaitForIdle();
    CloseHandle(writer);
    ASSERT_EQ(Rows(), 2);
    EXPECT_GE(RowNamed("a.txt"), 0);
    EXPECT_GE(RowNamed("d.txt"), 0);
    EXPECT_EQ(Text(kIdPanel2), CountStatus(2));
}

TEST_F(ResultsFrameTest, ContainingTextTypedDuringASearchFiltersTheItemsAfterIt)
{
    // The top folder's file is found before the subfolder is entered.
    TempFolder tree("ffretype");
    tree.Add("first.txt", "alpha");
    for (const char* name : {"a1", "a2", "a3"})
        tree.Add(std::string("sub\\") + name + ".txt", "alpha");
    for (const char* name : {"b1", "b2", "b3"})
        tree.Add(std::string("sub\\") + name + ".txt", "beta");
    Open();
    engine::TFindFile& finder = m_frame->FindFile1();
    auto found = finder.OnFound;
    int items = 0;
    finder.OnFound = [&](engine::TFindFile& sender, const std::string& folder,
                         const engine::TSearchRec& record) {
        found(sender, folder, record);
        // Typed over the field's text, as the keyboard does.
        if (++items == 1)
        {
            HWND edit = FieldEdit(C(kIdLMDEdit2));
            SendMessageW(edit, EM_SETSEL, 0, -1);
            for (wchar_t letter : std::wstring(L"beta"))
                SendMessageW(edit, WM_CHAR, letter, 1);
        }
    };
    Find(tree.Path(), "alpha");
    WaitForIdle();
    ASSERT_EQ(Rows(), 4);
    for (const char* name : {"first.txt", "b1.txt", "b2.txt", "b3.txt"})
        EXPECT_GE(RowNamed(name), 0) << name;
}

// A file of size bytes written with nothing: the end of file moved (sparse on the Unix side).
void MakeSparseFile(const std::string& path, int64_t size)
{
    HANDLE file = ::CreateFileW(platform::Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = size;
    EXPECT_TRUE(::SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(file));
    ::CloseHandle(file);
}

TEST_F(ResultsFrameTest, PreviewPaneShowsTheFocusedFilesLinesThatHoldTheTextAndWhatBecameOfTheFile)
{
    TempFolder tree("ffpreview");
    const std::string notes = tree.Add("notes.txt", "first line\r\nthe Needle here\r\nthird\r\n");
    Open();
    const auto focusRow = [&] {
        ListView_SetItemState(List(), 0, 0, LVIS_FOCUSED);
        ListView_SetItemState(List(), 0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    };
    const auto paneShows = [&](const std::string& part) {
        return PumpUntil([&] { return Text(kIdPreview).find(part) != std::string::npos; }, 5000);
    };
    // Without a containing text the list keeps its whole place.
    Find(tree.Path());
    WaitForIdle();
    ASSERT_EQ(Rows(), 1);
    EXPECT_FALSE(Visible(kIdPreview));

    Find(tree.Path(), "needle");
    WaitForIdle();
    ASSERT_EQ(Rows(), 1);
    ASSERT_TRUE(Visible(kIdPreview));
    RECT list, pane;
    GetWindowRect(List(), &list);
    GetWindowRect(C(kIdPreview), &pane);
    EXPECT_EQ(pane.top, list.bottom);
    EXPECT_EQ(pane.left, list.left);
    EXPECT_EQ(pane.right, list.right);
    EXPECT_TRUE(paneShows(Lang(t::kPreviewNoFile)));

    focusRow();
    ASSERT_TRUE(paneShows("the Needle here")) << Text(kIdPreview);
    const std::string lines = Text(kIdPreview);
    EXPECT_NE(lines.find("notes.txt"), std::string::npos);
    EXPECT_NE(lines.find(Lang(t::kPreviewLineCount) + "1"), std::string::npos);
    EXPECT_NE(lines.find("1-\tfirst line"), std::string::npos) << lines;
    EXPECT_NE(lines.find("2:\tthe Needle here"), std::string::npos) << lines;
    EXPECT_EQ(lines.find(Lang(t::kPreviewChanged)), std::string::npos);

    // Written since the search: the pane says so and shows the lines as they are now.
    tree.Add("notes.txt", "a needle moved\r\n");
    focusRow();
    ASSERT_TRUE(paneShows("a needle moved")) << Text(kIdPreview);
    EXPECT_NE(Text(kIdPreview).find(Lang(t::kPreviewChanged)), std::string::npos);

    ASSERT_TRUE(DeleteFileW(platform::Widen(notes).c_str()));
    focusRow();
    EXPECT_TRUE(paneShows(Lang(t::kPreviewVanished))) << Text(kIdPreview);
    EXPECT_EQ(Text(kIdPreview).find("needle"), std::string::npos) << "no stale lines";

    // The view menu's entry hides the pane, the list takes its place again, and the choice is kept.
    SendMessageW(m_frame->Handle(), WM_COMMAND, kIdPreviewMenu, 0);
    EXPECT_FALSE(Visible(kIdPreview));
    RECT whole;
    GetWindowRect(List(), &whole);
    EXPECT_EQ(whole.bottom, pane.bottom);
    EXPECT_FALSE(settings::ShowPreviewPane());
    SendMessageW(m_frame->Handle(), WM_COMMAND, kIdPreviewMenu, 0);
    EXPECT_TRUE(Visible(kIdPreview));
    EXPECT_TRUE(settings::ShowPreviewPane());
    EXPECT_TRUE(m_errorBoxes.empty());
}

TEST_F(ResultsFrameTest, HeaderClicksSortTextColumnsByTextAndSizeAndDateByValue)
{
    TempFolder tree("ffsort");
    tree.Add("b.txt", std::string(10 * 1024, 'x'));
    tree.Add("A.dat", std::string(9 * 1024, 'x'));
    tree.Add("c.txt", "");
    MakeSparseFile(tree.Path() + "\\huge.bin", (int64_t{2} << 30) + 1);
    Open();
    Find(tree.Path());
    WaitForIdle();
    ASSERT_EQ(Rows(), 4);
    HWND header = ListView_GetHeader(List());
    for (int column : {4, 1, 0})
    {
        RECT rect;
        Header_GetItemRect(header, column, &rect);
        const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(header, WM_LBUTTONUP, 0, at);
        uitest::Pump();
        EXPECT_EQ(m_frame->SortColumn(), column);
        for (int row = 1; row < Rows(); ++row)
            EXPECT_LE(CompareDisplayText(Cell(row - 1, column), Cell(row, column)), 0) << column;
    }
    EXPECT_EQ(Cell(0, 0), "A.dat");
    // The size column sorts by bytes: the empty cell, 9 KB, 10 KB, then 2 GiB (whose text,
    // "2,097,152 KB", would sort between the other two).
    m_frame->Results().LV1ColumnClick(2);
    EXPECT_EQ(Cell(0, 0), "c.txt");
    EXPECT_EQ(Cell(1, 0), "A.dat");
    EXPECT_EQ(Cell(2, 0), "b.txt");
    EXPECT_EQ(Cell(3, 0), "huge.bin");
}

TEST_F(ResultsFrameTest, StatusAndViewStylesDuringARunningSearch)
{
    TempFolder tree("ffviews");
    for (int f = 0; f < 30; ++f)
        for (int i = 0; i < 8; ++i)
            tree.Add("dir" + std::to_string(f) + "\\file" + std::to_string(i) + ".txt");
    Open();
    // The window's own handlers run first; the checks follow inside the same events, so they see
    // the window while the search is certainly still running, however fast the walk is.
    engine::TFindFile& finder = m_frame->FindFile1();
    int foldersShown = 0;
    int foldersSeen = 0;
    finder.OnNewFolder = [&, original = finder.OnNewFolder](engine::TFindFile& sender,
                                                            const std::string& folder, bool& ignore) {
        original(sender, folder, ignore);
        ++foldersSeen;
        if (Text(kIdPanel2) == folder)
            ++foldersShown;
    };
    const struct
    {
        int item;
        DWORD style;
    } views[] = {{kIdMaleikony1, LVS_SMALLICON},
                 {kIdVelkeikony1, LVS_ICON},
                 {kIdSeznam1, LVS_LIST},
                 {kIdPodrobnosti1, LVS_REPORT}};
    size_t found = 0;
    size_t viewsSwitched = 0;
    finder.OnFound = [&, original = finder.OnFound](engine::TFindFile& sender, const std::string& folder,
                                                    const engine::TSearchRec& record) {
        original(sender, folder, record);
        if (++found % 40 != 0 || viewsSwitched == std::size(views))
            return;
        const auto& view = views[viewsSwitched++];
        SendMessageW(m_frame->Handle(), WM_COMMAND, MAKEWPARAM(view.item, 0), 0);
        EXPECT_TRUE(sender.Busy());
        EXPECT_EQ(GetWindowLongW(List(), GWL_STYLE) & LVS_TYPEMASK, static_cast<LONG>(view.style));
        for (int item = kIdMaleikony1; item <= kIdPodrobnosti1; ++item)
            EXPECT_EQ((GetMenuState(m_frame->ViewMenu(), item, MF_BYCOMMAND) & MF_CHECKED) != 0,
                      item == view.item);
    };
    Find(tree.Path());
    WaitForIdle();
    EXPECT_EQ(viewsSwitched, std::size(views));
    EXPECT_EQ(foldersSeen, 31);
    EXPECT_EQ(foldersShown, foldersSeen);
    EXPECT_EQ(Rows(), 30 * 8);
    EXPECT_EQ(Text(kIdPanel2), CountStatus(30 * 8));
}

TEST_F(ResultsFrameTest, RightClickOnTheListAsksForTheShellMenuOnlyInFileMode)
{
    TempFolder tree("ffclick");
    tree.Add("one.txt");
    tree.Add("two.txt");
    tree.Add("three.txt");
    std::vector<std::vector<std::string>> shellMenus;
    int networkMenus = 0;
    m_fileRowActions.showShellMenu = [&](const std::vector<std::string>& paths, POINT) {
        shellMenus.push_back(paths);
    };
    m_networkServices.trackMenu = [&](HMENU, POINT) {
        ++networkMenus;
        return 0;
    };
    Open();
    Find(tree.Path());
    WaitForIdle();
    ASSERT_EQ(Rows(), 3);
    ListView_SetItemState(List(), 0, LVIS_SELECTED, LVIS_SELECTED);
    ListView_SetItemState(List(), 2, LVIS_SELECTED, LVIS_SELECTED);

    // A real right button press on a selected row keeps the selection and asks for the menu.
    RECT row;
    ListView_GetItemRect(List(), 2, &row, LVIR_LABEL);
    const LPARAM at = MAKELPARAM((row.left + row.right) / 2, (row.top + row.bottom) / 2);
    PostMessageW(List(), WM_RBUTTONUP, 0, at);
    SendMessageW(List(), WM_RBUTTONDOWN, MK_RBUTTON, at);
    uitest::Pump();
    ASSERT_EQ(ListView_GetSelectedCount(List()), 2u);
    const std::vector<std::string> expected = {tree.Path() + "\\" + Cell(0, 0),
                                               tree.Path() + "\\" + Cell(2, 0)};
    ASSERT_EQ(shellMenus.size(), 1u);
    EXPECT_EQ(shellMenus[0], expected);

    // Below the rows a right click shows the results menu instead.
    int resultsMenus = 0;
    m_frame->Results().chooseResultsMenuItem = [&](HMENU) {
        ++resultsMenus;
        return 0u;
    };
    RECT client;
    GetClientRect(List(), &client);
    const LPARAM below = MAKELPARAM((client.left + client.right) / 2, client.bottom - 4);
    PostMessageW(List(), WM_RBUTTONUP, 0, below);
    SendMessageW(List(), WM_RBUTTONDOWN, MK_RBUTTON, below);
    uitest::Pump();
    EXPECT_EQ(resultsMenus, 1);
    EXPECT_EQ(shellMenus.size(), 1u);

    m_frame->Results().ShowMode(m_frame->Network().Mode());
    ListView_SetItemState(List(), 1, LVIS_SELECTED, LVIS_SELECTED); // the click below cleared it
    const size_t before = shellMenus.size();
    m_frame->Results().LV1MouseDown(VK_RBUTTON, POINT{10, 10});
    EXPECT_EQ(shellMenus.size(), before);
    EXPECT_EQ(networkMenus, 1);
}

} // namespace
