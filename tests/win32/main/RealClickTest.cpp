// Clicks with the real mouse and keys with the real keyboard (SendInput), as a person makes them:
// the system decides which window a click lands on, so a control that is transparent to the mouse
// hands it to the page behind it, and a key goes to the focused field unless the program's own
// message loop turns it into a command first.
// Runs alone: another test's window on the display could cover the spots clicked.
#include "lang/TextIds.h"
#include "platform/Utf8.h"
#include "settings/SettingsFile.h"
#include "tests/win32/main/FrameFixture.h"
#include "ui/network/NetworkPanel.h"
#include "ui/search/FileSearchPanel.h"

#include <set>

namespace
{

using namespace ui;

class RealClickTest : public uitest::FrameTest
{
protected:
    void OpenBothPanels()
    {
        Open();
        SetForegroundWindow(m_frame->Handle());
        uitest::Pump();
    }
    // A computer row, so that a click that reaches the network page shows by emptying the list.
    void AddComputerRow()
    {
        ResultRow row;
        row.caption = "PC01";
        row.cells = {"10.0.0.1", "WORK", "", "00-0C-29-1A-2B-3C"};
        m_frame->Results().AddRow(std::move(row));
        m_frame->Results().ShowPendingRows();
    }

    // A left click at a point of a control (its centre by default) in screen coordinates.
    static void ClickAt(HWND control, POINT inControl = {-1, -1})
    {
        RECT rect;
        GetWindowRect(control, &rect);
        POINT spot = inControl.x < 0 ? POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}
                                     : POINT{rect.left + inControl.x, rect.top + inControl.y};
        SetCursorPos(spot.x, spot.y);
        INPUT input[2] = {};
        input[0].type = INPUT_MOUSE;
        input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        input[1].type = INPUT_MOUSE;
        input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        ASSERT_EQ(SendInput(2, input, sizeof(INPUT)), 2u);
        // The input goes through the system's queue: serve it until it has been handled.
        uitest::PumpUntil([] { return false; }, 150);
    }

    // Serves the messages for ms as the program's loop does, window keys first.
    void PumpAsTheProgram(DWORD ms)
    {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < ms)
        {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            {
                if (m_frame->PreTranslateMessage(msg))
                    continue;
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }

    // Ctrl and a letter key, pressed and released on the real keyboard.
    void PressWithControl(WORD key)
    {
        INPUT input[4] = {};
        for (INPUT& stroke : input)
            stroke.type = INPUT_KEYBOARD;
        input[0].ki.wVk = VK_CONTROL;
        input[1].ki.wVk = key;
        input[2].ki.wVk = key;
        input[2].ki.dwFlags = KEYEVENTF_KEYUP;
        input[3].ki.wVk = VK_CONTROL;
        input[3].ki.dwFlags = KEYEVENTF_KEYUP;
        ASSERT_EQ(SendInput(4, input, sizeof(INPUT)), 4u);
        PumpAsTheProgram(200);
    }

    // A key pressed and released on the real keyboard, with Alt or Shift held when asked.
    void PressKey(WORD key, bool alt = false, bool shift = false)
    {
        std::vector<INPUT> input;
        auto stroke = [&](WORD vk, bool up) {
            INPUT one{};
            one.type = INPUT_KEYBOARD;
            one.ki.wVk = vk;
            one.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            input.push_back(one);
        };
        const WORD held = alt ? VK_MENU : shift ? VK_SHIFT : 0;
        if (held)
            stroke(held, false);
        stroke(key, false);
        stroke(key, true);
        if (held)
            stroke(held, true);
        ASSERT_EQ(SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT)), input.size());
        PumpAsTheProgram(80);
    }

    // The control that has the focus, as the window knows it: a combo box for its edit field.
    int FocusedControl() const
    {
        HWND focus = GetFocus();
        for (HWND up = GetParent(focus); up && up != m_frame->Handle(); up = GetParent(up))
        {
            wchar_t name[32] = {};
            GetClassNameW(up, name, 32);
            if (lstrcmpiW(name, L"ComboBox") == 0 || lstrcmpiW(name, WC_COMBOBOXEXW) == 0)
                focus = up;
        }
        return GetDlgCtrlID(focus);
    }

    // The controls Tab reaches, one round from the focused one.
    std::set<int> TabRound()
    {
        std::set<int> reached;
        for (int press = 0; press < 40; ++press)
        {
            reached.insert(FocusedControl());
            PressKey(VK_TAB);
        }
        return reached;
    }

    // A point of page (in its own coordinates) that no visible child covers, searched from the
    // bottom up.
    static POINT BareSpot(HWND page)
    {
        RECT client;
        GetClientRect(page, &client);
        for (int y = client.bottom - 5; y > 0; y -= 5)
            for (int x = 5; x < client.right; x += 5)
                if (ChildWindowFromPointEx(page, POINT{x, y}, CWP_SKIPINVISIBLE) == page)
                    return POINT{x, y};
        ADD_FAILURE() << "no bare spot on the page";
        return POINT{0, 0};
    }
};

