#include "network/NetLookup.h"

#include <cstdio>
#include <set>

namespace network
{

namespace
{

constexpr uint8_t kAdapter = 0;

// Every batch until the provider says there are no more; what was read before a failure is kept.
// False when the first read already fails or finds nothing.
bool ReadAll(NetEnumeration& enumeration, std::vector<NetEntry>& entries)
{
    for (;;)
    {
        const size_t before = entries.size();
        ReadResult result = enumeration.ReadBatch(entries);
        if (result != ReadResult::Entries || entries.size() == before)
            return !entries.empty();
    }
}

std::vector<NetEntry> ReadLevel(std::unique_ptr<NetEnumeration> enumeration)
{
    std::vector<NetEntry> entries;
    if (enumeration)
        ReadAll(*enumeration, entries);
    return entries;
}

bool KnownAddress(const platform::AdapterAddress& address)
{
    for (uint8_t byte : address)
        if (byte != 0)
            return true;
    return false; // Samba and some devices send zeros: no address at all
}

class Lookup
{
public:
    Lookup(const std::string& text, LookupServices& services, const LookupControl& control, RowSink& sink)
        : m_text(text), m_upperText(services.upper(text)), m_services(services), m_control(control),
          m_sink(sink)
    {
    }

    // The sweep's questions start going out; its answers are collected while the browse list is read.
    void StartSweep()
    {
        const SweepSource* source = m_services.sweep;
        if (!source || !source->socket || !source->nowMs)
            return;
        m_sweep = std::make_unique<NameSweep>(*source->socket, source->nowMs, ExpandRanges(source->ranges),
                                              source->timeoutMs, source->sendsPerSecond,
                                              static_cast<uint16_t>(source->nowMs()),
                                              SweepWays{source->askMdns, source->dns.get()});
        PumpSweep();
    }

    // False when the lookup has been asked to stop.
    bool VisitDomain(const NetEntry& domain)
    {
        if (ListDomains() && TextIn(domain.remoteName))
            AddDomainRow(domain.remoteName);
        if (Stopped())
            return false;
        for (const NetEntry& computer : ReadLevel(m_services.provider.OpenChildren(domain)))
        {
            if (Stopped())
                return false;
            VisitComputer(domain, computer);
            PumpSweep();
        }
        return true;
    }

    // The sweep's rows: those that came while the browse list was read, then the rest as they come.
    void FinishSweep()
    {
        if (!m_sweep)
            return;
        std::vector<SweepAnswer> answers;
        answers.swap(m_early);
        for (;;)
        {
            for (const SweepAnswer& answer : answers)
            {
                if (Stopped())
                    return;
                SweepRow(answer);
            }
            answers.clear();
            if (m_sweep->Finished() || Stopped())
                return;
            m_sweep->Pump(kSweepSliceMs, answers);
        }
    }

private:
    bool Stopped() const { return m_control.stopRequested && m_control.stopRequested(); }
    bool ListDomains() const { return m_control.listDomains && m_control.listDomains(); }
    bool TextIn(const std::string& name) const
    {
        return m_text.empty() || m_services.upper(name).find(m_upperText) != std::string::npos;
    }

    void AddDomainRow(const std::string& domain)
    {
        m_listedDomains.insert(m_services.upper(domain));
        m_sink.AddRow({"", {"", domain}});
    }

    void PumpSweep()
    {
        if (m_sweep)
            m_sweep->Pump(0, m_early);
    }

    void VisitComputer(const NetEntry& domain, const NetEntry& computer)
    {
        const std::string name = ComputerName(computer.remoteName);
        // A remote name of "\\" alone names no computer, and an empty caption marks a domain row.
        if (name.empty())
            return;
        const std::string ip = m_services.resolver.Resolve(name).value_or(kNoAddress);
        if (!ComputerMatches(m_upperText, m_text, m_services.upper(computer.remoteName), ip))
            return;
        m_sink.AddRow({name, {ip, domain.remoteName, computer.comment}, NameSource::BrowseList});
        m_listedNames.insert(m_services.upper(name));
        m_listedAddresses.insert(ip);
        const std::string netBiosName =
            m_services.toNetBiosCodePage ? m_services.toNetBiosCodePage(name) : name;
        std::optional<AdapterAddress> address = m_services.mac.Query(kAdapter, MakeNetBiosName(netBiosName));
        if (!address)
            address = FallbackMac(ip);
        m_sink.AddMacCell(MakeMacCell(address));
    }

    MacCell MakeMacCell(const std::optional<AdapterAddress>& address) const
    {
        MacCell cell{MacText(address), {}};
        if (address && m_services.vendorOf)
            cell.vendor = m_services.vendorOf(*address);
        return cell;
    }

