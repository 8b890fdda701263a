// clang-format off
#include <windows.h>
// clang-format on
#include "ui/main/FindfileFrm.h"

#include "controls/Theme.h"
#include "lang/Language.h"
#include "lang/TextIds.h"
#include "platform/NetworkProvider.h"
#include "platform/Utf8.h"
#include "platform/Win32Clock.h"
#include "settings/SettingsFile.h"
#include "ui/main/Messages.h"

#include <algorithm>
#include <initializer_list>

namespace ui
{

namespace
{

constexpr wchar_t kClassName[] = L"TFindfileFrm";
constexpr int kTopStripHeight = 25;
constexpr int kSideBarWidth = 232;
constexpr int kStatusHeight = 17;

std::string T(int id)
{
    return lang::GetLangText(id);
}

void SetText(HWND hwnd, int id)
{
    controls::SetWindowTextUtf8(hwnd, T(id));
}

void AddComboTexts(HWND combo, std::initializer_list<int> ids)
{
    for (int id : ids)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::Widen(T(id)).c_str()));
}

} // namespace

TFindfileFrm::TFindfileFrm(const engine::FinderServices& services, FrameOptions options)
    : m_options(std::move(options)), m_syncCall(services.syncCall)
{
    if (m_options.clock)
        m_clock = m_options.clock;
    else
    {
        m_ownClock = std::make_unique<platform::Win32Clock>();
        m_clock = m_ownClock.get();
    }
    m_findFile = std::make_unique<engine::TFindFile>(services);
    m_findFile->SetFilename("*.*");
    m_findFile->SetThreaded(true);
    m_findFile->OnFound = [this](engine::TFindFile&, const std::string& folder,
                                 const engine::TSearchRec& rec) { FindFile1Found(folder, rec); };
    m_findFile->OnNewFolder = [this](engine::TFindFile&, const std::string& folder, bool&) {
        FindFile1NewFolder(folder);
    };
    m_findFile->OnComplete = [this](engine::TFindFile&) { FindFile1Complete(); };

    // The window's controls need these classes; the frame is the one place that asks for them.
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES |
                                              ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    RegisterWindowClass(kClassName, LoadCursorW(nullptr, IDC_ARROW), CS_DBLCLKS);
}

TFindfileFrm::~TFindfileFrm()
{
    // The finder's events call into this window: stop a running search while the window still exists.
    if (m_findFile && m_findFile->Busy())
        m_findFile->AbortSearch();
    if (Handle())
        DestroyWindow(Handle());
}

HWND TFindfileFrm::Create()
{
    const int x = (GetSystemMetrics(SM_CXSCREEN) - kStartWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - kStartHeight) / 2;
    HWND hwnd = CreateWin(WS_EX_CONTROLPARENT | WS_EX_APPWINDOW, kClassName, L"",
                          WS_POPUP | WS_THICKFRAME | WS_MINIMIZEBOX | WS_SYSMENU | WS_CLIPCHILDREN, x, y,
                          kStartWidth, kStartHeight, nullptr, 0);
    if (hwnd)
    {
        ShowWindow(hwnd, SW_SHOW);
        UpdateWindow(hwnd);
        SetFocus(Control(kIdLMDEdit1));
    }
    return hwnd;
}

HWND TFindfileFrm::Control(int id) const
{
    return controls::FindControl(Handle(), id);
}

controls::FlatButton& TFindfileFrm::SectionButton(int section)
{
    return m_sectionButtons[section];
}

