#pragma once
// The file system services on Win32: folders and files opened with CreateFileW, folders listed by
// their handle, absolute paths with GetFullPathNameW. Paths too long for the plain API go through
// the \\?\ form, so deep trees are searched rather than silently skipped.
#include "platform/FileSystem.h"

#include <string>

namespace platform
{

// The \\?\ (or \\?\UNC\) form of path, made absolute first; a path already in that form is kept.
std::wstring ExtendedLengthPath(const std::wstring& path);

// path itself while it fits the plain API (shorter than 260 characters), otherwise its \\?\ form.
std::wstring ApiPath(const std::wstring& path);

// The reason for a system error code of opening a file or folder.
OpenFailure OpenFailureOf(unsigned long error);

class Win32FileSystem final : public FileSystem
{
public:
    using FileSystem::OpenFile;
    using FileSystem::OpenListing;
    std::unique_ptr<DirectoryListing> OpenListing(const std::string& folder, OpenFailure& failure) override;
    std::unique_ptr<FileReader> OpenFile(const std::string& path, FileShare share,
                                         OpenFailure& failure) override;
    std::string AbsolutePath(const std::string& path) override;
};

} // namespace platform
