// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include "ui/network/NetworkPanel.h"

#include "controls/Theme.h"
#include "controls/Window.h"
#include "lang/TextIds.h"
#include "lang/TextStore.h"
#include "network/Sweep.h"
#include "platform/Win32IpHelper.h"
#include "settings/AppPaths.h"
#include "settings/SettingsFile.h"
#include "ui/main/FindfileFrm.h"

namespace ui
{

namespace
{

HWND AddControl(HWND parent, int id, const wchar_t* className, DWORD style, int x, int y, int width,
                int height, DWORD exStyle = 0)
{
    HWND control = controls::CreateChild(parent, id, className, style, x, y, width, height, exStyle);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(controls::UiBoldFont()), FALSE);
    return control;
}

} // namespace

NetworkPanel::NetworkPanel(TFindfileFrm& frame, NetworkPanelServices services)
    : m_frame(frame), m_services(std::move(services))
{
    if (!m_services.lookupPlatform)
        m_services.lookupPlatform = [this] { return Win32LookupPlatform(m_frame.NetworkProviderName()); };
    m_images.Reset(::ImageList_LoadImageW(::GetModuleHandleW(nullptr), L"NETCOMPUTER", 16, 0,
                                          RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION));
    BuildControls();
    m_frameSubclass.Install(m_frame.Handle(), [this](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return FrameMessage(hwnd, msg, wParam, lParam);
    });
    m_frame.Results().showNetworkMenu = [this](POINT screen) { ShowPopupMenu3(screen); };
}

std::string NetworkPanel::T(int id) const
{
    return m_frame.Texts().Text(id);
}

NetworkPanel::~NetworkPanel()
{
    Forget();
}

// Positions are those of the panel's face under its header.
void NetworkPanel::BuildControls()
{
    HWND page = m_frame.NetworkPage().Handle();
    // SS_NOTIFY: the picture and the label take their clicks instead of the page behind them.
    HWND image = AddControl(page, kIdImage2, L"STATIC", SS_BITMAP | SS_NOTIFY, 0, 24, 49, 41);
    ::SendMessageW(image, STM_SETIMAGE, IMAGE_BITMAP,
                   reinterpret_cast<LPARAM>(controls::Picture(L"NETPANEL")));
    HWND memo = AddControl(page, kIdMemo2, L"EDIT", ES_MULTILINE | ES_READONLY, 72, 24, 153, 41);
    controls::SetWindowTextUtf8(memo, T(lang::text::kNetworkDescription));
    HWND label =
        AddControl(page, kIdLabel8, L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY, 0, 80, 177, 15);
    controls::SetWindowTextUtf8(label, T(lang::text::kComputerNameLabel));
    m_edit =
        AddControl(page, kIdLMDEdit3, L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, 0, 96, 177, 21, WS_EX_CLIENTEDGE);
    ::SendMessageW(m_edit, WM_SETFONT, reinterpret_cast<WPARAM>(controls::UiFont()), FALSE);
    m_sweepBox = AddControl(page, kIdSweepBox, L"BUTTON", BS_AUTOCHECKBOX | BS_MULTILINE | WS_TABSTOP, 16,
                            124, 209, 30);
    controls::SetWindowTextUtf8(m_sweepBox, T(lang::text::kSweepLocalNetwork));
    // Off until the user turns it on: asking every address of a network unasked alarms its guards.
    if (settings::SweepLocalNetwork())
        ::SendMessageW(m_sweepBox, BM_SETCHECK, BST_CHECKED, 0);
    HWND box = AddControl(page, kIdFlatCheckBox1, L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 16, 168, 201, 17);
    controls::SetWindowTextUtf8(box, T(lang::text::kListWorkgroups));
    m_button.Create(page, kIdFincompsbtn, 56, 408, 113, 33);
    m_button.SetFaces(controls::Picture(L"BUTTONFACE"), controls::Picture(L"BUTTONHOVER"));
    m_button.SetGlyph(m_frame.ButtonGlyphs(), FrameHost::kFindGlyph);
    ::SendMessageW(m_button.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(controls::UiBoldFont()), FALSE);
    controls::SetWindowTextUtf8(m_button.Handle(), T(lang::text::kFindStart));
    // LMDEdit3KeyDown: Enter in the field starts or stops the lookup as the button does.
    m_editEnter.Install(m_edit, m_frame.Handle(), m_button.Handle());
}

