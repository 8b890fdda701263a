#include "platform/Win32FileSystem.h"

#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"

#include <windows.h>
#include <cwchar>

namespace platform
{

namespace
{

// Converts without a temporary string: the listing fills one record per entry on the hot path.
// length counts the characters (the listing's names carry no terminator).
void AssignUtf8(std::string& target, const wchar_t* wide, size_t length)
{
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

uint64_t Ticks(const LARGE_INTEGER& time)
{
    return static_cast<uint64_t>(time.QuadPart);
}

void Fill(FindData& entry, const FILE_ID_BOTH_DIR_INFO& info)
{
    entry.attributes = info.FileAttributes;
    entry.creationTime = Ticks(info.CreationTime);
    entry.lastAccessTime = Ticks(info.LastAccessTime);
    entry.lastWriteTime = Ticks(info.LastWriteTime);
    entry.size = static_cast<uint64_t>(info.EndOfFile.QuadPart);
    // For a reparse point the field of extended attributes holds its tag.
    entry.reparseTag = (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? info.EaSize : 0;
    AssignUtf8(entry.name, info.FileName, info.FileNameLength / sizeof(wchar_t));
    entry.shortName.clear(); // nothing uses it, and converting it costs on every entry
}

// Lists an open folder by its handle, a batch of entries per call. Opening and reading are
// separate so that a folder can be opened on one thread and read on another.
class Win32Listing final : public DirectoryListing
{
public:
    explicit Win32Listing(UniqueFile folder) : m_folder(std::move(folder)) {}

    bool Next(FindData& entry) override
    {
        if (!m_entry && !FetchBatch())
            return false;
        Fill(entry, *m_entry);
        m_entry = m_entry->NextEntryOffset == 0
                      ? nullptr
                      : reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(
                            reinterpret_cast<const char*>(m_entry) + m_entry->NextEntryOffset);
        return true;
    }

private:
    // Large batches: each call is a trip through the system's directory lock.
    static constexpr size_t kBatchBytes = 64 * 1024;
    struct Batch
    {
        Batch() {} // left unset: the system writes it, and zeroing it would cost on every folder
        alignas(8) unsigned char bytes[kBatchBytes];
    };

    bool FetchBatch()
    {
        if (m_ended)
            return false;
        if (!m_batch)
            m_batch = std::make_unique<Batch>();
        const FILE_INFO_BY_HANDLE_CLASS kind =
            m_started ? FileIdBothDirectoryInfo : FileIdBothDirectoryRestartInfo;
        m_started = true;
        if (!GetFileInformationByHandleEx(m_folder.Get(), kind, m_batch->bytes, kBatchBytes))
        {
            m_ended = true; // no more entries, or the folder cannot be read: either way the end
            m_batch.reset();
            return false;
        }
        m_entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(m_batch->bytes);
        return true;
    }

    UniqueFile m_folder;
    std::unique_ptr<Batch> m_batch; // made at the first read, so a folder opened ahead costs no memory
    const FILE_ID_BOTH_DIR_INFO* m_entry = nullptr;
    bool m_started = false;
    bool m_ended = false;
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
    bool Seek(uint64_t position) override
    {
        LARGE_INTEGER distance;
        distance.QuadPart = static_cast<LONGLONG>(position);
        if (position > static_cast<uint64_t>(INT64_MAX) ||
            !SetFilePointerEx(m_file.Get(), distance, nullptr, FILE_BEGIN))
            return false;
        m_position = position;
        return true;
    }

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

OpenFailure OpenFailureOf(unsigned long error)
{
    switch (error)
    {
    case ERROR_ACCESS_DENIED:
        return OpenFailure::AccessDenied;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_NOT_READY: // a drive without its disk
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_NAME: // a file's name with a backslash after it: a file where a folder was asked
    case ERROR_DIRECTORY:
        return OpenFailure::NotFound;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW:
        return OpenFailure::PathTooLong;
    default:
        return OpenFailure::Other;
    }
}

namespace
{

// The longest path the \\?\ form can name, in UTF-16 units.
constexpr size_t kLongestPath = 32767;

// The path to open, or empty when it is longer than any the system can open.
std::wstring OpenablePath(const std::string& path, OpenFailure& failure)
{
    std::wstring wide = ApiPath(Widen(path));
    if (wide.size() <= kLongestPath)
        return wide;
    failure = OpenFailure::PathTooLong;
    return {};
}

} // namespace

std::unique_ptr<DirectoryListing> Win32FileSystem::OpenListing(const std::string& folder,
                                                               OpenFailure& failure)
{
    failure = OpenFailure::None;
    const std::wstring path = OpenablePath(folder, failure);
    if (path.empty())
        return nullptr;
    // The sharing of FindFirstFileW: others may rename or delete meanwhile. Whoever may list a
    // folder may read its attributes.
    UniqueFile handle(CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FILE_BASIC_INFO basic;
    if (!handle || !GetFileInformationByHandleEx(handle.Get(), FileBasicInfo, &basic, sizeof(basic)))
    {
        failure = OpenFailureOf(GetLastError());
        return nullptr;
    }
    // A file opens too (backup semantics open anything), and only a folder can be listed: the folder
    // asked for is not there.
    if (!(basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    {
        failure = OpenFailure::NotFound;
        return nullptr;
    }
    return std::make_unique<Win32Listing>(std::move(handle));
}

std::unique_ptr<FileReader> Win32FileSystem::OpenFile(const std::string& path, FileShare share,
                                                      OpenFailure& failure)
{
    failure = OpenFailure::None;
    const std::wstring openable = OpenablePath(path, failure);
    if (openable.empty())
        return nullptr;
    DWORD shareMode = share == FileShare::ReadWrite ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
    UniqueFile file(CreateFileW(openable.c_str(), GENERIC_READ, shareMode, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.Get(), &size))
    {
        failure = OpenFailureOf(GetLastError());
        return nullptr;
    }
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
