#pragma once
// One key of an ini file at a time, through the system's profile functions: nothing is cached, so
// another instance's writes are seen at once.
#include <string>

namespace platform
{

// The key's text, at most 2047 characters; fallback when the key or the file is absent.
std::wstring ReadProfileKey(const std::string& file, const std::string& section, const std::string& key,
                            const std::wstring& fallback);

// False when the file cannot be written.
bool WriteProfileKey(const std::string& file, const std::string& section, const std::string& key,
                     const std::wstring& value);

} // namespace platform
