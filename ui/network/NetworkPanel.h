#pragma once
// The network panel under Header2: the search field, the "list workgroups" box and the start/stop
// button Fincompsbtn; it switches LV1 into network mode, runs TNetInfo and shows its rows, and
// offers PopupMenu3 on the rows. The main window builds it as it builds the file panel and hands
// it its controls' commands; the lookup's rows and its end come through the window thread's
// synchronized call.
#include "controls/AccessKeyLabels.h"
#include "controls/EnterPressesButton.h"
#include "controls/FlatButton.h"
#include "platform/UniqueHandle.h"
#include "ui/main/SidePanel.h"
#include "ui/network/ComputerResultsMode.h"
#include "ui/network/NetInfo.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>

namespace ui
{

enum NetworkControlId : int
{
    kIdImage2 = 300,
    kIdMemo2,
    kIdLabel8,
    kIdLMDEdit3,
    kIdFlatCheckBox1,
    kIdFincompsbtn,
    kIdProzkoumat1,
    kIdVlastnosti1,
    kIdSweepBox, // also ask every address of the local network
};

struct NetworkPanelServices
{
    // The services of each new lookup; null: the system's, through the LAN Manager provider.
    std::function<LookupPlatform()> lookupPlatform;
    // The shell's actions on a computer path; null: ShellExecuteW "explore" and DisplayPropDialog.
    std::function<void(const std::string& path)> explore;
    std::function<bool(HWND owner, const std::string& path)> properties;
    // Shows PopupMenu3 and answers the chosen item (0: none); null: TrackPopupMenuEx.
    std::function<int(HMENU menu, POINT screen)> trackMenu;
    // The addresses the sweep asks when its box is ticked; null: the subnets of the adapters that
    // are up. Tests give loopback ranges here, so that no test asks a real network.
    std::function<std::vector<network::AddressRange>()> sweepRanges;
    // The sweep's reverse DNS; null: the system's resolver. Tests give their own, so that no test
    // asks a DNS server.
    std::function<std::shared_ptr<platform::ReverseResolver>()> reverseResolver;
};

class NetworkPanel : public SidePanel
{
public:
    NetworkPanel(FrameHost& host, NetworkPanelServices services = {});
    ~NetworkPanel() override;
    NetworkPanel(const NetworkPanel&) = delete;
    NetworkPanel& operator=(const NetworkPanel&) = delete;

    void Build(HWND page) override;
    void FollowDpi(unsigned dpi) override;
    void SetCaptions() override;
    ResultsMode& Mode() override { return m_mode; }
    // Header2Click: the list in network mode, empty.
    void Activate() override;
    // Header1Click's request: a running lookup is told to stop (not waited for).
    void Stop() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT, WPARAM, LPARAM, LRESULT&) override { return false; }
    bool PressAccessKey(wchar_t character) override { return m_accessKeys.Press(character); }
    const wchar_t* Cursor() const override;
    void Close() override;
    // Start-up: the name of the LAN Manager provider, whose network the lookup walks.
    void ReadProviderName();

    void FincompsbtnClick();
    bool Running() const { return m_current != nullptr; }

    void ShowPopupMenu3(POINT screen);
    void Prozkoumat1Click();
    void Vlastnosti1Click();

private:
    void StartLookup();
    void OnNetInfo(unsigned id, const NetInfoEvent& event);
    void NetInfoTerminate();
    // The services of a new lookup, with the sweep when its box is ticked.
    LookupPlatform NewLookupPlatform();
    bool SweepTicked() const;
    void SweepBoxClick();
    // The caption of the first selected row; false when no row is selected.
    bool FirstSelectedCaption(std::string& caption) const;
    std::string T(int id) const;
    // The "found by" cell of a row whose name came by source.
    std::string SourceText(network::NameSource source) const;

    FrameHost& m_host;
    NetworkPanelServices m_services;
    std::string m_providerName;
    platform::UniqueImageList m_images; // NetFindimgsmale
    ComputerResultsMode m_mode;
    HWND m_page = nullptr;
    controls::AccessKeyLabels m_accessKeys;
    HWND m_edit = nullptr;
    HWND m_sweepBox = nullptr;
    controls::FlatButton m_button; // Fincompsbtn, in the look of the file panel's find button
    std::shared_ptr<std::atomic<bool>> m_listDomains = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<TNetInfo> m_current; // the newest lookup; it also holds itself while it runs
    unsigned m_nextId = 1;
    bool m_rowPending = false; // the last row shown still waits for its MAC cell
    network::NameSource m_pendingSource = network::NameSource::None;
    controls::EnterPressesButton m_editEnter;
};

// Opens the shell's properties dialog for path; true when the shell accepted the request.
bool DisplayPropDialog(HWND owner, const std::string& path);

} // namespace ui
