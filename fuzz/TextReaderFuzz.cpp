// The text reader that both content tests read files through, against a decoding written from the
// definition, and the engine's content scan against a search of that decoded text. Input: a byte
// choosing a byte-order mark and the read sizes, two bytes placing the searched text, the file.
#include "engine/EntryFilter.h"
#include "engine/TextReader.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/Utf16Reference.h"
#include "tests/support/FakeFileSystem.h"

namespace
{

const char* const kPath = "C:\\f.txt";

std::string ReadToEnd(platform::FileReader& reader)
{
    std::string text;
    char buffer[97]; // odd on purpose: the reader must not care how much is asked for
    for (int64_t got; (got = reader.Read(buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(got));
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzInput input(data, size);
    const uint8_t choice = input.Byte();
    const size_t needleAt = input.Byte();
    const size_t needleLength = input.Byte() % 16;
    const std::string body = input.Rest();

    const char* const marks[] = {"", "\xFF\xFE", "\xFE\xFF"};
    const size_t mark = (choice & 3) % 3;
    testing_support::FakeEntry file;
    file.content = marks[mark] + body;
    if (choice & 4)
        file.shortReads = {1u + (choice >> 3), 2, 1};
    testing_support::FakeFileSystem files;
    files.AddFile(kPath, file);

    // Recognised from the first bytes (held to their rule by the host tests); the file then reads
    // decoded, without its mark.
    const engine::RecognisedEncoding recognised =
        engine::RecogniseEncoding(file.content.data(), file.content.size(), true);
    const std::string text = file.content.substr(recognised.markLength);
    const bool utf16 = recognised.encoding == engine::TextEncoding::Utf16Le ||
                       recognised.encoding == engine::TextEncoding::Utf16Be;
    const std::string expected =
        utf16 ? fuzz::Utf16ToUtf8ByDefinition(text, recognised.encoding == engine::TextEncoding::Utf16Be)
              : text;
    auto reader = engine::TextReader(files.OpenFile(kPath, platform::FileShare::Read));
    fuzz::Check(reader != nullptr, "open");
    fuzz::Check(ReadToEnd(*reader) == expected, "text reader against the definition");

    // A piece of the decoded text is in the file; the scan must find it wherever it lies.
    const size_t from = expected.empty() ? 0 : needleAt % expected.size();
    const std::string needle = expected.substr(from, needleLength);
    engine::ContentScanner scanner(needle, false);
    fuzz::Check(scanner.FileContains(files, kPath), "content scan finds a piece of the decoded text");
    return 0;
}
