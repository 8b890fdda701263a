#include "ui/results/PreviewText.h"

#include "engine/Utf8Char.h"

#include <algorithm>

namespace ui
{

namespace
{

// Colours of the table below: 1 the line numbers and context lines, 2 a hit's background.
constexpr char kHeader[] =
    "{\\rtf1\\ansi\\deff0"
    "{\\fonttbl{\\f0\\fmodern\\fcharset0 Courier New;}{\\f1\\fswiss\\fcharset0 Tahoma;}}"
    "{\\colortbl;\\red112\\green112\\blue112;\\red255\\green236\\blue110;}"
    "\\uc1\\pard\\f1\\fs16 ";

uint32_t CodePointAt(std::string_view text, size_t at, size_t length)
{
    const auto byte = [&](size_t k) {
        return static_cast<uint32_t>(static_cast<unsigned char>(text[at + k]));
    };
    switch (length)
    {
    case 1:
        return byte(0) < 0x80 ? byte(0) : 0xFFFD;
    case 2:
        return ((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F);
    case 3:
        return ((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
    default:
        return ((byte(0) & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) |
               (byte(3) & 0x3F);
    }
}

void AppendUnit(uint32_t unit, std::string& rtf)
{
    // \uN takes a signed 16-bit number; the "?" is what readers without Unicode show.
    rtf += "\\u" + std::to_string(static_cast<int16_t>(unit)) + "?";
}

void AppendCodePoint(uint32_t c, std::string& rtf)
{
    if (c == '\\' || c == '{' || c == '}')
        rtf += '\\', rtf += static_cast<char>(c);
    else if (c == '\t')
        rtf += "\\tab ";
    else if (c < 0x20 || c == 0x7F)
        AppendUnit(0xFFFD, rtf);
    else if (c < 0x80)
        rtf += static_cast<char>(c);
    else if (c < 0x10000)
        AppendUnit(c, rtf);
    else
    {
        AppendUnit(0xD800 + ((c - 0x10000) >> 10), rtf);
        AppendUnit(0xDC00 + ((c - 0x10000) & 0x3FF), rtf);
    }
}

void AppendLine(const engine::HitLine& line, std::string& rtf)
{
    rtf += "{\\cf1 " + std::to_string(line.number) + (line.context ? "-" : ":") + "}\\tab ";
    if (line.context)
        rtf += "{\\cf1 ";
    size_t at = 0;
    for (const auto& [offset, length] : line.hits)
    {
        const size_t begin = std::clamp(offset, at, line.text.size());
        const size_t end = std::min(begin + length, line.text.size());
        if (begin == end)
            continue;
        rtf += RtfText(std::string_view(line.text).substr(at, begin - at));
        rtf += "{\\highlight2\\b " + RtfText(std::string_view(line.text).substr(begin, end - begin)) + "}";
        at = end;
    }
    rtf += RtfText(std::string_view(line.text).substr(at));
    if (line.context)
        rtf += "}";
    rtf += "\\par\n";
}

} // namespace

std::string RtfText(std::string_view utf8)
{
    std::string rtf;
    rtf.reserve(utf8.size());
    for (size_t at = 0; at < utf8.size();)
    {
        const size_t length = engine::Utf8CharLength(utf8, at);
        AppendCodePoint(CodePointAt(utf8, at, length), rtf);
        at += length;
    }
    return rtf;
}

std::string PreviewRtf(const std::string& heading, const std::vector<std::string>& notes,
                       const std::vector<engine::HitLine>& lines)
{
    std::string rtf = kHeader;
    rtf += "{\\b " + RtfText(heading) + "}\\par\n";
    for (const std::string& note : notes)
        rtf += RtfText(note) + "\\par\n";
    // A tab stop after the widest line number keeps the texts in one column.
    rtf += "\\pard\\tx720\\f0\\fs17 ";
    const engine::HitLine* previous = nullptr;
    for (const engine::HitLine& line : lines)
    {
        const bool newMember = !previous || previous->member != line.member;
        if (newMember && !line.member.empty())
            rtf += "{\\f1\\b " + RtfText(line.member) + "}\\par\n";
        else if (previous && !newMember && line.number != previous->number + 1)
            rtf += "{\\cf1 ...}\\par\n";
        AppendLine(line, rtf);
        previous = &line;
    }
    rtf += "}";
    return rtf;
}

} // namespace ui
