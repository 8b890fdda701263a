#include "engine/TextEncoding.h"

namespace engine
{

namespace
{

unsigned char ByteAt(std::string_view text, size_t at)
{
    return static_cast<unsigned char>(text[at]);
}

bool StartsWith(std::string_view text, std::string_view mark)
{
    return text.substr(0, mark.size()) == mark;
}

// The zero-byte rule of RecogniseEncoding; Ansi when it tells nothing.
TextEncoding Utf16ByZeroBytes(std::string_view head)
{
    const size_t units = head.size() / 2;
    size_t zeroEven = 0;
    size_t zeroOdd = 0;
    for (size_t i = 0; i + 1 < head.size(); i += 2)
    {
        zeroEven += head[i] == '\0';
        zeroOdd += head[i + 1] == '\0';
    }
    if (units == 0)
        return TextEncoding::Ansi;
    if (zeroOdd * 2 > units && zeroEven * 8 <= zeroOdd)
        return TextEncoding::Utf16Le;
    if (zeroEven * 2 > units && zeroOdd * 8 <= zeroEven)
        return TextEncoding::Utf16Be;
    return TextEncoding::Ansi;
}

// Valid UTF-8 with at least one multi-byte sequence (a cut one at the end counts unless the head is
// the whole file): Utf8; otherwise Ansi.
TextEncoding Utf8BySequences(std::string_view head, bool wholeFile)
{
    bool multiByte = false;
    for (size_t at = 0; at < head.size();)
    {
        if (ByteAt(head, at) < 0x80)
        {
            ++at;
            continue;
        }
        const size_t length = Utf8SequenceLength(head.substr(at), !wholeFile);
        if (length == 0)
            return TextEncoding::Ansi;
        multiByte = true;
        at += length;
    }
    return multiByte ? TextEncoding::Utf8 : TextEncoding::Ansi;
}

} // namespace

size_t Utf8SequenceLength(std::string_view text, bool cutOk)
{
    if (text.empty())
        return 0;
    const unsigned char lead = ByteAt(text, 0);
    if (lead < 0x80)
        return 1;
    // The second byte's range narrows where the lead alone would allow overlong forms, surrogates
    // or code points past U+10FFFF.
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
    {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : low;
        high = lead == 0xED ? 0x9F : high;
    }
    else if (lead >= 0xF0 && lead <= 0xF4)
    {
        length = 4;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high;
    }
    else
        return 0;
    for (size_t k = 1; k < length; ++k)
    {
        if (k >= text.size())
            return cutOk ? text.size() : 0;
        const unsigned char next = ByteAt(text, k);
        if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF))
            return 0;
    }
    return length;
}

bool IsValidUtf8(std::string_view text, bool cutOk)
{
    for (size_t at = 0; at < text.size();)
    {
        if (ByteAt(text, at) < 0x80)
        {
            ++at;
            continue;
        }
        const size_t length = Utf8SequenceLength(text.substr(at), cutOk);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

std::string RepairUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();)
    {
        const size_t length = Utf8SequenceLength(text.substr(at));
        if (length == 0)
        {
            out += "\xEF\xBF\xBD";
            ++at;
            continue;
        }
        out.append(text.substr(at, length));
        at += length;
    }
    return out;
}

size_t Utf8CutLength(std::string_view text, size_t limit)
{
    if (text.size() <= limit)
        return text.size();
    size_t cut = limit;
    while (cut > 0 && (ByteAt(text, cut) & 0xC0) == 0x80)
        --cut;
    return cut;
}

RecognisedEncoding RecogniseEncoding(const char* head, size_t size, bool wholeFile)
{
    if (size > kRecognisedBytes)
    {
        size = kRecognisedBytes;
        wholeFile = false;
    }
    const std::string_view bytes(head, size);
    if (StartsWith(bytes, "\xEF\xBB\xBF"))
        return {TextEncoding::Utf8, 3};
    if (StartsWith(bytes, "\xFF\xFE"))
        return {TextEncoding::Utf16Le, 2};
    if (StartsWith(bytes, "\xFE\xFF"))
        return {TextEncoding::Utf16Be, 2};
    const TextEncoding utf16 = Utf16ByZeroBytes(bytes);
    if (utf16 != TextEncoding::Ansi)
        return {utf16, 0};
    return {Utf8BySequences(bytes, wholeFile), 0};
}

std::string AnsiForm(const std::string& utf8, const platform::CodePage* codePage)
{
    if (!codePage)
        return {};
    std::optional<std::string> ansi = codePage->FromUtf8(utf8);
    return ansi && *ansi != utf8 ? std::move(*ansi) : std::string();
}

std::string EncodingName(const RecognisedEncoding& recognised)
{
    std::string name;
    switch (recognised.encoding)
    {
    case TextEncoding::Ansi:
        return "ANSI";
    case TextEncoding::Utf8:
        name = "UTF-8";
        break;
    case TextEncoding::Utf16Le:
        name = "UTF-16 LE";
        break;
    case TextEncoding::Utf16Be:
        name = "UTF-16 BE";
        break;
    }
    return recognised.markLength > 0 ? name + " BOM" : name;
}

} // namespace engine
