#include "platform/Utf8.h"

#include <windows.h>
#include <string>

namespace settings
{

std::string RunningExecutablePath()
{
    // Paths may exceed MAX_PATH; grow until the name fits.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;)
    {
        DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size())
            return platform::Narrow(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace settings
