#pragma once
// Where the program lives and where its settings file is. Every part of the program asks here,
// so tests can move the whole settings and language machinery into a folder of their own.
#include <string>

namespace settings
{

// Full path of the running executable (UTF-8), or the path set for tests.
std::string ExeFileName();

// Makes ExeFileName return path from now on; an empty path restores the real executable's name.
void SetExeFileNameForTests(const std::string& path);

// ExeFileName with its extension replaced by ".ini".
std::string SettingsFilePath();

} // namespace settings
