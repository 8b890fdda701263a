// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
// clang-format on
#include "ui/results/ResultsList.h"

#include "TestFiles.h"
#include "platform/Utf8.h"
#include "platform/Win32FileSystem.h"
#include "platform/Win32LocalTime.h"
#include "tests/win32/OwnProcess.h"
#include "ui/shell/ItemProp.h"
#include "ui/shell/OleSession.h"

#include <gtest/gtest.h>
#include <map>

namespace
{

using testing_results::MarkerFileType;
using testing_results::PumpMessages;
using testing_results::TempFolder;

std::string Text(int id)
{
    static const std::map<int, std::string> texts = {
        {5520, "Name"},       {5521, "In Folder"}, {5523, "Size"},  {5525, "Modified"}, {200, "Type"},
        {201, "File "},       {220, "Found "},     {221, " items"}, {250, "Computer"},  {210, "Small icons"},
        {211, "Large icons"}, {212, "List"},       {213, "Details"}};
    auto found = texts.find(id);
    return found != texts.end() ? found->second : "<No load message>";
}

// The records the engine would hand over for every entry of one folder.
std::vector<engine::TSearchRec> Entries(const std::wstring& folder)
{
    std::vector<engine::TSearchRec> records;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return records;
    do
    {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        engine::TSearchRec record;
        record.Name = platform::Narrow(name);
        record.Size = (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        record.Attr = static_cast<int32_t>(data.dwFileAttributes);
        record.FindData.attributes = data.dwFileAttributes;
        record.FindData.lastWriteTime = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                        data.ftLastWriteTime.dwLowDateTime;
        record.FindData.name = record.Name;
        records.push_back(record);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return records;
}

// The system's own rendering of a file time in the user's short date and long time formats.
std::string SystemDateText(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    FILETIME local;
    SYSTEMTIME time;
    ::FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
    ::FileTimeToSystemTime(&local, &time);
    wchar_t date[64], clock[64];
    ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, 64);
    ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, clock, 64);
    return platform::Narrow(date) + " " + platform::Narrow(clock);
}

void SetWriteTime(const std::wstring& path, WORD year, WORD month, WORD day, WORD hour, WORD minute,
                  WORD second)
{
    SYSTEMTIME local{year, month, 0, day, hour, minute, second, 0};
    SYSTEMTIME utc;
    ::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc);
    FILETIME time;
    ::SystemTimeToFileTime(&utc, &time);
    HANDLE file = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ::SetFileTime(file, nullptr, nullptr, &time);
    ::CloseHandle(file);
}

std::string ShownText(HWND list, int row, int column)
{
    wchar_t text[512] = {};
    ListView_GetItemText(list, row, column, text, 512);
    return platform::Narrow(text);
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcW(window, message, wParam, lParam);
}

class ResultsListTest : public ::testing::Test
{
protected:
    ResultsListTest() : m_folder(L"results"), m_type(L".ffrl")
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ResultsListTestHost";
        ::RegisterClassW(&wc);
        m_host.Reset(::CreateWindowExW(0, wc.lpszClassName, L"results", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                       0, 900, 600, nullptr, nullptr, wc.hInstance, nullptr));
        m_list = std::make_unique<ui::ResultsList>(
            m_host.Get(), 100,
            ui::ResultsListServices{
                Text, [this](const std::string& s) { m_status.push_back(s); }, {}, &m_files, &m_time});
        ::MoveWindow(m_list->Handle(), 0, 0, 880, 560, TRUE);

