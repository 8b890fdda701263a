#include "network/NetLookup.h"

#include <cstdio>

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

class Lookup
{
public:
    Lookup(const std::string& text, LookupServices& services, const LookupControl& control, RowSink& sink)
        : m_text(text), m_upperText(services.upper(text)), m_services(services), m_control(control),
          m_sink(sink)
    {
    }

    // False when the lookup has been asked to stop.
    bool VisitDomain(const NetEntry& domain)
    {
        if (m_control.listDomains && m_control.listDomains() &&
            (m_text.empty() || m_services.upper(domain.remoteName).find(m_upperText) != std::string::npos))
            m_sink.AddRow({"", {"", domain.remoteName}});
        if (Stopped())
            return false;
        for (const NetEntry& computer : ReadLevel(m_services.provider.OpenChildren(domain)))
        {
            if (Stopped())
                return false;
            VisitComputer(domain, computer);
        }
        return true;
    }

private:
    bool Stopped() const { return m_control.stopRequested && m_control.stopRequested(); }

    void VisitComputer(const NetEntry& domain, const NetEntry& computer)
    {
        const std::string name = ComputerName(computer.remoteName);
        const std::string ip = m_services.resolver.Resolve(name).value_or(kNoAddress);
        if (!ComputerMatches(m_upperText, m_text, m_services.upper(computer.remoteName), ip))
            return;
        m_sink.AddRow({name, {ip, domain.remoteName, computer.comment}});
        const std::string netBiosName =
            m_services.toNetBiosCodePage ? m_services.toNetBiosCodePage(name) : name;
        m_sink.AddLastCell(MacText(m_services.mac.Query(kAdapter, MakeNetBiosName(netBiosName))));
    }

    const std::string& m_text;
    const std::string m_upperText;
    LookupServices& m_services;
    const LookupControl& m_control;
    RowSink& m_sink;
};

} // namespace

void GetNetInfo(const std::string& text, LookupServices services, const LookupControl& control, RowSink& sink)
{
    if (!services.resolver.Start())
        return;
    sink.Clear();
    Lookup lookup(text, services, control, sink);
    for (const NetEntry& domain : ReadLevel(services.provider.OpenDomains()))
    {
        if (!lookup.VisitDomain(domain))
            return;
    }
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
