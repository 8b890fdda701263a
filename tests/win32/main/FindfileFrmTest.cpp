#include "lang/TextIds.h"
#include "platform/Utf8.h"
#include "settings/AppPaths.h"
#include "settings/SettingsFile.h"
#include "tests/win32/main/FrameFixture.h"

#include <algorithm>

namespace uitest
{
namespace
{

using namespace ui;
namespace t = lang::text;

// Every control caption with the text ID it comes from.
const std::pair<int, int> kCaptions[] = {
    {kIdMinimizeBtn, t::kMinimizeButton},
    {kIdLangBtn, t::kLanguageButton},
    {kIdAboutBtn, t::kAboutButton},
    {kIdCloseBtn, t::kCloseButton},
    {kIdSettingsBtn, t::kSettingsButton},
    {kIdHeader1, t::kFileHeader},
    {kIdHeader2, t::kNetworkHeader},
    {kIdLabel1, t::kNameLabel},
    {kIdLabel2, t::kContainingLabel},
    {kIdLabel3, t::kLookInLabel},
    {kIdMemo1, t::kFileDescription},
    {kIdLabel4, t::kDateSection},
    {kIdLabel5, t::kSizeSection},
    {kIdFlatRadioButton1, t::kAnyDateOrSize},
    {kIdFlatRadioButton2, t::kModifiedLast30Days},
    {kIdFlatRadioButton3, t::kModifiedLastYear},
    {kIdFlatRadioButton4, t::kDateRange},
    {kIdLabel6, t::kRangeFrom},
    {kIdLabel7, t::kRangeTo},
    {kIdFlatRadioButton5, t::kSizeUpTo1MB},
    {kIdFlatRadioButton6, t::kSize1To10MB},
    {kIdFlatRadioButton7, t::kSizeFrom10MB},
    {kIdFlatRadioButton8, t::kSizeCustom},
    {kIdFlatRadioButton9, t::kAnyDateOrSize},
    {kIdLabel11, t::kMoreOptionsSection},
    {kIdFlatCheckBox5, t::kSearchSubfolders},
    {kIdFindfilesbtn, t::kFindStart},
};

std::string ComboItem(HWND combo, int index)
{
    wchar_t text[512] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return platform::Narrow(text);
}

std::string ColumnCaption(HWND list, int column)
{
    wchar_t text[256] = {};
    LVCOLUMNW info{};
    info.mask = LVCF_TEXT;
    info.pszText = text;
    info.cchTextMax = 256;
    ListView_GetColumn(list, column, &info);
    return platform::Narrow(text);
}

std::string MenuText(HMENU menu, int id)
{
    wchar_t text[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(id), text, 256, MF_BYCOMMAND);
    return platform::Narrow(text);
}

// Checks every caption against the module's own string table.
void ExpectCaptionsOf(const std::string& code, TFindfileFrm& frame)
{
    EXPECT_EQ(controls::WindowText(frame.Handle()), ModuleText(code, t::kMainCaption));
    for (const auto& [control, text] : kCaptions)
        EXPECT_EQ(controls::WindowText(frame.Control(control)), ModuleText(code, text))
            << "control " << control;
    HWND list = frame.Control(kIdLV1);
    const int columns[5] = {t::kColumnName, t::kColumnFolder, t::kColumnSize, t::kColumnModified,
                            t::kColumnType};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ColumnCaption(list, i), ModuleText(code, columns[i])) << "column " << i;
    HWND dateKinds = frame.Control(kIdLmdimagecombobox1);
    ASSERT_EQ(SendMessageW(dateKinds, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(ComboItem(dateKinds, 0), ModuleText(code, t::kDateKindCreated));
    EXPECT_EQ(ComboItem(dateKinds, 1), ModuleText(code, t::kDateKindModified));
    EXPECT_EQ(ComboItem(dateKinds, 2), ModuleText(code, t::kDateKindAccessed));
    HWND sizeKinds = frame.Control(kIdLmdimagecombobox2);
    ASSERT_EQ(SendMessageW(sizeKinds, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(ComboItem(sizeKinds, 0), ModuleText(code, t::kSizeAtLeast));
    EXPECT_EQ(ComboItem(sizeKinds, 1), ModuleText(code, t::kSizeAtMost));
    EXPECT_EQ(MenuText(frame.ViewMenu(), kIdMaleikony1), ModuleText(code, t::kViewSmallIcons));
    EXPECT_EQ(MenuText(frame.ViewMenu(), kIdVelkeikony1), ModuleText(code, t::kViewLargeIcons));
    EXPECT_EQ(MenuText(frame.ViewMenu(), kIdSeznam1), ModuleText(code, t::kViewList));
    EXPECT_EQ(MenuText(frame.ViewMenu(), kIdPodrobnosti1), ModuleText(code, t::kViewDetails));
    const int places = frame.LookIn().Count();
    ASSERT_GT(places, 0);
    EXPECT_EQ(frame.LookIn().ItemText(places - 1), ModuleText(code, t::kBrowseEntry));
}

TEST_F(FrameTest, CaptionsComeFromTheChosenLanguageModule)
{
    ExpectCaptionsOf("EN", Open("EN"));
    for (int section = 0; section < 3; ++section)
        EXPECT_EQ(m_frame->SectionButton(section).PictureName(), L"BITMAP2");
    m_frame.reset();

    ExpectCaptionsOf("RUS", Open("RUS"));
    // A different module really shows different words.
    EXPECT_NE(Text(kIdFindfilesbtn), ModuleText("EN", t::kFindStart));
    m_frame.reset();
    ExpectCaptionsOf("CSY", Open("CSY"));
}

TEST_F(FrameTest, StartsCentredAtItsSizeAndNeverShrinksBelowTheMinimum)
{
    Open();
    RECT rect;
    GetWindowRect(m_frame->Handle(), &rect);
    EXPECT_EQ(rect.right - rect.left, 785);
    EXPECT_EQ(rect.bottom - rect.top, 586);
    EXPECT_NEAR(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 785) / 2, 1);
    EXPECT_NEAR(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 586) / 2, 1);

    SetWindowPos(m_frame->Handle(), nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(m_frame->Handle(), &rect);
    EXPECT_EQ(rect.right - rect.left, 652);
    EXPECT_EQ(rect.bottom - rect.top, 492);
    MINMAXINFO info{};
    SendMessageW(m_frame->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 652);
    EXPECT_EQ(info.ptMinTrackSize.y, 492);

    // The list fills what the side bar leaves, the status line runs along the bottom.
    SetWindowPos(m_frame->Handle(), nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
    RECT list, status, client;
    GetWindowRect(C(kIdLV1), &list);
    GetWindowRect(C(kIdPanel2), &status);
    GetClientRect(m_frame->Handle(), &client);
    EXPECT_EQ(list.right - list.left, client.right - 232);
    EXPECT_EQ(status.bottom - status.top, 17);
    EXPECT_EQ(status.top, list.bottom);
}

TEST_F(FrameTest, ResultsListStartsInDetailsViewWithFiveColumns)
{
    Open();
    HWND list = C(kIdLV1);
    EXPECT_EQ(GetWindowLongW(list, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(ListView_GetExtendedListViewStyle(list) & LVS_EX_FULLROWSELECT);
    EXPECT_FALSE(GetWindowLongW(list, GWL_STYLE) & LVS_SINGLESEL);
    const int widths[5] = {100, 200, 100, 80, 80};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ListView_GetColumnWidth(list, i), widths[i]);
    EXPECT_EQ(GetMenuState(m_frame->ViewMenu(), kIdPodrobnosti1, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);

    // The view menu switches the style and moves the check mark.
    SendMessageW(m_frame->Handle(), WM_COMMAND, MAKEWPARAM(kIdSeznam1, 0), 0);
    EXPECT_EQ(GetWindowLongW(list, GWL_STYLE) & LVS_TYPEMASK, LVS_LIST);
    EXPECT_EQ(GetMenuState(m_frame->ViewMenu(), kIdSeznam1, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
    EXPECT_EQ(GetMenuState(m_frame->ViewMenu(), kIdPodrobnosti1, MF_BYCOMMAND) & MF_CHECKED, 0u);
    SendMessageW(m_frame->Handle(), WM_COMMAND, MAKEWPARAM(kIdVelkeikony1, 0), 0);
    EXPECT_EQ(GetWindowLongW(list, GWL_STYLE) & LVS_TYPEMASK, LVS_ICON);
}

TEST_F(FrameTest, FolderArgumentFillsTheLookInField)
{
    TempFolder folder("ffarg");
    const std::string file = folder.Add("plain.txt");
    Open("EN", folder.Path());
    EXPECT_EQ(m_frame->LookIn().Text(), folder.Path());
    m_frame.reset();

    for (const std::string& argument : {file, folder.Path() + "\\missing", std::string()})
    {
        Open("EN", argument);
        const int count = m_frame->LookIn().Count();
        EXPECT_EQ(m_frame->LookIn().Selected(), count - 4) << argument;
        EXPECT_EQ(m_frame->LookIn().Text(), m_frame->LookIn().ItemText(count - 4)) << argument;
        m_frame.reset();
    }
}

TEST_F(FrameTest, LookInListHoldsDrivesFixedDrivesSpecialFoldersAndBrowse)
{
    Open();
    const auto& places = m_frame->Places();
    ASSERT_EQ(static_cast<int>(places.size()), m_frame->LookIn().Count());
    for (size_t i = 0; i < places.size(); ++i)
        EXPECT_EQ(m_frame->LookIn().ItemText(static_cast<int>(i)), places[i].text);
    // Wine maps C: to the prefix's drive_c, a fixed drive.
    EXPECT_TRUE(std::any_of(places.begin(), places.end(), [](const PlaceEntry& p) {
        return p.kind == PlaceKind::Drive && p.text == "C:\\";
    }));
    const size_t fixed = places.size() - 4;
    EXPECT_EQ(places[fixed].kind, PlaceKind::AllFixedDrives);
    EXPECT_EQ(places[fixed].text.rfind("C:\\;", 0), 0u);
    EXPECT_EQ(places.back().kind, PlaceKind::Browse);
    EXPECT_EQ(places.back().text, Lang(t::kBrowseEntry));
    const auto& special = m_frame->SpecialFolderPaths();
    EXPECT_FALSE(special.desktop.empty());
    EXPECT_EQ(places[fixed + 1].text, LastPathPart(special.desktop));
    EXPECT_EQ(places[fixed + 2].text, LastPathPart(special.personal));
}

TEST_F(FrameTest, BrowseEntryPutsTheChosenFolderInTheField)
{
    int browsed = 0;
    std::optional<std::string> answer = "C:\\windows";
    m_hooks.browseForFolder = [&](HWND) {
        ++browsed;
        return answer;
    };
    Open();
    const int last = m_frame->LookIn().Count() - 1;
    auto pick = [&](int index) {
        m_frame->LookIn().Select(index);
        SendMessageW(m_frame->Handle(), WM_COMMAND, MAKEWPARAM(kIdAWComboBoxEx1, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(m_frame->LookIn().Handle()));
        Pump();
    };
    pick(last);
    EXPECT_EQ(browsed, 1);
    EXPECT_EQ(m_frame->LookIn().Text(), "C:\\windows");
    answer.reset(); // cancelled: the entry's own text stays
    pick(last);
    EXPECT_EQ(browsed, 2);
    EXPECT_EQ(m_frame->LookIn().Text(), Lang(t::kBrowseEntry));
    pick(0);
    EXPECT_EQ(browsed, 2);
    EXPECT_EQ(m_frame->LookIn().Text(), m_frame->LookIn().ItemText(0));
}

TEST_F(FrameTest, TopStripButtonsCloseMinimiseAndCallTheirHooks)
{
    int about = 0, language = 0, settingsShown = 0;
    std::vector<std::pair<bool, bool>> integration;
    bool acceptLanguage = false;
    m_hooks.about = [&](HWND) { ++about; };
    m_hooks.language = [&](HWND) {
        ++language;
        return acceptLanguage;
    };
    m_hooks.setincontext = [&](bool install, bool store) { integration.emplace_back(install, store); };
    m_hooks.settings = [&](HWND) { ++settingsShown; };
    Open();
    Click(kIdAboutBtn);
    Click(kIdSettingsBtn);
    Click(kIdLangBtn);
    EXPECT_EQ(about, 1);
    EXPECT_EQ(settingsShown, 1);
    EXPECT_EQ(language, 1);
    // Only the start-up refresh so far: no setting stored means the entries are on.
    EXPECT_EQ(integration, (std::vector<std::pair<bool, bool>>{{true, false}}));
    acceptLanguage = true;
    Click(kIdLangBtn);
    // An accepted language removes the entries without touching the setting.
    EXPECT_EQ(integration, (std::vector<std::pair<bool, bool>>{{true, false}, {false, false}}));

    Click(kIdMinimizeBtn);
    EXPECT_TRUE(IsIconic(m_frame->Handle()));
    ShowWindow(m_frame->Handle(), SW_RESTORE);

    HWND window = m_frame->Handle();
    Click(kIdCloseBtn);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }, 5000));
}

// The windows of this thread that get a taskbar button: visible, top-level, unowned or marked for
// the taskbar, and no tool window.
BOOL CALLBACK AddIfOnTaskbar(HWND window, LPARAM list)
{
    const LONG_PTR ex = GetWindowLongPtrW(window, GWL_EXSTYLE);
    const bool owned = GetWindow(window, GW_OWNER) != nullptr;
    if (IsWindowVisible(window) && !(ex & WS_EX_TOOLWINDOW) && (!owned || (ex & WS_EX_APPWINDOW)))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> TaskbarWindows()
{
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), &AddIfOnTaskbar, reinterpret_cast<LPARAM>(&found));
    return found;
}

TEST_F(FrameTest, TaskbarShowsTheApplicationTitleInEveryLanguageAndMinimisesTheWhole)
{
    controls::ApplicationWindow application;
    ASSERT_TRUE(application.Create("Pelion Info Find File"));
    m_application = &application;
    Open("DE");
    HWND frame = m_frame->Handle();
    EXPECT_EQ(controls::WindowText(frame), ModuleText("DE", t::kMainCaption));
    const std::vector<HWND> buttons = TaskbarWindows();
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(buttons[0], application.Handle());
    EXPECT_EQ(controls::WindowText(buttons[0]), "Pelion Info Find File");

    Click(kIdMinimizeBtn);
    EXPECT_TRUE(IsIconic(frame));
    EXPECT_TRUE(IsIconic(application.Handle()));
    // The taskbar button restores the whole: the window comes back as it was, and active.
    SendMessageW(application.Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    Pump();
    EXPECT_FALSE(IsIconic(application.Handle()));
    EXPECT_FALSE(IsIconic(frame));
    EXPECT_TRUE(IsWindowVisible(frame));
    // Activation comes back through the X server's focus events, which a busy display delivers late.
    EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == frame; }, 3000)) << GetActiveWindow();

    // Closing from the taskbar closes the window.
    SendMessageW(application.Handle(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(frame); }, 5000));
    m_application = nullptr;
}

TEST_F(FrameTest, HandPointerOverThePanelButNotInTextFieldsOrTheList)
{
    Open();
    auto pointer = [&](int id) {
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        const LRESULT handled = SendMessageW(m_frame->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(C(id)),
                                             MAKELPARAM(HTCLIENT, 0));
        return handled && GetCursor() == LoadCursorW(nullptr, IDC_HAND);
    };
    EXPECT_TRUE(pointer(kIdLabel1));
    EXPECT_TRUE(pointer(kIdHeader1Page));
    EXPECT_TRUE(pointer(kIdFlatCheckBox5));
    EXPECT_TRUE(pointer(kIdFindfilesbtn));
    EXPECT_FALSE(pointer(kIdLMDEdit1));
    EXPECT_FALSE(pointer(kIdLV1));
}

TEST_F(FrameTest, StartUpBringsTheExplorerEntriesInLineWithTheSetting)
{
    std::vector<std::pair<bool, bool>> integration;
    m_hooks.setincontext = [&](bool install, bool store) { integration.emplace_back(install, store); };
    for (int stored : {0, 1, 256, 257})
    {
        settings::WriteIniInteger(settings::SettingsFilePath(), "Settings", "InContextMenu", stored);
        integration.clear();
        Open();
        // Only the lowest byte counts.
        EXPECT_EQ(integration, (std::vector<std::pair<bool, bool>>{{(stored & 0xFF) != 0, false}})) << stored;
        m_frame.reset();
    }
    WritePrivateProfileStringW(L"Settings", L"InContextMenu", nullptr,
                               platform::Widen(settings::SettingsFilePath()).c_str());
}

TEST_F(FrameTest, TopStripButtonsShowTheirHoverPicture)
{
    Open();
    HWND about = C(kIdAboutBtn);
    RECT rect;
    GetWindowRect(about, &rect);
    EXPECT_EQ(rect.right - rect.left, 90);
    EXPECT_EQ(rect.bottom - rect.top, 19);
    SendMessageW(about, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(reinterpret_cast<controls::FlatButton*>(GetWindowLongPtrW(about, GWLP_USERDATA))->Hovered());
    SendMessageW(about, WM_KILLFOCUS, 0, 0);
    EXPECT_FALSE(reinterpret_cast<controls::FlatButton*>(GetWindowLongPtrW(about, GWLP_USERDATA))->Hovered());
}

} // namespace
} // namespace uitest