        m_folder.Write(L"big.txt", std::string(1536000, 'x'));
        m_folder.Write(L"kilo.ffrl", std::string(1024, 'k'));
        m_folder.Write(L"small.txt", "the Needle is here\r\nand not here");
        m_folder.Write(L"odd.qqzz", std::string(1023, 'o'));
        m_folder.Write(L"empty.txt", "");
        m_folder.MakeFolder(L"Sub");
        m_folder.Write(L"Sub\\deep.TXT", "needle\n");
        for (const wchar_t* name : {L"big.txt", L"kilo.ffrl", L"small.txt", L"odd.qqzz", L"empty.txt"})
            SetWriteTime(m_folder.Path() + L"\\" + name, 2021, 11, 5, 16, 7, 42);
    }

    // One search as the engine reports it: each folder, its entries, then the end.
    void Search(const std::string& containing = {}, bool complete = true)
    {
        for (const std::wstring& folder : {m_folder.Path(), m_folder.Path() + L"\\Sub"})
        {
            m_list->FindFile1NewFolder(platform::Narrow(folder));
            for (const engine::TSearchRec& record : Entries(folder))
                m_list->FindFile1Found(platform::Narrow(folder), record, containing);
        }
        if (complete)
            m_list->FindFile1Complete();
    }

    int RowNamed(const std::string& name) const
    {
        for (size_t i = 0; i < m_list->RowCount(); ++i)
            if (m_list->Row(i).caption == name)
                return static_cast<int>(i);
        return -1;
    }

    std::string PathOf(const std::string& name) const { return m_folder.Utf8() + "\\" + name; }

    void Select(std::initializer_list<int> rows)
    {
        ListView_SetItemState(m_list->Handle(), -1, 0, LVIS_SELECTED);
        for (int row : rows)
            ListView_SetItemState(m_list->Handle(), row, LVIS_SELECTED, LVIS_SELECTED);
    }

    itemprop::OleSession m_ole;
    TempFolder m_folder;
    MarkerFileType m_type;
    platform::Win32FileSystem m_files;
    platform::Win32LocalTime m_time;
    std::vector<std::string> m_status;
    platform::UniqueWindow m_host;
    std::unique_ptr<ui::ResultsList> m_list;
};

TEST_F(ResultsListTest, RowsHoldNameFolderSizeDateTypeAndIconOfEachFile)
{
    Search();
    ASSERT_EQ(m_list->RowCount(), 7u);
    ASSERT_EQ(m_list->VisibleCount(), 7);
    EXPECT_TRUE(m_list->IsFileMode());

    const int big = RowNamed("big.txt");
    ASSERT_GE(big, 0);
    EXPECT_EQ(ShownText(m_list->Handle(), big, 0), "big.txt");
    EXPECT_EQ(ShownText(m_list->Handle(), big, 1), m_folder.Utf8());
    EXPECT_EQ(ShownText(m_list->Handle(), big, 2), "1" + testing_win32::ThousandsSeparator() + "500 KB");
    EXPECT_EQ(ShownText(m_list->Handle(), big, 3), SystemDateText(m_folder.Path() + L"\\big.txt"));

    for (const char* name : {"big.txt", "kilo.ffrl", "small.txt", "Sub"})
    {
        const int row = RowNamed(name);
        ASSERT_GE(row, 0) << name;
        SHFILEINFOW info{};
        ASSERT_TRUE(::SHGetFileInfoW(platform::Widen(PathOf(name)).c_str(), 0, &info, sizeof info,
                                     SHGFI_SYSICONINDEX | SHGFI_TYPENAME | SHGFI_SMALLICON));
        EXPECT_EQ(m_list->Row(row).Text(4), platform::Narrow(info.szTypeName)) << name;
        EXPECT_EQ(m_list->Row(row).icon, info.iIcon) << name;
        EXPECT_GE(m_list->Row(row).icon, 0) << name;
    }
    EXPECT_EQ(m_list->Row(RowNamed("kilo.ffrl")).Text(2), "1 KB");
    EXPECT_EQ(m_list->Row(RowNamed("odd.qqzz")).Text(2), "0 KB");
    EXPECT_EQ(m_list->Row(RowNamed("empty.txt")).Text(2), "");
    const ui::ResultRow& sub = m_list->Row(RowNamed("Sub"));
    EXPECT_EQ(sub.Text(2), "");
    EXPECT_EQ(sub.Text(3), "");
    EXPECT_EQ(m_list->Row(RowNamed("deep.TXT")).Text(1), m_folder.Utf8() + "\\Sub");

    EXPECT_NE(ListView_GetImageList(m_list->Handle(), LVSIL_SMALL), nullptr);
    EXPECT_NE(ListView_GetImageList(m_list->Handle(), LVSIL_NORMAL), nullptr);
}

