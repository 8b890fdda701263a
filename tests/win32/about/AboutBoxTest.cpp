// The About box as a window: what it shows from a version block and the settings file, its links
// and its modal life.
#include "about/AboutContent.h"
#include "about/DlgAbout.h"
#include "about/VersionInfoWin32.h"
#include "platform/UniqueHandle.h"
#include "tests/win32/lang/ProgramFolder.h"
#include "tests/win32/support/DialogWatcher.h"

#include <gtest/gtest.h>

using namespace about;
using testing_support::DialogWatcher;
using testing_support::TextOf;

namespace
{

class AboutBox : public ::testing::Test
{
protected:
    // The program is a copy of one of the test libraries; its settings say RunLang.
    void Program(const std::string& library, const char* runLang)
    {
        ASSERT_TRUE(m_program.CopyAs(library, "Finder.exe"));
        if (runLang)
            WritePrivateProfileStringW(L"Options", L"RunLang", platform::Widen(runLang).c_str(),
                                       platform::Widen(m_program.Ini()).c_str());
    }
    TDlgAbout& Filled()
    {
        m_dialog = std::make_unique<TDlgAbout>(nullptr);
        m_dialog->Create();
        EXPECT_TRUE(m_dialog->SetDlg());
        return *m_dialog;
    }
    std::string Text(int id) const { return TextOf(m_dialog->Control(id)); }
    RECT Place(int id) const
    {
        RECT rect;
        GetWindowRect(m_dialog->Control(id), &rect);
        MapWindowPoints(nullptr, m_dialog->Handle(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    std::string Hint(int id) const
    {
        wchar_t text[256] = {};
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = m_dialog->Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(m_dialog->Control(id));
        tool.lpszText = text;
        SendMessageW(m_dialog->Tooltip(), TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
        return platform::Narrow(text);
    }
    std::vector<int> ShownFlags() const
    {
        std::vector<int> shown;
        for (int id = kIdImageEN; id <= kIdImageRUS; ++id)
            if (GetWindowLongW(m_dialog->Control(id), GWL_STYLE) & WS_VISIBLE)
                shown.push_back(id);
        return shown;
    }

    testing_support::ProgramFolder m_program;
    std::unique_ptr<TDlgAbout> m_dialog;
};

// Records what the links ask the shell to open; fails on request.
struct ShellRecorder
{
    std::vector<std::string> targets;
    DWORD failWith = 0;
    ShellRecorder()
    {
        SetShellOpenForTests([this](const std::string& target) {
            targets.push_back(target);
            SetLastError(failWith);
            return failWith == 0;
        });
    }
    ~ShellRecorder() { SetShellOpenForTests(nullptr); }
};

// A key pressed and let go, as the keyboard sends it.
void Press(WORD key)
{
    INPUT input[2] = {};
    for (INPUT& event : input)
    {
        event.type = INPUT_KEYBOARD;
        event.ki.wVk = key;
    }
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

bool g_closedByTimer = false;

void CALLBACK CloseByTimer(HWND dialog, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(dialog, timer);
    g_closedByTimer = true;
    PostMessageW(dialog, WM_CLOSE, 0, 0);
}

void DoubleClick(HWND window)
{
    const LPARAM at = MAKELPARAM(2, 2);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
    SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
}

} // namespace

TEST_F(AboutBox, RunningLanguageChoosesFlagAndCaption)
{
    struct Row
    {
        const char* runLang;
        int flag;
        const char* caption;
    } rows[] = {
        {"de", kIdImageDE,
         "\xC3\x9C"
         "ber Applikacion"},
        {"CSY", kIdImageCSY, "O Aplikaci"},
        {"ES", kIdImageES, "Sobre aplicati\xC3\xB3n"},
        {"rus", kIdImageRUS, "About"},
        {"<Error>", kIdImageEN, "About"},
        {"PT", kIdImageEN, "About"},
    };
    for (const Row& row : rows)
    {
        Program("ff_ver_Two.dll", row.runLang);
        TDlgAbout& dialog = Filled();
        EXPECT_EQ(TextOf(dialog.Handle()), row.caption) << row.runLang;
        EXPECT_EQ(ShownFlags(), std::vector<int>{row.flag}) << row.runLang;
    }
    // No settings file at all: English.
    DeleteFileW(platform::Widen(m_program.Ini()).c_str());
    Filled();
    EXPECT_EQ(TextOf(m_dialog->Handle()), "About");
    EXPECT_EQ(ShownFlags(), std::vector<int>{kIdImageEN});
}

TEST_F(AboutBox, ShowsTheVersionBlockWithHintsAndTheMakersLinks)
{
    Program("ff_ver_Two.dll", "EN");
    TDlgAbout& dialog = Filled();
    RECT client;
    GetClientRect(dialog.Handle(), &client);
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 281);
    EXPECT_EQ(Text(kIdLabelName), "SixteenCharsName");
    EXPECT_EQ(Hint(kIdLabelName), "English comments");
    EXPECT_EQ(Text(kIdLabelVer), "2.3");
    EXPECT_EQ(Hint(kIdLabelVer), "Build:  2.3.4.5");
    EXPECT_EQ(Place(kIdLabelVer).right, 195);
    EXPECT_EQ(Place(kIdLabelVer).top, 199);
    EXPECT_EQ(Text(kIdLabelCopyr1), "Copyright English");
    EXPECT_EQ(Text(kIdLabel1), "WWW:");
    EXPECT_EQ(Text(kIdLabel2), "E-mail:");
    EXPECT_EQ(Text(kIdLabelWww), kMakerWebAddress);
    EXPECT_EQ(Text(kIdLabelMail), kMakerMailAddress);
    // Sixteen characters: the smaller font, lower down.
    const RECT sixteen = Place(kIdLabelName);
    EXPECT_EQ(sixteen.top, 198);

    Program("ff_ver_Short.dll", "EN");
    Filled();
    EXPECT_EQ(Text(kIdLabelName), "FifteenCharName");
    const RECT fifteen = Place(kIdLabelName);
    EXPECT_EQ(fifteen.left, 4);
    EXPECT_EQ(fifteen.top, 194);
    EXPECT_GT(fifteen.bottom - fifteen.top, sixteen.bottom - sixteen.top);
}

TEST_F(AboutBox, TheProgramsOwnTextsFitTheirLabels)
{
    Program("FindFile.exe", "EN");
    Filled();
    for (int id : {kIdLabelName, kIdLabelVer, kIdLabelCopyr1, kIdLabelWww, kIdLabelMail})
    {
        HWND label = m_dialog->Control(id);
        const std::wstring text = platform::Widen(Text(id));
        ASSERT_FALSE(text.empty()) << id;
        RECT client, needed;
        GetClientRect(label, &client);
        needed = client;
        {
            const platform::WindowDC dc(label);
            const platform::SelectedObject fontIn(
                dc.Get(), reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
            DrawTextW(dc.Get(), text.c_str(), -1, &needed, DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK);
        }
        EXPECT_LE(needed.right, client.right) << Text(id);
        EXPECT_LE(needed.bottom, client.bottom) << Text(id);
        // The legal notice's label reaches into the links' row: its text must end above it.
        if (id == kIdLabelCopyr1)
        {
            EXPECT_LE(Place(id).top + needed.bottom, Place(kIdLabelWww).top) << Text(id);
        }
    }
}

TEST_F(AboutBox, WithoutVersionBlockTheFieldsAreEmpty)
{
    Program("ff_ver_Bare.dll", "EN");
    Filled();
    EXPECT_EQ(Text(kIdLabelName), "");
    EXPECT_EQ(Text(kIdLabelVer), "");
    EXPECT_EQ(Text(kIdLabelCopyr1), "");
    EXPECT_EQ(Hint(kIdLabelVer), "Build:  ");
}

TEST_F(AboutBox, EachLinkOpensItsOwnTargetOncePerClickOrDoubleClick)
{
    Program("ff_ver_Two.dll", "EN");
    TDlgAbout& dialog = Filled();
    ShellRecorder shell;
    DoubleClick(dialog.Control(kIdLabelWww));
    EXPECT_EQ(shell.targets, std::vector<std::string>{"http://pelioninfo.example"});
    shell.targets.clear();
    DoubleClick(dialog.Control(kIdLabelMail));
    EXPECT_EQ(shell.targets, std::vector<std::string>{"mailto:support@pelioninfo.example"});
    shell.targets.clear();
    SendMessageW(dialog.Control(kIdLabelWww), BM_CLICK, 0, 0);
    EXPECT_EQ(shell.targets, std::vector<std::string>{"http://pelioninfo.example"});
    // A press that ends outside the link is no click.
    shell.targets.clear();
    SendMessageW(dialog.Control(kIdLabelMail), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(dialog.Control(kIdLabelMail), WM_LBUTTONUP, 0, MAKELPARAM(500, 2));
    EXPECT_TRUE(shell.targets.empty());
}

TEST_F(AboutBox, ALinkTheShellRefusesIsReportedWithTheSystemsText)
{
    ShellRecorder shell;
    shell.failWith = ERROR_FILE_NOT_FOUND;
    DialogWatcher watcher;
    EXPECT_FALSE(OpenWebPage(nullptr, "pelioninfo.example"));
    ASSERT_EQ(watcher.Boxes().size(), 1u);
    EXPECT_EQ(watcher.Boxes()[0].caption, "Pelion Info Find File");
    EXPECT_EQ(watcher.Boxes()[0].text, ShellExecuteErrorText(2, SysErrorText(2)));
    // An empty address is no request at all.
    shell.targets.clear();
    EXPECT_TRUE(OpenMailTo(nullptr, ""));
    EXPECT_TRUE(shell.targets.empty());
}

TEST_F(AboutBox, ShowAboutIsModalAndEndsWithTheCloseBox)
{
    Program("ff_ver_Two.dll", "DE");
    HWND owner =
        CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DialogWatcher watcher;
    bool ownerWasDisabled = false;
    std::string caption;
    watcher.OnWindow(TDlgAbout::kClassName, [&](HWND dialog) {
        ownerWasDisabled = !IsWindowEnabled(owner);
        caption = TextOf(dialog);
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(TCorvaneAbout(owner).ShowAbout(), kResultClosed);
    EXPECT_TRUE(ownerWasDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(caption, "\xC3\x9C"
                       "ber Applikacion");
    EXPECT_TRUE(watcher.Boxes().empty());
    EXPECT_FALSE(FindWindowW(TDlgAbout::kClassName, nullptr));
    DestroyWindow(owner);
}

// The keyboard alone: Tab goes from one link to the other, Enter and Space open them, and
// Escape closes the box.
TEST_F(AboutBox, TheKeyboardReachesAndOpensBothLinksAndEscapeCloses)
{
    Program("ff_ver_Two.dll", "EN");
    HWND owner =
        CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ShellRecorder shell;
    DialogWatcher watcher;
    std::vector<int> tabStops;
    g_closedByTimer = false;
    watcher.OnWindow(TDlgAbout::kClassName, [&](HWND dialog) {
        const HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
        for (HWND at = first; at && tabStops.size() < 10;)
        {
            tabStops.push_back(GetDlgCtrlID(at));
            at = GetNextDlgTabItem(dialog, at, FALSE);
            if (at == first)
                break;
        }
        SetForegroundWindow(dialog);
        SetFocus(GetDlgItem(dialog, kIdLabelWww));
        // The keys wait in the queue for the box's own loop.
        for (WORD key : {VK_RETURN, VK_TAB, VK_SPACE, VK_ESCAPE})
            Press(key);
        SetTimer(dialog, 1, 5000, &CloseByTimer);
    });
    EXPECT_EQ(TCorvaneAbout(owner).ShowAbout(), kResultClosed);
    EXPECT_FALSE(g_closedByTimer) << "Escape did not close the box";
    EXPECT_EQ(tabStops, (std::vector<int>{kIdLabelWww, kIdLabelMail}));
    EXPECT_EQ(shell.targets,
              (std::vector<std::string>{"http://pelioninfo.example", "mailto:support@pelioninfo.example"}));
    DestroyWindow(owner);
}
