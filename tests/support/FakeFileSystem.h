#pragma once
// FakeFileSystem: an in-memory folder tree behind platform::FileSystem, for tests of anything that
// walks folders or reads files. Paths use backslashes and drive letters ("C:\\data\\a.txt") and
// are found ignoring ASCII case. A listing yields ".", "..", then the folder's children in the
// order they were added. Folders can be made to fail listing, files to fail opening or reading,
// or to answer reads in short pieces; an entry can vanish (listed, but not there when opened).
// Build the tree before a run; listing and reading are safe from a worker thread.
#include "platform/FileSystem.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace testing_support
{

struct FakeEntry
{
    uint32_t attributes = 0x20; // FILE_ATTRIBUTE_* bits; AddFolder adds 0x10
    uint64_t creationTime = 0;  // UTC FILETIME ticks
    uint64_t lastAccessTime = 0;
    uint64_t lastWriteTime = 0;
    std::optional<uint64_t> size; // when empty, the content's length
    uint32_t reparseTag = 0;
    std::string content;    // bytes past the content (up to size) read as zeros
    bool openFails = false; // like a file locked by another program
    bool vanished = false;  // still listed, but opening it (or listing it) finds nothing: deleted meanwhile
    std::optional<uint64_t> readFailsFrom; // a read that starts at or after this offset fails
    // The most each read returns, taken in turn and repeated, as a pipe or a network share may
    // answer; empty: every read returns all that was asked for.
    std::vector<size_t> shortReads;

    static FakeEntry WithAttributes(uint32_t attributes)
    {
        FakeEntry entry;
        entry.attributes = attributes;
        return entry;
    }
};

// Shared with the open files, which may outlive a read on another thread.
struct FileCounters
{
    std::atomic<int> open{0};
    std::atomic<uint64_t> bytesRead{0};
};

class FakeFileSystem : public platform::FileSystem
{
public:
    FakeFileSystem();

    // Adds a folder and any missing parents. attributes gets 0x10 added. Adding is safe while a
    // worker lists; changing the entry returned is not.
    FakeEntry& AddFolder(const std::string& path, FakeEntry entry = FakeEntry::WithAttributes(0x10));
    // Adds a file (missing parent folders are created). Adding an existing path replaces it.
    FakeEntry& AddFile(const std::string& path, FakeEntry entry = FakeEntry{});
    FakeEntry& Entry(const std::string& path);
    // Listing this folder fails (OpenListing answers null) for that reason.
    void FailListing(const std::string& folder,
                     platform::OpenFailure failure = platform::OpenFailure::AccessDenied);
    // The current folder ("C:\\work"); it also becomes the current folder of its drive.
    void SetCurrentFolder(const std::string& folder);
    // The current folder of another drive, used for a bare "D:".
    void SetDriveFolder(char drive, const std::string& folder);

    // Files opened and not yet closed; bytes read from every file so far.
    int OpenFiles() const;
    uint64_t BytesRead() const;

    // Every folder passed to OpenListing, in call order.
    std::vector<std::string> ListedFolders() const;
    // Called (on the listing thread) at each OpenListing, before the listing is made.
    std::function<void(const std::string& folder)> onListing;

    using platform::FileSystem::OpenFile;
    using platform::FileSystem::OpenListing;
    std::unique_ptr<platform::DirectoryListing> OpenListing(const std::string& folder,
                                                            platform::OpenFailure& failure) override;
    std::unique_ptr<platform::FileReader> OpenFile(const std::string& path, platform::FileShare share,
                                                   platform::OpenFailure& failure) override;
    std::string AbsolutePath(const std::string& path) override;

private:
    struct Node
    {
        std::string name;
        bool folder = false;
        platform::OpenFailure listingFailure = platform::OpenFailure::None;
        FakeEntry entry;
        std::vector<std::string> children; // keys, in insertion order
    };
    static std::string Key(const std::string& path);
    Node& Ensure(const std::string& path, bool folder);
    const Node* Find(const std::string& path) const;
    std::vector<platform::FindData> ReadFolder(const std::string& folder) const;

    std::map<std::string, Node> m_nodes;
    std::string m_current = "C:\\";
    std::map<char, std::string> m_driveFolders;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_listed;
    std::shared_ptr<FileCounters> m_fileCounters = std::make_shared<FileCounters>();
};

} // namespace testing_support
