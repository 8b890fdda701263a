// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include "ui/network/NetworkPanel.h"

#include "controls/Theme.h"
#include "controls/Window.h"
#include "controls/WindowDpi.h"
#include "lang/TextIds.h"
#include "lang/TextStore.h"
#include "network/Sweep.h"
#include "platform/NetworkProvider.h"
#include "platform/Win32IpHelper.h"
#include "platform/Win32ReverseResolver.h"
#include "settings/AppPaths.h"
#include "settings/SettingsFile.h"
#include "ui/results/ResultsList.h"

namespace ui
{

namespace
{

// The panel's controls, in the order of its face; all but the search field are drawn in bold.
constexpr int kBoldControls[] = {kIdImage2,   kIdMemo2,         kIdLabel8,
                                 kIdSweepBox, kIdFlatCheckBox1, kIdFincompsbtn};

HIMAGELIST LoadNetworkImages(unsigned dpi)
{
    return controls::LoadImageStrip(L"NETCOMPUTER", 16, dpi);
}

} // namespace

NetworkPanel::NetworkPanel(FrameHost& host, NetworkPanelServices services)
    : m_host(host), m_services(std::move(services)), m_images(LoadNetworkImages(controls::SystemDpi())),
      m_mode(
          m_images.Get(), [this](POINT screen) { ShowPopupMenu3(screen); }, [this] { return m_host.Owner(); })
{
    if (!m_services.lookupPlatform)
        m_services.lookupPlatform = [this] { return Win32LookupPlatform(m_providerName); };
}

std::string NetworkPanel::T(int id) const
{
    return m_host.Texts().Text(id);
}

NetworkPanel::~NetworkPanel()
{
    Close();
}

void NetworkPanel::ReadProviderName()
{
    m_providerName = platform::LanManagerProviderName();
}

// Positions are those of the panel's face under its header.
void NetworkPanel::Build(HWND page)
{
    m_page = page;
    // SS_NOTIFY: the picture and the label take their clicks instead of the page behind them.
    controls::CreateChild(page, kIdImage2, L"STATIC", SS_BITMAP | SS_NOTIFY, 0, 24, 49, 41);
    controls::CreateChild(page, kIdMemo2, L"EDIT", ES_MULTILINE | ES_READONLY, 72, 24, 153, 41);
    controls::CreateChild(page, kIdLabel8, L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY, 0, 80, 177,
                          15);
    m_edit = controls::CreateChild(page, kIdLMDEdit3, L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, 0, 96, 177, 21,
                                   WS_EX_CLIENTEDGE);
    m_sweepBox = controls::CreateChild(page, kIdSweepBox, L"BUTTON",
                                       BS_AUTOCHECKBOX | BS_MULTILINE | WS_TABSTOP, 16, 124, 209, 30);
    // Off until the user turns it on: asking every address of a network unasked alarms its guards.
    if (settings::SweepLocalNetwork())
        ::SendMessageW(m_sweepBox, BM_SETCHECK, BST_CHECKED, 0);
    controls::CreateChild(page, kIdFlatCheckBox1, L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 16, 168, 201, 17);
    m_button.Create(page, kIdFincompsbtn, 56, 408, 113, 33);
    m_button.SetFaces(controls::Picture(L"BUTTONFACE"), controls::Picture(L"BUTTONHOVER"));
    // LMDEdit3KeyDown: Enter in the field starts or stops the lookup as the button does.
    m_editEnter.Install(m_edit, m_host.Owner(), m_button.Handle());
    m_accessKeys.AddFocus(::GetDlgItem(page, kIdLabel8), m_edit);
}

// The window has given every control its font by now; the panel's own look is bold.
void NetworkPanel::FollowDpi(unsigned dpi)
{
    ::SendMessageW(::GetDlgItem(m_page, kIdImage2), STM_SETIMAGE, IMAGE_BITMAP,
                   reinterpret_cast<LPARAM>(controls::Picture(L"NETPANEL", dpi)));
    m_button.SetGlyph(m_host.ButtonGlyphs(), FrameHost::kFindGlyph);
    // The list lets go of the old pictures before they are destroyed.
    platform::UniqueImageList images(LoadNetworkImages(dpi));
    m_mode.SetImages(images.Get());
    ResultsList& list = m_host.Results();
    if (list.CurrentMode() == &m_mode)
    {
        ListView_SetImageList(list.Handle(), images.Get(), LVSIL_SMALL);
        ListView_SetImageList(list.Handle(), images.Get(), LVSIL_NORMAL);
    }
    m_images = std::move(images);
    for (int id : kBoldControls)
        ::SendMessageW(::GetDlgItem(m_page, id), WM_SETFONT,
                       reinterpret_cast<WPARAM>(controls::UiBoldFont(dpi)), FALSE);
}

void NetworkPanel::SetCaptions()
{
    using namespace lang::text;
    const std::pair<int, int> captions[] = {{kIdMemo2, kNetworkDescription},
                                            {kIdLabel8, kComputerNameLabel},
                                            {kIdSweepBox, kSweepLocalNetwork},
                                            {kIdFlatCheckBox1, kListWorkgroups},
                                            {kIdFincompsbtn, kFindStart}};
    for (const auto& [id, text] : captions)
        controls::SetWindowTextUtf8(::GetDlgItem(m_page, id), T(text));
    m_accessKeys.Choose();
}

void NetworkPanel::Activate()
{
    ResultsList& list = m_host.Results();
    HWND lv1 = list.Handle();
    ::SendMessageW(lv1, WM_SETREDRAW, FALSE, 0);
    list.Clear();
    m_rowPending = false;
    list.ShowMode(m_mode);
    ListView_SetColumnWidth(lv1, 1, controls::ScaleFor(lv1, 100));
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
    Stop();
    controls::SetWindowTextUtf8(m_button.Handle(), T(lang::text::kFindStart));
}

void NetworkPanel::StartLookup()
{
    auto lookup = std::make_shared<TNetInfo>(m_host.UiSyncCall(), m_nextId++, controls::WindowText(m_edit),
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
    {
        std::shared_ptr<platform::ReverseResolver> resolver =
            m_services.reverseResolver ? m_services.reverseResolver()
                                       : std::make_shared<platform::Win32ReverseResolver>();
        AddWin32Sweep(platform,
                      m_services.sweepRanges ? m_services.sweepRanges()
                                             : network::LocalSweepRanges(platform::UpAdapterSubnets()),
                      std::move(resolver));
    }
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

void NetworkPanel::Stop()
{
    if (m_current && !m_current->Terminated())
        m_current->Terminate();
}

void NetworkPanel::NetInfoTerminate()
{
    m_current.reset();
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    controls::SetWindowTextUtf8(m_button.Handle(), T(lang::text::kFindStart));
    ResultsList& list = m_host.Results();
    list.ShowPendingRows();
    list.ShowRowCount();
}

void NetworkPanel::Close()
{
    // The lookup runs on until its provider call returns, but never reaches this panel again.
    if (m_current)
        m_current->Orphan();
    m_current.reset();
    m_editEnter.Remove();
}

void NetworkPanel::OnNetInfo(unsigned id, const NetInfoEvent& event)
{
    if (!m_current || id != m_current->Id())
        return;
    ResultsList& list = m_host.Results();
    // In another panel's mode (Header1Click) the stopped lookup's last row has no place in the list.
    if ((event.kind == NetInfoEvent::Row || event.kind == NetInfoEvent::LastCell) &&
        list.CurrentMode() != &m_mode)
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
        m_pendingSource = event.row->source;
        list.AddRow(std::move(row));
        list.ShowPendingRows();
        break;
    }
    case NetInfoEvent::LastCell:
        // Dropped when the list was cleared after the row came.
        if (m_rowPending)
        {
            list.AddCellToLastRow(*event.text);
            list.AddCellToLastRow(event.mac ? event.mac->vendor : std::string());
            list.AddCellToLastRow(SourceText(m_pendingSource));
        }
        m_rowPending = false;
        break;
    }
}

std::string NetworkPanel::SourceText(network::NameSource source) const
{
    switch (source)
    {
    case network::NameSource::BrowseList:
        return T(lang::text::kNameFromBrowseList);
    case network::NameSource::NetBios:
        return "NetBIOS";
    case network::NameSource::Mdns:
        return "mDNS";
    case network::NameSource::Dns:
        return "DNS";
    case network::NameSource::None:
        break;
    }
    return {};
}

bool NetworkPanel::OnCommand(int id, int code, HWND control)
{
    if (code != BN_CLICKED)
        return false;
    switch (id)
    {
    case kIdFincompsbtn:
        FincompsbtnClick();
        return true;
    case kIdSweepBox:
        SweepBoxClick();
        return true;
    case kIdFlatCheckBox1:
        *m_listDomains = ::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        return true;
    default:
        return false;
    }
}

const wchar_t* NetworkPanel::Cursor() const
{
    return m_current ? IDC_APPSTARTING : nullptr;
}

} // namespace ui
