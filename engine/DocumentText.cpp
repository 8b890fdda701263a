#include "engine/DocumentText.h"

#include "engine/TextReader.h"
#include "engine/XmlText.h"

#include <array>
#include <string_view>

namespace engine
{

namespace
{

constexpr std::array<std::string_view, 17> kDocumentExtensions{
    "docx", "docm", "dotx", "dotm", "xlsx", "xlsm", "xltx", "xltm", "pptx",
    "pptm", "potx", "ppsx", "odt",  "ods",  "odp",  "ott",  "ots",
};
constexpr size_t kTextSniffSize = 4096;

// The parts that hold what a reader of the document sees: a name is a part when it starts with
// prefix and ends with suffix with no folder between (sheet1.xml, but not _rels/sheet1.xml.rels).
struct PartPattern
{
    std::string_view prefix;
    std::string_view suffix;
};

constexpr std::array<PartPattern, 12> kTextParts{{
    {"word/document", ".xml"},
    {"word/header", ".xml"},
    {"word/footer", ".xml"},
    {"word/footnotes", ".xml"},
    {"word/endnotes", ".xml"},
    {"word/comments", ".xml"},
    {"xl/sharedStrings", ".xml"},
    {"xl/worksheets/sheet", ".xml"},
    {"ppt/slides/slide", ".xml"},
    {"ppt/notesSlides/notesSlide", ".xml"},
    {"content", ".xml"},
    {"styles", ".xml"}, // OpenDocument's page headers and footers
}};

bool IsTextPart(std::string_view name)
{
    for (const PartPattern& pattern : kTextParts)
    {
        if (name.size() < pattern.prefix.size() + pattern.suffix.size() ||
            name.substr(0, pattern.prefix.size()) != pattern.prefix ||
            name.substr(name.size() - pattern.suffix.size()) != pattern.suffix)
            continue;
        const std::string_view middle =
            name.substr(pattern.prefix.size(), name.size() - pattern.prefix.size() - pattern.suffix.size());
        if (middle.find('/') == std::string_view::npos)
            return true;
    }
    return false;
}

bool ExtensionIs(std::string_view extension, std::string_view lowerWanted)
{
    if (extension.size() != lowerWanted.size())
        return false;
    for (size_t i = 0; i < extension.size(); ++i)
    {
        char c = extension[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != lowerWanted[i])
            return false;
    }
    return true;
}

enum class Utf16Mark
{
    None,
    Little,
    Big,
};

Utf16Mark Utf16MarkOf(const std::string& bytes)
{
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE')
        return Utf16Mark::Little;
    if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF')
        return Utf16Mark::Big;
    return Utf16Mark::None;
}

// UTF-16 text (after its mark) as UTF-8; other text as it is.
std::string AsUtf8(std::string bytes)
{
    const Utf16Mark mark = Utf16MarkOf(bytes);
    if (mark == Utf16Mark::None)
        return bytes;
    std::string carry;
    std::string out;
    AppendUtf16AsUtf8(carry, bytes.data() + 2, bytes.size() - 2, mark == Utf16Mark::Big, out);
    // An odd byte or a lone high surrogate at the end: as the text reader does, the end decodes it.
    if (!carry.empty())
        out += "\xEF\xBF\xBD";
    return out;
}

} // namespace

ContainerKind ContainerKindOf(const std::string& path, const ContainerKinds& opened)
{
    if (!opened.Any())
        return ContainerKind::None;
    const size_t dot = path.find_last_of(".\\/");
    if (dot == std::string::npos || path[dot] != '.')
        return ContainerKind::None;
    const std::string_view extension = std::string_view(path).substr(dot + 1);
    if (opened.archives && ExtensionIs(extension, "zip"))
        return ContainerKind::Archive;
    if (opened.documents)
        for (std::string_view document : kDocumentExtensions)
            if (ExtensionIs(extension, document))
                return ContainerKind::Document;
    return ContainerKind::None;
}

bool LooksLikeText(const std::string& bytes)
{
    if (Utf16MarkOf(bytes) != Utf16Mark::None)
        return true;
    return bytes.find('\0') >= kTextSniffSize;
}

TextOutcome VisitArchiveText(const ZipArchive& archive, ContainerKind kind, const TextPieceVisitor& visit,
                             const ZipLimits& limits)
{
    std::string bytes;
    TextPiece piece;
    for (const ZipMember& member : archive.Members())
    {
        if (member.IsFolder() || (kind == ContainerKind::Document && !IsTextPart(member.name)))
            continue;
        if (archive.ReadMember(member, bytes, limits) != MemberRead::Read)
            continue; // encrypted, oversized or damaged: it holds no text we can show
        if (kind == ContainerKind::Document)
            piece.text = XmlText(AsUtf8(std::move(bytes)));
        else if (LooksLikeText(bytes))
            piece.text = AsUtf8(std::move(bytes));
        else
            continue;
        piece.member = member.name;
        if (!visit(piece))
            return TextOutcome::Stopped;
    }
    return TextOutcome::Read;
}

TextOutcome VisitContainerText(platform::FileSystem& fileSystem, const std::string& path, ContainerKind kind,
                               const TextPieceVisitor& visit, platform::FileShare share)
{
    platform::OpenFailure failure = platform::OpenFailure::None;
    const std::unique_ptr<platform::FileReader> reader = fileSystem.OpenFile(path, share, failure);
    if (!reader)
        return failure == platform::OpenFailure::NotFound ? TextOutcome::NotFound : TextOutcome::Unreadable;
    FileByteSource source(*reader);
    const std::optional<ZipArchive> archive = ZipArchive::Open(source);
    if (!archive)
        return TextOutcome::Read;
    return VisitArchiveText(*archive, kind, visit);
}

TextOutcome ContainerText(platform::FileSystem& fileSystem, const std::string& path, ContainerKind kind,
                          std::vector<TextPiece>& pieces, platform::FileShare share)
{
    pieces.clear();
    return VisitContainerText(
        fileSystem, path, kind,
        [&pieces](const TextPiece& piece) {
            pieces.push_back(piece);
            return true;
        },
        share);
}

} // namespace engine