TEST_F(ResultsListTest, ContainingTextLeavesOutFoldersNonMatchingAndLockedFiles)
{
    const std::wstring held = m_folder.Write(L"held.txt", "needle as well\n");
    HANDLE writer = ::CreateFileW(held.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    Search("NEEDLE");
    ::CloseHandle(writer);
    std::vector<std::string> names;
    for (size_t i = 0; i < m_list->RowCount(); ++i)
        names.push_back(m_list->Row(i).caption);
    EXPECT_EQ(names, (std::vector<std::string>{"small.txt", "deep.TXT"}));
    EXPECT_EQ(m_status.back(), "Found 2 items");
}

TEST_F(ResultsListTest, StatusShowsEachFolderAndRowsAppearByTheNextFolder)
{
    const std::string top = m_folder.Utf8();
    m_list->FindFile1NewFolder(top);
    EXPECT_EQ(m_status.back(), top);
    for (const engine::TSearchRec& record : Entries(m_folder.Path()))
        m_list->FindFile1Found(top, record, "");
    const size_t firstFolderRows = m_list->RowCount();
    m_list->FindFile1NewFolder(top + "\\Sub");
    EXPECT_EQ(m_status.back(), top + "\\Sub");
    EXPECT_EQ(m_list->VisibleCount(), static_cast<int>(firstFolderRows));

    // Within a folder the rows show on a short timer as well.
    for (const engine::TSearchRec& record : Entries(m_folder.Path() + L"\\Sub"))
        m_list->FindFile1Found(top + "\\Sub", record, "");
    const DWORD start = ::GetTickCount();
    while (m_list->VisibleCount() != static_cast<int>(m_list->RowCount()) && ::GetTickCount() - start < 3000)
    {
        PumpMessages();
        ::Sleep(20);
    }
    EXPECT_EQ(m_list->VisibleCount(), static_cast<int>(m_list->RowCount()));

    m_list->FindFile1Complete();
    EXPECT_EQ(m_status.back(), "Found 7 items");
    m_list->Clear();
    m_list->FindFile1Complete();
    EXPECT_EQ(m_status.back(), "Found 0 items");
    EXPECT_EQ(m_list->VisibleCount(), 0);
}

TEST_F(ResultsListTest, SortingByEachColumnOrdersTheDisplayedTextAndKeepsTheSelection)
{
    Search();
    Select({RowNamed("kilo.ffrl")});
    for (int column = 4; column >= 0; --column)
    {
        m_list->LV1ColumnClick(column);
        EXPECT_EQ(m_list->SortColumn(), column);
        for (size_t i = 1; i < m_list->RowCount(); ++i)
            EXPECT_LE(ui::CompareDisplayText(m_list->Row(i - 1).Text(column), m_list->Row(i).Text(column)), 0)
                << "column " << column << " row " << i;
        EXPECT_EQ(m_list->SelectedPaths(), (std::vector<std::string>{PathOf("kilo.ffrl")}));
    }
    // By size the displayed text decides: empty first, and "1 KB" before "1,500 KB" (a space sorts
    // before any thousands separator).
    m_list->LV1ColumnClick(2);
    EXPECT_LT(RowNamed("empty.txt"), RowNamed("odd.qqzz"));
    EXPECT_LT(RowNamed("odd.qqzz"), RowNamed("kilo.ffrl"));
    EXPECT_LT(RowNamed("kilo.ffrl"), RowNamed("big.txt"));

    // A click on the header itself sorts through the same path.
    HWND header = ListView_GetHeader(m_list->Handle());
    RECT item;
    Header_GetItemRect(header, 0, &item);
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    ::SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(header, WM_LBUTTONUP, 0, at);
    PumpMessages();
    EXPECT_EQ(m_list->SortColumn(), 0);
    EXPECT_EQ(m_list->Row(0).caption, "big.txt");
}

TEST_F(ResultsListTest, ViewStylesSwitchDuringASearchWithOneChecked)
{
    const std::string top = m_folder.Utf8();
    m_list->FindFile1NewFolder(top);
    const std::vector<engine::TSearchRec> entries = Entries(m_folder.Path());
    const struct
    {
        void (ui::ResultsList::*click)();
        DWORD style;
        UINT item;
    } views[] = {{&ui::ResultsList::Maleikony1Click, LVS_SMALLICON, 1},
                 {&ui::ResultsList::Velkeikony1Click, LVS_ICON, 2},
                 {&ui::ResultsList::Seznam1Click, LVS_LIST, 3},
                 {&ui::ResultsList::Podrobnosti1Click, LVS_REPORT, 4}};
    EXPECT_EQ(m_list->View(), ui::ViewStyle::Details);
    size_t next = 0;
    for (const auto& view : views)
    {
        if (next < entries.size())
            m_list->FindFile1Found(top, entries[next++], "");
        (m_list.get()->*view.click)();
        PumpMessages();
        EXPECT_EQ(::GetWindowLongW(m_list->Handle(), GWL_STYLE) & LVS_TYPEMASK,
                  static_cast<LONG>(view.style));
        EXPECT_EQ(static_cast<UINT>(m_list->View()), view.item - 1);
    }
    while (next < entries.size())
        m_list->FindFile1Found(top, entries[next++], "");
    m_list->FindFile1Complete();
    EXPECT_EQ(m_list->VisibleCount(), static_cast<int>(entries.size()));
    EXPECT_EQ(m_status.back(), "Found " + std::to_string(entries.size()) + " items");
}

TEST_F(ResultsListTest, RightClickShowsTheShellMenuForSelectedRowsInFileModeOnly)
{
    Search();
    std::vector<std::vector<std::string>> shellMenus;
    int networkMenus = 0;
    m_list->showShellMenu = [&](const std::vector<std::string>& paths, POINT) {
        shellMenus.push_back(paths);
    };
    m_list->showNetworkMenu = [&](POINT) { ++networkMenus; };

    Select({0, 2});
    const std::vector<std::string> rows13 = {PathOf(m_list->Row(0).caption), PathOf(m_list->Row(2).caption)};
    m_list->LV1MouseDown(VK_LBUTTON, POINT{5, 5});
    EXPECT_TRUE(shellMenus.empty());
    m_list->LV1MouseDown(VK_RBUTTON, POINT{5, 5});
    ASSERT_EQ(shellMenus.size(), 1u);
    EXPECT_EQ(shellMenus[0], rows13);

    Select({});
    m_list->LV1MouseDown(VK_RBUTTON, POINT{5, 5});
    EXPECT_EQ(shellMenus.size(), 1u);

    m_list->SetNetworkColumns();
    EXPECT_FALSE(m_list->IsFileMode());
    Select({1});
    m_list->LV1MouseDown(VK_RBUTTON, POINT{5, 5});
    EXPECT_EQ(shellMenus.size(), 1u);
    EXPECT_EQ(networkMenus, 1);
    m_list->SetFileColumns();
    EXPECT_TRUE(m_list->IsFileMode());
}

struct MenuDismisser
{
    static inline bool shown = false;
    static void CALLBACK Dismiss(HWND, UINT, UINT_PTR id, DWORD)
    {
        shown = shown || testing_win32::FindOwnWindow(itemprop::kHelperClassName,
                                                      itemprop::kHelperWindowName) != nullptr;
        ::KillTimer(nullptr, id);
        ::EndMenu();
    }
};

TEST_F(ResultsListTest, ShellActionsReachTheRealShell)
{
    Search();
    Select({RowNamed("kilo.ffrl")});
    m_list->LV1DblClick();
    EXPECT_TRUE(
        testing_results::WaitForFile(MarkerFileType::MarkerOf(m_folder.Path() + L"\\kilo.ffrl"), 20000));

    Select({0, 2});
    UINT_PTR timer = ::SetTimer(nullptr, 0, 700, MenuDismisser::Dismiss);
    m_list->LV1MouseDown(VK_RBUTTON, POINT{50, 50});
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(MenuDismisser::shown);
}

} // namespace
