// The sweep against loopback nodes, by NetBIOS and multicast DNS (no reverse DNS: the system's
// resolver could ask a DNS server): ff_sweep_bench RANGE [TIMEOUT_MS]. Prints the addresses asked,
// the time until the last question left, the whole wall time and the answers by way.
#include "network/NetLookup.h"
#include "network/Sweep.h"
#include "platform/Win32DatagramSocket.h"

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: ff_sweep_bench RANGE [TIMEOUT_MS]\n");
        return 2;
    }
    std::wstring wide = argv[1];
    const auto range = network::ParseRange(std::string(wide.begin(), wide.end()));
    const unsigned timeout = argc > 2 ? static_cast<unsigned>(std::wcstoul(argv[2], nullptr, 10)) : 2000;
    if (!range || (range->first >> 24) != 127)
    {
        std::fprintf(stderr, "a loopback range only\n");
        return 2;
    }
    auto socket = platform::Win32DatagramSocket::Open();
    if (!socket)
        return 1;
    const uint64_t start = network::SteadyMilliseconds();
    const std::vector<uint32_t> addresses = network::ExpandRanges({*range});
    network::NameSweep sweep(*socket, network::SteadyMilliseconds, addresses, timeout,
                             network::kDefaultSendsPerSecond, static_cast<uint16_t>(start),
                             network::SweepWays{true, nullptr});
    uint64_t sent = 0;
    size_t answers = 0, byMdns = 0;
    while (!sweep.Finished())
    {
        std::vector<network::SweepAnswer> fresh;
        sweep.Pump(network::kSweepSliceMs, fresh);
        answers += fresh.size();
        for (const network::SweepAnswer& answer : fresh)
            byMdns += answer.source == network::NameSource::Mdns;
        if (!sent && sweep.Sent() == addresses.size())
            sent = network::SteadyMilliseconds() - start;
    }
    const uint64_t total = network::SteadyMilliseconds() - start;
    std::printf("addresses %zu sends_ms %llu wall_ms %llu answers %zu (netbios %zu, mdns %zu)\n",
                addresses.size(), static_cast<unsigned long long>(sent),
                static_cast<unsigned long long>(total), answers, answers - byMdns, byMdns);
    return 0;
}
