// The console's JSON lines read back by a strict reader of its own (RFC 8259 strings, RFC 3629
// UTF-8): whatever the bytes of a name, the line is one valid JSON object whose strings give the
// name back when it was well-formed UTF-8. Input: a choice byte, then fields separated by byte 1.
#include "cmd/CmdOutput.h"
#include "cmd/JsonLines.h"
#include "cmd/JsonString.h"
#include "fuzz/FuzzSupport.h"

#include <map>

namespace
{

// One character of well-formed UTF-8 at `at`: its code point, or -1 when the bytes are not one.
long DecodeUtf8(const std::string& text, size_t& at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    size_t length = 0;
    long code = 0;
    if (lead < 0x80)
        return at += 1, lead;
    if ((lead & 0xE0) == 0xC0)
        length = 2, code = lead & 0x1F;
    else if ((lead & 0xF0) == 0xE0)
        length = 3, code = lead & 0x0F;
    else if ((lead & 0xF8) == 0xF0)
        length = 4, code = lead & 0x07;
    else
        return -1;
    if (text.size() - at < length)
        return -1;
    for (size_t k = 1; k < length; ++k)
    {
        const auto next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0) != 0x80)
            return -1;
        code = code << 6 | (next & 0x3F);
    }
    static const long kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return -1;
    at += length;
    return code;
}

bool WellFormed(const std::string& text)
{
    for (size_t at = 0; at < text.size();)
        if (DecodeUtf8(text, at) < 0)
            return false;
    return true;
}

void AppendUtf8(long code, std::string& out)
{
    if (code < 0x80)
        out += static_cast<char>(code);
    else if (code < 0x800)
        out += static_cast<char>(0xC0 | code >> 6), out += static_cast<char>(0x80 | (code & 0x3F));
    else if (code < 0x10000)
        out += static_cast<char>(0xE0 | code >> 12), out += static_cast<char>(0x80 | (code >> 6 & 0x3F)),
            out += static_cast<char>(0x80 | (code & 0x3F));
    else
        out += static_cast<char>(0xF0 | code >> 18), out += static_cast<char>(0x80 | (code >> 12 & 0x3F)),
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F)),
            out += static_cast<char>(0x80 | (code & 0x3F));
}

long Hex4(const std::string& text, size_t at)
{
    if (text.size() - at < 4)
        return -1;
    long value = 0;
    for (size_t k = 0; k < 4; ++k)
    {
        const char c = text[at + k];
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0)
            return -1;
        value = value << 4 | digit;
    }
    return value;
}

// A JSON string at `at` (its opening quote); its value in UTF-8. False when it is not one.
bool ReadString(const std::string& text, size_t& at, std::string& value)
{
    value.clear();
    if (at >= text.size() || text[at++] != '"')
        return false;
    while (at < text.size())
    {
        const auto c = static_cast<unsigned char>(text[at]);
        if (c == '"')
            return ++at, true;
        if (c < 0x20)
            return false;
        if (c != '\\')
        {
            const long code = DecodeUtf8(text, at);
            if (code < 0)
                return false;
            AppendUtf8(code, value);
            continue;
        }
        if (++at >= text.size())
            return false;
        const char escape = text[at++];
        static const std::string kSimple = "\"\\/bfnrt", kMeaning = "\"\\/\b\f\n\r\t";
        if (kSimple.find(escape) != std::string::npos)
        {
            value += kMeaning[kSimple.find(escape)];
            continue;
        }
        long code = escape == 'u' ? Hex4(text, at) : -1;
        if (code < 0)
            return false;
        at += 4;
        if (code >= 0xD800 && code <= 0xDBFF)
        {
            const long low = text.compare(at, 2, "\\u") == 0 ? Hex4(text, at + 2) : -1;
            if (low < 0xDC00 || low > 0xDFFF)
                return false;
            at += 6;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        }
        else if (code >= 0xDC00 && code <= 0xDFFF)
            return false;
        AppendUtf8(code, value);
    }
    return false;
}

