#pragma once
// FindFileCmd --computers: the network panel's lookup on the console.
#include "cmd/CmdOptions.h"
#include "cmd/ConsoleOutput.h"

#include <atomic>
#include <optional>

namespace cmd
{

// Prints the rows as they are found: tab-separated lines and a closing line, or with --format jsonl
// a JSON object per row and nothing more. Answers the number of rows; nothing when the lookup could
// not start (the reason is written to err).
std::optional<long long> RunComputers(const CmdOptions& options, ConsoleOutput& out, ConsoleOutput& err,
                                      const std::atomic<bool>& stop);

} // namespace cmd
