// The windows at the DPI the session runs at (the program's run sets it in the prefix's registry
// before the start and names it with --dpi=N): every place of the 96-DPI layout scaled, nothing
// overlapping that does not overlap at 96 DPI, nothing outside its window.
#include "about/DlgAbout.h"
#include "controls/Dpi.h"
#include "controls/WindowDpi.h"
#include "lang/Language.h"
#include "lang/Languagesettings.h"
#include "platform/Utf8.h"
#include "settings/AppPaths.h"
#include "settings/FindFileSettingsFrm.h"
#include "settings/SettingsFile.h"
#include "tests/win32/main/FrameFixture.h"
#include "tests/win32/support/DialogWatcher.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace
{

unsigned g_dpi = controls::kBaseDpi; // the session's
unsigned g_checked = 0;              // the one the checks expect, when not the session's

unsigned CheckedDpi()
{
    return g_checked ? g_checked : g_dpi;
}

int S(int px96)
{
    return controls::Scale(px96, CheckedDpi());
}

// Another DPI than the session's, for the windows to be told they moved to a monitor of it.
unsigned OtherDpi()
{
    return g_dpi == 96 ? 144 : g_dpi == 144 ? 192 : 96;
}

// The checks in a scope expect the places of dpi.
class ExpectingDpi
{
public:
    explicit ExpectingDpi(unsigned dpi) : m_saved(g_checked) { g_checked = dpi; }
    ~ExpectingDpi() { g_checked = m_saved; }
    ExpectingDpi(const ExpectingDpi&) = delete;
    ExpectingDpi& operator=(const ExpectingDpi&) = delete;

private:
    unsigned m_saved;
};

// WM_DPICHANGED as the system sends it when window moves to a monitor of dpi.
void AnnounceDpi(HWND window, unsigned dpi, RECT suggested)
{
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

int FontHeight(HWND control)
{
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
    return font.lfHeight;
}

// A child's rectangle in its parent's client coordinates.
RECT PlaceOf(HWND child)
{
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The child's place and size in 96-DPI numbers of the code; a negative number is not checked.
void ExpectPlace(HWND child, int x, int y, int width, int height)
{
    ASSERT_NE(child, nullptr);
    const RECT rect = PlaceOf(child);
    const int id = GetDlgCtrlID(child);
    const struct
    {
        int expected96;
        int actual;
        const char* what;
    } sides[] = {{x, rect.left, "left"},
                 {y, rect.top, "top"},
                 {width, rect.right - rect.left, "width"},
                 {height, rect.bottom - rect.top, "height"}};
    for (const auto& side : sides)
    {
        if (side.expected96 >= 0)
        {
            EXPECT_EQ(side.actual, S(side.expected96)) << side.what << " of control " << id;
        }
    }
}

using IdPair = std::pair<int, int>; // control IDs, the smaller first

struct Layout
{
    std::vector<IdPair> overlaps; // two visible children that share pixels
    std::vector<int> outside;     // visible children reaching past their parent's client area
};

struct Children
{
    HWND parent;
    std::vector<HWND> visible;
};

BOOL CALLBACK AddVisibleChild(HWND child, LPARAM param)
{
    auto* children = reinterpret_cast<Children*>(param);
    if (GetParent(child) == children->parent && IsWindowVisible(child))
        children->visible.push_back(child);
    return TRUE;
}

// The direct visible children of parent, each checked against its siblings and the parent.
Layout LayoutOf(HWND parent)
{
    Children found{parent, {}};
    EnumChildWindows(parent, &AddVisibleChild, reinterpret_cast<LPARAM>(&found));
    const std::vector<HWND>& children = found.visible;
    RECT client{};
    GetClientRect(parent, &client);
    Layout layout;
    for (size_t i = 0; i < children.size(); ++i)
    {
        const RECT a = PlaceOf(children[i]);
        const int idA = GetDlgCtrlID(children[i]);
        if (a.left < 0 || a.top < 0 || a.right > client.right || a.bottom > client.bottom)
            layout.outside.push_back(idA);
        for (size_t j = i + 1; j < children.size(); ++j)
        {
            const RECT b = PlaceOf(children[j]);
            const int idB = GetDlgCtrlID(children[j]);
            RECT common{};
            if (IntersectRect(&common, &a, &b))
                layout.overlaps.push_back({std::min(idA, idB), std::max(idA, idB)});
        }
    }
    return layout;
}

// overlapping96: the pairs that share pixels already at 96 DPI (neighbours sharing a border line).
void ExpectClean(HWND parent, const char* what, const std::vector<IdPair>& overlapping96 = {})
{
    const Layout layout = LayoutOf(parent);
    for (const IdPair& pair : layout.overlaps)
        if (std::find(overlapping96.begin(), overlapping96.end(), pair) == overlapping96.end())
            ADD_FAILURE() << what << ": controls " << pair.first << " and " << pair.second << " overlap at "
                          << CheckedDpi() << " DPI";
    for (int id : layout.outside)
        ADD_FAILURE() << what << ": control " << id << " leaves its window at " << CheckedDpi() << " DPI";
}

void ExpectClientSize(HWND window, int width, int height)
{
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, S(width));
    EXPECT_EQ(client.bottom, S(height));
}

class DpiLayout : public uitest::FrameTest
{
protected:
    // Runs check inside the modal window of className that open() shows, then closes it.
    void InModal(const wchar_t* className, const std::function<void()>& open,
                 const std::function<void(HWND)>& check)
    {
        testing_support::DialogWatcher watcher;
        bool seen = false;
        watcher.OnWindow(className, [&](HWND dialog) {
            seen = true;
            check(dialog);
            PostMessageW(dialog, WM_CLOSE, 0, 0);
        });
        open();
        EXPECT_TRUE(seen) << "no window of the class came up";
    }
};

TEST_F(DpiLayout, TheWindowRunsAtTheSessionsDpi)
{
    Open();
    EXPECT_EQ(controls::WindowDpi(m_frame->Handle()), g_dpi);
    RECT frame{};
    GetWindowRect(m_frame->Handle(), &frame);
    EXPECT_EQ(frame.right - frame.left, S(ui::TFindfileFrm::kStartWidth));
    EXPECT_EQ(frame.bottom - frame.top, S(ui::TFindfileFrm::kStartHeight));
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(C(ui::kIdLabel1), WM_GETFONT, 0, 0)), sizeof(font),
               &font);
    EXPECT_EQ(font.lfHeight, -S(11));
}