    // The browse list's own query failed: the sweep's answer from that address, or else ARP.
    std::optional<AdapterAddress> FallbackMac(const std::string& ipText)
    {
        const auto ip = ParseAddress(ipText);
        if (!ip)
            return std::nullopt;
        WaitForSweepAnswer(*ip);
        if (const NodeStatus* answer = m_sweep ? m_sweep->AnswerOf(*ip) : nullptr)
            if (KnownAddress(answer->unitId))
                return answer->unitId;
        return ArpMac(*ip);
    }

    // While the sweep still runs, an address it asks may yet answer.
    void WaitForSweepAnswer(uint32_t ip)
    {
        if (!m_sweep || !InRanges(ip, m_services.sweep->ranges))
            return;
        PumpSweep();
        while (!m_sweep->AnswerOf(ip) && !m_sweep->Finished() && !Stopped())
            m_sweep->Pump(kSweepSliceMs, m_early);
    }

    std::optional<AdapterAddress> ArpMac(uint32_t ip)
    {
        if (!m_services.arp || !m_services.localSubnets)
            return std::nullopt;
        if (!m_localSubnets)
            m_localSubnets = m_services.localSubnets();
        if (!OnLocalSubnet(ip, *m_localSubnets))
            return std::nullopt;
        return m_services.arp->Query(ip);
    }

    std::string FromNetBios(const std::string& name) const
    {
        const SweepSource& source = *m_services.sweep;
        return source.fromNetBiosCodePage ? source.fromNetBiosCodePage(name) : name;
    }

    void SweepRow(const SweepAnswer& answer)
    {
        const std::string name =
            answer.source == NameSource::NetBios ? FromNetBios(answer.name) : answer.name;
        const std::string ip = AddressText(answer.address);
        if (name.empty() || m_listedNames.count(m_services.upper(name)) || m_listedAddresses.count(ip))
            return;
        const std::string workgroup = FromNetBios(WorkgroupOf(answer.status));
        if (!workgroup.empty() && ListDomains() && !m_listedDomains.count(m_services.upper(workgroup)) &&
            TextIn(workgroup))
            AddDomainRow(workgroup);
        if (!ComputerMatches(m_upperText, m_text, m_services.upper("\\\\" + name), ip))
            return;
        m_sink.AddRow({name, {ip, workgroup, ""}, answer.source});
        m_listedNames.insert(m_services.upper(name));
        m_listedAddresses.insert(ip);
        m_sink.AddMacCell(
            MakeMacCell(KnownAddress(answer.status.unitId) ? answer.status.unitId : ArpMac(answer.address)));
    }

    const std::string& m_text;
    const std::string m_upperText;
    LookupServices& m_services;
    const LookupControl& m_control;
    RowSink& m_sink;
    std::unique_ptr<NameSweep> m_sweep;
    std::vector<SweepAnswer> m_early; // answers not yet shown
    std::set<std::string> m_listedNames, m_listedAddresses, m_listedDomains;
    std::optional<std::vector<platform::AdapterSubnet>> m_localSubnets;
};

} // namespace

void GetNetInfo(const std::string& text, LookupServices services, const LookupControl& control, RowSink& sink)
{
    if (!services.resolver.Start())
        return;
    sink.Clear();
    Lookup lookup(text, services, control, sink);
    lookup.StartSweep();
    for (const NetEntry& domain : ReadLevel(services.provider.OpenDomains()))
    {
        if (!lookup.VisitDomain(domain))
            return;
    }
    lookup.FinishSweep();
}

std::string ComputerName(const std::string& remoteName)
{
    return remoteName.size() > 2 ? remoteName.substr(2) : std::string();
}

bool ComputerMatches(const std::string& upperText, const std::string& text,
                     const std::string& upperRemoteName, const std::string& ipText)
{
    return text.empty() || upperRemoteName.find(upperText) != std::string::npos || text == ipText;
}

NetBiosName MakeNetBiosName(const std::string& oemName)
{
    NetBiosName name;
    name.fill(' ');
    name[15] = 0;
    for (size_t i = 0; i < oemName.size() && i < 15; ++i)
        name[i] = static_cast<uint8_t>(oemName[i]);
    return name;
}

std::string MacText(const std::optional<AdapterAddress>& address)
{
    if (!address)
        return kNoMac;
    std::string text;
    for (size_t i = 0; i < address->size(); ++i)
    {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", (*address)[i]);
        if (i > 0)
            text += '-';
        text += pair;
    }
    return text;
}

} // namespace network
