// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on
#include "ui/main/FindfileFrm.h"

#include "controls/Dpi.h"
#include "controls/Theme.h"
#include "controls/WindowDpi.h"
#include "lang/Language.h"
#include "lang/TextIds.h"
#include "platform/Utf8.h"
#include "settings/SettingsFile.h"

#include <algorithm>

namespace ui
{

namespace
{

constexpr wchar_t kClassName[] = L"TFindfileFrm";
constexpr int kTopStripHeight = 25;
constexpr int kSideBarWidth = 232;
constexpr int kStatusHeight = 17;

} // namespace

TFindfileFrm::TFindfileFrm(const engine::FinderServices& services, FrameOptions options)
    : m_options(std::move(options)), m_texts(m_options.texts ? *m_options.texts : lang::ModuleTexts()),
      m_syncCall(services.syncCall), m_finderServices(services)
{
    FileSearchOptions search;
    search.clock = m_options.clock;
    search.browseForFolder = m_options.hooks.browseForFolder;
    search.askSearchFile = m_options.hooks.askSearchFile;
    search.rowActions = m_options.fileRowActions;
    FrameHost& host = *this;
    m_filePanel = std::make_unique<FileSearchPanel>(host, services, std::move(search));
    m_networkPanel = std::make_unique<NetworkPanel>(host, m_options.network);

    // The window's controls need these classes; the frame is the one place that asks for them.
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES |
                                              ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    RegisterWindowClass(kClassName, LoadCursorW(nullptr, IDC_ARROW), CS_DBLCLKS);
}

TFindfileFrm::~TFindfileFrm()
{
    // The panels' work calls into this window: end it while the window still exists.
    ClosePanels();
    if (Handle())
        DestroyWindow(Handle());
}

HWND TFindfileFrm::Create()
{
    // The primary monitor's DPI until the window knows the DPI of its own monitor.
    const unsigned dpi = controls::SystemDpi();
    const settings::WindowPlace stored =
        m_options.keepPlace ? settings::ReadWindowPlace() : settings::WindowPlace{};
    const RECT rect = StartRect(stored, dpi);
    controls::ApplicationWindow* application = m_options.application;
    HWND owner = application ? application->Handle() : nullptr;
    const DWORD taskbarButton = owner ? 0 : WS_EX_APPWINDOW;
    HWND hwnd = CreateWin(WS_EX_CONTROLPARENT | taskbarButton, kClassName, L"",
                          WS_POPUP | WS_THICKFRAME | WS_MINIMIZEBOX | WS_SYSMENU | WS_CLIPCHILDREN, rect.left,
                          rect.top, rect.right - rect.left, rect.bottom - rect.top, owner, 0);
    if (hwnd)
    {
        if (application)
            application->SetMainWindow(hwnd);
        // Opened on a monitor of another DPI: the same physical size there.
        if (const unsigned own = controls::WindowDpi(hwnd); own != dpi)
            SetWindowPos(hwnd, nullptr, 0, 0, controls::Rescale(rect.right - rect.left, dpi, own),
                         controls::Rescale(rect.bottom - rect.top, dpi, own),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (m_options.keepPlace)
            RestoreListLook(stored);
        ShowWindow(hwnd, m_options.keepPlace && stored.maximized ? SW_SHOWMAXIMIZED : SW_SHOW);
        UpdateWindow(hwnd);
        SetFocus(Control(kIdLMDEdit1));
    }
    return hwnd;
}

void TFindfileFrm::SetText(HWND hwnd, int id) const
{
    controls::SetWindowTextUtf8(hwnd, T(id));
}

bool TFindfileFrm::PreTranslateMessage(MSG& msg)
{
    if (!Handle())
        return false;
    if (msg.message == WM_SYSCHAR &&
        Panels(m_sideBar.Active())->PressAccessKey(static_cast<wchar_t>(msg.wParam)))
        return true;
    return TranslateAcceleratorW(Handle(), m_accelerators.Get(), &msg) || IsDialogMessageW(Handle(), &msg);
}

HWND TFindfileFrm::Control(int id) const
{
    return controls::FindControl(Handle(), id);
}

void TFindfileFrm::BuildFrame()
{
    HWND self = Handle();
    // Top strip: its face is a tiled picture; six flat buttons, each a glyph and a caption.
    m_topStrip.Create(self, kIdTopStrip, RECT{0, 0, kStartWidth, kTopStripHeight}, self, controls::kBarColour,
                      WS_VISIBLE);
    m_topStrip.SetSunken(true);
    // The strip's bare face moves the window, as the title bar it stands in for would.
    m_topStrip.OnBackgroundClick = [self] {
        ReleaseCapture();
        SendMessageW(self, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    };
    const int ids[6] = {kIdSettingsBtn, kIdIcostylebtn, kIdAboutBtn, kIdLangBtn, kIdMinimizeBtn, kIdCloseBtn};
    const int widths[6] = {73, 49, 90, 90, 90, 90};
    int x = 3;
    for (int i = 0; i < 6; ++i)
    {
        m_topButtons[i].Create(m_topStrip.Handle(), ids[i], x, 2, widths[i], 19);
        m_topButtons[i].SetFaces(controls::Picture(L"BUTTONFACE"), controls::Picture(L"BUTTONHOVER"));
        x += widths[i] + 3;
    }

    // Body: side bar on the left, the results list beside it, the status line along the bottom.
    m_body.Create(self, kIdBody, RECT{0, kTopStripHeight, kStartWidth, kStartHeight}, self,
                  controls::kBarColour, WS_VISIBLE);
    m_sideBar.Create(m_body.Handle(), kIdSideBar, RECT{0, 0, kSideBarWidth, 400}, self);
    m_sideBar.AddHeader(kIdHeader1, kIdHeader1Page);
    m_sideBar.AddHeader(kIdHeader2, kIdHeader2Page);
    m_sideBar.OnHeaderClick = [this](int index) { ActivatePanel(index); };
    for (int index = 0; index < kPanelCount; ++index)
    {
        m_sideBar.Page(index).OnBackgroundClick = [this, index] { ActivatePanel(index); };
        Panels(index)->Build(m_sideBar.Page(index).Handle());
    }
    CreateLV1(m_body.Handle());
    // SS_NOTIFY: the status line takes the pointer, so that its tooltip can show.
    m_panel2 = controls::CreateChild(m_body.Handle(), kIdPanel2, L"STATIC",
                                     SS_LEFTNOWORDWRAP | SS_CENTERIMAGE | SS_NOPREFIX | SS_NOTIFY, 0, 0, 10,
                                     kStatusHeight);
    m_panel2Text.Attach(m_panel2);
    CreateStatusTip();

    m_viewMenu.Reset(CreatePopupMenu());
    AppendMenuW(m_viewMenu.Get(), MF_STRING, kIdMaleikony1, L"");
    AppendMenuW(m_viewMenu.Get(), MF_STRING, kIdVelkeikony1, L"");
    AppendMenuW(m_viewMenu.Get(), MF_STRING, kIdSeznam1, L"");
    AppendMenuW(m_viewMenu.Get(), MF_STRING | MF_CHECKED, kIdPodrobnosti1, L"");
    CreatePreview(m_body.Handle());

    // Ctrl+S saves the search panel's criteria to a search file, Ctrl+O opens one.
    ACCEL keys[] = {{FCONTROL | FVIRTKEY, 'S', kIdSaveSearch}, {FCONTROL | FVIRTKEY, 'O', kIdOpenSearch}};
    m_accelerators.Reset(CreateAcceleratorTableW(keys, 2));
    DragAcceptFiles(self, TRUE);

    FollowDpi();
    Layout();
}

void TFindfileFrm::FollowDpi()
{
    const unsigned dpi = controls::WindowDpi(Handle());
    // The buttons hold the image list: each gets the new one before anything paints.
    m_glyphs.Reset(controls::LoadImageStrip(L"GLYPHS", 16, dpi));
    for (int i = 0; i < 6; ++i)
        m_topButtons[i].SetGlyph(m_glyphs.Get(), i);
    m_topStrip.SetTile(controls::Picture(L"TOPSTRIP", dpi));
    m_body.SetTile(controls::Picture(L"BACKGROUND", dpi));
    controls::ApplyFont(Handle());
    for (int index = 0; index < kPanelCount; ++index)
        Panels(index)->FollowDpi(dpi);
    m_dpi = dpi;
}

void TFindfileFrm::OnDpiChanged(unsigned dpi, const RECT& suggested)
{
    const unsigned old = m_dpi;
    controls::MoveToDpi(Handle(), dpi);
    FollowDpi();
    for (int column = 0; column < m_results->ColumnCount(); ++column)
        SetColumnWidth(column, controls::Rescale(ColumnWidth(column), old, m_dpi));
    SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

SIZE TFindfileFrm::MinSize() const
{
    const unsigned dpi = controls::WindowDpi(Handle());
    return SIZE{controls::Scale(kMinWidth, dpi), controls::Scale(kMinHeight, dpi)};
}

void TFindfileFrm::CreateStatusTip()
{
    m_panel2Tip.Reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(),
                                      nullptr, GetModuleHandleW(nullptr), nullptr));
    if (!m_panel2Tip)
        return;
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(m_panel2);
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(m_panel2Tip.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // Several lines: one per kind of skip.
    SendMessageW(m_panel2Tip.Get(), TTM_SETMAXTIPWIDTH, 0, controls::ScaleFor(Handle(), 600));
    SendMessageW(m_panel2Tip.Get(), TTM_ACTIVATE, FALSE, 0);
}

void TFindfileFrm::ShowStatusNote(const std::string& note, const std::string& details)
{
    if (!note.empty())
        m_panel2Text.SetText(controls::WindowText(m_panel2) + note);
    if (!m_panel2Tip)
        return;
    std::wstring text = platform::Widen(details);
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(m_panel2);
    tool.lpszText = text.data();
    SendMessageW(m_panel2Tip.Get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(m_panel2Tip.Get(), TTM_ACTIVATE, details.empty() ? FALSE : TRUE, 0);
}

void TFindfileFrm::FormCreate()
{
    // 1. The language module: every text below is looked up after this.
    lang::LoadLanguageModule();
    // 2. The Explorer integration, in line with the stored setting (unset, -1, counts as on).
    if (m_options.hooks.setincontext)
        m_options.hooks.setincontext((settings::incontext() & 0xFF) != 0, false);
    // 3. The LAN Manager provider's name, for the network lookup.
    m_networkPanel->ReadProviderName();
    // 4. The special folders and the look-in list.
    m_filePanel->ReadPlaces();
    // 5. Every caption from its text ID.
    SetCaptions();
    // 6., 7. The start selection, or a folder named on the command line.
    m_filePanel->SelectStartPlace(m_options.firstArgument);
    // A search file named on the command line (Explorer's open) fills the panel; a refused one
    // is said and the window starts as usual.
    if (m_options.firstArgument && FileSearchPanel::IsSearchFile(*m_options.firstArgument))
    {
        try
        {
            m_filePanel->OpenSearchFile(*m_options.firstArgument);
        }
        catch (const std::exception& e)
        {
            controls::ShowErrorBox(Handle(), e.what());
        }
    }
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
        {kIdMinimizeBtn, kMinimizeButton}, {kIdLangBtn, kLanguageButton},     {kIdAboutBtn, kAboutButton},
        {kIdCloseBtn, kCloseButton},       {kIdSettingsBtn, kSettingsButton}, {kIdHeader1, kFileHeader},
        {kIdHeader2, kNetworkHeader},
    };
    SetText(Handle(), kMainCaption);
    for (const Caption& caption : kCaptions)
        SetText(Control(caption.control), caption.text);
    SetFileColumns();
    for (int index = 0; index < kPanelCount; ++index)
        Panels(index)->SetCaptions();
    const std::pair<int, int> viewItems[] = {{kIdMaleikony1, kViewSmallIcons},
                                             {kIdVelkeikony1, kViewLargeIcons},
                                             {kIdSeznam1, kViewList},
                                             {kIdPodrobnosti1, kViewDetails},
                                             {kIdPreviewMenu, kPreviewMenu}};
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
    const unsigned dpi = controls::WindowDpi(Handle());
    const int stripHeight = controls::Scale(kTopStripHeight, dpi);
    const int sideBarWidth = controls::Scale(kSideBarWidth, dpi);
    const int statusHeight = controls::Scale(kStatusHeight, dpi);
    SetWindowPos(m_topStrip.Handle(), nullptr, 0, 0, width, stripHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    const int bodyHeight = std::max(0, height - stripHeight);
    SetWindowPos(m_body.Handle(), nullptr, 0, stripHeight, width, bodyHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    const int listHeight = std::max(0, bodyHeight - statusHeight);
    SetWindowPos(m_sideBar.Handle(), nullptr, 0, 0, sideBarWidth, listHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    // The preview pane takes the bottom of the list's place, at most half of it.
    const int previewHeight =
        m_previewShown ? std::min(controls::Scale(kPreviewHeight, dpi), listHeight / 2) : 0;
    const int lv1Height = listHeight - previewHeight;
    SetWindowPos(m_lv1, nullptr, sideBarWidth, 0, std::max(0, width - sideBarWidth), lv1Height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_preview)
        SetWindowPos(m_preview->Handle(), nullptr, sideBarWidth, lv1Height, std::max(0, width - sideBarWidth),
                     previewHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(m_panel2, nullptr, 0, listHeight, width, statusHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFindfileFrm::FormClose()
{
    if (m_closing)
        return;
    m_closing = true;
    ClosePanels();
    if (m_options.keepPlace)
        SavePlace();
    DestroyWindow(Handle());
}

SidePanel* TFindfileFrm::Panels(int index) const
{
    if (index == 0)
        return m_filePanel.get();
    return index == 1 ? m_networkPanel.get() : nullptr;
}

void TFindfileFrm::ClosePanels()
{
    // A search being aborted keeps messages flowing until its worker has ended; a lookup is cut
    // loose. Neither reaches the window afterwards.
    for (int index = 0; index < kPanelCount; ++index)
        Panels(index)->Close();
}

void TFindfileFrm::MinimizeBtnClick()
{
    if (m_options.application)
        m_options.application->Minimize();
    else
        ShowWindow(Handle(), SW_MINIMIZE);
}

void TFindfileFrm::ShowViewMenu()
{
    RECT rect;
    GetWindowRect(Control(kIdIcostylebtn), &rect);
    TrackPopupMenuEx(m_viewMenu.Get(), TPM_LEFTALIGN | TPM_TOPALIGN, rect.left, rect.bottom, Handle(),
                     nullptr);
}

bool TFindfileFrm::OnCommand(int id, int code, HWND control)
{
    // PopupMenu2's items come as menu commands, without a control.
    if (!control && code == 0 && id >= kIdMaleikony1)
    {
        ViewMenuClick(id);
        return true;
    }
    switch (id)
    {
    case kIdCloseBtn:
        PostMessageW(Handle(), WM_CLOSE, 0, 0);
        return true;
    case kIdMinimizeBtn:
        MinimizeBtnClick();
        return true;
    case kIdAboutBtn:
        if (m_options.hooks.about)
            m_options.hooks.about(Handle());
        return true;
    case kIdLangBtn:
        // The entries go under the current language's name; the restarted program adds them anew.
        if (m_options.hooks.language && m_options.hooks.language(Handle()) && m_options.hooks.setincontext)
            m_options.hooks.setincontext(false, false);
        return true;
    case kIdSettingsBtn:
        // The dialog itself sees to it that a click while it is open opens no second one.
        if (m_options.hooks.settings)
            m_options.hooks.settings(Handle());
        // The dialog may have turned the fields' history off, which empties it.
        m_filePanel->LoadHistory();
        return true;
    case kIdIcostylebtn:
        ShowViewMenu();
        return true;
    }
    for (int index = 0; index < kPanelCount; ++index)
        if (Panels(index)->OnCommand(id, code, control))
            return true;
    return false;
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
        if (m_filePanel->IsSectionField(control))
        {
            SetBkColor(dc, controls::kFieldColour);
            return reinterpret_cast<LRESULT>(controls::FieldBrush());
        }
        return DefWindowProcW(Handle(), msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    }
    SetBkColor(dc, controls::kPanelColour);
    SetTextColor(dc, controls::kTextColour);
    return reinterpret_cast<LRESULT>(controls::PanelBrush());
}

bool TFindfileFrm::OnSetCursor(HWND target, int hitTest)
{
    if (hitTest != HTCLIENT)
        return false;
    // A working panel's cursor shows over the whole window.
    for (int index = 0; index < kPanelCount; ++index)
        if (const wchar_t* cursor = Panels(index)->Cursor())
        {
            SetCursor(LoadCursorW(nullptr, cursor));
            return true;
        }
    // The body and the side bar show the hand, except where text is typed or the results are.
    if (!IsChild(m_body.Handle(), target))
        return false;
    if (target == m_lv1 || IsChild(m_lv1, target))
        return false;
    // A drop-down field with an edit is a text field as a whole, its arrow included.
    wchar_t className[64] = {};
    GetClassNameW(FieldEdit(target), className, 64);
    if (_wcsicmp(className, L"Edit") == 0)
        return false;
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return true;
}

void TFindfileFrm::OnDropFiles(HDROP drop)
{
    std::string path;
    if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) > 0)
    {
        std::wstring name(DragQueryFileW(drop, 0, nullptr, 0) + 1, L'\0');
        DragQueryFileW(drop, 0, name.data(), static_cast<UINT>(name.size()));
        name.resize(name.size() - 1);
        path = platform::Narrow(name);
    }
    DragFinish(drop);
    if (FileSearchPanel::IsSearchFile(path))
        m_filePanel->OpenSearchFile(path);
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
        // Restored on its own (not through the taskbar button): the application is restored too.
        if (wParam == SIZE_RESTORED && m_options.application && IsIconic(m_options.application->Handle()))
            ShowWindow(m_options.application->Handle(), SW_RESTORE);
        Layout();
        return 0;
    case WM_WINDOWPOSCHANGING: {
        // Programmatic resizing obeys the same lower bound as dragging the frame.
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(pos->flags & SWP_NOSIZE) && !IsIconic(Handle()))
        {
            const SIZE least = MinSize();
            pos->cx = std::max<int>(pos->cx, least.cx);
            pos->cy = std::max<int>(pos->cy, least.cy);
        }
        break;
    }
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        const SIZE least = MinSize();
        info->ptMinTrackSize = {least.cx, least.cy};
        return 0;
    }
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_ERASEBKGND: {
        RECT rect;
        GetClientRect(Handle(), &rect);
        controls::PaintTiled(reinterpret_cast<HDC>(wParam), rect,
                             controls::Picture(L"BACKGROUND", controls::WindowDpi(Handle())));
        return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        return OnControlColour(msg, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR:
        if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam)))
            return TRUE;
        break;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_CLOSE:
        FormClose();
        return 0;
    case WM_DESTROY:
        ClosePanels();
        if (m_options.application)
            m_options.application->SetMainWindow(nullptr);
        if (m_options.quitOnDestroy)
            PostQuitMessage(0);
        return 0;
    }
    if (msg >= WM_APP)
    {
        LRESULT result = 0;
        for (int index = 0; index < kPanelCount; ++index)
            if (Panels(index)->OnMessage(msg, wParam, lParam, result))
                return result;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

} // namespace ui
