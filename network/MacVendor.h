#pragma once
// The maker of a network card from the first three bytes of its address (the OUI the IEEE
// assigned), as the short name of the organization: from a user's oui.txt beside the program when
// that file has the OUI, else from the table the build generated from the IEEE registry
// (tools/oui-table.py, which cuts the names by the same rule as ShortVendorName).
#include "platform/FileSystem.h"
#include "platform/NetworkProvider.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace network
{

// The organization up to its first comma or parenthesis, without the company forms at its end
// ("Inc.", "Co.", "Ltd", "GmbH" ...), of at most two words and 20 bytes (a single longer word is
// cut at a character's start). Empty for an empty organization.
std::string ShortVendorName(const std::string& organization);

class VendorTable
{
public:
    VendorTable() = default;
    // OUIs (the address's first three bytes, big-endian) with their short names; the first pair of
    // an OUI counts, pairs without a name are left out.
    explicit VendorTable(std::vector<std::pair<uint32_t, std::string>> pairs);

    // The short name of the OUI; empty when the table has none.
    std::string Find(uint32_t oui) const;
    size_t Size() const { return m_entries.size(); }

private:
    struct Entry
    {
        uint32_t oui;
        uint32_t name;
    };
    std::vector<Entry> m_entries; // by increasing OUI
    std::vector<std::string> m_names;
};

// The lines "HH-HH-HH   (hex)   Organization" of the IEEE's oui.txt; every other line, and any
// line that does not hold exactly that, is passed over.
VendorTable ParseOuiText(const std::string& text);

// The table of tools/oui-table.py's bytes; empty when they are not whole or not consistent.
VendorTable DecodeVendorTable(const uint8_t* data, size_t size);

// The table built into the program; empty when the build had no IEEE registry.
const VendorTable& BuiltInVendors();
// Its bytes in the program.
size_t BuiltInVendorBytes();

// oui.txt as the user put it there: at most kMaxOuiFileBytes are read. Empty when it cannot be
// opened.
inline constexpr size_t kMaxOuiFileBytes = 32u << 20;
std::optional<VendorTable> LoadOuiFile(platform::FileSystem& files, const std::string& path);
// The path of oui.txt in the folder of the program exeFileName.
std::string OuiFileBeside(const std::string& exeFileName);

// The vendor of a card: the user's table first (null: none), then the built-in one. Addresses set
// locally (random ones, bit 1 of the first byte) and group addresses (bit 0) have no vendor.
std::string VendorOf(const platform::AdapterAddress& address, const VendorTable* user,
                     const VendorTable& builtIn);

} // namespace network
