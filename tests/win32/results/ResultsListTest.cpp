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
#include "tests/support/MapTextStore.h"
#include "tests/win32/OwnProcess.h"
#include "tests/win32/support/RecordingResultsMode.h"
#include "ui/search/FileResultsMode.h"
#include "ui/shell/ItemProp.h"
#include "ui/shell/OleSession.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <shlobj.h>
#include <shlwapi.h>

namespace
{

using testing_results::MarkerFileType;
using testing_results::PumpMessages;
using testing_results::TempFolder;

const fake::MapTextStore& Texts()
{
    static const fake::MapTextStore texts({{5520, "Name"},
                                           {5521, "In Folder"},
                                           {5523, "Size"},
                                           {5525, "Modified"},
                                           {200, "Type"},
                                           {201, "File "},
                                           {220, "Found "},
                                           {221, " items"},
                                           {250, "Computer"},
                                           {210, "Small icons"},
                                           {211, "Large icons"},
                                           {212, "List"},
                                           {213, "Details"}});
    return texts;
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

// A window of the test that takes dropped files as a drop target would: it moves or copies them into
// its folder and answers with that effect, so the drag sees a real drop.
class FileDropTarget : public IDropTarget
{
public:
    FileDropTarget(std::wstring into, DWORD effect) : m_into(std::move(into)), m_effect(effect) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        *object = (iid == IID_IUnknown || iid == IID_IDropTarget) ? static_cast<IDropTarget*>(this) : nullptr;
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; } // lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override
    {
        *effect &= m_effect;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override
    {
        *effect &= m_effect;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override
    {
        FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium{};
        if (SUCCEEDED(data->GetData(&format, &medium)))
        {
            const auto files = static_cast<HDROP>(medium.hGlobal);
            for (UINT i = 0; i < ::DragQueryFileW(files, 0xFFFFFFFF, nullptr, 0); ++i)
            {
                wchar_t path[MAX_PATH] = {};
                ::DragQueryFileW(files, i, path, MAX_PATH);
                dropped.push_back(platform::Narrow(path));
                const std::wstring to = m_into + L"\\" + ::PathFindFileNameW(path);
                if (m_effect == DROPEFFECT_MOVE)
                    ::MoveFileW(path, to.c_str());
                else
                    ::CopyFileW(path, to.c_str(), TRUE);
            }
            ::ReleaseStgMedium(&medium);
        }
        *effect = m_effect;
        return S_OK;
    }

    std::vector<std::string> dropped;

private:
    std::wstring m_into;
    DWORD m_effect;
};

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
        MakeList({&m_fileMode, &m_computerMode});

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

    // A new list in the host window, in the first of modes.
    void MakeList(std::vector<ui::ResultsMode*> modes)
    {
        m_list.reset();
        m_list = std::make_unique<ui::ResultsList>(
            m_host.Get(), 100,
            ui::ResultsListServices{&Texts(), std::move(modes),
                                    [this](const std::string& s) { m_status.push_back(s); }, &m_files,
                                    &m_time});
        ::MoveWindow(m_list->Handle(), 0, 0, 880, 560, TRUE);
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
    testing_support::RecordingResultsMode m_fileMode{true};
    testing_support::RecordingResultsMode m_computerMode{false};
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
    // In every view, the last one (details) staying for the rest of the test. The icon views come
    // after a first round, so that their rows are not shown merely because none were shown lately.
    for (ui::ViewStyle view :
         {ui::ViewStyle::List, ui::ViewStyle::SmallIcons, ui::ViewStyle::LargeIcons, ui::ViewStyle::Details})
    {
        m_list->Clear();
        m_list->SetView(view);
        m_list->FindFile1NewFolder(top);
        EXPECT_EQ(m_status.back(), top);
        for (const engine::TSearchRec& record : Entries(m_folder.Path()))
            m_list->FindFile1Found(top, record, "");
        const size_t firstFolderRows = m_list->RowCount();
        m_list->FindFile1NewFolder(top + "\\Sub");
        EXPECT_EQ(m_status.back(), top + "\\Sub");
        EXPECT_EQ(m_list->VisibleCount(), static_cast<int>(firstFolderRows)) << static_cast<int>(view);
    }

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

TEST_F(ResultsListTest, SortingByEachColumnOrdersItAndKeepsTheSelection)
{
    Search();
    Select({RowNamed("kilo.ffrl")});
    for (int column = 4; column >= 0; --column)
    {
        m_list->LV1ColumnClick(column);
        EXPECT_EQ(m_list->SortColumn(), column);
        for (size_t i = 1; i < m_list->RowCount(); ++i)
            EXPECT_LE(ui::CompareRows(m_list->Row(i - 1), m_list->Row(i), column), 0)
                << "column " << column << " row " << i;
        EXPECT_EQ(m_list->SelectedPaths(), (std::vector<std::string>{PathOf("kilo.ffrl")}));
    }
    // By size the bytes decide: 1023 bytes ("0 KB") before 1024 ("1 KB") before 1,500 KB.
    m_list->LV1ColumnClick(2);
    EXPECT_LT(RowNamed("empty.txt"), RowNamed("odd.qqzz"));
    EXPECT_LT(RowNamed("odd.qqzz"), RowNamed("kilo.ffrl"));
    EXPECT_LT(RowNamed("kilo.ffrl"), RowNamed("big.txt"));
    // By date the time decides; the folder, which shows none, comes first.
    SetWriteTime(m_folder.Path() + L"\\small.txt", 2021, 2, 1, 9, 0, 0);
    SetWriteTime(m_folder.Path() + L"\\empty.txt", 2021, 12, 1, 9, 0, 0);
    m_list->Clear();
    Search();
    m_list->LV1ColumnClick(3);
    EXPECT_EQ(m_list->Row(0).caption, "Sub");
    EXPECT_LT(RowNamed("small.txt"), RowNamed("big.txt"));
    EXPECT_LT(RowNamed("big.txt"), RowNamed("empty.txt"));

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
    const std::vector<std::vector<std::string>>& shellMenus = m_fileMode.menus;

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

    m_list->ShowMode(m_computerMode);
    EXPECT_FALSE(m_list->IsFileMode());
    EXPECT_EQ(m_list->CurrentMode(), &m_computerMode);
    Select({1});
    m_list->LV1MouseDown(VK_RBUTTON, POINT{5, 5});
    EXPECT_EQ(shellMenus.size(), 1u);
    EXPECT_EQ(m_computerMode.menus.size(), 1u);
    m_list->ShowMode(m_fileMode);
    EXPECT_TRUE(m_list->IsFileMode());
    EXPECT_EQ(m_list->CurrentMode(), &m_fileMode);
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
    ui::FileResultsMode shell([this] { return m_host.Get(); }, {});
    MakeList({&shell});
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

// Holds Ctrl and Shift down for the thread's own view of the keyboard while it lives.
class HeldKeys
{
public:
    HeldKeys(bool control, bool shift)
    {
        ::GetKeyboardState(m_saved);
        BYTE state[256];
        std::copy(std::begin(m_saved), std::end(m_saved), state);
        state[VK_CONTROL] = control ? 0x80 : 0;
        state[VK_SHIFT] = shift ? 0x80 : 0;
        ::SetKeyboardState(state);
    }
    ~HeldKeys() { ::SetKeyboardState(m_saved); }

private:
    BYTE m_saved[256];
};

void PressKey(HWND list, WPARAM key, bool control = false, bool shift = false, UINT message = WM_KEYDOWN)
{
    HeldKeys held(control, shift);
    ::SendMessageW(list, message, key, 1);
    PumpMessages();
}

std::string FocusedName(const ui::ResultsList& list)
{
    const int focused = ListView_GetNextItem(list.Handle(), -1, LVNI_FOCUSED);
    return focused >= 0 ? list.Row(static_cast<size_t>(focused)).caption : std::string();
}

// The names the shell lists in the recycle bin.
std::vector<std::string> RecycleBinNames()
{
    std::vector<std::string> names;
    platform::ComPtr<IShellFolder> desktop, bin;
    platform::UniquePidl binId;
    if (FAILED(::SHGetDesktopFolder(desktop.Put())) ||
        FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_BITBUCKET, binId.Put())) ||
        FAILED(desktop->BindToObject(binId.Get(), nullptr, IID_IShellFolder, bin.PutVoid())))
        return names;
    platform::ComPtr<IEnumIDList> items;
    if (bin->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, items.Put()) != S_OK)
        return names;
    for (platform::UniquePidl item; items->Next(1, item.Put(), nullptr) == S_OK;)
    {
        STRRET name;
        wchar_t text[MAX_PATH] = {};
        if (SUCCEEDED(bin->GetDisplayNameOf(item.Get(), SHGDN_NORMAL, &name)) &&
            SUCCEEDED(::StrRetToBufW(&name, item.Get(), text, MAX_PATH)))
            names.push_back(platform::Narrow(text));
    }
    return names;
}

TEST_F(ResultsListTest, KeysOpenShowTheMenuSelectAllAndFindByName)
{
    Search();
    const std::vector<std::vector<std::string>>& opened = m_fileMode.opened;
    const std::vector<std::vector<std::string>>& menus = m_fileMode.menus;
    const std::vector<POINT>& menuPoints = m_fileMode.menuPoints;
    HWND list = m_list->Handle();
    ::SetFocus(list);

    Select({RowNamed("kilo.ffrl"), RowNamed("odd.qqzz")});
    const std::vector<std::string> two = m_list->SelectedPaths();
    ASSERT_EQ(two.size(), 2u);
    PressKey(list, VK_RETURN);
    EXPECT_EQ(opened, (std::vector<std::vector<std::string>>{two}));

    ListView_SetItemState(list, RowNamed("odd.qqzz"), LVIS_FOCUSED, LVIS_FOCUSED);
    PressKey(list, VK_APPS);
    PressKey(list, VK_F10, false, true, WM_SYSKEYDOWN);
    PressKey(list, VK_F10, false, false, WM_SYSKEYDOWN); // F10 alone is the menu bar's
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_EQ(menus[0], two);
    EXPECT_EQ(menus[1], two);
    RECT focusedRow;
    ListView_GetItemRect(list, RowNamed("odd.qqzz"), &focusedRow, LVIR_BOUNDS);
    ::MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&focusedRow), 2);
    EXPECT_GE(menuPoints[0].y, focusedRow.top);
    EXPECT_LE(menuPoints[0].y, focusedRow.bottom);

