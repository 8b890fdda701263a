// The language dialog as the user meets it: which flags can be pressed, which one is, what OK,
// Cancel and the close box store, the restart question, and one dialog at a time.
#include "lang/Languagesettings.h"
#include "settings/SettingsFile.h"
#include "tests/win32/lang/ProgramFolder.h"
#include "tests/win32/support/DialogWatcher.h"
#include "tests/win32/support/ProcessWindow.h"
#include "ui/main/FindfileFrm.h"

#include <gtest/gtest.h>
#include <set>

using namespace lang;
using testing_support::DialogWatcher;
using testing_support::ProcessWindow;
using testing_support::TextOf;
using testing_support::WaitForProcessWindow;

namespace
{

const char* const kLabels[7] = {"CZ", "DE", "EN", "ES", "FR", "IT", "RU"};

struct Seen
{
    std::string caption;
    SIZE client{};
    std::vector<std::string> enabled;
    std::vector<std::string> pressed;
    std::vector<std::string> buttonTexts;
    std::vector<std::string> labelTexts;
    std::string ok, cancel;
    bool ran = false;
};

class LanguageDialog : public ::testing::Test
{
protected:
    void Store(const char* language)
    {
        WritePrivateProfileStringW(L"Options", L"Language",
                                   language ? platform::Widen(language).c_str() : nullptr,
                                   platform::Widen(m_program.Ini()).c_str());
    }
    std::string Stored()
    {
        std::string value;
        return settings::ReadIniString(m_program.Ini(), "Options", "Language", value) ? value : "<absent>";
    }
    static HWND Flag(HWND dialog, int index)
    {
        return controls::FindControl(dialog, kIdSpeedButton1 + index);
    }
    static Seen Look(HWND dialog)
    {
        Seen seen;
        seen.ran = true;
        seen.caption = TextOf(dialog);
        RECT client;
        GetClientRect(dialog, &client);
        seen.client = {client.right, client.bottom};
        for (int i = 0; i < 7; ++i)
        {
            HWND flag = Flag(dialog, i);
            if (IsWindowEnabled(flag))
                seen.enabled.push_back(kLabels[i]);
            if (SendMessageW(flag, BM_GETCHECK, 0, 0) == BST_CHECKED)
                seen.pressed.push_back(kLabels[i]);
            seen.buttonTexts.push_back(TextOf(flag));
            seen.labelTexts.push_back(TextOf(controls::FindControl(dialog, kIdLabelCZ + i)));
        }
        seen.ok = TextOf(controls::FindControl(dialog, kIdSpeedButton8));
        seen.cancel = TextOf(controls::FindControl(dialog, kIdSpeedButton9));
        return seen;
    }
    // Opens the dialog; inDialog acts in it (posting its final click), message boxes get answer.
    bool Run(const std::function<void(HWND)>& inDialog, int answer = IDNO, HWND owner = nullptr)
    {
        DialogWatcher watcher;
        watcher.Answer(answer);
        watcher.OnWindow(TLanguagesettings::kClassName, inDialog);
        const bool result = ShowLanguageSettings(owner);
        m_boxes = watcher.Boxes();
        return result;
    }
    static void Post(HWND dialog, int id) { PostMessageW(controls::FindControl(dialog, id), BM_CLICK, 0, 0); }

    testing_support::ProgramFolder m_program;
    std::vector<DialogWatcher::Box> m_boxes;
};

} // namespace

TEST_F(LanguageDialog, OnlyLanguagesWithAModuleCanBePressedAndTheStoredOneIsDown)
{
    ASSERT_TRUE(m_program.AddModule("EN"));
    ASSERT_TRUE(m_program.AddModule("DE"));
    Store("DE");
    Seen seen;
    std::vector<std::string> afterDisabledClick;
    EXPECT_FALSE(Run([&](HWND dialog) {
        seen = Look(dialog);
        SendMessageW(Flag(dialog, 3), BM_CLICK, 0, 0); // ES has no module
        afterDisabledClick = Look(dialog).pressed;
        Post(dialog, kIdSpeedButton9);
    }));
    ASSERT_TRUE(seen.ran);
    EXPECT_EQ(seen.caption, "Languagesettings");
    EXPECT_EQ(seen.client.cx, 169);
    EXPECT_EQ(seen.client.cy, 224);
    EXPECT_EQ(seen.enabled, (std::vector<std::string>{"DE", "EN"}));
    EXPECT_EQ(seen.pressed, std::vector<std::string>{"DE"});
    EXPECT_EQ(afterDisabledClick, std::vector<std::string>{"DE"});
    EXPECT_EQ(seen.buttonTexts, std::vector<std::string>(kLabels, kLabels + 7));
    EXPECT_EQ(seen.labelTexts, std::vector<std::string>(kLabels, kLabels + 7));
    EXPECT_EQ(seen.ok, "Ok");
    EXPECT_EQ(seen.cancel, "Cancel");
    // Cancel stores nothing and asks nothing.
    EXPECT_EQ(Stored(), "DE");
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(LanguageDialog, WithoutAStoredLanguageEnglishIsWrittenAtOnceAndPressed)
{
    // No module at all: every flag is disabled, the stored one pressed all the same.
    std::string storedWhileOpen;
    Seen seen;
    EXPECT_FALSE(Run([&](HWND dialog) {
        seen = Look(dialog);
        storedWhileOpen = Stored();
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    }));
    EXPECT_EQ(storedWhileOpen, "EN");
    EXPECT_TRUE(seen.enabled.empty());
    EXPECT_EQ(seen.pressed, std::vector<std::string>{"EN"});
    // The close box stores nothing and lets the dialog open again.
    Store("FR");
    Seen again;
    EXPECT_FALSE(Run([&](HWND dialog) {
        again = Look(dialog);
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    }));
    EXPECT_TRUE(again.ran);
    EXPECT_EQ(again.pressed, std::vector<std::string>{"FR"});
    EXPECT_EQ(Stored(), "FR");
}

TEST_F(LanguageDialog, AStoredCodeInOtherCasePressesNothingAndOkStoresEmpty)
{
    ASSERT_TRUE(m_program.AddModule("DE"));
    Store("de");
    Seen seen;
    EXPECT_FALSE(Run([&](HWND dialog) {
        seen = Look(dialog);
        Post(dialog, kIdSpeedButton8);
    }));
    EXPECT_TRUE(seen.pressed.empty());
    EXPECT_EQ(Stored(), "");
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text,
              "Changing language will take effect after you restart the application.Would You like to exit?");
    EXPECT_EQ(m_boxes[0].buttons, (std::vector<int>{IDYES, IDNO}));
}

