#include "ui/shell/ItemProp.h"

#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"
#include "tests/win32/OwnProcess.h"
#include "tests/win32/results/TestFiles.h"
#include "ui/shell/OleSession.h"

#include <windows.h>
#include <algorithm>
#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

namespace
{

using testing_results::MarkerFileType;
using testing_results::TempFolder;
using testing_win32::FindOwnWindow;

std::wstring MenuText(HMENU menu, int position)
{
    wchar_t text[256] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(position), text, 256, MF_BYPOSITION);
    std::wstring plain;
    for (const wchar_t* c = text; *c; ++c)
        if (*c != L'&')
            plain += *c;
    return plain;
}

UINT CommandNamed(HMENU menu, const std::wstring& name)
{
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i)
        if (MenuText(menu, i) == name)
            return ::GetMenuItemID(menu, i);
    return 0;
}

// The files the clipboard holds as a file drop, in order.
std::vector<std::wstring> ClipboardFiles()
{
    std::vector<std::wstring> files;
    platform::ComPtr<IDataObject> data;
    if (FAILED(::OleGetClipboard(data.Put())))
        return files;
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&format, &medium)))
        return files;
    auto drop = static_cast<HDROP>(::GlobalLock(medium.hGlobal));
    UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i)
    {
        wchar_t path[MAX_PATH] = {};
        ::DragQueryFileW(drop, i, path, MAX_PATH);
        files.push_back(path);
    }
    ::GlobalUnlock(medium.hGlobal);
    ::ReleaseStgMedium(&medium);
    return files;
}

class ItemPropTest : public ::testing::Test
{
protected:
    ItemPropTest() : m_folder(L"itemprop"), m_type(L".ffmk")
    {
        m_owner.Reset(::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                        nullptr, nullptr, nullptr));
        for (const wchar_t* name : {L"one.ffmk", L"two.ffmk", L"three.ffmk"})
            m_paths.push_back(platform::Narrow(m_folder.Write(name, "content")));
    }

    std::string Path(size_t row) const { return m_paths[row]; }
    static std::wstring Wide(const std::string& s) { return platform::Widen(s); }

    itemprop::OleSession m_ole;
    TempFolder m_folder;
    MarkerFileType m_type;
    platform::UniqueWindow m_owner;
    std::vector<std::string> m_paths;
};

TEST_F(ItemPropTest, OleIsInitialisedForTheThread)
{
    EXPECT_TRUE(m_ole.Initialized());
}

TEST_F(ItemPropTest, DefaultVerbOpensTheFileSkippingNamesThatDoNotResolve)
{
    const std::string missing = m_folder.Utf8() + "\\gone.ffmk";
    EXPECT_TRUE(itemprop::InvokeDefaultVerb("", {missing, Path(1)}, m_owner.Get()));
    EXPECT_TRUE(testing_results::WaitForFile(MarkerFileType::MarkerOf(Wide(Path(1))), 20000));
    EXPECT_EQ(::GetFileAttributesW(MarkerFileType::MarkerOf(Wide(Path(0))).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ItemPropTest, NothingHappensWithoutAResolvableName)
{
    EXPECT_FALSE(itemprop::InvokeDefaultVerb("", {}, m_owner.Get()));
    EXPECT_FALSE(itemprop::InvokeDefaultVerb("", {m_folder.Utf8() + "\\gone.ffmk"}, m_owner.Get()));
    bool asked = false;
    auto result = itemprop::ShowContextMenu("", {m_folder.Utf8() + "\\gone.ffmk"}, m_owner.Get(),
                                            POINT{10, 10}, [&](HMENU, HWND, POINT) {
                                                asked = true;
                                                return 0u;
                                            });
    EXPECT_FALSE(result.succeeded);
    EXPECT_FALSE(asked);
}

TEST_F(ItemPropTest, ContextMenuActsOnExactlyTheGivenItemsThroughItsHelperWindow)
{
    HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
    ::SetCursor(arrow);
    UINT copy = 0;
    int items = 0;
    std::wstring helperClass, helperName;
    LONG helperStyle = 0;
    POINT seenAt{};
    auto result = itemprop::ShowContextMenu("", {Path(0), Path(2)}, m_owner.Get(), POINT{40, 50},
                                            [&](HMENU menu, HWND helper, POINT at) {
                                                items = ::GetMenuItemCount(menu);
                                                copy = CommandNamed(menu, L"Copy");
                                                wchar_t text[128] = {};
                                                ::GetClassNameW(helper, text, 128);
                                                helperClass = text;
                                                ::GetWindowTextW(helper, text, 128);
                                                helperName = text;
                                                helperStyle = ::GetWindowLongW(helper, GWL_STYLE);
                                                seenAt = at;
                                                return copy;
                                            });
    EXPECT_GT(items, 0);
    ASSERT_NE(copy, 0u);
    EXPECT_TRUE(result.succeeded);
    EXPECT_FALSE(result.renameRequested);
    EXPECT_EQ(helperClass, itemprop::kHelperClassName);
    EXPECT_EQ(helperName, itemprop::kHelperWindowName);
    EXPECT_EQ(helperStyle & WS_VISIBLE, 0);
    EXPECT_EQ(seenAt.x, 40);
    EXPECT_EQ(seenAt.y, 50);
    EXPECT_EQ(FindOwnWindow(itemprop::kHelperClassName), nullptr);
    EXPECT_EQ(::GetCursor(), arrow);

    std::vector<std::wstring> copied = ClipboardFiles();
    std::vector<std::wstring> expected = {Wide(Path(0)), Wide(Path(2))};
    for (auto* list : {&copied, &expected})
        for (auto& path : *list)
            std::transform(path.begin(), path.end(), path.begin(), ::towlower);
    EXPECT_EQ(copied, expected);
}

TEST_F(ItemPropTest, RenameEntryOnlyReportsTheRequest)
{
    auto result = itemprop::ShowContextMenu("", {Path(0)}, m_owner.Get(), POINT{0, 0},
                                            [](HMENU, HWND, POINT) { return itemprop::kRenameCommand; });
    EXPECT_TRUE(result.succeeded);
    EXPECT_TRUE(result.renameRequested);
    EXPECT_EQ(::GetFileAttributesW(Wide(Path(0)).c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

// The real menu, dismissed by a timer while it is shown.
struct MenuWatch
{
    static inline bool menuSeen = false;
    static inline bool helperSeen = false;
    static void CALLBACK Dismiss(HWND, UINT, UINT_PTR id, DWORD)
    {
        menuSeen = menuSeen || FindOwnWindow(L"#32768") != nullptr;
        helperSeen =
            helperSeen || FindOwnWindow(itemprop::kHelperClassName, itemprop::kHelperWindowName) != nullptr;
        ::KillTimer(nullptr, id);
        ::EndMenu();
    }
};

TEST_F(ItemPropTest, TrackedMenuDismissedRunsNothing)
{
    UINT_PTR timer = ::SetTimer(nullptr, 0, 700, MenuWatch::Dismiss);
    auto result = itemprop::ShowContextMenu("", {Path(0), Path(2)}, m_owner.Get(), POINT{100, 100});
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(result.succeeded);
    EXPECT_FALSE(result.renameRequested);
    EXPECT_TRUE(MenuWatch::menuSeen);
    EXPECT_TRUE(MenuWatch::helperSeen);
    EXPECT_EQ(FindOwnWindow(itemprop::kHelperClassName), nullptr);
}

} // namespace
