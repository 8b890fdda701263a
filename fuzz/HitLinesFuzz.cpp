// The hit lines of arbitrary bytes as a file: never a crash, every line valid UTF-8 within its cut,
// every hit inside its line and really the text, and the hit lines the same as a reference that
// decodes the whole file at once and splits it. Input: a byte of choices (letter case, context,
// read sizes, the most hit lines), the text up to a zero byte, the file.
#include "engine/ContentScanner.h"
#include "engine/HitLines.h"
#include "engine/TextEncoding.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/Utf16Reference.h"
#include "tests/support/FakeFileSystem.h"

namespace
{

const char* const kPath = "C:\\f.txt";

// The file's lines as UTF-8, decoded the simple way: whole, then split.
std::vector<std::string> ReferenceLines(const std::string& content, const platform::CodePage& codePage)
{
    const engine::RecognisedEncoding recognised =
        engine::RecogniseEncoding(content.data(), content.size(), true);
    const std::string body = content.substr(recognised.markLength);
    const bool utf16 = recognised.encoding == engine::TextEncoding::Utf16Le ||
                       recognised.encoding == engine::TextEncoding::Utf16Be;
    const std::string bytes =
        utf16 ? fuzz::Utf16ToUtf8ByDefinition(body, recognised.encoding == engine::TextEncoding::Utf16Be)
              : body;
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < bytes.size(); ++i)
    {
        if (bytes[i] != '\r' && bytes[i] != '\n')
        {
            line += bytes[i];
            continue;
        }
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        lines.push_back(line);
        line.clear();
    }
    if (!line.empty())
        lines.push_back(line);
    for (std::string& each : lines)
        if (recognised.encoding != engine::TextEncoding::Ansi)
            each = engine::RepairUtf8(each);
        else if (!engine::IsValidUtf8(each))
            each = codePage.ToUtf8(each);
    return lines;
}

bool FoldedEqual(const std::string& a, const std::string& b, bool ignoreCase)
{
    return ignoreCase ? fuzz::AsciiUpper(a) == fuzz::AsciiUpper(b) : a == b;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzInput input(data, size);
    const uint8_t choice = input.Byte();
    engine::HitLinesQuery query;
    query.ignoreCase = choice & 1;
    query.context = (choice >> 1) & 3;
    query.maxHits = (choice & 0x40) ? 2 : 1000;
    const platform::Latin1CodePage latin1;
    query.codePage = &latin1;
    query.text = input.Until('\0');
    testing_support::FakeEntry file;
    file.content = input.Rest();
    if (choice & 8)
        file.shortReads = {1u + ((choice >> 4) & 3), 4097, 3};
    testing_support::FakeFileSystem files;
    files.AddFile(kPath, file);

    const engine::HitLinesResult result = engine::FindHitLines(files, kPath, query);
    fuzz::Check(result.outcome == engine::HitLinesResult::Outcome::Read, "a readable file is read");
    const engine::RecognisedEncoding recognised =
        engine::RecogniseEncoding(file.content.data(), file.content.size(), true);
    fuzz::Check(result.encoding == engine::EncodingName(recognised), "the encoding told");

    uint64_t previous = 0;
    size_t hitLines = 0;
    for (const engine::HitLine& line : result.lines)
    {
        fuzz::Check(line.number > previous, "lines in file order, each once");
        previous = line.number;
        fuzz::Check(line.text.size() <= engine::kHitLineTextLimit, "a line is cut");
        fuzz::Check(engine::IsValidUtf8(line.text), "a line is UTF-8");
        fuzz::Check(!line.context || line.hits.empty(), "a context line holds no hit");
        hitLines += line.context ? 0 : 1;
        size_t end = 0;
        for (const auto& [offset, length] : line.hits)
        {
            fuzz::Check(offset >= end && length == query.text.size(), "hits in order, apart");
            fuzz::Check(offset + length <= line.text.size(), "a hit lies inside its line");
            fuzz::Check(FoldedEqual(line.text.substr(offset, length), query.text, query.ignoreCase),
                        "a hit is the text");
            end = offset + length;
        }
    }
    fuzz::Check(hitLines <= query.maxHits, "at most maxHits hit lines");

    // Against the reference, where no line is long enough to be cut.
    const std::vector<std::string> lines = ReferenceLines(file.content, latin1);
    bool short_ = true;
    for (const std::string& line : lines)
        short_ = short_ && line.size() <= engine::kHitLineTextLimit;
    // The text arrives as UTF-8; broken, it may match inside a decoded character. A text holding
    // U+FFFD may be found where the reference repaired broken UTF-8, which the undecoded look
    // passes over.
    if (!short_ || query.text.empty() || !engine::IsValidUtf8(query.text) ||
        query.text.find("\xEF\xBF\xBD") != std::string::npos)
        return 0;
    std::vector<uint64_t> expected;
    for (size_t i = 0; i < lines.size(); ++i)
    {
        bool holds = false;
        for (size_t at = 0; !holds && at + query.text.size() <= lines[i].size(); ++at)
            holds = FoldedEqual(lines[i].substr(at, query.text.size()), query.text, query.ignoreCase);
        if (holds)
            expected.push_back(i + 1);
    }
    std::vector<uint64_t> found;
    for (const engine::HitLine& line : result.lines)
    {
        if (!line.context)
            found.push_back(line.number);
        fuzz::Check(line.number <= lines.size() && line.text == lines[line.number - 1], "a line's text");
    }
    const bool cut = expected.size() > query.maxHits;
    if (cut)
        expected.resize(query.maxHits);
    fuzz::Check(found == expected, "the hit lines of the reference");
    fuzz::Check(result.cutOff == cut, "cut off exactly when more hit lines follow");
    // A file with a hit line holds the text for the content test too.
    if (!found.empty())
    {
        engine::ContentScanner scanner(engine::ContentText{query.text, engine::AnsiForm(query.text, &latin1)},
                                       query.ignoreCase);
        fuzz::Check(scanner.FileContains(files, kPath), "the content test agrees");
    }
    return 0;
}
