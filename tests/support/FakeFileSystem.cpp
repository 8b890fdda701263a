#include "tests/support/FakeFileSystem.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace testing_support
{
namespace
{

char Upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Reads its folder at the first Next, as a real listing does: an open listing sees what changed
// in the folder between its opening and its reading.
class FakeListing : public platform::DirectoryListing
{
public:
    explicit FakeListing(std::function<std::vector<platform::FindData>()> read) : m_read(std::move(read)) {}
    bool Next(platform::FindData& entry) override
    {
        if (m_read)
        {
            m_entries = m_read();
            m_read = nullptr;
        }
        if (m_next >= m_entries.size())
            return false;
        entry = m_entries[m_next++];
        return true;
    }

private:
    std::function<std::vector<platform::FindData>()> m_read;
    std::vector<platform::FindData> m_entries;
    size_t m_next = 0;
};

class FakeReader : public platform::FileReader
{
public:
    FakeReader(const FakeEntry& entry, std::shared_ptr<FileCounters> counters)
        : m_content(entry.content), m_size(entry.size.value_or(entry.content.size())),
          m_failFrom(entry.readFailsFrom), m_shortReads(entry.shortReads), m_counters(std::move(counters))
    {
        ++m_counters->open;
    }
    ~FakeReader() override { --m_counters->open; }
    int64_t Read(void* buffer, size_t count) override
    {
        if (m_failFrom && m_position >= *m_failFrom)
            return -1;
        if (!m_shortReads.empty())
            count = std::min(count, m_shortReads[m_reads++ % m_shortReads.size()]);
        const uint64_t n = std::min<uint64_t>(count, m_size - m_position);
        auto* out = static_cast<char*>(buffer);
        for (uint64_t i = 0; i < n; ++i)
        {
            const uint64_t at = m_position + i;
            out[i] = at < m_content.size() ? m_content[static_cast<size_t>(at)] : '\0';
        }
        m_position += n;
        m_counters->bytesRead += n;
        return static_cast<int64_t>(n);
    }
    uint64_t Size() const override { return m_size; }
    uint64_t Position() const override { return m_position; }
    bool Seek(uint64_t position) override
    {
        m_position = std::min(position, m_size);
        return true;
    }

private:
    std::string m_content;
    uint64_t m_size;
    std::optional<uint64_t> m_failFrom;
    std::vector<size_t> m_shortReads;
    size_t m_reads = 0;
    uint64_t m_position = 0;
    std::shared_ptr<FileCounters> m_counters;
};

platform::FindData ToFindData(const std::string& name, const FakeEntry& e)
{
    platform::FindData d;
    d.attributes = e.attributes;
    d.creationTime = e.creationTime;
    d.lastAccessTime = e.lastAccessTime;
    d.lastWriteTime = e.lastWriteTime;
    d.size = (e.attributes & 0x10) ? 0 : e.size.value_or(e.content.size());
    d.reparseTag = e.reparseTag;
    d.name = name;
    return d;
}

} // namespace

FakeFileSystem::FakeFileSystem() = default;

std::string FakeFileSystem::Key(const std::string& path)
{
    std::string key;
    key.reserve(path.size());
    for (char c : path)
        key.push_back(Upper(c));
    while (!key.empty() && key.back() == '\\')
        key.pop_back();
    return key;
}

FakeFileSystem::Node& FakeFileSystem::Ensure(const std::string& path, bool folder)
{
    const std::string key = Key(path);
    auto found = m_nodes.find(key);
    if (found != m_nodes.end())
        return found->second;
    const size_t cut = key.find_last_of('\\');
    Node node;
    node.folder = folder;
    if (folder)
        node.entry.attributes = 0x10;
    if (cut == std::string::npos)
    {
        node.name = key; // a drive: "C:"
        node.entry.attributes = 0x10;
        return m_nodes.emplace(key, std::move(node)).first->second;
    }
    std::string trimmed = path;
    while (!trimmed.empty() && trimmed.back() == '\\')
        trimmed.pop_back();
    node.name = trimmed.substr(trimmed.find_last_of('\\') + 1);
    Node& parent = Ensure(trimmed.substr(0, trimmed.find_last_of('\\')), true);
    parent.children.push_back(key);
    return m_nodes.emplace(key, std::move(node)).first->second;
}

FakeEntry& FakeFileSystem::AddFolder(const std::string& path, FakeEntry entry)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Node& node = Ensure(path, true);
    node.folder = true;
    entry.attributes |= 0x10;
    node.entry = std::move(entry);
    return node.entry;
}

