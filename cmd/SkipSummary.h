#pragma once
// The console's words for what a search skipped and for a location that is not there.
#include "engine/SkipCounts.h"

#include <string>

namespace cmd
{

// One line for stderr naming every count that is not zero, in the order of SkipCounts, parts
// separated by "; " ("FindFileCmd: 3 folders could not be read (access denied); 1 folder link was
// not followed"); empty when nothing was skipped.
std::string SkipSummaryLine(const engine::SkipCounts& counts);

// The line for a location whose folder does not exist.
std::string MissingFolderLine(const std::string& folder);

} // namespace cmd