    PressKey(list, 'A', true);
    EXPECT_EQ(ListView_GetSelectedCount(list), static_cast<UINT>(m_list->RowCount()));
    PressKey(list, 'A'); // a plain "a" is a name's letter, not select-all
    EXPECT_EQ(opened.size(), 1u);

    // Typed letters move the focus to the next row whose name starts with them, case ignored.
    ListView_SetItemState(list, 0, LVIS_FOCUSED, LVIS_FOCUSED);
    ::Sleep(1100); // a pause ends the earlier typing
    for (wchar_t c : std::wstring(L"su"))
        ::SendMessageW(list, WM_CHAR, c, 1);
    EXPECT_EQ(FocusedName(*m_list), "Sub");
    ::Sleep(1100);
    for (wchar_t c : std::wstring(L"DEE"))
        ::SendMessageW(list, WM_CHAR, c, 1);
    EXPECT_EQ(FocusedName(*m_list), "deep.TXT");
    EXPECT_EQ(m_list->FindRowByName(L"KILO.", 0, false), RowNamed("kilo.ffrl"));
    EXPECT_EQ(m_list->FindRowByName(L"big", RowNamed("big.txt") + 1, false), -1);
    EXPECT_EQ(m_list->FindRowByName(L"big", RowNamed("big.txt") + 1, true), RowNamed("big.txt"));
    EXPECT_EQ(m_list->FindRowByName(L"zzz", 0, true), -1);

