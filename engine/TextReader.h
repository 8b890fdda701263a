#pragma once
// The content tests read a file's text through this: a file in UTF-16 (little- or big-endian,
// with a byte-order mark or told by its zero bytes) reads as UTF-8, so a text is found in it as in
// any other file; every other file reads unchanged but for a UTF-8 byte-order mark, left out.
#include "engine/TextEncoding.h"
#include "platform/FileSystem.h"

#include <memory>
#include <string>

namespace engine
{

// Wraps an open file; null stays null. recognised, when given, receives what the file's first
// bytes tell of its encoding (the first bytes are read here).
std::unique_ptr<platform::FileReader> TextReader(std::unique_ptr<platform::FileReader> raw,
                                                 RecognisedEncoding* recognised = nullptr);

// UTF-16 code units (bytes, little- or big-endian) to UTF-8, appended to out. Bytes that do not yet
// make a whole character (an odd byte, a high surrogate awaiting its pair) stay in carry for the
// next call. Unpaired surrogates become U+FFFD.
void AppendUtf16AsUtf8(std::string& carry, const char* bytes, size_t size, bool bigEndian, std::string& out);

} // namespace engine
