#include "cmd/CmdComputers.h"

#include "cmd/CmdOutput.h"
#include "cmd/JsonLines.h"
#include "network/MacVendor.h"
#include "network/NetLookup.h"
#include "platform/Win32DatagramSocket.h"
#include "platform/Win32FileSystem.h"
#include "platform/Win32IpHelper.h"
#include "platform/Win32Network.h"
#include "platform/Win32ReverseResolver.h"
#include "settings/AppPaths.h"

namespace cmd
{

namespace
{

// A computer row is printed once its MAC cell and vendor have come, so that each line is whole.
class PrintingSink : public network::RowSink
{
public:
    PrintingSink(ConsoleOutput& out, bool json) : m_out(out), m_json(json) {}

    void Clear() override {}
    void AddRow(const network::NetRow& row) override
    {
        ++m_rows;
        if (row.caption.empty())
            Print(row);
        else
            m_pending = row;
    }
    void AddLastCell(const std::string& text) override { AddMacCell({text, {}}); }
    void AddMacCell(const network::MacCell& cell) override
    {
        m_out.Write(m_json ? NetRowJsonLine(m_pending, cell) : NetRowLine(m_pending, cell));
    }
    long long Rows() const { return m_rows; }

private:
    void Print(const network::NetRow& row)
    {
        m_out.Write(m_json ? NetRowJsonLine(row, {}) : NetRowLine(row));
    }

    ConsoleOutput& m_out;
    const bool m_json;
    network::NetRow m_pending;
    long long m_rows = 0;
};

} // namespace

std::optional<long long> RunComputers(const CmdOptions& options, ConsoleOutput& out, ConsoleOutput& err,
                                      const std::atomic<bool>& stop)
{
    platform::Win32NetProvider provider(platform::LanManagerProviderName());
    platform::Win32NameResolver resolver;
    platform::Win32MacQuery mac;
    platform::Win32ArpQuery arp;
    std::unique_ptr<platform::Win32DatagramSocket> socket;
    network::SweepSource sweep;
    if (options.sweepLocal || !options.sweepRanges.empty())
    {
        socket = platform::Win32DatagramSocket::Open();
        if (!socket)
        {
            err.Write("FindFileCmd: no UDP socket could be opened for the sweep\n");
            return std::nullopt;
        }
        sweep.socket = socket.get();
        sweep.nowMs = network::SteadyMilliseconds;
        sweep.ranges = options.sweepRanges;
        if (options.sweepLocal)
            for (const network::AddressRange& range : network::LocalSweepRanges(platform::UpAdapterSubnets()))
                sweep.ranges.push_back(range);
        sweep.timeoutMs = options.sweepTimeoutMs;
        sweep.fromNetBiosCodePage = platform::FromOemCodePage;
        if (options.reverseDns)
            sweep.dns = std::make_shared<network::ThreadedReverseLookups>(
                std::make_shared<platform::Win32ReverseResolver>());
    }
    platform::Win32FileSystem files;
    const std::optional<network::VendorTable> userVendors =
        network::LoadOuiFile(files, network::OuiFileBeside(settings::ExeFileName()));
    network::LookupServices services{provider,
                                     resolver,
                                     mac,
                                     platform::SystemUpperCase,
                                     platform::ToOemCodePage,
                                     &arp,
                                     platform::UpAdapterSubnets,
                                     socket ? &sweep : nullptr,
                                     [&userVendors](const network::AdapterAddress& address) {
                                         return network::VendorOf(address,
                                                                  userVendors ? &*userVendors : nullptr,
                                                                  network::BuiltInVendors());
                                     }};
    network::LookupControl control;
    const bool domains = options.domains;
    control.listDomains = [domains] { return domains; };
    control.stopRequested = [&stop] { return stop.load(); };
    const bool json = options.format == OutputFormat::Jsonl;
    PrintingSink sink(out, json);
    network::GetNetInfo(options.locationGiven ? options.criteria.location : std::string(), services, control,
                        sink);
    if (!json)
        out.Write(NetCompleteLine(sink.Rows()));
    return sink.Rows();
}

} // namespace cmd