void NetworkPanel::Header2Click()
{
    ResultsList& list = m_frame.Results();
    HWND lv1 = list.Handle();
    ::SendMessageW(lv1, WM_SETREDRAW, FALSE, 0);
    if (m_frame.FindFile1().Busy())
        m_frame.FindFile1().AbortSearch();
    list.Clear();
    m_rowPending = false;
    list.SetNetworkColumns();
    ListView_SetColumnWidth(lv1, 1, 100);
    list.SetImageLists(m_images.Get(), m_images.Get());
    ::SendMessageW(lv1, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(lv1, nullptr, TRUE);
}

void NetworkPanel::FincompsbtnClick()
{
    if (controls::WindowText(m_button.Handle()) == T(lang::text::kFindStart))
    {
        controls::SetWindowTextUtf8(m_button.Handle(), T(lang::text::kFindStop));
        StartLookup();
        ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING));
        return;
    }
    StopLookup();
    controls::SetWindowTextUtf8(m_button.Handle(), T(lang::text::kFindStart));
}

void NetworkPanel::StartLookup()
{
    auto lookup = std::make_shared<TNetInfo>(m_frame.UiSyncCall(), m_nextId++, controls::WindowText(m_edit),
                                             NewLookupPlatform(), m_listDomains);
    lookup->OnEvent = [this](unsigned id, const NetInfoEvent& event) { OnNetInfo(id, event); };
    lookup->OnTerminate = [this, id = lookup->Id()](platform::TThread&) {
        if (m_current && id == m_current->Id())
            NetInfoTerminate();
    };
    // A stopped lookup still winding down becomes stale: its rows and its end are dropped.
    if (m_current)
        m_current->Orphan();
    lookup->Start();
    m_current = std::move(lookup);
}

LookupPlatform NetworkPanel::NewLookupPlatform()
{
    LookupPlatform platform = m_services.lookupPlatform();
    if (SweepTicked())
        AddWin32Sweep(platform, m_services.sweepRanges
                                    ? m_services.sweepRanges()
                                    : network::LocalSweepRanges(platform::UpAdapterSubnets()));
    return platform;
}

bool NetworkPanel::SweepTicked() const
{
    return ::SendMessageW(m_sweepBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void NetworkPanel::SweepBoxClick()
{
    const bool on = SweepTicked();
    // Unwritable settings only mean the choice is not remembered; the box still acts now.
    settings::SetSweepLocalNetwork(on);
}

void NetworkPanel::StopLookup()
{
    if (m_current && !m_current->Terminated())
        m_current->Terminate();
}

void NetworkPanel::NetInfoTerminate()
{
    m_current.reset();
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    controls::SetWindowTextUtf8(m_button.Handle(), T(lang::text::kFindStart));
    ResultsList& list = m_frame.Results();
    list.ShowPendingRows();
    list.ShowRowCount();
}

void NetworkPanel::Forget()
{
    // The lookup runs on until its provider call returns, but never reaches this panel again.
    if (m_current)
        m_current->Orphan();
    m_current.reset();
    m_frameSubclass.Remove();
    m_editEnter.Remove();
    m_frame.Results().showNetworkMenu = nullptr;
}

void NetworkPanel::OnNetInfo(unsigned id, const NetInfoEvent& event)
{
    if (!m_current || id != m_current->Id())
        return;
    ResultsList& list = m_frame.Results();
    // Back in file mode (Header1Click) the stopped lookup's last row has no place in the list.
    if ((event.kind == NetInfoEvent::Row || event.kind == NetInfoEvent::LastCell) && list.IsFileMode())
        return;
    switch (event.kind)
    {
    case NetInfoEvent::Clear:
        list.Clear();
        m_rowPending = false;
        break;
    case NetInfoEvent::Row: {
        ResultRow row;
        row.caption = event.row->caption;
        row.cells = event.row->cells;
        row.icon = 0;
        m_rowPending = !row.caption.empty();
        list.AddRow(std::move(row));
        list.ShowPendingRows();
        break;
    }
    case NetInfoEvent::LastCell:
        // Dropped when the list was cleared after the row came.
        if (m_rowPending)
            list.AddCellToLastRow(*event.text);
        m_rowPending = false;
        break;
    }
}

LRESULT NetworkPanel::FrameMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_COMMAND:
        if (LOWORD(wParam) == kIdFincompsbtn && HIWORD(wParam) == BN_CLICKED)
        {
            FincompsbtnClick();
            return 0;
        }
        if (LOWORD(wParam) == kIdSweepBox && HIWORD(wParam) == BN_CLICKED)
            SweepBoxClick();
        if (LOWORD(wParam) == kIdFlatCheckBox1 && HIWORD(wParam) == BN_CLICKED)
            *m_listDomains = ::SendMessageW(reinterpret_cast<HWND>(lParam), BM_GETCHECK, 0, 0) == BST_CHECKED;
        break;
    case WM_SETCURSOR:
        if (m_current && LOWORD(lParam) == HTCLIENT)
        {
            ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING));
            return TRUE;
        }
        break;
    case WM_DESTROY:
        // The window is going: the lookup is told to stop and never reaches the panel again.
        Forget();
        break;
    }
    return controls::Subclass::Default(hwnd, msg, wParam, lParam);
}

} // namespace ui
