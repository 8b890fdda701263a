#pragma once
// A main window built in the test process: language modules copied into a folder of the test's
// own, the real Win32 finder services, a clock the test sets, and helpers that pump messages.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include "controls/Window.h"
#include "platform/Win32FileSystem.h"
#include "platform/Win32LocalTime.h"
#include "platform/Win32SyncCall.h"
#include "platform/Win32ThreadControl.h"
#include "ui/main/FindfileFrm.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace uitest
{

class TestClock : public ui::Clock
{
public:
    platform::CalendarTime now{2026, 3, 15, 14, 30, 0, 0};
    platform::CalendarTime Now() const override { return now; }
};

// Serves posted messages (and the finder's synchronized calls) until pred holds or ms pass.
bool PumpUntil(const std::function<bool()>& pred, int ms = 20000);
void Pump();

// A scratch folder under the temp folder, removed with everything in it.
class TempFolder
{
public:
    explicit TempFolder(const std::string& name);
    ~TempFolder();
    const std::string& Path() const { return m_path; }
    std::string Add(const std::string& relative, const std::string& content = "x");

private:
    std::string m_path;
};

// The text of a string resource read straight from a language module.
std::string ModuleText(const std::string& code, int id);

class FrameTest : public ::testing::Test
{
public:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

protected:
    void TearDown() override;
    // Chooses the language module (settings file) and builds a visible window.
    ui::TFindfileFrm& Open(const std::string& language = "EN",
                           std::optional<std::string> firstArgument = std::nullopt);
    HWND C(int id) const { return m_frame->Control(id); }
    std::string Text(int id) const { return controls::WindowText(C(id)); }
    void Click(int id);
    void ClickSection(int section);
    // The top of a control in the coordinates of its parent.
    int Top(int id) const;
    int Top(HWND hwnd) const;
    bool Visible(int id) const { return IsWindowVisible(C(id)) != FALSE; }
    int Rows() const { return ListView_GetItemCount(C(ui::kIdLV1)); }
    std::string Cell(int row, int column) const;
    std::string Lang(int id) const;
    void WaitForIdle();

    TestClock m_clock;
    std::vector<std::pair<std::string, std::string>> m_errorBoxes;
    ui::FrameHooks m_hooks;
    ui::FileRowActions m_fileRowActions;
    ui::NetworkPanelServices m_networkServices;
    controls::ApplicationWindow* m_application = nullptr; // the window's owner, as the program has it
    bool m_keepPlace = false; // the window's place is read at the start and kept at the close
    std::unique_ptr<ui::TFindfileFrm> m_frame;

    static std::string s_folder;
    static platform::Win32FileSystem* s_fileSystem;
    static platform::Win32LocalTime* s_localTime;
    static platform::Win32SyncCall* s_syncCall;
    static platform::Win32ThreadControl* s_threads;
};

} // namespace uitest
