#include "ui/network/NetInfo.h"

#include "network/MacVendor.h"
#include "network/ReverseLookups.h"
#include "platform/Win32DatagramSocket.h"
#include "platform/Win32FileSystem.h"
#include "platform/Win32IpHelper.h"
#include "platform/Win32Network.h"
#include "settings/AppPaths.h"

namespace ui
{

// The rows go to the window one synchronized call at a time: the lookup waits until the row is
// in the list, so nothing is queued and nothing outlives the call.
class TNetInfo::SyncSink : public network::RowSink
{
public:
    explicit SyncSink(TNetInfo& lookup) : m_lookup(lookup) {}

    void Clear() override { Send({NetInfoEvent::Clear}); }
    void AddRow(const network::NetRow& row) override { Send({NetInfoEvent::Row, &row}); }
    void AddLastCell(const std::string& text) override { Send({NetInfoEvent::LastCell, nullptr, &text}); }
    void AddMacCell(const network::MacCell& cell) override
    {
        Send({NetInfoEvent::LastCell, nullptr, &cell.text, &cell});
    }

private:
    // Throws when the owner has gone: the lookup then ends at once.
    void Send(const NetInfoEvent& event)
    {
        TNetInfo& lookup = m_lookup;
        lookup.Synchronize([&lookup, &event] {
            if (lookup.OnEvent)
                lookup.OnEvent(lookup.m_id, event);
        });
    }

    TNetInfo& m_lookup;
};

LookupPlatform Win32LookupPlatform(const std::string& providerName)
{
    LookupPlatform services;
    services.provider = std::make_unique<platform::Win32NetProvider>(providerName);
    services.resolver = std::make_unique<platform::Win32NameResolver>();
    services.mac = std::make_unique<platform::Win32MacQuery>();
    services.upper = platform::SystemUpperCase;
    services.toNetBiosCodePage = platform::ToOemCodePage;
    services.arp = std::make_unique<platform::Win32ArpQuery>();
    services.localSubnets = platform::UpAdapterSubnets;
    platform::Win32FileSystem files;
    auto user = std::make_shared<std::optional<network::VendorTable>>(
        network::LoadOuiFile(files, network::OuiFileBeside(settings::ExeFileName())));
    services.vendorOf = [user](const platform::AdapterAddress& address) {
        return network::VendorOf(address, *user ? &**user : nullptr, network::BuiltInVendors());
    };
    return services;
}

void AddWin32Sweep(LookupPlatform& platform, std::vector<network::AddressRange> ranges,
                   std::shared_ptr<platform::ReverseResolver> resolver)
{
    if (ranges.empty())
        return;
    platform.socket = platform::Win32DatagramSocket::Open();
    platform.sweep.ranges = std::move(ranges);
    platform.sweep.nowMs = network::SteadyMilliseconds;
    platform.sweep.fromNetBiosCodePage = platform::FromOemCodePage;
    if (resolver)
        platform.sweep.dns = std::make_shared<network::ThreadedReverseLookups>(std::move(resolver));
}

TNetInfo::TNetInfo(platform::SyncCall& syncCall, unsigned id, std::string text, LookupPlatform platform,
                   std::shared_ptr<const std::atomic<bool>> listDomains)
    : TThread(syncCall, true), m_id(id), m_text(std::move(text)), m_services(std::move(platform)),
      m_listDomains(std::move(listDomains))
{
}

void TNetInfo::Execute()
{
    SyncSink sink(*this);
    network::LookupControl control;
    control.listDomains = [this] { return m_listDomains && m_listDomains->load(); };
    control.stopRequested = [this] { return Terminated(); };
    LookupPlatform& services = m_services;
    services.sweep.socket = services.socket.get();
    network::GetNetInfo(m_text,
                        {*services.provider, *services.resolver, *services.mac, services.upper,
                         services.toNetBiosCodePage, services.arp.get(), services.localSubnets,
                         services.socket ? &services.sweep : nullptr, services.vendorOf},
                        control, sink);
}

} // namespace ui
