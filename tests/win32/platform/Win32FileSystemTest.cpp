#include "platform/Win32FileSystem.h"

#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"
#include "tests/win32/platform/TempTree.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <thread>

namespace
{

using platform::FindData;
using testing_support::FileTimeOf;
using testing_support::TempTree;

std::map<std::string, FindData> List(platform::FileSystem& fs, const std::string& folder)
{
    std::map<std::string, FindData> entries;
    auto listing = fs.OpenListing(folder);
    if (!listing)
        return entries;
    FindData entry;
    while (listing->Next(entry))
        entries[entry.name] = entry;
    return entries;
}

std::string ReadAll(platform::FileReader& reader)
{
    std::string content;
    char block[7]; // small on purpose: several reads per file
    for (int64_t n; (n = reader.Read(block, sizeof(block))) > 0;)
        content.append(block, static_cast<size_t>(n));
    return content;
}

TEST(Win32FileSystem, ListsEveryEntryWithAttributes)
{
    TempTree tree;
    tree.MakeFile("plain.txt", "12345");
    tree.MakeFile("hidden.txt");
    tree.MakeFile("system.sys");
    tree.MakeFile("readonly.txt");
    tree.MakeFolder("sub");
    tree.MakeFolder("hiddendir");
    tree.SetAttributes("hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    tree.SetAttributes("system.sys", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
    tree.SetAttributes("readonly.txt", FILE_ATTRIBUTE_READONLY);
    tree.SetAttributes("hiddendir", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);

    platform::Win32FileSystem fs;
    auto entries = List(fs, tree.Root());
    ASSERT_EQ(entries.size(), 8u); // the six made here, "." and ".."
    EXPECT_EQ(entries.count("."), 1u);
    EXPECT_EQ(entries.count(".."), 1u);
    EXPECT_EQ(entries["plain.txt"].size, 5u);
    EXPECT_EQ(entries["plain.txt"].attributes & 0x17u, 0u);
    EXPECT_EQ(entries["hidden.txt"].attributes & 0x17u, 0x02u);
    EXPECT_EQ(entries["system.sys"].attributes & 0x17u, 0x06u);
    EXPECT_EQ(entries["readonly.txt"].attributes & 0x17u, 0x01u);
    EXPECT_EQ(entries["sub"].attributes & 0x17u, 0x10u);
    EXPECT_EQ(entries["hiddendir"].attributes & 0x17u, 0x12u);
    for (auto& [name, entry] : entries)
        EXPECT_EQ(entry.reparseTag, 0u) << name;
}

TEST(Win32FileSystem, ReportsTheFileTimesThatWereSet)
{
    TempTree tree;
    tree.MakeFile("dated.txt", "x");
    uint64_t creation = FileTimeOf(2001, 2, 3, 4, 5, 6);
    uint64_t access = FileTimeOf(2011, 12, 13, 14, 15, 16);
    uint64_t write = FileTimeOf(2021, 6, 30, 23, 59, 58);
    tree.SetTimes("dated.txt", creation, access, write);

    // The file system may not keep a creation time of its own; the listing must report what the
    // handle-based query reports.
    platform::UniqueFile file(CreateFileW(platform::Widen(tree.Path("dated.txt")).c_str(), GENERIC_READ,
                                          FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    FILETIME c, a, w;
    ASSERT_TRUE(GetFileTime(file.Get(), &c, &a, &w));
    auto ticks = [](FILETIME t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };

    platform::Win32FileSystem fs;
    FindData entry = List(fs, tree.Root())["dated.txt"];
    EXPECT_EQ(entry.lastWriteTime, write);
    EXPECT_EQ(entry.lastAccessTime, access);
    EXPECT_EQ(entry.creationTime, ticks(c));
    EXPECT_NE(entry.lastWriteTime, entry.lastAccessTime); // the three fields are not mixed up
}

TEST(Win32FileSystem, KeepsNamesOfEveryScript)
{
    TempTree tree;
    const std::string names[] = {"Привет.txt", "日本語.doc", "Jazyková mutace.ini",
                                 "emoji \xF0\x9F\x98\x80.txt"};
    for (const std::string& name : names)
        tree.MakeFile(name, name);

    platform::Win32FileSystem fs;
    auto entries = List(fs, tree.Root());
    for (const std::string& name : names)
    {
        ASSERT_EQ(entries.count(name), 1u) << name;
        auto reader = fs.OpenFile(tree.Path(name), platform::FileShare::ReadWrite);
        ASSERT_TRUE(reader) << name;
        EXPECT_EQ(ReadAll(*reader), name);
    }
}

TEST(Win32FileSystem, ReportsSizesBeyondFourGigabytes)
{
    TempTree tree;
    const uint64_t size = (5ull << 30) + 123;
    if (!tree.MakeSparseFile("big.bin", size))
        GTEST_SKIP() << "this file system cannot hold a sparse file of 5 GiB";
    platform::Win32FileSystem fs;
    EXPECT_EQ(List(fs, tree.Root())["big.bin"].size, size);
    auto reader = fs.OpenFile(tree.Path("big.bin"), platform::FileShare::Read);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->Size(), size);
}

TEST(Win32FileSystem, ListsAndOpensPathsBeyondTheClassicLimit)
{
    TempTree tree;
    const std::string part(40, 'd');
    const std::string relative = tree.MakeDeepFolders(part, 300);
    tree.MakeFile(relative + "deep.txt", "found me");
    const std::string folder = tree.Path(relative);
    ASSERT_GE(folder.size(), 300u);

    platform::Win32FileSystem fs;
    auto entries = List(fs, folder);
    ASSERT_EQ(entries.count("deep.txt"), 1u);
    EXPECT_EQ(entries["deep.txt"].size, 8u);
    auto reader = fs.OpenFile(folder + "deep.txt", platform::FileShare::ReadWrite);
    ASSERT_TRUE(reader);
    EXPECT_EQ(ReadAll(*reader), "found me");
    EXPECT_EQ(fs.AbsolutePath(folder + "..\\" + part + "\\deep.txt"), folder + "deep.txt");
}

TEST(Win32FileSystem, ReportsFolderLinksAsReparsePoints)
{
    TempTree tree;
    tree.MakeFolder("target");
    if (!tree.MakeFolderLink("link", tree.Path("target")))
        GTEST_SKIP() << "this system makes no folder links";
    platform::Win32FileSystem fs;
    auto entries = List(fs, tree.Root());
    ASSERT_EQ(entries.count("link"), 1u);
    FindData link = entries["link"];
    EXPECT_TRUE(link.attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(link.attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    // Windows reports a name-surrogate tag; Wine reports a Unix symlink with a tag of 0.
    if (link.reparseTag != 0)
    {
        EXPECT_TRUE(link.reparseTag & 0x20000000u) << std::hex << link.reparseTag;
    }
}

TEST(Win32FileSystem, MissingFoldersAndFilesGiveNothingAndSayWhy)
{
    using platform::OpenFailure;
    TempTree tree;
    tree.MakeFolder("folder");
    tree.MakeFile("file.txt", "not a folder");
    platform::Win32FileSystem fs;
    const std::string tooLong = tree.Root() + std::string(33000, 'x') + "\\";
    struct Row
    {
        std::string folder;
        OpenFailure failure;
    } listings[] = {
        {tree.Path("absent\\"), OpenFailure::NotFound},
        {tree.Path("absent\\below\\"), OpenFailure::NotFound},
        {tree.Path("file.txt\\"), OpenFailure::NotFound},
        {tooLong, OpenFailure::PathTooLong},
        {tree.Path("folder\\"), OpenFailure::None},
    };
    for (const Row& row : listings)
    {
        OpenFailure failure = OpenFailure::Other;
        EXPECT_EQ(fs.OpenListing(row.folder, failure) != nullptr, row.failure == OpenFailure::None)
            << row.folder.substr(0, 300);
        EXPECT_EQ(failure, row.failure) << row.folder.substr(0, 300);
    }
    Row files[] = {
        {tree.Path("absent.txt"), OpenFailure::NotFound},
        {tooLong + "a.txt", OpenFailure::PathTooLong},
        {tree.Path("file.txt"), OpenFailure::None},
    };
    for (const Row& row : files)
    {
        OpenFailure failure = OpenFailure::Other;
        EXPECT_EQ(fs.OpenFile(row.folder, platform::FileShare::ReadWrite, failure) != nullptr,
                  row.failure == OpenFailure::None)
            << row.folder.substr(0, 300);
        EXPECT_EQ(failure, row.failure) << row.folder.substr(0, 300);
    }
    // A folder is no file to read, whatever the reason the system gives.
    EXPECT_FALSE(fs.OpenFile(tree.Path("folder"), platform::FileShare::ReadWrite));
}

TEST(Win32FileSystem, AFolderOpenedOnOneThreadIsReadWholeOnAnotherWhenRead)
{
    TempTree tree;
    // Long names: the entries take several of the listing's batches.
    const std::string padding(120, 'n');
    for (int i = 0; i < 600; ++i)
        tree.MakeFile(padding + std::to_string(i) + ".txt");
    platform::Win32FileSystem fs;
    std::unique_ptr<platform::DirectoryListing> listing;
    std::thread([&] { listing = fs.OpenListing(tree.Root()); }).join();
    ASSERT_TRUE(listing);
    tree.MakeFile("made after the open.txt");
    std::set<std::string> names;
    FindData entry;
    while (listing->Next(entry))
        EXPECT_TRUE(names.insert(entry.name).second) << "listed twice: " << entry.name;
    EXPECT_EQ(names.size(), 603u); // the 600, the late one, "." and ".."
    EXPECT_EQ(names.count(padding + "599.txt"), 1u);
    EXPECT_EQ(names.count("made after the open.txt"), 1u);
    EXPECT_FALSE(listing->Next(entry)); // and it stays at its end
}

TEST(Win32FileSystem, ReadsSequentiallyAndHonoursTheShareModes)
{
    TempTree tree;
    tree.MakeFile("data.txt", "0123456789abcdefghij");
    platform::Win32FileSystem fs;
    {
        auto reader = fs.OpenFile(tree.Path("data.txt"), platform::FileShare::Read);
        ASSERT_TRUE(reader);
        EXPECT_EQ(reader->Size(), 20u);
        char block[8];
        EXPECT_EQ(reader->Read(block, 8), 8);
        EXPECT_EQ(reader->Position(), 8u);
        EXPECT_EQ(std::string(block, 8), "01234567");
        EXPECT_EQ(ReadAll(*reader), "89abcdefghij");
        EXPECT_EQ(reader->Position(), 20u);
        EXPECT_EQ(reader->Read(block, 8), 0);
    }
    // Another program writing the file: only the read-write share mode can open it.
    platform::UniqueFile writer(CreateFileW(platform::Widen(tree.Path("data.txt")).c_str(), GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                            nullptr));
    ASSERT_TRUE(writer.Valid());
    EXPECT_TRUE(fs.OpenFile(tree.Path("data.txt"), platform::FileShare::ReadWrite));
    EXPECT_FALSE(fs.OpenFile(tree.Path("data.txt"), platform::FileShare::Read));
    // A program holding the file exclusively keeps everybody out.
    writer.Reset();
    platform::UniqueFile locker(CreateFileW(platform::Widen(tree.Path("data.txt")).c_str(), GENERIC_READ, 0,
                                            nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(locker.Valid());
    EXPECT_FALSE(fs.OpenFile(tree.Path("data.txt"), platform::FileShare::ReadWrite));
}

TEST(Win32FileSystem, ResolvesAbsolutePaths)
{
    TempTree tree;
    tree.MakeFolder("work");
    wchar_t saved[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryW(platform::Widen(tree.Path("work")).c_str()));
    platform::Win32FileSystem fs;
    // Windows answers a folder without the trailing backslash, Wine sometimes with it.
    auto absolute = [&fs](const std::string& path) {
        std::string result = fs.AbsolutePath(path);
        if (result.size() > 3 && result.back() == '\\')
            result.pop_back();
        return result;
    };
    std::string work = tree.Path("work");
    EXPECT_EQ(fs.AbsolutePath(""), work);
    EXPECT_EQ(fs.AbsolutePath("a\\b.txt"), work + "\\a\\b.txt");
    EXPECT_EQ(fs.AbsolutePath("..\\x\\"), tree.Path("x\\"));
    EXPECT_EQ(fs.AbsolutePath(".\\a/b"), work + "\\a\\b");
    std::string drive = work.substr(0, 2);
    // A bare drive means that drive's current folder: this one for the current drive ...
    EXPECT_EQ(absolute(drive), work);
    EXPECT_EQ(fs.AbsolutePath(drive + "sub"), work + "\\sub");
    // ... and the folder remembered for another drive, or its root when none is.
    std::string other = drive == "C:" ? "Z:" : "C:";
    SetEnvironmentVariableW(platform::Widen("=" + other).c_str(), nullptr);
    EXPECT_EQ(fs.AbsolutePath(other), other + "\\");
    SetEnvironmentVariableW(platform::Widen("=" + other).c_str(),
                            platform::Widen(other + "\\windows").c_str());
    EXPECT_EQ(absolute(other), other + "\\windows");
    SetEnvironmentVariableW(platform::Widen("=" + other).c_str(), nullptr);
    SetCurrentDirectoryW(saved);
}

TEST(Win32FileSystem, MakesTheExtendedLengthForm)
{
    using platform::ExtendedLengthPath;
    EXPECT_EQ(ExtendedLengthPath(L"C:\\a\\b"), L"\\\\?\\C:\\a\\b");
    EXPECT_EQ(ExtendedLengthPath(L"C:/a/./b/../c"), L"\\\\?\\C:\\a\\c");
    EXPECT_EQ(ExtendedLengthPath(L"\\\\server\\share\\dir"), L"\\\\?\\UNC\\server\\share\\dir");
    EXPECT_EQ(ExtendedLengthPath(L"\\\\?\\C:\\kept"), L"\\\\?\\C:\\kept");
    std::wstring shortPath = L"C:\\short";
    EXPECT_EQ(platform::ApiPath(shortPath), shortPath);
    std::wstring longPath = L"C:\\" + std::wstring(270, L'x');
    EXPECT_EQ(platform::ApiPath(longPath), L"\\\\?\\" + longPath);
}

} // namespace
