#pragma once
// Portable view of the file system services the engine and the results list need.
// The Win32 implementation lives in platform/Win32FileSystem; tests use fakes.
#include <cstdint>
#include <memory>
#include <string>

namespace platform
{

// One directory entry, as the platform's enumeration reports it.
struct FindData
{
    uint32_t attributes = 0;   // FILE_ATTRIBUTE_* bits
    uint64_t creationTime = 0; // UTC, 100 ns ticks since 1601-01-01 (FILETIME)
    uint64_t lastAccessTime = 0;
    uint64_t lastWriteTime = 0;
    uint64_t size = 0;       // full 64-bit size
    uint32_t reparseTag = 0; // meaningful when attributes has 0x400
    std::string name;        // UTF-8, without folder
    std::string shortName;   // 8.3 name, may be empty
};

// An open listing of one folder; closing happens in the destructor.
class DirectoryListing
{
public:
    virtual ~DirectoryListing() = default;
    // Fetches the next entry; false when there are no more (or the listing failed).
    virtual bool Next(FindData& entry) = 0;
};

// An open file for sequential reading; closing happens in the destructor.
class FileReader
{
public:
    virtual ~FileReader() = default;
    // Reads up to count bytes; returns the count read (0 at the end) or -1 on a read error.
    virtual int64_t Read(void* buffer, size_t count) = 0;
    virtual uint64_t Size() const = 0;
    virtual uint64_t Position() const = 0;
    // Moves to position (from the start) for the next read; false when the reader cannot move.
    // Only readers of archives need it: sequential readers keep this default.
    virtual bool Seek(uint64_t /*position*/) { return false; }
};

// Why a folder or file could not be opened.
enum class OpenFailure
{
    None,
    AccessDenied,
    NotFound,    // not there (any more), or not a folder where a folder was asked for
    PathTooLong, // beyond what the system can address
    Other,
};

enum class FileShare
{
    ReadWrite, // others may read and write the file meanwhile
    Read,      // others may only read it (an open writer makes the open fail)
};

class FileSystem
{
public:
    virtual ~FileSystem() = default;
    // Lists every entry of folder (a path ending with a backslash), "." and ".." included,
    // hidden and system entries included. Null when the folder cannot be opened, with the reason
    // in failure (None otherwise). The folder may be opened on one thread and read on another,
    // later: implementations open it here and read its entries in Next.
    virtual std::unique_ptr<DirectoryListing> OpenListing(const std::string& folder,
                                                          OpenFailure& failure) = 0;
    // Opens a file for reading; null when it cannot be opened, with the reason in failure.
    virtual std::unique_ptr<FileReader> OpenFile(const std::string& path, FileShare share,
                                                 OpenFailure& failure) = 0;

    // The same for callers that do not ask why.
    std::unique_ptr<DirectoryListing> OpenListing(const std::string& folder)
    {
        OpenFailure ignored;
        return OpenListing(folder, ignored);
    }
    std::unique_ptr<FileReader> OpenFile(const std::string& path, FileShare share)
    {
        OpenFailure ignored;
        return OpenFile(path, share, ignored);
    }
    // Absolute form of path: relative to the current folder, a bare drive such as D: against that
    // drive's current folder; empty gives the current folder.
    virtual std::string AbsolutePath(const std::string& path) = 0;
};

} // namespace platform
