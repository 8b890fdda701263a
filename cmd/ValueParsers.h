#pragma once
// The values of FindFileCmd's options: date bounds, attribute letters, byte counts. Portable, so
// they are tested (and fuzzed) natively.
#include "engine/FindFileTypes.h"

#include <cstdint>
#include <optional>
#include <string>

namespace cmd
{

// YYYY-MM-DD (a whole day), HH:MM[:SS] (a time of day) or YYYY-MM-DDTHH:MM[:SS], dates from
// 1899-12-31 on. An upper bound given at midnight keeps meaning that instant, not the whole day or
// no bound at all.
std::optional<engine::TDateTime> ParseDateBound(const std::string& text, bool upperBound);

// Letters A R H S D in any order and case; "" is the empty set.
std::optional<engine::TFileAttributes> ParseAttributes(const std::string& letters);

// A non-negative whole number of bytes.
std::optional<int64_t> ParseSize(const std::string& text);

} // namespace cmd
