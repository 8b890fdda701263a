#include "about/VersionInfoWin32.h"

#include "about/AboutContent.h"
#include "platform/Utf8.h"
#include "settings/AppPaths.h"

#include <windows.h>

namespace about
{
namespace
{

std::vector<uint8_t> ReadBlock(const std::string& path)
{
    const std::wstring wide = platform::Widen(path);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(wide.c_str(), &ignored);
    if (size == 0)
        return {};
    std::vector<uint8_t> block(size);
    if (!GetFileVersionInfoW(wide.c_str(), 0, size, block.data()))
        return {};
    return block;
}

std::string FileDate(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(platform::Widen(path).c_str(), GetFileExInfoStandard, &data))
        return {};
    FILETIME local{};
    SYSTEMTIME time{};
    if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &time))
        return {};
    wchar_t text[128];
    const int length = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, text, 128);
    return length > 1 ? platform::Narrow(text, static_cast<size_t>(length - 1)) : std::string();
}

} // namespace

VersionServices SystemVersionServices()
{
    VersionServices services;
    services.readBlock = ReadBlock;
    services.exeFileName = [] { return settings::ExeFileName(); };
    services.fileDate = FileDate;
    return services;
}

std::string GetVersionString(const std::string& path, int selector)
{
    return GetVersionString(SystemVersionServices(), path, selector);
}

std::string SysErrorText(unsigned long code)
{
    wchar_t buffer[256] = {};
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        code, 0, buffer, 256, nullptr);
    return SysErrorTextFrom(platform::Narrow(buffer, length));
}

} // namespace about