TEST_F(DpiLayout, FileSearchPanelScalesEveryPlace)
{
    Open();
    ExpectPlace(C(ui::kIdTopStrip), 0, 0, -1, 25);
    ExpectPlace(C(ui::kIdSettingsBtn), 3, 2, 73, 19);
    ExpectPlace(C(ui::kIdAboutBtn), 3 + 76 + 52, 2, 90, 19);
    ExpectPlace(C(ui::kIdSideBar), 0, 0, 232, -1);
    ExpectPlace(C(ui::kIdLV1), 232, 0, -1, -1);
    ExpectPlace(C(ui::kIdHeader1), 0, 0, 232, 18);
    ExpectPlace(C(ui::kIdImage1), 8, 8, 48, 48);
    ExpectPlace(C(ui::kIdLabel1), 8, 72, 216, 15);
    ExpectPlace(C(ui::kIdLMDEdit1), 8, 88, 216, -1);
    ExpectPlace(C(ui::kIdLabel5), 8, 250, 180, 21);
    ExpectPlace(C(ui::kIdFindfilesbtn), 112, 320, 112, 25);
    EXPECT_EQ(ListView_GetColumnWidth(C(ui::kIdLV1), 1), S(200));
    ExpectClean(C(ui::kIdHeader1Page), "file panel");
    ExpectClean(C(ui::kIdTopStrip), "top strip");

    // The picture beside the description fills its place.
    const auto picture =
        reinterpret_cast<HBITMAP>(SendMessageW(C(ui::kIdImage1), STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info{};
    ASSERT_TRUE(GetObjectW(picture, sizeof(info), &info));
    EXPECT_EQ(info.bmWidth, S(48));

    // Each open section moves what lies below it by the scaled amount.
    const struct
    {
        int section;
        int panel;
        int panelTop;
        int findTop;
    } sections[] = {
        {0, ui::kIdDatePanel, 252, 445}, {1, ui::kIdSizePanel, 280, 440}, {2, ui::kIdNextsettings, 310, 380}};
    for (const auto& open : sections)
    {
        ClickSection(open.section);
        ExpectPlace(C(open.panel), 4, open.panelTop, 224, -1);
        ExpectPlace(C(ui::kIdFindfilesbtn), 112, open.findTop, 112, 25);
        ExpectClean(C(ui::kIdHeader1Page), "file panel with a section open");
        // The spin field's arrows lie on its right edge.
        ExpectClean(C(open.panel), "open section", {{ui::kIdLMDSpinEdit1, ui::kIdLMDSpinEdit1Arrows}});
    }
}

// The system's word that the window moved to a monitor of another DPI: it takes the suggested
// rectangle, and every control, font, picture and column follows the new DPI from the numbers of
// the code, also the places a section moved; back at the first DPI all is as it was.
TEST_F(DpiLayout, AMoveToAnotherDpiPlacesEverythingAtIt)
{
    Open();
    ClickSection(1);
    const HWND spinEdit = C(ui::kIdLMDSpinEdit1);
    const HWND spinArrows = C(ui::kIdLMDSpinEdit1Arrows);
    const RECT editAtStart = PlaceOf(spinEdit);
    const RECT arrowsAtStart = PlaceOf(spinArrows);
    ClickSection(0);
    const int nameWidth = ListView_GetColumnWidth(C(ui::kIdLV1), 0);
    const unsigned other = OtherDpi();
    {
        ExpectingDpi expecting(other);
        AnnounceDpi(m_frame->Handle(), other, RECT{20, 30, 20 + S(800), 30 + S(600)});
        EXPECT_EQ(controls::WindowDpi(C(ui::kIdLV1)), other);
        RECT frame{};
        GetWindowRect(m_frame->Handle(), &frame);
        EXPECT_EQ(frame.left, 20);
        EXPECT_EQ(frame.bottom - frame.top, S(600));
        ExpectPlace(C(ui::kIdTopStrip), 0, 0, -1, 25);
        ExpectPlace(C(ui::kIdAboutBtn), 3 + 76 + 52, 2, 90, 19);
        ExpectPlace(C(ui::kIdDatePanel), 4, 252, 224, 136);
        ExpectPlace(C(ui::kIdLabel5), 8, 390, 180, 21);
        ExpectPlace(C(ui::kIdFindfilesbtn), 112, 445, 112, 25);
        ExpectPlace(C(ui::kIdLV1), 232, 0, -1, -1);
        ExpectPlace(C(ui::kIdHeader1), 0, 0, 232, 18);
        EXPECT_EQ(ListView_GetColumnWidth(C(ui::kIdLV1), 0), controls::Rescale(nameWidth, g_dpi, other));
        EXPECT_EQ(FontHeight(C(ui::kIdLabel1)), -S(11));
        BITMAP picture{};
        GetObjectW(reinterpret_cast<HBITMAP>(SendMessageW(C(ui::kIdImage1), STM_GETIMAGE, IMAGE_BITMAP, 0)),
                   sizeof(picture), &picture);
        EXPECT_EQ(picture.bmWidth, S(48));
        ExpectClean(C(ui::kIdHeader1Page), "file panel after a move to another DPI");

        // The spin field's arrows take their part of the field again, on its right edge.
        ClickSection(1);
        ExpectPlace(C(ui::kIdSizePanel), 4, 280, 224, -1);
        const RECT edit = PlaceOf(spinEdit);
        const RECT arrows = PlaceOf(spinArrows);
        // (The arrows cover the field's border: up to two pixels.)
        EXPECT_EQ(edit.left, S(130));
        EXPECT_NEAR(arrows.right, S(130 + 84), 2);
        EXPECT_LT(edit.right, arrows.right);
        EXPECT_LE(arrows.left, edit.right);

        // The network panel's places, and its computers' pictures in the list.
        SendMessageW(C(ui::kIdHeader2), WM_LBUTTONDOWN, MK_LBUTTON, 0);
        uitest::Pump();
        ExpectPlace(C(ui::kIdLMDEdit3), 0, 96, 177, 21);
        ExpectPlace(C(ui::kIdFincompsbtn), 56, 408, 113, 33);
        EXPECT_EQ(FontHeight(C(ui::kIdLabel8)), -S(11));
        int iconWidth = 0, iconHeight = 0;
        ImageList_GetIconSize(ListView_GetImageList(C(ui::kIdLV1), LVSIL_SMALL), &iconWidth, &iconHeight);
        EXPECT_EQ(iconWidth, S(16));
        ExpectClean(C(ui::kIdHeader2Page), "network panel after a move to another DPI");
        SendMessageW(C(ui::kIdHeader1), WM_LBUTTONDOWN, MK_LBUTTON, 0);
        uitest::Pump();
    }
    // Back on the first monitor: the spin field exactly as it was made there.
    AnnounceDpi(m_frame->Handle(), g_dpi, RECT{20, 30, 20 + S(800), 30 + S(600)});
    EXPECT_EQ(controls::WindowDpi(C(ui::kIdLV1)), g_dpi);
    const RECT editBack = PlaceOf(spinEdit);
    const RECT arrowsBack = PlaceOf(spinArrows);
    EXPECT_TRUE(EqualRect(&editAtStart, &editBack));
    EXPECT_TRUE(EqualRect(&arrowsAtStart, &arrowsBack));
    EXPECT_EQ(ListView_GetColumnWidth(C(ui::kIdLV1), 0), nameWidth);
}

// A dialog opened after the window moved is made at the window's new DPI; moved itself, it lays
// itself out at the DPI it lands on, at its own size there.
TEST_F(DpiLayout, DialogsFollowTheDpiOfTheirMonitor)
{
    struct Dialog
    {
        const wchar_t* className;
        std::function<void(HWND owner)> open;
        int clientWidth;
        int clientHeight;
        int control; // a control of the dialog, and its place at 96 DPI
        int x, y, width, height;
    };
    const Dialog dialogs[] = {
        {settings::TFindFileSettingsFrm::kClassName,
         [](HWND owner) { settings::ShowFindFileSettings(owner, lang::ModuleTexts()); },
         settings::TFindFileSettingsFrm::kClientWidth, settings::TFindFileSettingsFrm::kClientHeight,
         settings::kIdSettingsOk, 56, 104, 73, 25},
        {lang::TLanguagesettings::kClassName, [](HWND owner) { lang::ShowLanguageSettings(owner); },
         lang::TLanguagesettings::kClientWidth, lang::TLanguagesettings::kClientHeight, lang::kIdSpeedButton9,
         80, 180, 73, 25},
        {about::TDlgAbout::kClassName, [](HWND owner) { about::TCorvaneAbout(owner).ShowAbout(); },
         about::TDlgAbout::kClientWidth, about::TDlgAbout::kClientHeight, about::kIdLabel2, 4, 264, 38, 12},
    };
    Open();
    const unsigned other = OtherDpi();
    AnnounceDpi(m_frame->Handle(), other,
                RECT{0, 0, controls::Scale(700, other), controls::Scale(500, other)});
    for (const Dialog& dialog : dialogs)
    {
        SCOPED_TRACE(platform::Narrow(dialog.className));
        InModal(
            dialog.className, [&] { dialog.open(m_frame->Handle()); },
            [&](HWND window) {
                const auto expectLaidOut = [&](const char* when) {
                    SCOPED_TRACE(when);
                    // Wine draws every caption at the session's DPI: the outer size is the one
                    // for the client area at the checked DPI, which the client gets only there.
                    const RECT expected = controls::OuterRectForDpi(
                        RECT{0, 0, S(dialog.clientWidth), S(dialog.clientHeight)},
                        static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)),
                        static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)), CheckedDpi());
                    RECT outer{};
                    GetWindowRect(window, &outer);
                    EXPECT_EQ(outer.right - outer.left, expected.right - expected.left);
                    EXPECT_EQ(outer.bottom - outer.top, expected.bottom - expected.top);
                    if (CheckedDpi() == g_dpi)
                        ExpectClientSize(window, dialog.clientWidth, dialog.clientHeight);
                    ExpectPlace(controls::FindControl(window, dialog.control), dialog.x, dialog.y,
                                dialog.width, dialog.height);
                    EXPECT_EQ(controls::WindowDpi(controls::FindControl(window, dialog.control)),
                              CheckedDpi());
                };
                {
                    ExpectingDpi expecting(other);
                    expectLaidOut("opened over the moved window");
                }
                AnnounceDpi(window, g_dpi, RECT{100, 100, 300, 300});
                expectLaidOut("moved back to the session's DPI");
                RECT outer{};
                GetWindowRect(window, &outer);
                EXPECT_NEAR((outer.left + outer.right) / 2, 200, 1) << "centred where the system suggests";
            });
    }
}

