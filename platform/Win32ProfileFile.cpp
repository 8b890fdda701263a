#include "platform/Win32ProfileFile.h"

#include "platform/Utf8.h"

#include <windows.h>

namespace platform
{

std::wstring ReadProfileKey(const std::string& file, const std::string& section, const std::string& key,
                            const std::wstring& fallback)
{
    wchar_t buffer[2048];
    const DWORD length =
        GetPrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), fallback.c_str(), buffer,
                                 ARRAYSIZE(buffer), Widen(file).c_str());
    return std::wstring(buffer, length);
}

bool WriteProfileKey(const std::string& file, const std::string& section, const std::string& key,
                     const std::wstring& value)
{
    return WritePrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), value.c_str(),
                                      Widen(file).c_str()) != FALSE;
}

} // namespace platform
