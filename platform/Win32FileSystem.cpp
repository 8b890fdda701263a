#include "platform/Win32FileSystem.h"

#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"

#include <cwchar>
#include <windows.h>

namespace platform
{

namespace
{

// Converts without a temporary string: the listing fills one record per entry on the hot path.
void AssignUtf8(std::string& target, const wchar_t* wide, size_t maxLength)
{
    size_t length = wcsnlen(wide, maxLength);
    if (length == 0)
    {
        target.clear();
        return;
    }
    target.resize(length * 3);
    int written = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), target.data(),
                                      static_cast<int>(target.size()), nullptr, nullptr);
    target.resize(written > 0 ? static_cast<size_t>(written) : 0);
}

uint64_t Ticks(const FILETIME& time)
{
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

void Fill(FindData& entry, const WIN32_FIND_DATAW& data)
{
    entry.attributes = data.dwFileAttributes;
    entry.creationTime = Ticks(data.ftCreationTime);
    entry.lastAccessTime = Ticks(data.ftLastAccessTime);
    entry.lastWriteTime = Ticks(data.ftLastWriteTime);
    entry.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    // dwReserved0 holds the reparse tag only for reparse points; otherwise it is undefined.
    entry.reparseTag = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? data.dwReserved0 : 0;
    AssignUtf8(entry.name, data.cFileName, MAX_PATH);
    AssignUtf8(entry.shortName, data.cAlternateFileName, 14);
}

class Win32Listing final : public DirectoryListing
{
public:
    Win32Listing(UniqueFind find, const WIN32_FIND_DATAW& first) : m_find(std::move(find)), m_data(first) {}

    bool Next(FindData& entry) override
    {
        if (m_first)
            m_first = false;
        else if (!FindNextFileW(m_find.Get(), &m_data))
            return false;
        Fill(entry, m_data);
        return true;
    }

private:
    UniqueFind m_find;
    WIN32_FIND_DATAW m_data;
    bool m_first = true;
};

class Win32FileReader final : public FileReader
{
public:
    Win32FileReader(UniqueFile file, uint64_t size) : m_file(std::move(file)), m_size(size) {}

    int64_t Read(void* buffer, size_t count) override
    {
        DWORD wanted = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
        DWORD read = 0;
        if (!ReadFile(m_file.Get(), buffer, wanted, &read, nullptr))
            return -1;
        m_position += read;
        return read;
    }
    uint64_t Size() const override { return m_size; }
    uint64_t Position() const override { return m_position; }

private:
    UniqueFile m_file;
    uint64_t m_size;
    uint64_t m_position = 0;
};

std::wstring FullPath(const std::wstring& path)
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;)
    {
        DWORD length =
            GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
        if (length == 0)
            return path;
        if (length < buffer.size())
        {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(length); // the answer counts the terminating zero when the buffer was short
    }
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.compare(0, wcslen(prefix), prefix) == 0;
}

} // namespace

std::wstring ExtendedLengthPath(const std::wstring& path)
{
    if (StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\\\.\\"))
        return path;
    // The \\?\ form is taken literally by the system: no relative parts, no forward slashes.
    std::wstring full = FullPath(path);
    if (StartsWith(full, L"\\\\?\\") || StartsWith(full, L"\\\\.\\"))
        return full;
    if (StartsWith(full, L"\\\\"))
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::wstring ApiPath(const std::wstring& path)
{
    return path.size() < MAX_PATH ? path : ExtendedLengthPath(path);
}

std::unique_ptr<DirectoryListing> Win32FileSystem::OpenListing(const std::string& folder)
{
    std::wstring pattern = ApiPath(Widen(folder) + L"*");
    WIN32_FIND_DATAW first;
    // Basic information skips the short names, and a large fetch asks for bigger batches.
    UniqueFind find(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &first, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH));
    if (!find)
        return nullptr;
    return std::make_unique<Win32Listing>(std::move(find), first);
}

std::unique_ptr<FileReader> Win32FileSystem::OpenFile(const std::string& path, FileShare share)
{
    DWORD shareMode = share == FileShare::ReadWrite ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
    UniqueFile file(CreateFileW(ApiPath(Widen(path)).c_str(), GENERIC_READ, shareMode, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return nullptr;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size))
        return nullptr;
    return std::make_unique<Win32FileReader>(std::move(file), static_cast<uint64_t>(size.QuadPart));
}

std::string Win32FileSystem::AbsolutePath(const std::string& path)
{
    if (path.empty())
    {
        DWORD length = GetCurrentDirectoryW(0, nullptr);
        std::wstring current(length, L'\0');
        length = GetCurrentDirectoryW(length, current.data());
        current.resize(length);
        return Narrow(current);
    }
    return Narrow(FullPath(Widen(path)));
}

} // namespace platform