TEST_F(RealClickTest, TheKindBoxesTickAtAClickAndKeepTheChoice)
{
    ASSERT_TRUE(settings::SetSearchInDocuments(true));
    ASSERT_TRUE(settings::SetSearchInArchives(false));
    OpenBothPanels();
    ClickSection(2);
    ASSERT_TRUE(Visible(kIdSearchArchives));
    for (const auto& [id, stored] : {std::pair{kIdSearchArchives, &settings::SearchInArchives},
                                     std::pair{kIdSearchDocuments, &settings::SearchInDocuments}})
    {
        const LRESULT before = SendMessageW(C(id), BM_GETCHECK, 0, 0);
        ClickAt(C(id));
        const LRESULT after = SendMessageW(C(id), BM_GETCHECK, 0, 0);
        EXPECT_NE(after, before) << id;
        EXPECT_EQ(stored(), after == BST_CHECKED) << id;
        ClickAt(C(id));
        EXPECT_EQ(SendMessageW(C(id), BM_GETCHECK, 0, 0), before) << id;
        EXPECT_EQ(stored(), before == BST_CHECKED) << id;
    }
}

TEST_F(RealClickTest, LabelsAndPicturesOfBothPanelsKeepTheResults)
{
    uitest::TempFolder tree("ffrealclick");
    tree.Add("a.txt");
    tree.Add("b.txt");
    OpenBothPanels();
    m_frame->LookIn().SetText(tree.Path());
    Click(kIdFindfilesbtn);
    WaitForIdle();
    ASSERT_EQ(Rows(), 2);

    for (int id : {kIdLabel1, kIdLabel2, kIdLabel3, kIdLabel4, kIdLabel5, kIdLabel11, kIdImage1})
    {
        ClickAt(C(id));
        EXPECT_EQ(Rows(), 2) << "file panel control " << id;
    }
    // The bare page under them still empties the list: the clicks above did land.
    ClickAt(C(kIdHeader1Page), BareSpot(C(kIdHeader1Page)));
    EXPECT_EQ(Rows(), 0);

    ClickAt(C(kIdHeader2), POINT{10, 8});
    ASSERT_TRUE(Visible(kIdHeader2Page));
    ASSERT_FALSE(m_frame->Results().IsFileMode());
    AddComputerRow();
    ASSERT_EQ(Rows(), 1);
    for (int id : {kIdLabel8, kIdImage2})
    {
        ClickAt(C(id));
        EXPECT_EQ(Rows(), 1) << "network panel control " << id;
    }
    ClickAt(C(kIdHeader2Page), BareSpot(C(kIdHeader2Page)));
    EXPECT_EQ(Rows(), 0);
}

TEST_F(RealClickTest, ControlSAndControlOInTheNameFieldSaveAndOpenTheSearch)
{
    uitest::TempFolder files("ffrealkeys");
    const std::string saved = files.Path() + "\\keys.ffsearch";
    std::vector<bool> asked; // true: asked where to save
    m_hooks.askSearchFile = [&](HWND, bool save) -> std::optional<std::string> {
        asked.push_back(save);
        return saved;
    };
    OpenBothPanels();
    controls::SetWindowTextUtf8(C(kIdLMDEdit1), "*.keys");
    SetFocus(FieldEdit(C(kIdLMDEdit1)));

    PressWithControl('S');
    ASSERT_EQ(asked, std::vector<bool>{true});
    EXPECT_EQ(Text(kIdLMDEdit1), "*.keys") << "the field did not take the key";
    EXPECT_NE(GetFileAttributesW(platform::Widen(saved).c_str()), INVALID_FILE_ATTRIBUTES) << "not written";

    controls::SetWindowTextUtf8(C(kIdLMDEdit1), "changed");
    PressWithControl('O');
    EXPECT_EQ(asked, (std::vector<bool>{true, false}));
    EXPECT_EQ(Text(kIdLMDEdit1), "*.keys");
    EXPECT_TRUE(m_errorBoxes.empty());
}

