#pragma once
// The IP Helper's answers for the sweep: a neighbour's adapter address by ARP (SendARP) and the
// subnets of this machine's adapters that are up (GetAdaptersAddresses).
#include "platform/NetworkProvider.h"

#include <optional>
#include <vector>

namespace platform
{

class Win32ArpQuery : public ArpQuery
{
public:
    std::optional<AdapterAddress> Query(uint32_t address) override;
};

// The IPv4 addresses of the adapters that are up, loopback left out, with their prefix lengths.
std::vector<AdapterSubnet> UpAdapterSubnets();

} // namespace platform
