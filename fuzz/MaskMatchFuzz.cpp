// Exclusion lines and target masks against names and paths: the line, a newline, then the path.
#include "engine/MaskMatch.h"
#include "fuzz/FuzzSupport.h"

namespace
{

// A full path names its own entry as an exclusion line when its folder leaves no doubt about where
// it starts: a drive letter or a UNC server.
bool RootedPath(const std::string& path)
{
    const bool drive = path.size() >= 2 && static_cast<unsigned char>(path[0]) < 0x80 && path[1] == ':';
    const bool unc = path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
    return drive || unc;
}

std::string NameOf(const std::string& path)
{
    const size_t cut = path.find_last_of("\\:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzInput input(data, size);
    const std::string mask = input.Until('\n');
    const std::string path = input.Rest();

    const bool hit = engine::MaskMatches(path, mask);
    fuzz::Check(hit == engine::MaskMatches(fuzz::AsciiLower(path), fuzz::AsciiUpper(mask)),
                "an exclusion line folds ASCII letters only");
    fuzz::Check(engine::MaskMatches(path, ""), "an empty line hits every entry");
    if (RootedPath(path))
        fuzz::Check(engine::MaskMatches(path, path), "a rooted path is hit by itself");

    const std::string name = NameOf(path);
    const engine::TargetMask target(mask);
    const bool matches = target.Matches(name);
    fuzz::Check(matches == engine::TargetMask(fuzz::AsciiUpper(mask)).Matches(fuzz::AsciiLower(name)),
                "a target mask folds ASCII letters only");
    if (name != "." && name != "..")
        fuzz::Check(engine::TargetMask("*").Matches(name) && engine::TargetMask("*.*").Matches(name),
                    "* and *.* match every name");
    return 0;
}
