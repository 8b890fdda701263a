#pragma once
// The containing-text filter of the results list: how many lines of a file hold a text, letter
// case ignored. The file is streamed, so its size does not matter.
#include "engine/ContainerKinds.h"
#include "platform/FileSystem.h"

#include <array>
#include <string>
#include <vector>

namespace ui
{

// Upper case of single bytes, by the rules of the code page the text is read in. The Win32 table
// comes from the system (LineFilterWin32.h); the default folds ASCII letters only.
class ByteUpperCase
{
public:
    ByteUpperCase();
    explicit ByteUpperCase(const std::array<unsigned char, 256>& table) : m_table(table) {}

    unsigned char operator()(unsigned char c) const { return m_table[c]; }
    const std::array<unsigned char, 256>& Table() const { return m_table; }

private:
    std::array<unsigned char, 256> m_table;
};

// Counts the lines of the file at path whose upper-case form holds the upper-case form of one of
// texts (the same text in the encodings a file may use). The file is opened denying others write
// access; lines end at CR LF, CR or LF; the text ends at the first NUL byte. A file in UTF-16 or
// UTF-8 (engine/TextEncoding.h) is read as UTF-8 and only the texts that are UTF-8 are looked for in
// it, ASCII letters folded; an ANSI file folds by upper. A file that cannot be opened or read counts
// as holding no matching line. A file of a kind in opened is read as the text inside it
// (LineFilterContainers.h), which is UTF-8 as well.
int CountMatchingLines(platform::FileSystem& fileSystem, const std::string& path,
                       const std::vector<std::string>& texts, const ByteUpperCase& upper,
                       const engine::ContainerKinds& opened = engine::ContainerKinds{false, false});

// The same over text in memory (the text inside a document, as UTF-8): the lines of text up to its
// first NUL byte.
int CountMatchingLinesInText(const std::string& text, const std::vector<std::string>& texts,
                             const ByteUpperCase& upper);

} // namespace ui
