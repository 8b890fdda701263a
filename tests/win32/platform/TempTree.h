#pragma once
// A folder tree made by a test under the temp folder and removed with everything in it afterwards.
// Paths are UTF-8; relative paths use backslashes. Deep paths go through the \\?\ form.
#include <cstdint>
#include <string>

namespace testing_support
{

class TempTree
{
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // The root, ending with a backslash.
    const std::string& Root() const { return m_root; }
    std::string Path(const std::string& relative) const { return m_root + relative; }

    void MakeFolder(const std::string& relative) const;
    void MakeFile(const std::string& relative, const std::string& content = {}) const;
    void SetAttributes(const std::string& relative, uint32_t attributes) const;
    // FILETIME ticks (UTC); 0 leaves that time unchanged.
    void SetTimes(const std::string& relative, uint64_t creation, uint64_t access, uint64_t write) const;
    // Nested folders named `part` until the full path is at least minimumLength characters long;
    // answers their relative path, ending with a backslash.
    std::string MakeDeepFolders(const std::string& part, size_t minimumLength) const;
    // A file of `size` bytes that holds no data (sparse); false when the file system refuses.
    bool MakeSparseFile(const std::string& relative, uint64_t size) const;
    // A folder link to target (absolute); false when the system refuses to make one.
    bool MakeFolderLink(const std::string& relative, const std::string& target) const;

private:
    std::string m_root;
};

// FILETIME ticks of a UTC calendar time.
uint64_t FileTimeOf(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
// FILETIME ticks (UTC) of a local calendar time, taken back with today's offset from UTC as the
// program's own conversion does: the file then shows these very fields in every time zone.
uint64_t LocalFileTimeOf(int year, int month, int day, int hour = 12, int minute = 0, int second = 0);

} // namespace testing_support
