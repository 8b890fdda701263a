#include "platform/Win32WholeFile.h"

#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"

#include <windows.h>

namespace platform
{

std::optional<std::string> ReadWholeFile(const std::string& path, size_t maxBytes)
{
    UniqueFile file(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size) ||
        static_cast<unsigned long long>(size.QuadPart) > maxBytes)
        return std::nullopt;
    std::string text(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!text.empty() && !ReadFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr))
        return std::nullopt;
    text.resize(read);
    return text;
}

bool WriteWholeFile(const std::string& path, const std::string& text)
{
    UniqueFile file(CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

} // namespace platform