TEST_F(DpiLayout, NetworkPanelScalesEveryPlace)
{
    Open();
    SendMessageW(C(ui::kIdHeader2), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    uitest::Pump();
    ASSERT_TRUE(IsWindowVisible(C(ui::kIdHeader2Page)));
    ExpectPlace(C(ui::kIdHeader2), 0, 18, 232, 18);
    ExpectPlace(C(ui::kIdLabel8), 0, 80, 177, 15);
    ExpectPlace(C(ui::kIdLMDEdit3), 0, 96, 177, 21);
    ExpectPlace(C(ui::kIdSweepBox), 16, 124, 209, 30);
    ExpectPlace(C(ui::kIdFincompsbtn), 56, 408, 113, 33);
    EXPECT_EQ(ListView_GetColumnWidth(C(ui::kIdLV1), 1), S(100));
    ExpectClean(C(ui::kIdHeader2Page), "network panel");
}

TEST_F(DpiLayout, SettingsDialogScales)
{
    Open();
    InModal(
        settings::TFindFileSettingsFrm::kClassName,
        [&] { settings::ShowFindFileSettings(m_frame->Handle(), lang::ModuleTexts()); },
        [&](HWND dialog) {
            ExpectClientSize(dialog, settings::TFindFileSettingsFrm::kClientWidth,
                             settings::TFindFileSettingsFrm::kClientHeight);
            HWND panel = controls::FindControl(dialog, settings::kIdSettingsPanel1);
            ExpectPlace(panel, 8, 8, 273, 137);
            ExpectPlace(controls::FindControl(dialog, settings::kIdFlatCheckBox1), 8, 40, 257, 17);
            ExpectPlace(controls::FindControl(dialog, settings::kIdKeepHistoryBox), 8, 72, 257, 17);
            ExpectPlace(controls::FindControl(dialog, settings::kIdSettingsOk), 56, 104, 73, 25);
            ExpectPlace(controls::FindControl(dialog, settings::kIdSettingsImage1), 0, 0, 32, 32);
            ExpectClean(dialog, "settings dialog");
            ExpectClean(panel, "settings dialog",
                        {{settings::kIdFlatCheckBox1, settings::kIdFlatCheckBox2},
                         {settings::kIdFlatCheckBox2, settings::kIdKeepHistoryBox},
                         {settings::kIdSettingsOk, settings::kIdSettingsCancel}});
            ExpectClean(controls::FindControl(dialog, settings::kIdSettingsPanel2), "settings title");
        });
}

TEST_F(DpiLayout, LanguageDialogScales)
{
    Open();
    InModal(
        lang::TLanguagesettings::kClassName, [&] { lang::ShowLanguageSettings(m_frame->Handle()); },
        [&](HWND dialog) {
            ExpectClientSize(dialog, lang::TLanguagesettings::kClientWidth,
                             lang::TLanguagesettings::kClientHeight);
            HWND panel = controls::FindControl(dialog, lang::kIdPanel1);
            ExpectPlace(panel, 4, 4, 161, 213);
            ExpectPlace(controls::FindControl(dialog, lang::kIdSpeedButton1), 16, 8, 23, 23);
            ExpectPlace(controls::FindControl(dialog, lang::kIdSpeedButton7), 16, 8 + 24 * 6, 23, 23);
            ExpectPlace(controls::FindControl(dialog, lang::kIdLabelCZ), 48, 16, 24, 13);
            ExpectPlace(controls::FindControl(dialog, lang::kIdSpeedButton9), 80, 180, 73, 25);
            ExpectClean(panel, "language dialog", {{lang::kIdSpeedButton8, lang::kIdSpeedButton9}});
        });
}

TEST_F(DpiLayout, AboutDialogScales)
{
    Open();
    InModal(
        about::TDlgAbout::kClassName, [&] { about::TCorvaneAbout(m_frame->Handle()).ShowAbout(); },
        [&](HWND dialog) {
            ExpectClientSize(dialog, about::TDlgAbout::kClientWidth, about::TDlgAbout::kClientHeight);
            ExpectPlace(controls::FindControl(dialog, about::kIdLabelWww), 44, 248, -1, -1);
            ExpectPlace(controls::FindControl(dialog, about::kIdLabel2), 4, 264, 38, 12);
            ExpectPlace(controls::FindControl(dialog, about::kIdLabelCopyr1), 92, 224, 105, 29);
            ExpectPlace(controls::FindControl(dialog, about::kIdImageEN), 168, 168, 25, 25);
            ExpectClean(dialog, "about dialog", {{about::kIdLabelCopyr1, about::kIdLabelWww}});
        });
}

// The place is kept in the prefix's settings file: what one DPI saved, another reads.
TEST_F(DpiLayout, TheWindowComesBackWhereItWasAtEveryDpi)
{
    const std::string file = settings::SettingsFilePath();
    // Saved at 96 DPI: 800 by 600 at 100, 50, wider columns, the list view.
    settings::WriteIniString(file, "Window", "Place", "100,50,800,600");
    settings::WriteIniString(file, "Window", "Dpi", "96");
    settings::WriteIniString(file, "Window", "Maximized", "0");
    settings::WriteIniString(file, "Window", "Columns", "150,250,100,80,60");
    settings::WriteIniString(file, "Window", "View", "2");
    m_keepPlace = true;
    Open();
    RECT frame{};
    GetWindowRect(m_frame->Handle(), &frame);
    EXPECT_EQ(frame.left, 100);
    EXPECT_EQ(frame.top, 50);
    EXPECT_EQ(frame.right - frame.left, S(800));
    EXPECT_EQ(frame.bottom - frame.top, S(600));
    EXPECT_EQ(GetWindowLongW(C(ui::kIdLV1), GWL_STYLE) & LVS_TYPEMASK, static_cast<LONG>(LVS_LIST));
    SendMessageW(m_frame->Handle(), WM_COMMAND, ui::kIdPodrobnosti1, 0);
    EXPECT_EQ(ListView_GetColumnWidth(C(ui::kIdLV1), 0), S(150));
    EXPECT_EQ(ListView_GetColumnWidth(C(ui::kIdLV1), 4), S(60));
    SendMessageW(m_frame->Handle(), WM_COMMAND, ui::kIdSeznam1, 0);

    // Moved, then closed: the next start reads the new place, at this DPI.
    SetWindowPos(m_frame->Handle(), nullptr, 60, 40, S(700), S(520), SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(m_frame->Handle(), WM_CLOSE, 0, 0);
    const settings::WindowPlace saved = settings::ReadWindowPlace();
    ASSERT_TRUE(saved.normal);
    EXPECT_EQ(*saved.normal, (settings::PlaceRect{60, 40, 60 + S(700), 40 + S(520)}));
    EXPECT_EQ(saved.dpi, g_dpi);
    EXPECT_EQ(saved.columns.at(1), S(250));
    EXPECT_EQ(saved.view, 2);
    m_frame.reset();

    // A place on no monitor, or damaged: centred at the start size; a maximized one comes back so.
    settings::WriteIniString(file, "Window", "Place", "5000,5000,800,600");
    settings::WriteIniString(file, "Window", "Maximized", "1");
    Open();
    EXPECT_TRUE(IsZoomed(m_frame->Handle()));
    m_frame.reset();
    settings::WriteIniString(file, "Window", "Maximized", "0");
    for (const char* place : {"5000,5000,800,600", "100,50,800"})
    {
        settings::WriteIniString(file, "Window", "Place", place);
        Open();
        GetWindowRect(m_frame->Handle(), &frame);
        EXPECT_EQ(frame.right - frame.left, S(ui::TFindfileFrm::kStartWidth)) << place;
        EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - S(ui::TFindfileFrm::kStartWidth)) / 2)
            << place;
        m_frame.reset();
    }
    for (const char* key : {"Place", "Dpi", "Maximized", "Columns", "View"})
        settings::WriteIniString(file, "Window", key, "");
}

} // namespace

// --dpi=N: the DPI the run set for the session. The process draws at it (per-monitor aware, as
// the program's manifest declares).
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--dpi=", 6) == 0)
            g_dpi = static_cast<unsigned>(std::atoi(argv[i] + 6));
    // Per-monitor v2 where the system has it, else per-monitor (v1), as the manifest lists them;
    // a process that is per-monitor aware already (Wine's default) stays so.
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    using SetContextFn = BOOL(WINAPI*)(HANDLE);
    using GetContextFn = HANDLE(WINAPI*)();
    using AwarenessFn = int(WINAPI*)(HANDLE);
    const auto setContext = reinterpret_cast<SetContextFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
    const auto getContext = reinterpret_cast<GetContextFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
    const auto awarenessOf = reinterpret_cast<AwarenessFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    const auto context = [](INT_PTR value) { return reinterpret_cast<HANDLE>(value); };
    constexpr int kPerMonitorAware = 2;
    if (setContext && !setContext(context(-4)))
        setContext(context(-3));
    if (!getContext || !awarenessOf || awarenessOf(getContext()) != kPerMonitorAware)
    {
        std::fprintf(stderr, "the process cannot be made per-monitor DPI aware\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
