#include "tests/win32/platform/TempTree.h"

#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"
#include "platform/Win32FileSystem.h"
#include "tests/win32/OwnProcess.h"

#include <windows.h>
#include <algorithm>
#include <stdexcept>
#include <vector>

namespace testing_support
{

namespace
{

std::wstring Api(const std::string& path)
{
    return platform::ExtendedLengthPath(platform::Widen(path));
}

void Check(bool ok, const std::string& what)
{
    if (!ok)
        throw std::runtime_error(what + " failed with error " + std::to_string(GetLastError()));
}

bool LinkExists(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Under Wine, CreateSymbolicLinkW may answer TRUE without making anything; a Unix symlink made by
// the system's own ln is what Wine shows as a folder link.
using UnixName = char*(CDECL*)(LPCWSTR);

// Wine's converter of Windows paths to Unix paths; null on Windows.
UnixName UnixNameFunction()
{
    return reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
}

// Starts a Unix program and waits until done() answers true. Wine hands out no usable process handle
// for a Unix program, so the outcome is watched instead.
template <typename Done> bool RunUnix(const wchar_t* program, std::wstring command, Done done)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    for (int waited = 0; waited < 5000 && !done(); waited += 5)
        Sleep(5);
    return done();
}

bool MakeUnixLink(const std::wstring& link, const std::wstring& target)
{
    UnixName unixName = UnixNameFunction();
    if (!unixName)
        return false;
    char* unixTarget = unixName(target.c_str());
    // The link does not exist yet: convert its folder and append the name.
    size_t slash = link.find_last_of(L'\\');
    char* unixFolder = unixName(link.substr(0, slash).c_str());
    if (!unixTarget || !unixFolder)
        return false;
    std::wstring command = L"/bin/ln -s \"" + platform::Widen(unixTarget) + L"\" \"" +
                           platform::Widen(unixFolder) + L"/" + link.substr(slash + 1) + L"\"";
    HeapFree(GetProcessHeap(), 0, unixTarget);
    HeapFree(GetProcessHeap(), 0, unixFolder);
    return RunUnix(L"Z:\\bin\\ln", command, [&link] { return LinkExists(link); });
}

// Wine's RemoveDirectoryW on a Unix symlink removes the folder it points to, so the link itself
// goes through the system's rm there.
void RemoveLink(const std::wstring& link)
{
    UnixName unixName = UnixNameFunction();
    char* unixLink = unixName ? unixName(link.c_str()) : nullptr;
    if (!unixLink)
    {
        RemoveDirectoryW(link.c_str());
        return;
    }
    RunUnix(L"Z:\\bin\\rm", L"/bin/rm -f \"" + platform::Widen(unixLink) + L"\"",
            [&link] { return GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES; });
    HeapFree(GetProcessHeap(), 0, unixLink);
}

// Deletes a tree without following links: a link is removed as an entry, never descended into.
// Links go first: once its target is gone, Wine no longer lists a Unix symlink at all.
void RemoveTree(const std::wstring& folder)
{
    std::vector<WIN32_FIND_DATAW> entries;
    WIN32_FIND_DATAW data;
    platform::UniqueFind find(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (find)
    {
        do
        {
            std::wstring name = data.cFileName;
            if (name != L"." && name != L"..")
                entries.push_back(data);
        } while (FindNextFileW(find.Get(), &data));
    }
    find.Reset();
    std::stable_partition(entries.begin(), entries.end(), [](const WIN32_FIND_DATAW& entry) {
        return (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    });
    for (const WIN32_FIND_DATAW& entry : entries)
    {
        std::wstring path = folder + L"\\" + entry.cFileName;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        bool link = entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        {
            if (link)
                RemoveLink(path);
            else
            {
                RemoveTree(path);
                RemoveDirectoryW(path.c_str());
            }
        }
        else
        {
            DeleteFileW(path.c_str());
        }
    }
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(folder.c_str());
}

} // namespace

TempTree::TempTree()
{
    static int counter = 0;
    m_root = platform::Narrow(testing_win32::OwnTempFolder()) + "tree-" + std::to_string(++counter) + "\\";
    RemoveTree(Api(m_root.substr(0, m_root.size() - 1)));
    Check(CreateDirectoryW(Api(m_root).c_str(), nullptr), "CreateDirectory " + m_root);
    // GetTempPath may hand out a short or oddly cased form; keep the long one the listing reports.
    wchar_t full[MAX_PATH];
    if (GetLongPathNameW(platform::Widen(m_root).c_str(), full, MAX_PATH))
        m_root = platform::Narrow(std::wstring(full));
}

TempTree::~TempTree()
{
    RemoveTree(Api(m_root.substr(0, m_root.size() - 1)));
}

void TempTree::MakeFolder(const std::string& relative) const
{
    Check(CreateDirectoryW(Api(Path(relative)).c_str(), nullptr), "CreateDirectory " + relative);
}

void TempTree::MakeFile(const std::string& relative, const std::string& content) const
{
    platform::UniqueFile file(
        CreateFileW(Api(Path(relative)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    Check(file.Valid(), "CreateFile " + relative);
    DWORD written = 0;
    Check(content.empty() ||
              WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr),
          "WriteFile " + relative);
}

void TempTree::SetAttributes(const std::string& relative, uint32_t attributes) const
{
    Check(SetFileAttributesW(Api(Path(relative)).c_str(), attributes), "SetFileAttributes " + relative);
}

void TempTree::SetTimes(const std::string& relative, uint64_t creation, uint64_t access, uint64_t write) const
{
    platform::UniqueFile file(CreateFileW(Api(Path(relative)).c_str(), FILE_WRITE_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    Check(file.Valid(), "open for times " + relative);
    auto toFileTime = [](uint64_t ticks) {
        FILETIME time;
        time.dwLowDateTime = static_cast<DWORD>(ticks);
        time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
        return time;
    };
    FILETIME c = toFileTime(creation), a = toFileTime(access), w = toFileTime(write);
    Check(SetFileTime(file.Get(), creation ? &c : nullptr, access ? &a : nullptr, write ? &w : nullptr),
          "SetFileTime " + relative);
}

std::string TempTree::MakeDeepFolders(const std::string& part, size_t minimumLength) const
{
    std::string relative;
    while (m_root.size() + relative.size() < minimumLength)
    {
        relative += part + "\\";
        MakeFolder(relative.substr(0, relative.size() - 1));
    }
    return relative;
}

bool TempTree::MakeSparseFile(const std::string& relative, uint64_t size) const
{
    platform::UniqueFile file(
        CreateFileW(Api(Path(relative)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    Check(file.Valid(), "CreateFile " + relative);
    DWORD returned = 0;
    DeviceIoControl(file.Get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    return SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.Get());
}

bool TempTree::MakeFolderLink(const std::string& relative, const std::string& target) const
{
    std::wstring link = platform::Widen(Path(relative));
    std::wstring targetPath = platform::Widen(target);
    if (CreateSymbolicLinkW(link.c_str(), targetPath.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) &&
        LinkExists(link))
        return true;
    return MakeUnixLink(link, targetPath);
}

uint64_t FileTimeOf(int year, int month, int day, int hour, int minute, int second)
{
    SYSTEMTIME fields = {};
    fields.wYear = static_cast<WORD>(year);
    fields.wMonth = static_cast<WORD>(month);
    fields.wDay = static_cast<WORD>(day);
    fields.wHour = static_cast<WORD>(hour);
    fields.wMinute = static_cast<WORD>(minute);
    fields.wSecond = static_cast<WORD>(second);
    FILETIME time;
    SystemTimeToFileTime(&fields, &time);
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

uint64_t LocalFileTimeOf(int year, int month, int day, int hour, int minute, int second)
{
    const uint64_t local = FileTimeOf(year, month, day, hour, minute, second);
    const FILETIME localTime = {static_cast<DWORD>(local), static_cast<DWORD>(local >> 32)};
    FILETIME utc;
    LocalFileTimeToFileTime(&localTime, &utc);
    return (static_cast<uint64_t>(utc.dwHighDateTime) << 32) | utc.dwLowDateTime;
}

} // namespace testing_support
