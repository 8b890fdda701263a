#pragma once
// Which encoding a file's text is in, told from its first bytes: a byte-order mark; UTF-16 without
// one, told by its zero bytes; UTF-8 without one, told by valid multi-byte sequences; otherwise the
// ANSI code page, one byte a character.
#include "platform/CodePage.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace engine
{

enum class TextEncoding
{
    Ansi,
    Utf8,
    Utf16Le,
    Utf16Be,
};

struct RecognisedEncoding
{
    TextEncoding encoding = TextEncoding::Ansi;
    size_t markLength = 0; // the byte-order mark's bytes: 0, 2 (UTF-16) or 3 (UTF-8)

    bool operator==(const RecognisedEncoding& other) const
    {
        return encoding == other.encoding && markLength == other.markLength;
    }
};

// How many of a file's first bytes the recognition looks at.
constexpr size_t kRecognisedBytes = 4096;

// head: the file's first bytes, at most kRecognisedBytes of them are looked at. wholeFile: head is
// the whole file, so a UTF-8 sequence cut at its end is broken rather than cut by the look.
//
// UTF-16 without a mark: of the head's code units (its bytes paired from the start), more than half
// have a zero byte on one side, and the zero bytes on the other side are at most an eighth as many
// (little-endian when the zero bytes are the odd ones). Text in a Latin script has a zero high byte
// in most units; 8-bit text has no zero bytes; binary data and UTF-32 have them on both sides.
RecognisedEncoding RecogniseEncoding(const char* head, size_t size, bool wholeFile);

// A short name for a caption: "ANSI", "UTF-8", "UTF-8 BOM", "UTF-16 LE", "UTF-16 BE BOM" ...
std::string EncodingName(const RecognisedEncoding& recognised);

// The UTF-8 text in the ANSI code page where that form differs from it; empty when it does not
// differ, the page cannot hold the text, or there is no code page.
std::string AnsiForm(const std::string& utf8, const platform::CodePage* codePage);

// Bytes of the valid UTF-8 sequence at the start of text (1 to 4; an ASCII byte is 1), or 0 when
// the bytes there are no valid sequence: overlong forms, surrogates and code points past U+10FFFF
// are not valid. A sequence cut by the end of text counts as valid when cutOk is set.
size_t Utf8SequenceLength(std::string_view text, bool cutOk = false);

// Whether text is valid UTF-8 throughout (a sequence cut at its end allowed with cutOk).
bool IsValidUtf8(std::string_view text, bool cutOk = false);

// text with each byte that starts no valid sequence turned into U+FFFD.
std::string RepairUtf8(std::string_view text);

// The longest start of text of at most limit bytes that ends on a character boundary.
size_t Utf8CutLength(std::string_view text, size_t limit);

} // namespace engine
