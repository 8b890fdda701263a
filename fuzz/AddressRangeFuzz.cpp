// Addresses and sweep ranges as the console and the settings give them: a range that parses is
// ordered and within its size limit, and an address reads back from its own text.
#include "fuzz/FuzzSupport.h"
#include "network/NetBios.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (const auto address = network::ParseAddress(text))
        fuzz::Check(network::ParseAddress(network::AddressText(*address)) == address,
                    "an address reads back");
    const auto range = network::ParseRange(text);
    if (!range)
        return 0;
    fuzz::Check(range->first <= range->last, "a range is ordered");
    const uint64_t count = uint64_t(range->last) - range->first + 1;
    const bool subnet = text.find('/') != std::string::npos;
    fuzz::Check(count <= (subnet ? network::kMaxSubnetAddresses : network::kMaxRangeAddresses),
                "a range stays within its limit");
    const std::vector<uint32_t> addresses = network::ExpandRanges({*range, *range});
    fuzz::Check(addresses.size() == count, "every address of a range once");
    fuzz::Check(network::InRanges(range->first, {*range}) && network::InRanges(range->last, {*range}),
                "a range holds its ends");
    return 0;
}
