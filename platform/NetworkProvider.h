#pragma once
// The network provider the computer search enumerates through.
#include <string>

namespace platform
{

// The LAN Manager network provider's name; empty when the system has no such provider.
std::string LanManagerProviderName();

} // namespace platform
