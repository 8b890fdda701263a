#pragma once
// The text inside Office and OpenDocument files and zip archives, in pieces: one per XML part that
// holds a document's text, one per text member of an archive. The content tests search the pieces
// instead of the file's bytes; a producer of hit lines names each line by its piece's member.
#include "engine/ContainerKinds.h"
#include "engine/ZipArchive.h"
#include "platform/FileSystem.h"

#include <functional>
#include <string>
#include <vector>

namespace engine
{

enum class ContainerKind
{
    None,     // a plain file: its bytes are its text
    Document, // .docx, .xlsx, .pptx, .odt, .ods, .odp and their templates and macro forms
    Archive,  // .zip
};

// The kind of the file at path by its extension (ASCII letters folded), None when that kind is
// not opened. Cheap: the content tests ask it of every file.
ContainerKind ContainerKindOf(const std::string& path, const ContainerKinds& opened);

struct TextPiece
{
    std::string member; // the part or member inside the file, as the archive names it
    std::string text;   // UTF-8
};

enum class TextOutcome
{
    Read,       // every piece was visited (a damaged file or member simply gives fewer pieces)
    Stopped,    // the visitor asked to stop
    NotFound,   // the file was not there
    Unreadable, // it could not be opened
};

// Returns false to stop the visit.
using TextPieceVisitor = std::function<bool(const TextPiece& piece)>;

// Visits the text pieces of the file at path, read as kind (not None), one member in memory at a
// time; the file is opened with share. A file that is no zip archive, a damaged one, and encrypted
// or oversized members give no pieces and no message: such a file does not contain a text.
TextOutcome VisitContainerText(platform::FileSystem& fileSystem, const std::string& path, ContainerKind kind,
                               const TextPieceVisitor& visit,
                               platform::FileShare share = platform::FileShare::ReadWrite);
// The same over an archive already open.
TextOutcome VisitArchiveText(const ZipArchive& archive, ContainerKind kind, const TextPieceVisitor& visit,
                             const ZipLimits& limits = {});
// Every piece, collected; for callers that list what the file holds.
TextOutcome ContainerText(platform::FileSystem& fileSystem, const std::string& path, ContainerKind kind,
                          std::vector<TextPiece>& pieces,
                          platform::FileShare share = platform::FileShare::ReadWrite);

// Whether an archive member's bytes are text: no NUL in its first 4 KiB, or a UTF-16 byte-order mark.
bool LooksLikeText(const std::string& bytes);

} // namespace engine
