#pragma once
// TNetInfo: the network lookup thread. It runs the portable lookup with services of its own and
// hands every row to the window's thread by a blocking message, so rows arrive in order and whole.
// It owns nothing of the window: once the target window is gone its messages simply fail.
#include "network/NetLookup.h"

#include <windows.h>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

namespace ui
{

// The platform services of one lookup; made on the window's thread, used only by the lookup.
struct LookupPlatform
{
    std::unique_ptr<platform::NetProvider> provider;
    std::unique_ptr<platform::NameResolver> resolver;
    std::unique_ptr<platform::MacQuery> mac;
    std::function<std::string(const std::string&)> upper;
    std::function<std::string(const std::string&)> toNetBiosCodePage;
    // The node-status sweep (no socket: none) and the adapter address by ARP (null: none).
    std::unique_ptr<platform::DatagramSocket> socket;
    network::SweepSource sweep; // its socket is the one above
    std::unique_ptr<platform::ArpQuery> arp;
    std::function<std::vector<platform::AdapterSubnet>()> localSubnets;
};

// The real ones: WNet through the named provider, Windows Sockets, NetBIOS, ARP.
LookupPlatform Win32LookupPlatform(const std::string& providerName);
// Adds a sweep of ranges on a real UDP socket; nothing when ranges is empty or there is no socket.
void AddWin32Sweep(LookupPlatform& platform, std::vector<network::AddressRange> ranges);

// What the lookup tells the window: lParam of kMsgNetInfo points to one of these for the call.
struct NetInfoEvent
{
    enum Kind
    {
        Clear,
        Row,
        LastCell,
        Done,
    } kind;
    const network::NetRow* row = nullptr;
    const std::string* text = nullptr;
};

class TNetInfo
{
public:
    // Starts the lookup for text; events go to target as kMsgNetInfo with wParam = id.
    // listDomains is the check box as the window keeps it.
    TNetInfo(HWND target, unsigned id, std::string text, LookupPlatform platform,
             std::shared_ptr<const std::atomic<bool>> listDomains);
    TNetInfo(const TNetInfo&) = delete;
    TNetInfo& operator=(const TNetInfo&) = delete;

    unsigned Id() const { return m_id; }
    // The stop request: only ever set, read by the lookup between computers and domains.
    void Terminate() { m_state->terminated = true; }
    bool Terminated() const { return m_state->terminated; }

private:
    struct State
    {
        std::atomic<bool> terminated{false};
    };
    unsigned m_id;
    std::shared_ptr<State> m_state;
};

} // namespace ui