TEST_F(LanguageDialog, PressingAFlagReleasesTheOthersAndOkStoresItsCode)
{
    for (const char* code : {"EN", "CSY", "RUS"})
        ASSERT_TRUE(m_program.AddModule(code));
    Store("EN");
    std::vector<std::string> afterCz, afterCzAgain;
    EXPECT_FALSE(Run([&](HWND dialog) {
        SendMessageW(Flag(dialog, 0), BM_CLICK, 0, 0);
        afterCz = Look(dialog).pressed;
        SendMessageW(Flag(dialog, 0), BM_CLICK, 0, 0);
        afterCzAgain = Look(dialog).pressed;
        Post(dialog, kIdSpeedButton8);
    }));
    EXPECT_EQ(afterCz, std::vector<std::string>{"CZ"});
    EXPECT_EQ(afterCzAgain, std::vector<std::string>{"CZ"});
    EXPECT_EQ(Stored(), "CSY");

    EXPECT_FALSE(Run([&](HWND dialog) {
        SendMessageW(Flag(dialog, 6), BM_CLICK, 0, 0);
        Post(dialog, kIdSpeedButton8);
    }));
    EXPECT_EQ(Stored(), "RUS");
    EXPECT_FALSE(FindWindowW(TLanguagesettings::kClassName, nullptr));
}

TEST_F(LanguageDialog, OneDialogAtATime)
{
    bool nested = true;
    bool sawDialog = false;
    EXPECT_FALSE(Run([&](HWND dialog) {
        sawDialog = true;
        nested = ShowLanguageSettings(nullptr);
        Post(dialog, kIdSpeedButton9);
    }));
    EXPECT_TRUE(sawDialog);
    EXPECT_FALSE(nested);
}

TEST_F(LanguageDialog, OkThenYesRequestsTheRestartAndTheEndOfTheProgram)
{
    ASSERT_TRUE(m_program.AddModule("DE"));
    Store("EN");
    HWND owner =
        CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    bool ownerDisabled = false;
    EXPECT_TRUE(Run(
        [&](HWND dialog) {
            ownerDisabled = !IsWindowEnabled(owner);
            SendMessageW(Flag(dialog, 1), BM_CLICK, 0, 0);
            Post(dialog, kIdSpeedButton8);
        },
        IDYES, owner));
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(Stored(), "DE");
    EXPECT_TRUE(RestartRequested());
    // The dialog stays up behind its question, and is gone once the answer is given.
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].ownerClass, TLanguagesettings::kClassName);
    EXPECT_TRUE(m_boxes[0].ownerShown);
    EXPECT_EQ(FindWindowW(TLanguagesettings::kClassName, nullptr), nullptr);
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, owner, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    DestroyWindow(owner);
}

namespace
{
bool g_closedByTimer = false;
void CALLBACK CloseByTimer(HWND dialog, UINT, UINT_PTR, DWORD)
{
    g_closedByTimer = true;
    PostMessageW(dialog, WM_CLOSE, 0, 0);
}
} // namespace

