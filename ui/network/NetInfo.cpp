#include "ui/network/NetInfo.h"

#include "platform/Win32DatagramSocket.h"
#include "platform/Win32IpHelper.h"
#include "platform/Win32Network.h"
#include "ui/main/Messages.h"

#include <thread>

namespace ui
{

namespace
{

// The rows go to the window one blocking message at a time: the lookup waits until the row is
// in the list, so nothing is queued and nothing outlives the call.
class MessageSink : public network::RowSink
{
public:
    MessageSink(HWND target, unsigned id) : m_target(target), m_id(id) {}

    void Clear() override { Send({NetInfoEvent::Clear}); }
    void AddRow(const network::NetRow& row) override { Send({NetInfoEvent::Row, &row}); }
    void AddLastCell(const std::string& text) override { Send({NetInfoEvent::LastCell, nullptr, &text}); }
    void Done() { Send({NetInfoEvent::Done}); }

private:
    void Send(const NetInfoEvent& event)
    {
        // Fails at once when the window has gone: the lookup then only runs to its next stop check.
        ::SendMessageW(m_target, kMsgNetInfo, m_id, reinterpret_cast<LPARAM>(&event));
    }

    HWND m_target;
    unsigned m_id;
};

} // namespace

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
    return services;
}

void AddWin32Sweep(LookupPlatform& platform, std::vector<network::AddressRange> ranges)
{
    if (ranges.empty())
        return;
    platform.socket = platform::Win32DatagramSocket::Open();
    platform.sweep.ranges = std::move(ranges);
    platform.sweep.nowMs = network::SteadyMilliseconds;
    platform.sweep.fromNetBiosCodePage = platform::FromOemCodePage;
}

TNetInfo::TNetInfo(HWND target, unsigned id, std::string text, LookupPlatform platform,
                   std::shared_ptr<const std::atomic<bool>> listDomains)
    : m_id(id), m_state(std::make_shared<State>())
{
    // The thread frees itself: it holds its own share of the state and its own services, so the
    // window may be gone (and the process ending) while a blocking call is still under way.
    std::thread([target, id, text = std::move(text), services = std::move(platform),
                 listDomains = std::move(listDomains), state = m_state]() mutable {
        MessageSink sink(target, id);
        network::LookupControl control;
        control.listDomains = [&listDomains] { return listDomains && listDomains->load(); };
        control.stopRequested = [&state] { return state->terminated.load(); };
        services.sweep.socket = services.socket.get();
        network::GetNetInfo(text,
                            {*services.provider, *services.resolver, *services.mac, services.upper,
                             services.toNetBiosCodePage, services.arp.get(), services.localSubnets,
                             services.socket ? &services.sweep : nullptr},
                            control, sink);
        sink.Done();
    }).detach();
}

} // namespace ui
