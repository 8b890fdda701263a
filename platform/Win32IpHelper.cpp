// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
// clang-format on
#include "platform/Win32IpHelper.h"

#include <algorithm>

namespace platform
{

namespace
{

bool IsLoopback(uint32_t address)
{
    return (address >> 24) == 127;
}

} // namespace

std::optional<AdapterAddress> Win32ArpQuery::Query(uint32_t address)
{
    if (IsLoopback(address))
        return std::nullopt;
    ULONG mac[2] = {};
    ULONG length = sizeof mac;
    if (::SendARP(::htonl(address), 0, mac, &length) != NO_ERROR || length < 6)
        return std::nullopt;
    AdapterAddress result;
    const auto* bytes = reinterpret_cast<const uint8_t*>(mac);
    std::copy(bytes, bytes + 6, result.begin());
    return result;
}

std::vector<AdapterSubnet> UpAdapterSubnets()
{
    const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    std::vector<unsigned char> buffer(16384);
    ULONG size = static_cast<ULONG>(buffer.size());
    ULONG result = ERROR_BUFFER_OVERFLOW;
    for (int tries = 0; tries < 3 && result == ERROR_BUFFER_OVERFLOW; ++tries)
    {
        buffer.resize(size);
        result = ::GetAdaptersAddresses(AF_INET, flags, nullptr,
                                        reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    std::vector<AdapterSubnet> subnets;
    if (result != NO_ERROR)
        return subnets;
    for (auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()); adapter;
         adapter = adapter->Next)
    {
        if (adapter->OperStatus != IfOperStatusUp || adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK)
            continue;
        for (auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next)
        {
            const sockaddr* socketAddress = unicast->Address.lpSockaddr;
            if (!socketAddress || socketAddress->sa_family != AF_INET)
                continue;
            const uint32_t address =
                ::ntohl(reinterpret_cast<const sockaddr_in*>(socketAddress)->sin_addr.s_addr);
            if (!IsLoopback(address))
                subnets.push_back({address, unicast->OnLinkPrefixLength});
        }
    }
    return subnets;
}

} // namespace platform
