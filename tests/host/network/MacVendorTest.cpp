#include "network/MacVendor.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

extern const unsigned char kSampleOuiTable[];
extern const size_t kSampleOuiTableSize;

namespace
{

std::string SampleText()
{
    std::ifstream file(FF_SAMPLE_OUI, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(ShortVendorName, CutsAtThePunctuationDropsCompanyFormsAndKeepsTwoWords)
{
    const struct
    {
        const char* organization;
        const char* shortName;
    } rows[] = {
        {"VMware, Inc.", "VMware"},
        {"Cisco Systems, Inc", "Cisco Systems"},
        {"Hewlett Packard", "Hewlett Packard"},
        {"REALTEK SEMICONDUCTOR CORP.", "REALTEK"}, // two words would pass 20 bytes
        {"Huawei Technologies Co.,Ltd", "Huawei Technologies"},
        {"Integrated Device Technology (Malaysia) Sdn. Bhd.", "Integrated Device"},
        {"PCS Systemtechnik GmbH", "PCS Systemtechnik"},
        {"Murata Manufacturing Co. Ltd", "Murata Manufacturing"},
        {"  Indented \t Co.,  Ltd  ", "Indented"},
        {"Inc.", "Inc."}, // nothing but a company form: its first word stays
        {"", ""},
        {"Supercalifragilisticexpialidocious Widgets", "Supercalifragilistic"},
        {"Finanzgruppe\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4",
         "Finanzgruppe\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4"},
        {"Finanzgruppenw\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4",
         "Finanzgruppenw\xC3\xA4\xC3\xA4\xC3\xA4"}, // not inside a letter
    };
    for (const auto& row : rows)
        EXPECT_EQ(network::ShortVendorName(row.organization), row.shortName) << row.organization;
}

TEST(OuiText, ReadsTheHexLinesOnlyAndTheFirstEntryOfAnOuiCounts)
{
    const network::VendorTable table = network::ParseOuiText(SampleText());
    const struct
    {
        uint32_t oui;
        const char* vendor;
    } rows[] = {
        {0x000C29, "VMware"},    {0x3CD92B, "Hewlett Packard"},
        {0x0050F2, "MICROSOFT"}, {0xACDE48, "PRIVATE"}, // lower-case hex digits
        {0x102035, "Tight"},     {0x102038, "Indented"},
        {0x102039, "No line"}, // the last line without a line end
        {0x102030, ""},        // no organization
        {0x10203F, ""},        // not hexadecimal ("3G")
        {0x102036, ""},        // "(HEX)"
        {0x102037, ""},        // colons
        {0x123456, ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(table.Find(row.oui), row.vendor) << std::hex << row.oui;
    EXPECT_EQ(table.Size(), 17u);
    EXPECT_EQ(network::ParseOuiText("").Size(), 0u);
    EXPECT_EQ(network::ParseOuiText(std::string("00-0C-29   (hex)\tA\0B", 20)).Find(0x000C29),
              std::string("A\0B", 3));
}

// The generator and the program cut names by the same rule: every OUI gets the same short name.
TEST(OuiText, TheGeneratedTableAgreesWithTheProgramsReading)
{
    const network::VendorTable parsed = network::ParseOuiText(SampleText());
    const network::VendorTable generated = network::DecodeVendorTable(kSampleOuiTable, kSampleOuiTableSize);
    ASSERT_EQ(generated.Size(), parsed.Size());
    for (uint32_t oui :
         {0x000C29u, 0x3CD92Bu, 0x00E04Cu, 0x001B63u, 0xE043DBu, 0x2405F5u, 0xACDE48u, 0x0050F2u, 0x080027u,
          0x00005Eu, 0x102031u, 0x102032u, 0x102033u, 0x102034u, 0x102035u, 0x102038u, 0x102039u})
    {
        EXPECT_FALSE(parsed.Find(oui).empty()) << std::hex << oui;
        EXPECT_EQ(generated.Find(oui), parsed.Find(oui)) << std::hex << oui;
    }
}

TEST(OuiTable, BytesThatAreNotWholeOrConsistentGiveAnEmptyTable)
{
    std::vector<uint8_t> bytes(kSampleOuiTable, kSampleOuiTable + kSampleOuiTableSize);
    for (size_t size = 0; size < bytes.size(); ++size)
        EXPECT_EQ(network::DecodeVendorTable(bytes.data(), size).Size(), 0u) << "cut to " << size;
    // Two entries: 00-00-01 and the same again (a step of zero), or a name that is not in the list.
    const std::vector<uint8_t> repeated = {0, 1, 1, 'A', 0, 0, 0, 2, 1, 0, 0, 0};
    EXPECT_EQ(network::DecodeVendorTable(repeated.data(), repeated.size()).Size(), 0u);
    const std::vector<uint8_t> noName = {0, 1, 1, 'A', 0, 0, 0, 1, 1, 1};
    EXPECT_EQ(network::DecodeVendorTable(noName.data(), noName.size()).Size(), 0u);
    const std::vector<uint8_t> past24Bits = {0, 1, 1, 'A', 0, 0, 0, 1, 0x80, 0x80, 0x80, 0x08, 0};
    EXPECT_EQ(network::DecodeVendorTable(past24Bits.data(), past24Bits.size()).Size(), 0u);
    const std::vector<uint8_t> good = {0, 1, 1, 'A', 0, 0, 0, 2, 1, 0, 1, 0};
    EXPECT_EQ(network::DecodeVendorTable(good.data(), good.size()).Find(2), "A");
}

TEST(VendorOf, TheUsersTableFirstAndNoVendorForLocalOrGroupAddresses)
{
    const network::VendorTable builtIn({{0x000C29, "VMware"}, {0x001B63, "Apple"}});
    const network::VendorTable user({{0x001B63, "Our Macs"}});
    EXPECT_EQ(network::VendorOf({0x00, 0x1B, 0x63, 1, 2, 3}, &user, builtIn), "Our Macs");
    EXPECT_EQ(network::VendorOf({0x00, 0x0C, 0x29, 1, 2, 3}, &user, builtIn), "VMware");
    EXPECT_EQ(network::VendorOf({0x00, 0x1B, 0x63, 1, 2, 3}, nullptr, builtIn), "Apple");
    EXPECT_EQ(network::VendorOf({0x02, 0x0C, 0x29, 1, 2, 3}, &user, builtIn), ""); // set locally
    EXPECT_EQ(network::VendorOf({0x01, 0x0C, 0x29, 1, 2, 3}, &user, builtIn), ""); // a group
    EXPECT_EQ(network::VendorOf({0x00, 0x00, 0x01, 1, 2, 3}, &user, builtIn), "");
    EXPECT_EQ(network::OuiFileBeside("C:\\Program Files\\Find File\\FindFileCmd.exe"),
              "C:\\Program Files\\Find File\\oui.txt");
    EXPECT_EQ(network::OuiFileBeside("FindFileCmd.exe"), "oui.txt");
}

} // namespace
