#pragma once
// The ways a computer's name is found, in the order a row prefers them: the browse list of the
// network provider, then the sweep's NetBIOS node status, multicast DNS and reverse DNS.
namespace network
{

enum class NameSource
{
    None, // a domain row
    BrowseList,
    NetBios,
    Mdns,
    Dns,
};

// The source's word on the console and in exported text: "browse", "netbios", "mdns", "dns"; empty
// for None.
inline const char* NameSourceKey(NameSource source)
{
    switch (source)
    {
    case NameSource::BrowseList:
        return "browse";
    case NameSource::NetBios:
        return "netbios";
    case NameSource::Mdns:
        return "mdns";
    case NameSource::Dns:
        return "dns";
    case NameSource::None:
        break;
    }
    return "";
}

} // namespace network
