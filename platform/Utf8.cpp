#include "platform/Utf8.h"

#include <windows.h>

namespace platform
{

std::wstring Widen(const std::string& utf8)
{
    if (utf8.empty())
        return {};
    int count = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), count);
    return wide;
}

std::string Narrow(const wchar_t* wide, size_t length)
{
    if (length == 0)
        return {};
    int count = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(count), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), utf8.data(), count, nullptr, nullptr);
    return utf8;
}

std::string Narrow(const std::wstring& wide)
{
    return Narrow(wide.data(), wide.size());
}

} // namespace platform
