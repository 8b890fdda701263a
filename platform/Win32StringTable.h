#pragma once
// Resource-only modules (the language modules) and the texts of their string tables.
#include "platform/UniqueHandle.h"

#include <optional>
#include <string>

namespace platform
{

// Loads the module at path as data: its code never runs, and a file that is not a module fails.
UniqueModule LoadDataModule(const std::string& path);

// Text id of the module's string table, UTF-8, up to its first NUL and at most 1023 characters;
// empty when the table has no such text or it is empty.
std::optional<std::string> LoadModuleString(HMODULE module, int id);

} // namespace platform