HWND TFindfileFrm::Add(HWND parent, int id, const wchar_t* className, DWORD style, int x, int y, int width,
                       int height, DWORD exStyle)
{
    return CreateWindowExW(exStyle, className, L"", WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}

void TFindfileFrm::BuildFrame()
{
    HWND self = Handle();
    // Top strip: its face is a tiled picture; six flat buttons, each a glyph and a caption.
    m_topStrip.Create(self, kIdTopStrip, RECT{0, 0, kStartWidth, kTopStripHeight}, self, controls::kBarColour,
                      WS_VISIBLE);
    m_topStrip.SetTile(controls::Picture(L"TOPSTRIP"));
    m_topStrip.SetSunken(true);
    // The strip's bare face moves the window, as the title bar it stands in for would.
    m_topStrip.OnBackgroundClick = [self] {
        ReleaseCapture();
        SendMessageW(self, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    };
    m_glyphs.Reset(ImageList_LoadImageW(GetModuleHandleW(nullptr), L"GLYPHS", 16, 0, RGB(255, 0, 255),
                                        IMAGE_BITMAP, LR_CREATEDIBSECTION));
    const int ids[6] = {kIdSettingsBtn, kIdIcostylebtn, kIdAboutBtn, kIdLangBtn, kIdMinimizeBtn, kIdCloseBtn};
    const int widths[6] = {73, 49, 90, 90, 90, 90};
    int x = 3;
    for (int i = 0; i < 6; ++i)
    {
        m_topButtons[i].Create(m_topStrip.Handle(), ids[i], x, 2, widths[i], 19);
        m_topButtons[i].SetFaces(controls::Picture(L"BUTTONFACE"), controls::Picture(L"BUTTONHOVER"));
        m_topButtons[i].SetGlyph(m_glyphs.Get(), i);
        x += widths[i] + 3;
    }

    // Body: side bar on the left, the results list beside it, the status line along the bottom.
    m_body.Create(self, kIdBody, RECT{0, kTopStripHeight, kStartWidth, kStartHeight}, self,
                  controls::kBarColour, WS_VISIBLE);
    m_body.SetTile(controls::Picture(L"BACKGROUND"));
    m_sideBar.Create(m_body.Handle(), kIdSideBar, RECT{0, 0, kSideBarWidth, 400}, self);
    m_sideBar.AddHeader(kIdHeader1, kIdHeader1Page);
    m_sideBar.AddHeader(kIdHeader2, kIdHeader2Page);
    m_sideBar.OnHeaderClick = [this](int index) {
        if (index == 0)
            Header1Click();
        else if (index == 1 && m_options.hooks.header2Click)
            m_options.hooks.header2Click();
    };
    m_sideBar.Page(0).OnBackgroundClick = [this] { Header1Click(); };
    m_sideBar.Page(1).OnBackgroundClick = [this] {
        if (m_options.hooks.header2Click)
            m_options.hooks.header2Click();
    };
    BuildSearchPanel(m_sideBar.Page(0).Handle());
    CreateLV1(m_body.Handle());
    m_panel2 = Add(m_body.Handle(), kIdPanel2, L"STATIC", SS_LEFTNOWORDWRAP | SS_CENTERIMAGE | SS_NOPREFIX, 0,
                   0, 10, kStatusHeight);
    m_panel2Text.Attach(m_panel2);

    m_viewMenu.Reset(CreatePopupMenu());
    AppendMenuW(m_viewMenu.Get(), MF_STRING, kIdMaleikony1, L"");
    AppendMenuW(m_viewMenu.Get(), MF_STRING, kIdVelkeikony1, L"");
    AppendMenuW(m_viewMenu.Get(), MF_STRING, kIdSeznam1, L"");
    AppendMenuW(m_viewMenu.Get(), MF_STRING | MF_CHECKED, kIdPodrobnosti1, L"");

    controls::ApplyFont(self);
    Layout();
}

void TFindfileFrm::FormCreate()
{
    // 1. The language module: every text below is looked up after this.
    lang::LoadLanguageModule();
    // 2. The Explorer integration, in line with the stored setting (unset, -1, counts as on).
    if (m_options.hooks.setincontext)
        m_options.hooks.setincontext((settings::incontext() & 0xFF) != 0, false);
    // 3. The LAN Manager provider's name, for the network lookup.
    ReadNetworkProviderName();
    // 4. The special folders and the look-in list.
    ReadSpecialFolders();
    getplaces();
    // 5. Every caption from its text ID.
    SetCaptions();
    // 6. The start selection: the all-fixed-drives entry when both special entries are present.
    if (auto start = StartPlaceIndex(static_cast<size_t>(m_lookIn.Count())))
        m_lookIn.Select(static_cast<int>(*start));
    // 7. A folder named on the command line.
    if (m_options.firstArgument && !m_options.firstArgument->empty())
    {
        const DWORD attributes = GetFileAttributesW(platform::Widen(*m_options.firstArgument).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            m_lookIn.SetText(*m_options.firstArgument);
    }
}

void TFindfileFrm::ReadNetworkProviderName()
{
    m_networkProviderName = platform::LanManagerProviderName();
}

void TFindfileFrm::SetCaptions()
{
    using namespace lang::text;
    struct Caption
    {
        int control;
        int text;
    };
    static constexpr Caption kCaptions[] = {
        {kIdMinimizeBtn, kMinimizeButton},
        {kIdLangBtn, kLanguageButton},
        {kIdAboutBtn, kAboutButton},
        {kIdCloseBtn, kCloseButton},
        {kIdSettingsBtn, kSettingsButton},
        {kIdHeader1, kFileHeader},
        {kIdHeader2, kNetworkHeader},
        {kIdLabel1, kNameLabel},
        {kIdLabel2, kContainingLabel},
        {kIdLabel3, kLookInLabel},
        {kIdMemo1, kFileDescription},
        {kIdLabel4, kDateSection},
        {kIdLabel5, kSizeSection},
        {kIdFlatRadioButton1, kAnyDateOrSize},
        {kIdFlatRadioButton2, kModifiedLast30Days},
        {kIdFlatRadioButton3, kModifiedLastYear},
        {kIdFlatRadioButton4, kDateRange},
        {kIdLabel6, kRangeFrom},
        {kIdLabel7, kRangeTo},
        {kIdFlatRadioButton5, kSizeUpTo1MB},
        {kIdFlatRadioButton6, kSize1To10MB},
        {kIdFlatRadioButton7, kSizeFrom10MB},
        {kIdFlatRadioButton8, kSizeCustom},
        {kIdFlatRadioButton9, kAnyDateOrSize},
        {kIdLabel11, kMoreOptionsSection},
        {kIdFlatCheckBox5, kSearchSubfolders},
        {kIdFindfilesbtn, kFindStart},
    };
    SetText(Handle(), kMainCaption);
    for (const Caption& caption : kCaptions)
        SetText(Control(caption.control), caption.text);
    SetFileColumns();
    for (auto& button : m_sectionButtons)
        button.SetPicture(L"BITMAP2");
    AddComboTexts(Control(kIdLmdimagecombobox1), {kDateKindCreated, kDateKindModified, kDateKindAccessed});
    AddComboTexts(Control(kIdLmdimagecombobox2), {kSizeAtLeast, kSizeAtMost});
    const std::pair<int, int> viewItems[] = {{kIdMaleikony1, kViewSmallIcons},
                                             {kIdVelkeikony1, kViewLargeIcons},
                                             {kIdSeznam1, kViewList},
                                             {kIdPodrobnosti1, kViewDetails}};
    for (const auto& [item, text] : viewItems)
    {
        std::wstring wide = platform::Widen(T(text));
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_STRING;
        info.dwTypeData = wide.data();
        SetMenuItemInfoW(m_viewMenu.Get(), static_cast<UINT>(item), FALSE, &info);
    }
}

void TFindfileFrm::Layout()
{
    RECT client;
    GetClientRect(Handle(), &client);
    const int width = client.right;
    const int height = client.bottom;
    SetWindowPos(m_topStrip.Handle(), nullptr, 0, 0, width, kTopStripHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    const int bodyHeight = std::max(0, height - kTopStripHeight);
    SetWindowPos(m_body.Handle(), nullptr, 0, kTopStripHeight, width, bodyHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    const int listHeight = std::max(0, bodyHeight - kStatusHeight);
    SetWindowPos(m_sideBar.Handle(), nullptr, 0, 0, kSideBarWidth, listHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(m_lv1, nullptr, kSideBarWidth, 0, std::max(0, width - kSideBarWidth), listHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(m_panel2, nullptr, 0, listHeight, width, kStatusHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFindfileFrm::FormClose()
{
    if (m_closing)
        return;
    m_closing = true;
    // AbortSearch keeps messages flowing until the worker has ended; no found event comes later.
    if (m_findFile->Busy())
        m_findFile->AbortSearch();
    DestroyWindow(Handle());
}

void TFindfileFrm::MinimizeBtnClick()
{
    ShowWindow(Handle(), SW_MINIMIZE);
}

void TFindfileFrm::ShowViewMenu()
{
    RECT rect;
    GetWindowRect(Control(kIdIcostylebtn), &rect);
    TrackPopupMenuEx(m_viewMenu.Get(), TPM_LEFTALIGN | TPM_TOPALIGN, rect.left, rect.bottom, Handle(),
                     nullptr);
}

void TFindfileFrm::OnCommand(int id, int code)
{
    switch (id)
    {
    case kIdCloseBtn:
        PostMessageW(Handle(), WM_CLOSE, 0, 0);
        return;
    case kIdMinimizeBtn:
        MinimizeBtnClick();
        return;
    case kIdAboutBtn:
        if (m_options.hooks.about)
            m_options.hooks.about(Handle());
        return;
    case kIdLangBtn:
        // The entries go under the current language's name; the restarted program adds them anew.
        if (m_options.hooks.language && m_options.hooks.language(Handle()) && m_options.hooks.setincontext)
            m_options.hooks.setincontext(false, false);
        return;
    case kIdSettingsBtn:
        // At most one settings dialog: a click while it is open does nothing more.
        if (m_options.hooks.settings && !m_settingsOpen)
        {
            m_settingsOpen = true;
            struct Reset
            {
                bool& flag;
                ~Reset() { flag = false; }
            } reset{m_settingsOpen};
            m_options.hooks.settings(Handle());
        }
        return;
    case kIdIcostylebtn:
        ShowViewMenu();
        return;
    case kIdFindfilesbtn:
        FindfilesbtnClick();
        return;
    case kIdExplBtn1:
    case kIdExplBtn2:
    case kIdExplBtn3:
        ExplBtnClick(id == kIdExplBtn1 ? 0 : (id == kIdExplBtn2 ? 1 : 2));
        return;
    case kIdFlatRadioButton1:
    case kIdFlatRadioButton2:
    case kIdFlatRadioButton3:
    case kIdFlatRadioButton4:
        if (code == BN_CLICKED)
            DateRadioClick(id);
        return;
    case kIdFlatRadioButton5:
    case kIdFlatRadioButton6:
    case kIdFlatRadioButton7:
    case kIdFlatRadioButton8:
    case kIdFlatRadioButton9:
        if (code == BN_CLICKED)
            SizeRadioClick(id);
        return;
    case kIdAWComboBoxEx1:
        if (code == CBN_SELCHANGE)
            PostMessageW(Handle(), kMsgPlacePicked, 0, 0);
        return;
    }
}

LRESULT TFindfileFrm::OnControlColour(UINT msg, HDC dc, HWND control)
{
    if (control == m_panel2)
    {
        SetBkColor(dc, controls::kBarColour);
        SetTextColor(dc, controls::kTextColour);
        return reinterpret_cast<LRESULT>(controls::BarBrush());
    }
    // Input fields of the option sections get their own tint; other fields stay white.
    if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX)
    {
        for (auto& panel : m_sectionPanels)
        {
            if (IsChild(panel.Handle(), control))
            {
                SetBkColor(dc, controls::kFieldColour);
                return reinterpret_cast<LRESULT>(controls::FieldBrush());
            }
        }
        return DefWindowProcW(Handle(), msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    }
    SetBkColor(dc, controls::kPanelColour);
    SetTextColor(dc, controls::kTextColour);
    return reinterpret_cast<LRESULT>(controls::PanelBrush());
}

bool TFindfileFrm::OnSetCursor(HWND target, int hitTest)
{
    // The body and the side bar show the hand, except where text is typed or the results are.
    if (hitTest != HTCLIENT || !IsChild(m_body.Handle(), target))
        return false;
    if (target == m_lv1 || IsChild(m_lv1, target))
        return false;
    wchar_t className[64] = {};
    GetClassNameW(target, className, 64);
    if (_wcsicmp(className, L"Edit") == 0)
        return false;
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return true;
}

LRESULT TFindfileFrm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_CREATE:
        BuildFrame();
        FormCreate();
        return 0;
    case WM_SIZE:
        Layout();
        return 0;
    case WM_WINDOWPOSCHANGING: {
        // Programmatic resizing obeys the same lower bound as dragging the frame.
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(pos->flags & SWP_NOSIZE) && !IsIconic(Handle()))
        {
            pos->cx = std::max(pos->cx, kMinWidth);
            pos->cy = std::max(pos->cy, kMinHeight);
        }
        break;
    }
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {kMinWidth, kMinHeight};
        return 0;
    }
    case WM_ERASEBKGND: {
        RECT rect;
        GetClientRect(Handle(), &rect);
        controls::PaintTiled(reinterpret_cast<HDC>(wParam), rect, controls::Picture(L"BACKGROUND"));
        return 1;
    }
    case WM_COMMAND:
        if (lParam == 0 && HIWORD(wParam) == 0 && LOWORD(wParam) >= kIdMaleikony1)
        {
            ViewMenuClick(LOWORD(wParam));
            return 0;
        }
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        return OnControlColour(msg, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR:
        if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam)))
            return TRUE;
        break;
    case kMsgPlacePicked:
        AWComboBoxEx1Click();
        return 0;
    case WM_CLOSE:
        FormClose();
        return 0;
    case WM_DESTROY:
        if (m_options.quitOnDestroy)
            PostQuitMessage(0);
        return 0;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

} // namespace ui
