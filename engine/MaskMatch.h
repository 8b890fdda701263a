#pragma once
// The two name matchers of a run: the exclusion-line matcher (MaskMatches) and the matcher of the
// target mask that selects the entries of each folder (TargetMask), which follows the Windows
// long-name rules so that a search answers the same on Windows and under Wine.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace engine
{

// True when the exclusion line hits the entry's full path (folder string plus name). The line's
// folder part is matched against the end of the entry's folder; only "*" and "?" are wildcards,
// and only in the name part, except for a "*" or "?" drive letter. Both names are walked by whole
// UTF-8 characters.
bool MaskMatches(std::string_view fullPath, std::string_view maskLine);

// A target mask compiled once per target: Windows long-name wildcard matching, case-blind for
// ASCII letters. "*" spans dots, "?" is one character of any script, "*.*" matches every name,
// "NAME.*" also matches NAME, and a mask ending in "." matches only names without an extension.
class TargetMask
{
public:
    explicit TargetMask(std::string_view mask);
    bool Matches(std::string_view name) const;

private:
    std::vector<uint32_t> m_pattern; // one token per character or wildcard
    bool m_matchesAll = false;
    bool m_matchesDotEntries = false; // "." and ".." answer to masks of wildcards and dots only
};

} // namespace engine
