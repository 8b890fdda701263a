// The control set in a window of its own: flat buttons, the side bar, the spin edit and the
// error box of the window base.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include "controls/FlatButton.h"
#include "controls/ImageCombo.h"
#include "controls/SideBar.h"
#include "controls/SpinEdit.h"
#include "controls/Window.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{

// A top-level window that records the commands it receives and throws on request.
class Host : public controls::Window
{
public:
    std::vector<std::pair<int, int>> commands;
    std::string throwText;

    Host()
    {
        RegisterWindowClass(L"FFControlsTestHost", nullptr);
        CreateWin(0, L"FFControlsTestHost", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 500,
                  nullptr, 0);
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_COMMAND)
        {
            commands.emplace_back(LOWORD(wParam), HIWORD(wParam));
            return 0;
        }
        if (msg == WM_APP && !throwText.empty())
        {
            throw std::runtime_error(throwText);
        }
        return Window::HandleMessage(msg, wParam, lParam);
    }
};

class ControlsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_USEREX_CLASSES};
        InitCommonControlsEx(&icc);
    }
    void TearDown() override { controls::SetErrorBoxHook({}); }
    Host host;
};

TEST_F(ControlsTest, FlatButtonClicksAndHovers)
{
    controls::FlatButton button;
    button.Create(host.Handle(), 42, 10, 10, 90, 19);
    controls::SetWindowTextUtf8(button.Handle(), "Zavřít");
    EXPECT_EQ(controls::WindowText(button.Handle()), "Zavřít");

    SendMessageW(button.Handle(), BM_CLICK, 0, 0);
    // A press released inside clicks; one released outside does not.
    SendMessageW(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(button.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    SendMessageW(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(button.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(200, 5));
    // A release without a press (the press began elsewhere) does not click either.
    SendMessageW(button.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(host.commands.size(), 2u);
    EXPECT_EQ(host.commands[0], std::make_pair(42, static_cast<int>(BN_CLICKED)));

    EXPECT_FALSE(button.Hovered());
    SendMessageW(button.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(button.Hovered());
    SendMessageW(button.Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(button.Hovered());

    button.SetPicture(L"BITMAP1");
    EXPECT_EQ(button.PictureName(), L"BITMAP1");
}

TEST_F(ControlsTest, FlatButtonAnswersAsAStandardPushButton)
{
    controls::FlatButton first, second;
    first.Create(host.Handle(), 51, 10, 40, 73, 25);
    second.Create(host.Handle(), 52, 90, 40, 73, 25);
    controls::SetWindowTextUtf8(first.Handle(), "OK");
    wchar_t text[16] = {};
    EXPECT_EQ(SendMessageW(first.Handle(), WM_GETTEXT, 16, reinterpret_cast<LPARAM>(text)), 2);
    EXPECT_STREQ(text, L"OK");
    EXPECT_EQ(SendMessageW(first.Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SendMessageW(first.Handle(), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageW(first.Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED) << "a push button has no check";

    // A mouse press takes the focus; only the focused button is the one Enter presses.
    SetForegroundWindow(host.Handle());
    SendMessageW(second.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(second.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(GetFocus(), second.Handle());
    EXPECT_EQ(SendMessageW(second.Handle(), BM_GETSTATE, 0, 0) & BST_FOCUS, BST_FOCUS);
    EXPECT_EQ(SendMessageW(second.Handle(), WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    EXPECT_EQ(SendMessageW(first.Handle(), WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    host.commands.clear();

    // Space: pressed while down, a click on release; Enter is left to the dialog manager.
    SendMessageW(second.Handle(), WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_EQ(SendMessageW(second.Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED, BST_PUSHED);
    EXPECT_TRUE(host.commands.empty());
    SendMessageW(second.Handle(), WM_KEYUP, VK_SPACE, 0xC0000001);
    SendMessageW(second.Handle(), WM_KEYUP, VK_SPACE, 0xC0000001);
    SendMessageW(second.Handle(), WM_KEYUP, VK_RETURN, 0xC0000001);
    EXPECT_EQ(host.commands, (std::vector<std::pair<int, int>>{{52, BN_CLICKED}}));

    MSG enter{};
    enter.hwnd = second.Handle();
    enter.message = WM_KEYDOWN;
    enter.wParam = VK_RETURN;
    enter.lParam = 1;
    EXPECT_TRUE(IsDialogMessageW(host.Handle(), &enter));
    EXPECT_EQ(host.commands.back(), std::make_pair(52, static_cast<int>(BN_CLICKED)));
}

TEST_F(ControlsTest, SideBarShowsTheActivePageBetweenTheStrips)
{
    controls::SideBar bar;
    bar.Create(host.Handle(), 1, RECT{0, 0, 232, 400}, host.Handle());
    bar.AddHeader(11, 12);
    bar.AddHeader(21, 22);
    std::vector<int> clicks;
    bar.OnHeaderClick = [&](int index) { clicks.push_back(index); };
    auto top = [&](HWND hwnd) {
        RECT rect;
        GetWindowRect(hwnd, &rect);
        MapWindowPoints(HWND_DESKTOP, bar.Handle(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    RECT client;
    GetClientRect(bar.Handle(), &client);

    EXPECT_EQ(bar.Active(), 0);
    EXPECT_TRUE(IsWindowVisible(bar.Page(0).Handle()));
    EXPECT_FALSE(IsWindowVisible(bar.Page(1).Handle()));
    EXPECT_EQ(top(bar.Strip(0)).top, 0);
    EXPECT_EQ(top(bar.Page(0).Handle()).top, 18);
    EXPECT_EQ(top(bar.Strip(1)).top, client.bottom - 18);
    EXPECT_EQ(top(bar.Page(0).Handle()).bottom, client.bottom - 18);

    SendMessageW(bar.Strip(1), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    EXPECT_EQ(bar.Active(), 1);
    EXPECT_EQ(clicks, std::vector<int>{1});
    EXPECT_FALSE(IsWindowVisible(bar.Page(0).Handle()));
    EXPECT_TRUE(IsWindowVisible(bar.Page(1).Handle()));
    EXPECT_EQ(top(bar.Strip(1)).top, 18);
    EXPECT_EQ(top(bar.Page(1).Handle()).top, 36);
    EXPECT_EQ(top(bar.Page(1).Handle()).bottom, client.bottom);

    // A click on the active strip is reported too.
    SendMessageW(bar.Strip(1), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    EXPECT_EQ(clicks, (std::vector<int>{1, 1}));

    // The page's bare face reports its own clicks; its children's commands reach the sink.
    int background = 0;
    bar.Page(1).OnBackgroundClick = [&] { ++background; };
    SendMessageW(bar.Page(1).Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 30));
    EXPECT_EQ(background, 1);
    HWND child = CreateWindowExW(0, L"BUTTON", L"x", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20,
                                 bar.Page(1).Handle(), reinterpret_cast<HMENU>(77), nullptr, nullptr);
    SendMessageW(child, BM_CLICK, 0, 0);
    ASSERT_FALSE(host.commands.empty());
    EXPECT_EQ(host.commands.back().first, 77);
}

TEST_F(ControlsTest, SpinEditKeepsItsRange)
{
    controls::SpinEdit spin;
    spin.Create(host.Handle(), 5, 10, 10, 80, 22, 0, 1000000);
    EXPECT_EQ(spin.Value(), 0);
    SetWindowTextW(spin.Edit(), L"1234");
    EXPECT_EQ(spin.Value(), 1234);
    SetWindowTextW(spin.Edit(), L"99999999999999");
    EXPECT_EQ(spin.Value(), 1000000);
    SetWindowTextW(spin.Edit(), L"");
    EXPECT_EQ(spin.Value(), 0);
    spin.SetValue(2000000);
    EXPECT_EQ(spin.Value(), 1000000);
    EXPECT_EQ(SendMessageW(spin.Arrows(), UDM_GETPOS32, 0, 0), 1000000);
    spin.Enable(false);
    EXPECT_FALSE(IsWindowEnabled(spin.Edit()));
    EXPECT_FALSE(IsWindowEnabled(spin.Arrows()));
}

TEST_F(ControlsTest, ImageComboHoldsEntriesAndTypedText)
{
    controls::ImageCombo combo;
    combo.Create(host.Handle(), 6, 10, 10, 200, 200);
    combo.Add("C:\\", 0);
    combo.Add("Плоха", 1);
    EXPECT_EQ(combo.Count(), 2);
    EXPECT_EQ(combo.ItemText(1), "Плоха");
    combo.Select(1);
    EXPECT_EQ(combo.Selected(), 1);
    EXPECT_EQ(combo.Text(), "Плоха");
    combo.SetText("D:\\typed");
    EXPECT_EQ(combo.Text(), "D:\\typed");
}

TEST_F(ControlsTest, ExceptionInAHandlerEndsOnlyThatHandlerInTheErrorBox)
{
    std::vector<std::pair<std::string, std::string>> boxes;
    controls::SetErrorBoxHook(
        [&](const std::string& caption, const std::string& text) { boxes.emplace_back(caption, text); });
    host.throwText = "Cannot search there";
    SendMessageW(host.Handle(), WM_APP, 0, 0);
    host.throwText = "Stopped.";
    SendMessageW(host.Handle(), WM_APP, 0, 0);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].first, "Pelion Info Find File");
    EXPECT_EQ(boxes[0].second, "Cannot search there.");
    EXPECT_EQ(boxes[1].second, "Stopped.");
    // The window lives on and handles the next message.
    EXPECT_TRUE(IsWindow(host.Handle()));
    SendMessageW(host.Handle(), WM_COMMAND, MAKEWPARAM(9, 0), 0);
    EXPECT_EQ(host.commands.back().first, 9);
}

} // namespace
