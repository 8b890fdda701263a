#pragma once
// FindFileCmd --computers: the network panel's lookup on the console.
#include "cmd/CmdOptions.h"
#include "cmd/ConsoleOutput.h"

#include <atomic>

namespace cmd
{

// Prints the rows as they are found and the closing line; answers the number of rows.
long long RunComputers(const CmdOptions& options, ConsoleOutput& out, const std::atomic<bool>& stop);

} // namespace cmd
