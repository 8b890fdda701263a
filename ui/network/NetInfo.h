#pragma once
// TNetInfo: the network lookup thread. It runs the portable lookup with services of its own and
// hands every row to the window's thread through the synchronized call.
#include "network/NetLookup.h"
#include "platform/Thread.h"

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
    // The short name of a card's maker (null: none shown).
    std::function<std::string(const platform::AdapterAddress&)> vendorOf;
};

// The real ones: WNet through the named provider, Windows Sockets, NetBIOS, ARP, and the vendors'
// table (oui.txt beside the program first).
LookupPlatform Win32LookupPlatform(const std::string& providerName);
// Adds a sweep of ranges on a real UDP socket, asking by NetBIOS, multicast DNS and, through
// resolver when there is one, reverse DNS; nothing when ranges is empty or there is no socket.
void AddWin32Sweep(LookupPlatform& platform, std::vector<network::AddressRange> ranges,
                   std::shared_ptr<platform::ReverseResolver> resolver);

// What the lookup tells the window, through the synchronized call: the row and text live on the
// lookup's stack and are valid only during the call.
struct NetInfoEvent
{
    enum Kind
    {
        Clear,
        Row,
        LastCell,
    } kind;
    const network::NetRow* row = nullptr;
    const std::string* text = nullptr;
    // LastCell: the MAC cell with the vendor (null: the text alone).
    const network::MacCell* mac = nullptr;
};

// The lookup thread. It frees itself when done: it holds its own services, so the window may close
// (and the process end) while a provider call is still under way. Its events and its end
// (OnTerminate) reach the owner's thread through Synchronize, one at a time while the lookup waits,
// so rows arrive in order and whole. An owner that goes away orphans it (Orphan).
class TNetInfo final : public platform::TThread
{
public:
    // The lookup for text, reporting to the owner of syncCall; Start() sets it going. listDomains
    // is the check box as the window keeps it.
    TNetInfo(platform::SyncCall& syncCall, unsigned id, std::string text, LookupPlatform platform,
             std::shared_ptr<const std::atomic<bool>> listDomains);

    unsigned Id() const { return m_id; }

    // Runs on the owner's thread for each event. Set before Start.
    std::function<void(unsigned id, const NetInfoEvent& event)> OnEvent;

private:
    class SyncSink;
    void Execute() override;

    unsigned m_id;
    std::string m_text;
    LookupPlatform m_services;
    std::shared_ptr<const std::atomic<bool>> m_listDomains;
};

} // namespace ui