// A flat object of strings, whole numbers and nulls on one line ending with a line feed; each
// member's value as text (null as "null", a string as its value). False when it is not one.
bool ReadObjectLine(const std::string& line, std::map<std::string, std::string>& members)
{
    members.clear();
    size_t at = 0;
    if (line.empty() || line[at++] != '{')
        return false;
    for (bool first = true; at < line.size() && line[at] != '}'; first = false)
    {
        std::string key, value;
        if ((!first && line[at++] != ',') || !ReadString(line, at, key) || at >= line.size() ||
            line[at++] != ':')
            return false;
        if (at < line.size() && line[at] == '"')
        {
            if (!ReadString(line, at, value))
                return false;
        }
        else if (line.compare(at, 4, "null") == 0)
            value = "null", at += 4;
        else
        {
            while (at < line.size() && line[at] >= '0' && line[at] <= '9')
                value += line[at++];
            if (value.empty() || (value.size() > 1 && value[0] == '0'))
                return false;
        }
        if (!members.emplace(key, value).second)
            return false;
    }
    return line.compare(at, std::string::npos, "}\n") == 0;
}

void CheckString(const std::string& text)
{
    const std::string json = cmd::JsonString(text);
    size_t at = 0;
    std::string value;
    fuzz::Check(ReadString(json, at, value) && at == json.size(), "the JSON string is valid");
    if (WellFormed(text))
        fuzz::Check(value == text, "well-formed UTF-8 reads back unchanged");
    else
        fuzz::Check(value.find("\xEF\xBF\xBD") != std::string::npos, "broken bytes leave a U+FFFD");
}

void CheckFileLine(const std::string& folder, const std::string& name, uint8_t choice)
{
    engine::TSearchRec record;
    record.Name = name;
    record.Size = static_cast<int64_t>(choice) << (choice % 48);
    record.Attr = static_cast<int32_t>(0x80000000u >> (choice % 32));
    record.FindData.lastWriteTime = static_cast<uint64_t>(choice) << (choice % 58);
    platform::CalendarTime local;
    local.year = 1601 + choice * 3;
    local.month = 1 + choice % 12;
    local.day = 1 + choice % 28;
    local.hour = choice % 24;
    const std::optional<platform::CalendarTime> lastWrite =
        choice & 1 ? std::optional<platform::CalendarTime>(local) : std::nullopt;
    std::map<std::string, std::string> members;
    fuzz::Check(ReadObjectLine(cmd::FileJsonLine(folder, record, lastWrite), members) && members.size() == 6,
                "a file line is one object of six members");
    fuzz::Check(members["size"] == std::to_string(record.Size) &&
                    members["attributes"] == std::to_string(static_cast<uint32_t>(record.Attr)),
                "a file line's numbers");
    fuzz::Check((members["modified"] == "null") == !lastWrite, "a file line's time is there when known");
    if (WellFormed(folder) && WellFormed(name))
        fuzz::Check(members["name"] == name && members["folder"] == folder &&
                        members["path"] == cmd::JoinPath(folder, name),
                    "a file line's strings read back");
}

void CheckNetRow(const std::vector<std::string>& fields, bool domain)
{
    network::NetRow row;
    row.caption = domain || fields.empty() ? std::string() : fields[0];
    row.cells.assign(fields.begin() + std::min<size_t>(fields.size(), 1), fields.end());
    std::map<std::string, std::string> members;
    fuzz::Check(ReadObjectLine(cmd::NetRowJsonLine(row, {}), members), "a network row is one object");
    fuzz::Check(members.size() == (row.caption.empty() ? 1u : 7u), "a network row has its members");
    if (!row.caption.empty() && WellFormed(row.caption))
        fuzz::Check(members["name"] == row.caption, "a computer's name reads back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzInput input(data, size);
    const uint8_t choice = input.Byte();
    const std::vector<std::string> fields = input.Pieces('\x01');
    for (const std::string& field : fields)
        CheckString(field);
    CheckFileLine(fields.empty() ? std::string() : fields[0], fields.size() > 1 ? fields[1] : std::string(),
                  choice);
    CheckNetRow(fields, choice & 2);
    return 0;
}
