#pragma once
// A small file read or written whole (search files, exported lists).
#include <cstddef>
#include <optional>
#include <string>

namespace platform
{

// The file's bytes; empty when it cannot be opened or read, or is larger than maxBytes.
std::optional<std::string> ReadWholeFile(const std::string& path, size_t maxBytes);
// Replaces the file with text; false when it cannot be written whole.
bool WriteWholeFile(const std::string& path, const std::string& text);

} // namespace platform