FakeEntry& FakeFileSystem::AddFile(const std::string& path, FakeEntry entry)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Node& node = Ensure(path, false);
    node.entry = std::move(entry);
    return node.entry;
}

FakeEntry& FakeFileSystem::Entry(const std::string& path)
{
    auto found = m_nodes.find(Key(path));
    if (found == m_nodes.end())
        throw std::out_of_range("no fake entry " + path);
    return found->second.entry;
}

void FakeFileSystem::FailListing(const std::string& folder, platform::OpenFailure failure)
{
    Ensure(folder, true).listingFailure = failure;
}

void FakeFileSystem::SetCurrentFolder(const std::string& folder)
{
    m_current = folder;
    if (!folder.empty())
        m_driveFolders[Upper(folder[0])] = folder;
}

void FakeFileSystem::SetDriveFolder(char drive, const std::string& folder)
{
    m_driveFolders[Upper(drive)] = folder;
}

const FakeFileSystem::Node* FakeFileSystem::Find(const std::string& path) const
{
    auto found = m_nodes.find(Key(path));
    return found == m_nodes.end() ? nullptr : &found->second;
}

std::vector<std::string> FakeFileSystem::ListedFolders() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_listed;
}

std::unique_ptr<platform::DirectoryListing> FakeFileSystem::OpenListing(const std::string& folder,
                                                                        platform::OpenFailure& failure)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_listed.push_back(folder);
    }
    if (onListing)
        onListing(folder);
    std::lock_guard<std::mutex> lock(m_mutex);
    const Node* node = Find(folder);
    failure = !node || !node->folder || node->entry.vanished ? platform::OpenFailure::NotFound
                                                             : node->listingFailure;
    if (failure != platform::OpenFailure::None)
        return nullptr;
    return std::make_unique<FakeListing>([this, folder] { return ReadFolder(folder); });
}

// A folder that vanished since it was opened lists nothing more.
std::vector<platform::FindData> FakeFileSystem::ReadFolder(const std::string& folder) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<platform::FindData> entries;
    const Node* node = Find(folder);
    if (!node || node->entry.vanished)
        return entries;
    entries.push_back(ToFindData(".", FakeEntry::WithAttributes(0x10)));
    entries.push_back(ToFindData("..", FakeEntry::WithAttributes(0x10)));
    for (const std::string& key : node->children)
    {
        const Node& child = m_nodes.at(key);
        entries.push_back(ToFindData(child.name, child.entry));
    }
    return entries;
}

std::unique_ptr<platform::FileReader> FakeFileSystem::OpenFile(const std::string& path, platform::FileShare,
                                                               platform::OpenFailure& failure)
{
    const Node* node = Find(path);
    failure = platform::OpenFailure::None;
    if (!node || node->entry.vanished)
        failure = platform::OpenFailure::NotFound;
    else if (node->folder || node->entry.openFails)
        failure = platform::OpenFailure::Other;
    if (failure != platform::OpenFailure::None)
        return nullptr;
    return std::make_unique<FakeReader>(node->entry, m_fileCounters);
}

int FakeFileSystem::OpenFiles() const
{
    return m_fileCounters->open;
}

uint64_t FakeFileSystem::BytesRead() const
{
    return m_fileCounters->bytesRead;
}

std::string FakeFileSystem::AbsolutePath(const std::string& path)
{
    auto join = [](std::string folder, const std::string& rest) {
        if (rest.empty())
            return folder;
        if (folder.empty() || folder.back() != '\\')
            folder.push_back('\\');
        return folder + rest;
    };
    auto driveFolder = [this](char drive) {
        auto found = m_driveFolders.find(Upper(drive));
        return found != m_driveFolders.end() ? found->second : std::string(1, drive) + ":\\";
    };
    if (path.empty())
        return m_current;
    if (path.size() >= 2 && path[1] == ':')
    {
        if (path.size() >= 3 && path[2] == '\\')
            return path;
        return join(driveFolder(path[0]), path.substr(2));
    }
    if (path.rfind("\\\\", 0) == 0)
        return path;
    if (path[0] == '\\')
        return m_current.substr(0, 2) + path;
    return join(m_current, path);
}

} // namespace testing_support
