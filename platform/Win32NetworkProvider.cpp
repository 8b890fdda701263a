#include "platform/NetworkProvider.h"
#include "platform/Utf8.h"

#include <windows.h>
#include <winnetwk.h>

namespace platform
{

std::string LanManagerProviderName()
{
    wchar_t name[256] = {};
    DWORD size = 256;
    if (WNetGetProviderNameW(WNNC_NET_LANMAN, name, &size) != NO_ERROR)
        return {};
    return Narrow(name);
}

} // namespace platform