TEST_F(LanguageDialog, EscapeTypedInTheOpenDialogClosesItLikeCancel)
{
    ASSERT_TRUE(m_program.AddModule("EN"));
    ASSERT_TRUE(m_program.AddModule("DE"));
    Store("DE");
    // Opened alone, and from a window whose button had the keyboard focus (as LangBtn has).
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                 nullptr, nullptr, nullptr);
    HWND button = CreateWindowExW(0, L"BUTTON", L"Language", WS_CHILD | WS_VISIBLE, 10, 10, 80, 24, owner,
                                  nullptr, nullptr, nullptr);
    for (HWND from : {HWND{nullptr}, owner})
    {
        if (from)
        {
            SetForegroundWindow(owner);
            SetFocus(button);
        }
        g_closedByTimer = false;
        HWND focus = nullptr;
        HWND opened = nullptr;
        EXPECT_FALSE(Run(
            [&](HWND dialog) {
                opened = dialog;
                focus = GetFocus();
                SendMessageW(Flag(dialog, 2), BM_CLICK, 0, 0); // EN pressed, then given up
                keybd_event(VK_ESCAPE, 0, 0, 0);
                keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
                // Should the key go astray, the dialog still ends, and the test says so.
                SetTimer(dialog, 1, 3000, &CloseByTimer);
            },
            IDNO, from));
        EXPECT_FALSE(g_closedByTimer) << from;
        EXPECT_TRUE(focus == opened || IsChild(opened, focus)) << from;
        EXPECT_EQ(Stored(), "DE");
        EXPECT_TRUE(m_boxes.empty());
    }
    DestroyWindow(owner);
}

namespace
{
void CALLBACK PressOkByTimer(HWND dialog, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(dialog, timer);
    PostMessageW(controls::FindControl(dialog, kIdSpeedButton8), BM_CLICK, 0, 0);
}
} // namespace

TEST_F(LanguageDialog, TabReachesEveryButtonThatActsAndSpaceChoosesALanguage)
{
    ASSERT_TRUE(m_program.AddModule("EN"));
    ASSERT_TRUE(m_program.AddModule("DE"));
    Store("EN");
    std::set<int> reached;
    std::string pressedBeforeOk;
    Run([&](HWND dialog) {
        HWND at = GetNextDlgTabItem(dialog, nullptr, FALSE);
        for (int step = 0; step < 20 && at; ++step, at = GetNextDlgTabItem(dialog, at, FALSE))
            reached.insert(GetDlgCtrlID(at));
        SetFocus(Flag(dialog, 1)); // DE
        keybd_event(VK_SPACE, 0, 0, 0);
        keybd_event(VK_SPACE, 0, KEYEVENTF_KEYUP, 0);
        // The keys go through the dialog's own loop before the timer's OK.
        SetTimer(dialog, 2, 400, &PressOkByTimer);
    });
    // Only the flags with a module act, and both closing buttons.
    EXPECT_EQ(reached,
              (std::set<int>{kIdSpeedButton1 + 1, kIdSpeedButton1 + 2, kIdSpeedButton8, kIdSpeedButton9}));
    EXPECT_EQ(Stored(), "DE");
}

TEST_F(LanguageDialog, YesStartsTheProgramAgainInTheChosenLanguageAndEndsThisOne)
{
    ASSERT_TRUE(m_program.CopyAs("FindFile.exe", "Finder.exe"));
    ASSERT_TRUE(m_program.AddModule("EN"));
    ASSERT_TRUE(m_program.AddModule("DE"));
    Store("EN");
    const std::wstring exe = platform::Widen(m_program.folder / "Finder.exe");
    std::wstring command = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               platform::Widen(m_program.folder.Path()).c_str(), &startup, &process));
    CloseHandle(process.hThread);
    const ProcessWindow first = WaitForProcessWindow(L"TFindfileFrm", 0);
    ASSERT_EQ(first.pid, process.dwProcessId);

    PostMessageW(controls::FindControl(first.window, ui::kIdLangBtn), BM_CLICK, 0, 0);
    const ProcessWindow dialog = WaitForProcessWindow(TLanguagesettings::kClassName, 0);
    ASSERT_NE(dialog.window, nullptr);
    SendMessageW(Flag(dialog.window, 1), BM_CLICK, 0, 0);
    PostMessageW(controls::FindControl(dialog.window, kIdSpeedButton8), BM_CLICK, 0, 0);
    const ProcessWindow question = WaitForProcessWindow(L"#32770", 0);
    ASSERT_EQ(question.pid, process.dwProcessId);
    PostMessageW(question.window, WM_COMMAND, IDYES, 0);

    EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    CloseHandle(process.hProcess);
    const ProcessWindow second = WaitForProcessWindow(L"TFindfileFrm", 0, process.dwProcessId);
    ASSERT_NE(second.window, nullptr);
    EXPECT_EQ(Stored(), "DE");
    const std::string germanCaption = [&] {
        HMODULE german = LoadLibraryExW(platform::Widen(m_program.folder / "FinderDE.dll").c_str(), nullptr,
                                        LOAD_LIBRARY_AS_DATAFILE);
        wchar_t text[64] = {};
        LoadStringW(german, 12, text, 64);
        FreeLibrary(german);
        return platform::Narrow(text);
    }();
    EXPECT_NE(germanCaption, "Language");
    EXPECT_EQ(TextOf(controls::FindControl(second.window, ui::kIdLangBtn)), germanCaption);

    HANDLE again = OpenProcess(SYNCHRONIZE, FALSE, second.pid);
    PostMessageW(second.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(again, 30000), WAIT_OBJECT_0);
    CloseHandle(again);
}