TEST_F(RealClickTest, TabReachesEveryControlOfEachPanelAndTheKeysOpenTheHeaders)
{
    OpenBothPanels();
    SetFocus(FieldEdit(C(kIdLMDEdit1)));
    const std::set<int> shared = {kIdHeader1,  kIdHeader2, kIdLV1,         kIdSettingsBtn, kIdIcostylebtn,
                                  kIdAboutBtn, kIdLangBtn, kIdMinimizeBtn, kIdCloseBtn};
    std::set<int> filePanel = {kIdLMDEdit1, kIdLMDEdit2, kIdAWComboBoxEx1, kIdExplBtn1,
                               kIdExplBtn2, kIdExplBtn3, kIdFindfilesbtn};
    filePanel.insert(shared.begin(), shared.end());
    EXPECT_EQ(TabRound(), filePanel);

    // Enter on the network header opens its panel; Tab then goes round that panel's controls.
    SetFocus(C(kIdHeader2));
    PressKey(VK_RETURN);
    ASSERT_TRUE(Visible(kIdHeader2Page));
    EXPECT_FALSE(m_frame->Results().IsFileMode());
    EXPECT_EQ(SendMessageW(C(kIdHeader2), BM_GETCHECK, 0, 0), BST_CHECKED);
    std::set<int> networkPanel = {kIdLMDEdit3, kIdSweepBox, kIdFlatCheckBox1, kIdFincompsbtn};
    networkPanel.insert(shared.begin(), shared.end());
    EXPECT_EQ(TabRound(), networkPanel);

    // Space on the file header brings the file panel back.
    SetFocus(C(kIdHeader1));
    PressKey(VK_SPACE);
    EXPECT_TRUE(Visible(kIdHeader1Page));
    EXPECT_TRUE(m_frame->Results().IsFileMode());
    EXPECT_EQ(SendMessageW(C(kIdHeader2), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(m_errorBoxes.empty());
}

// After a search for a text the pane of matching lines is one more stop of the round: Tab goes in
// and out again, Shift+Tab back, and the read-only pane takes no letter as text.
TEST_F(RealClickTest, TabGoesIntoAndOutOfThePaneOfMatchingLines)
{
    uitest::TempFolder tree("fftabpane");
    tree.Add("notes.txt", "first line\r\nthe needle here\r\n");
    OpenBothPanels();
    m_frame->LookIn().SetText(tree.Path());
    controls::SetWindowTextUtf8(C(kIdLMDEdit2), "needle");
    Click(kIdFindfilesbtn);
    WaitForIdle();
    ASSERT_EQ(Rows(), 1);
    ASSERT_TRUE(Visible(kIdPreview));
    SetForegroundWindow(m_frame->Handle());
    SetFocus(C(kIdLV1));
    EXPECT_EQ(TabRound().count(kIdPreview), 1u) << "Tab never reached the pane";

    SetFocus(C(kIdLV1));
    PressKey(VK_TAB);
    ASSERT_EQ(FocusedControl(), kIdPreview);
    const std::string shown = Text(kIdPreview);
    PressKey('X');
    EXPECT_EQ(Text(kIdPreview), shown);
    PressKey(VK_TAB);
    EXPECT_NE(FocusedControl(), kIdPreview) << "Tab stays in the pane";
    SetFocus(C(kIdPreview));
    PressKey(VK_TAB, false, true);
    EXPECT_EQ(FocusedControl(), kIdLV1) << "Shift+Tab goes back to the list";
    EXPECT_TRUE(m_errorBoxes.empty());
}

TEST_F(RealClickTest, AltAndALabelsLetterFocusesItsFieldInEachLanguage)
{
    const struct
    {
        const char* language;
        WORD key;
        int focused;
    } cases[] = {
        {"EN", 'C', kIdLMDEdit2}, {"EN", 'L', kIdAWComboBoxEx1}, {"EN", 'F', kIdLMDEdit1},
        {"EN", 'S', kIdExplBtn2}, {"DE", 'E', kIdLMDEdit2},      {"DE", 'S', kIdAWComboBoxEx1},
        {"DE", 'D', kIdLMDEdit1}, {"DE", 'G', kIdExplBtn2},
    };
    std::string open;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.language) + " Alt+" + static_cast<char>(c.key));
        if (open != c.language)
        {
            if (m_frame)
                TearDown();
            open = c.language;
            Open(open);
            SetForegroundWindow(m_frame->Handle());
            uitest::Pump();
        }
        SetFocus(C(kIdLV1));
        PressKey(c.key, true);
        EXPECT_EQ(FocusedControl(), c.focused);
    }
    // A section's title also opens its section.
    EXPECT_TRUE(Visible(kIdSizePanel));

    ClickAt(C(kIdHeader2), POINT{10, 8});
    SetFocus(C(kIdLV1));
    PressKey('C', true); // "Computername:"
    EXPECT_EQ(FocusedControl(), kIdLMDEdit3);
    EXPECT_TRUE(m_errorBoxes.empty());
}

} // namespace
