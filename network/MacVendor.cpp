#include "network/MacVendor.h"

#include "platform/AsciiHex.h"

#include <algorithm>
#include <unordered_map>

extern const unsigned char kBuiltInOuiTable[];
extern const size_t kBuiltInOuiTableSize;

namespace network
{

namespace
{

constexpr size_t kMaxShortWords = 2;
constexpr size_t kMaxShortBytes = 20;

// Company forms that end an organization's name, without their dots, lower case.
const char* const kLegalForms[] = {
    "inc",  "incorporated", "corp", "corporation", "co",  "company", "ltd", "limited", "llc", "l.l.c",
    "gmbh", "ag",           "sa",   "s.a",         "sas", "s.a.s",   "srl", "s.r.l",   "spa", "s.p.a",
    "bv",   "b.v",          "nv",   "n.v",         "oy",  "ab",      "as",  "a/s",     "aps", "pty",
    "plc",  "kg",           "kk",   "k.k",         "sdn", "bhd",     "pte", "pvt",     "sl",  "s.l",
    "lda",  "ltda",         "sro",  "s.r.o",       "kft", "zrt",     "ohg", "se",
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    size_t at = 0;
    while (at < text.size())
    {
        while (at < text.size() && IsBlank(text[at]))
            ++at;
        const size_t start = at;
        while (at < text.size() && !IsBlank(text[at]))
            ++at;
        if (at > start)
            words.push_back(text.substr(start, at - start));
    }
    return words;
}

bool IsLegalForm(std::string word)
{
    while (!word.empty() && word.back() == '.')
        word.pop_back();
    for (char& c : word)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return std::find(std::begin(kLegalForms), std::end(kLegalForms), word) != std::end(kLegalForms);
}

std::string Joined(const std::vector<std::string>& words)
{
    std::string text;
    for (const std::string& word : words)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

// "HH-HH-HH" at pos; the OUI or nothing.
std::optional<uint32_t> HexTriple(const std::string& line, size_t pos)
{
    if (line.size() - pos < 8 || line[pos + 2] != '-' || line[pos + 5] != '-')
        return std::nullopt;
    uint32_t oui = 0;
    for (size_t at : {pos, pos + 1, pos + 3, pos + 4, pos + 6, pos + 7})
    {
        const int digit = platform::AsciiHexValue(line[at]);
        if (digit < 0)
            return std::nullopt;
        oui = (oui << 4) | static_cast<uint32_t>(digit);
    }
    return oui;
}

// The organization of an oui.txt "(hex)" line, or nothing for any other line.
std::optional<std::pair<uint32_t, std::string>> HexLine(const std::string& line)
{
    size_t at = 0;
    while (at < line.size() && IsBlank(line[at]))
        ++at;
    const auto oui = HexTriple(line, at);
    if (!oui)
        return std::nullopt;
    at += 8;
    const size_t blanks = at;
    while (at < line.size() && IsBlank(line[at]))
        ++at;
    if (at == blanks || line.compare(at, 5, "(hex)") != 0)
        return std::nullopt;
    at += 5;
    while (at < line.size() && IsBlank(line[at]))
        ++at;
    size_t end = line.size();
    while (end > at && (IsBlank(line[end - 1]) || line[end - 1] == '\r'))
        --end;
    return std::make_pair(*oui, line.substr(at, end - at));
}

// A base-128 number of tools/oui-table.py at pos; nothing when it runs past the end or past 32 bits.
std::optional<uint32_t> ReadNumber(const uint8_t* data, size_t size, size_t& pos)
{
    uint64_t value = 0;
    for (unsigned shift = 0; shift < 35; shift += 7)
    {
        if (pos >= size)
            return std::nullopt;
        const uint8_t byte = data[pos++];
        value |= uint64_t(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0)
            return value <= 0xFFFFFFFFu ? std::optional<uint32_t>(static_cast<uint32_t>(value))
                                        : std::nullopt;
    }
    return std::nullopt;
}

} // namespace

std::string ShortVendorName(const std::string& organization)
{
    std::string name = organization;
    for (char stop : {',', '('})
    {
        const size_t at = name.find(stop);
        if (at != std::string::npos)
            name.resize(at);
    }
    std::vector<std::string> words = Words(name);
    while (!words.empty() && IsLegalForm(words.back()))
        words.pop_back();
    if (words.empty())
    {
        words = Words(organization);
        words.resize(std::min<size_t>(words.size(), 1));
    }
    words.resize(std::min(words.size(), kMaxShortWords));
    while (words.size() > 1 && Joined(words).size() > kMaxShortBytes)
        words.pop_back();
    std::string text = Joined(words);
    if (text.size() > kMaxShortBytes)
    {
        size_t cut = kMaxShortBytes;
        while (cut > 0 && (static_cast<uint8_t>(text[cut]) & 0xC0) == 0x80)
            --cut;
        text.resize(cut);
    }
    return text;
}

VendorTable::VendorTable(std::vector<std::pair<uint32_t, std::string>> pairs)
{
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::unordered_map<std::string, uint32_t> nameIndex;
    for (auto& [oui, name] : pairs)
    {
        if (name.empty() || (!m_entries.empty() && m_entries.back().oui == oui))
            continue;
        const auto found = nameIndex.emplace(name, static_cast<uint32_t>(m_names.size()));
        if (found.second)
            m_names.push_back(std::move(name));
        m_entries.push_back({oui, found.first->second});
    }
}

std::string VendorTable::Find(uint32_t oui) const
{
    const auto found = std::lower_bound(m_entries.begin(), m_entries.end(), oui,
                                        [](const Entry& entry, uint32_t value) { return entry.oui < value; });
    if (found == m_entries.end() || found->oui != oui)
        return {};
    return m_names[found->name];
}

VendorTable ParseOuiText(const std::string& text)
{
    std::vector<std::pair<uint32_t, std::string>> pairs;
    size_t start = 0;
    while (start < text.size())
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        if (auto entry = HexLine(text.substr(start, end - start)))
            pairs.emplace_back(entry->first, ShortVendorName(entry->second));
        start = end + 1;
    }
    return VendorTable(std::move(pairs));
}

VendorTable DecodeVendorTable(const uint8_t* data, size_t size)
{
    if (!data || size < 2)
        return {};
    size_t pos = 0;
    const size_t nameCount = size_t(data[0]) << 8 | data[1];
    pos = 2;
    std::vector<std::string> names;
    for (size_t i = 0; i < nameCount; ++i)
    {
        if (pos >= size || data[pos] > size - pos - 1)
            return {};
        names.emplace_back(reinterpret_cast<const char*>(data + pos + 1), data[pos]);
        pos += 1 + data[pos];
    }
    if (size - pos < 4)
        return {};
    const uint32_t count = uint32_t(data[pos]) << 24 | uint32_t(data[pos + 1]) << 16 |
                           uint32_t(data[pos + 2]) << 8 | data[pos + 3];
    pos += 4;
    std::vector<std::pair<uint32_t, std::string>> pairs;
    uint32_t oui = 0;
    for (uint32_t i = 0; i < count; ++i)
    {
        const auto step = ReadNumber(data, size, pos);
        const auto name = ReadNumber(data, size, pos);
        // Each OUI lies above the one before and within 24 bits; each name is in the list.
        if (!step || !name || (i > 0 && *step == 0) || *step > 0xFFFFFFu - oui || *name >= names.size())
            return {};
        oui += *step;
        pairs.emplace_back(oui, names[*name]);
    }
    return VendorTable(std::move(pairs));
}

const VendorTable& BuiltInVendors()
{
    static const VendorTable table = DecodeVendorTable(kBuiltInOuiTable, kBuiltInOuiTableSize);
    return table;
}

size_t BuiltInVendorBytes()
{
    return kBuiltInOuiTableSize;
}

std::optional<VendorTable> LoadOuiFile(platform::FileSystem& files, const std::string& path)
{
    const auto reader = files.OpenFile(path, platform::FileShare::ReadWrite);
    if (!reader)
        return std::nullopt;
    std::string text;
    char chunk[1 << 16];
    while (text.size() < kMaxOuiFileBytes)
    {
        const int64_t read = reader->Read(chunk, std::min(sizeof chunk, kMaxOuiFileBytes - text.size()));
        if (read <= 0)
            break;
        text.append(chunk, static_cast<size_t>(read));
    }
    return ParseOuiText(text);
}

std::string OuiFileBeside(const std::string& exeFileName)
{
    const size_t slash = exeFileName.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : exeFileName.substr(0, slash + 1)) + "oui.txt";
}

std::string VendorOf(const platform::AdapterAddress& address, const VendorTable* user,
                     const VendorTable& builtIn)
{
    if ((address[0] & 0x03) != 0)
        return {};
    const uint32_t oui = uint32_t(address[0]) << 16 | uint32_t(address[1]) << 8 | address[2];
    std::string vendor = user ? user->Find(oui) : std::string();
    return vendor.empty() ? builtIn.Find(oui) : vendor;
}

} // namespace network