    // In network mode the keys are the list's own.
    m_list->ShowMode(m_computerMode);
    PressKey(list, VK_RETURN);
    PressKey(list, VK_APPS);
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_EQ(menus.size(), 2u);
    EXPECT_TRUE(m_computerMode.opened.empty());
    EXPECT_TRUE(m_computerMode.menus.empty());
    m_list->ShowMode(m_fileMode);
}

TEST_F(ResultsListTest, DeleteSendsTheSelectedFilesToTheRecycleBinAndRemovesTheirRowsFromListAndCount)
{
    Search();
    m_list->confirmDelete = false;
    const size_t before = m_list->RowCount();
    Select({RowNamed("small.txt"), RowNamed("odd.qqzz")});
    PressKey(m_list->Handle(), VK_DELETE);
    EXPECT_EQ(::GetFileAttributesW((m_folder.Path() + L"\\small.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(::GetFileAttributesW((m_folder.Path() + L"\\odd.qqzz").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(m_list->RowCount(), before - 2);
    EXPECT_EQ(m_list->VisibleCount(), static_cast<int>(before - 2));
    EXPECT_EQ(RowNamed("small.txt"), -1);
    EXPECT_EQ(RowNamed("odd.qqzz"), -1);
    EXPECT_EQ(m_status.back(), "Found " + std::to_string(before - 2) + " items");
    for (const char* kept : {"big.txt", "kilo.ffrl", "empty.txt", "Sub", "deep.TXT"})
        EXPECT_GE(RowNamed(kept), 0) << kept;
    const std::vector<std::string> bin = RecycleBinNames();
    for (const char* name : {"small.txt", "odd.qqzz"})
        EXPECT_NE(std::find(bin.begin(), bin.end(), name), bin.end()) << name;

    // A file the shell could not remove keeps its row.
    const std::wstring held = m_folder.Path() + L"\\big.txt";
    Select({RowNamed("big.txt")});
    ::DeleteFileW(held.c_str());
    EXPECT_EQ(m_list->RemoveVanishedRows(
                  {static_cast<size_t>(RowNamed("big.txt")), static_cast<size_t>(RowNamed("kilo.ffrl"))}),
              1u);
    EXPECT_EQ(RowNamed("big.txt"), -1);
    EXPECT_GE(RowNamed("kilo.ffrl"), 0);
    EXPECT_EQ(m_status.back(), "Found " + std::to_string(before - 3) + " items");
}

TEST_F(ResultsListTest, DraggingRowsDropsTheirFilesAndOnlyAMoveRemovesTheRows)
{
    Search();
    const TempFolder into(L"dropped");
    // The drop window lies beside the list, under the pointer; no button is down, so the drag drops
    // at once where the pointer is.
    platform::UniqueWindow window(::CreateWindowExW(WS_EX_TOPMOST, L"ResultsListTestHost", L"drop",
                                                    WS_POPUP | WS_VISIBLE, 920, 100, 200, 200, nullptr,
                                                    nullptr, ::GetModuleHandleW(nullptr), nullptr));
    ::SetCursorPos(1020, 200);
    const size_t before = m_list->RowCount();
    for (DWORD effect : {DWORD{DROPEFFECT_COPY}, DWORD{DROPEFFECT_MOVE}})
    {
        FileDropTarget target(into.Path(), effect);
        ASSERT_EQ(::RegisterDragDrop(window.Get(), &target), S_OK);
        Select({RowNamed("small.txt"), RowNamed("kilo.ffrl")});
        const std::vector<std::string> dragged = m_list->SelectedPaths();
        m_list->DragSelected();
        ::RevokeDragDrop(window.Get());
        std::vector<std::string> dropped = target.dropped;
        std::sort(dropped.begin(), dropped.end());
        std::vector<std::string> expected = dragged;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(dropped, expected) << effect;
        for (const wchar_t* name : {L"small.txt", L"kilo.ffrl"})
            EXPECT_NE(::GetFileAttributesW((into.Path() + L"\\" + name).c_str()), INVALID_FILE_ATTRIBUTES);
        const size_t removed = effect == DROPEFFECT_MOVE ? 2 : 0;
        EXPECT_EQ(m_list->RowCount(), before - removed) << effect;
        EXPECT_EQ(RowNamed("small.txt") < 0, removed != 0) << effect;
        EXPECT_GE(RowNamed("big.txt"), 0);
        if (effect == DROPEFFECT_COPY)
            for (const wchar_t* name : {L"small.txt", L"kilo.ffrl"})
                ::DeleteFileW((into.Path() + L"\\" + name).c_str());
    }
    EXPECT_EQ(m_status.back(), "Found " + std::to_string(before - 2) + " items");
}

TEST_F(ResultsListTest, CtrlCPutsTheFilesAndCtrlShiftCTheirPathsOnTheClipboard)
{
    Search();
    // Files of one folder: Wine's shell renders the file list of a data object only for items of
    // one folder (Windows also for items of several).
    Select({RowNamed("kilo.ffrl"), RowNamed("big.txt")});
    const std::vector<std::string> paths = m_list->SelectedPaths();
    PressKey(m_list->Handle(), 'C', true);
    ASSERT_TRUE(::OpenClipboard(m_host.Get()));
    std::vector<std::string> dropped;
    if (HANDLE drop = ::GetClipboardData(CF_HDROP))
    {
        const auto files = static_cast<HDROP>(drop);
        for (UINT i = 0; i < ::DragQueryFileW(files, 0xFFFFFFFF, nullptr, 0); ++i)
        {
            wchar_t name[MAX_PATH] = {};
            ::DragQueryFileW(files, i, name, MAX_PATH);
            dropped.push_back(platform::Narrow(name));
        }
    }
    EXPECT_TRUE(::IsClipboardFormatAvailable(::RegisterClipboardFormatW(L"Shell IDList Array")));
    ::CloseClipboard();
    std::sort(dropped.begin(), dropped.end());
    std::vector<std::string> expected = paths;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(dropped, expected);

    PressKey(m_list->Handle(), 'C', true, true);
    ASSERT_TRUE(::OpenClipboard(m_host.Get()));
    HANDLE text = ::GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(text, nullptr);
    const std::string copied = platform::Narrow(static_cast<const wchar_t*>(::GlobalLock(text)));
    ::GlobalUnlock(text);
    ::CloseClipboard();
    EXPECT_EQ(copied, paths[0] + "\r\n" + paths[1] + "\r\n");
}

// RFC 4180 records: quoted fields may hold commas, doubled quotes and line breaks.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text)
{
    std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i)
    {
        const char c = text[i];
        if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"')
            records.back().back() += text[++i];
        else if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == ',')
            records.back().emplace_back();
        else if (!quoted && c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
        {
            records.emplace_back(1);
            ++i;
        }
        else
            records.back().back() += c;
    }
    if (records.back().size() == 1 && records.back()[0].empty())
        records.pop_back();
    return records;
}

std::string ReadWhole(const std::wstring& path)
{
    std::string bytes;
    HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    char buffer[4096];
    DWORD read = 0;
    while (file != INVALID_HANDLE_VALUE && ::ReadFile(file, buffer, sizeof buffer, &read, nullptr) &&
           read > 0)
        bytes.append(buffer, read);
    ::CloseHandle(file);
    return bytes;
}

TEST_F(ResultsListTest, ResultsMenuSavesCsvAndPathListsCopiesPathsAndSelectsAll)
{
    m_folder.Write(L"\u041e\u0442\u0447\u0451\u0442, \u0438\u0442\u043e\u0433.txt", "x");
    Search();
    ui::ResultRow quoted;
    quoted.caption = "say \"hi\", twice.bin";
    quoted.cells = {"D:\\big", "5,242,880 KB", "", "Binary \"data\""};
    quoted.size = 5368709120LL;
    m_list->AddRow(quoted);

    const std::wstring csvFile = m_folder.Path() + L"\\saved.csv";
    m_list->askSavePath = [&] { return std::make_pair(platform::Narrow(csvFile), true); };
    m_list->chooseResultsMenuItem = [](HMENU) { return UINT{ui::ResultsList::kMenuSaveResults}; };
    m_list->ShowResultsMenu(POINT{10, 10});
    const std::string bytes = ReadWhole(csvFile);
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    const auto records = ParseCsv(bytes.substr(3));
    ASSERT_EQ(records.size(), m_list->RowCount() + 1);
    EXPECT_EQ(records[0], (std::vector<std::string>{"Name", "Folder", "Path", "Size", "Modified", "Type"}));
    for (size_t i = 0; i < m_list->RowCount(); ++i)
    {
        const ui::ResultRow& row = m_list->Row(i);
        const std::vector<std::string>& record = records[i + 1];
        ASSERT_EQ(record.size(), 6u) << i;
        EXPECT_EQ(record[0], row.caption);
        EXPECT_EQ(record[1], row.Text(1));
        EXPECT_EQ(record[2], row.Text(1) + "\\" + row.caption);
        EXPECT_EQ(record[5], row.Text(4));
    }
    const auto& last = records.back();
    EXPECT_EQ(last[0], "say \"hi\", twice.bin");
    EXPECT_EQ(last[3], "5368709120");
    EXPECT_EQ(last[5], "Binary \"data\"");
    const auto& cyrillic = records[static_cast<size_t>(RowNamed("\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82, "
                                                                "\xD0\xB8\xD1\x82\xD0\xBE\xD0\xB3.txt")) +
                                   1];
    EXPECT_EQ(cyrillic[3], "1");
    const auto& big = records[static_cast<size_t>(RowNamed("big.txt")) + 1];
    EXPECT_EQ(big[3], "1536000");
    EXPECT_EQ(big[4], "2021-11-05T16:07:42");
    EXPECT_EQ(records[static_cast<size_t>(RowNamed("Sub")) + 1][4], "");

    // The plain list: every full path, one per line.
    const std::wstring listFile = m_folder.Path() + L"\\saved.txt";
    m_list->askSavePath = [&] { return std::make_pair(platform::Narrow(listFile), false); };
    m_list->ShowResultsMenu(POINT{10, 10});
    std::string expected;
    for (size_t i = 0; i < m_list->RowCount(); ++i)
        expected += m_list->Row(i).Text(1) + "\\" + m_list->Row(i).caption + "\r\n";
    EXPECT_EQ(ReadWhole(listFile), expected);
    EXPECT_THROW(m_list->SaveResults(m_folder.Utf8() + "\\no such folder\\x.csv", true), std::runtime_error);

    m_list->chooseResultsMenuItem = [](HMENU) { return UINT{ui::ResultsList::kMenuCopyAllPaths}; };
    m_list->ShowResultsMenu(POINT{10, 10});
    ASSERT_TRUE(::OpenClipboard(m_host.Get()));
    HANDLE text = ::GetClipboardData(CF_UNICODETEXT);
    const std::string copied = text ? platform::Narrow(static_cast<const wchar_t*>(::GlobalLock(text))) : "";
    if (text)
        ::GlobalUnlock(text);
    ::CloseClipboard();
    EXPECT_EQ(copied, expected);

    // "Open containing folder" is offered only with a row selected, and opens that row's file.
    std::vector<UINT> offered;
    m_list->chooseResultsMenuItem = [&](HMENU menu) {
        offered.clear();
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i)
            offered.push_back(::GetMenuItemID(menu, i));
        return UINT{ui::ResultsList::kMenuSelectAll};
    };
    Select({});
    m_list->ShowResultsMenu(POINT{10, 10});
    EXPECT_EQ(offered, (std::vector<UINT>{1, 2, 3}));
    EXPECT_EQ(ListView_GetSelectedCount(m_list->Handle()), static_cast<UINT>(m_list->RowCount()));
    std::vector<std::string> folderOpened;
    m_list->openContainingFolder = [&](const std::string& path) { folderOpened.push_back(path); };
    Select({RowNamed("kilo.ffrl")});
    m_list->chooseResultsMenuItem = [&](HMENU menu) {
        offered.clear();
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i)
            offered.push_back(::GetMenuItemID(menu, i));
        return UINT{ui::ResultsList::kMenuOpenFolder};
    };
    m_list->ShowResultsMenu(POINT{10, 10});
    EXPECT_EQ(offered, (std::vector<UINT>{1, 2, 3, 4}));
    EXPECT_EQ(folderOpened, (std::vector<std::string>{PathOf("kilo.ffrl")}));
}

} // namespace
