#pragma once
// The version reader's platform side: a file's version block, its date, system error texts.
#include "about/FileVersion.h"

#include <string>

namespace about
{

// The services of the running system: GetFileVersionInfoW, the file's last-write date in the
// user's short date format, and the executable's path (settings::ExeFileName).
VersionServices SystemVersionServices();

// GetVersionString over the system's services.
std::string GetVersionString(const std::string& path, int selector);

// "SysErr: " followed by the system's message for code.
std::string SysErrorText(unsigned long code);

} // namespace about
