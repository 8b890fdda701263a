#pragma once
// The command line of FindFileCmd: options, their values and how they become finder criteria.
// Portable, so the parsing is tested natively.
#include "engine/FindFileTypes.h"

#include <optional>
#include <string>
#include <vector>

namespace engine
{
class TFindFile;
}

namespace cmd
{

struct CmdOptions
{
    std::optional<std::string> location; // unset: the finder's own default (the current folder)
    std::string name = "*.*";
    std::vector<std::string> includes;
    std::vector<std::string> excludes;
    bool subfolders = true;
    engine::TFileAttributes attributes{engine::ffArchive, engine::ffReadonly, engine::ffHidden,
                                       engine::ffSystem};
    bool exactAttributes = false;
    engine::TDateTime modifiedAfter = 0;
    engine::TDateTime modifiedBefore = 0;
    engine::TDateTime createdAfter = 0;
    engine::TDateTime createdBefore = 0;
    engine::TDateTime accessedAfter = 0;
    engine::TDateTime accessedBefore = 0;
    int64_t sizeMin = 0;
    int64_t sizeMax = 0;
    std::string containing;
    bool caseSensitive = false;
    bool threaded = false;
    bool events = false;
    bool help = false;
    bool version = false;
};

struct ParseResult
{
    CmdOptions options;
    std::string error; // empty when the command line is valid
};

// args without the program name, UTF-8.
ParseResult ParseCommandLine(const std::vector<std::string>& args);

// YYYY-MM-DD (a whole day), HH:MM[:SS] (a time of day) or YYYY-MM-DDTHH:MM[:SS]. An upper bound
// given at midnight keeps meaning that instant, not the whole day or no bound at all.
std::optional<engine::TDateTime> ParseDateBound(const std::string& text, bool upperBound);

// Letters A R H S D in any order and case; "" is the empty set.
std::optional<engine::TFileAttributes> ParseAttributes(const std::string& letters);

// A non-negative whole number of bytes.
std::optional<int64_t> ParseSize(const std::string& text);

// Writes the options into the finder; the finder's setters may throw engine::EFindFileError.
void ApplyOptions(const CmdOptions& options, engine::TFindFile& finder);

const char* UsageText();
const char* VersionText();

} // namespace cmd
