// The platform's limit for a search: a bare recursive FindFirstFileExW walk that only counts.
// Same listing calls as the finder (basic information, large fetch, every entry), no tests, no
// events, no output per entry.
// With --open-ahead, a second thread opens the folders that the walk will enter next (and closes
// the ones it has left), and the walk lists each by its handle: under Wine listing holds a lock of
// the whole process, but opening and closing are the Wine server's work and can run beside it.
// This measures what such a helper could gain at most.
// Usage: ff_walk_bench [--open-ahead] FOLDER
#include "platform/UniqueHandle.h"

#include <windows.h>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace
{

struct Counts
{
    long long files = 0;
    long long folders = 0;
};

bool IsFolderToEnter(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

void Walk(const std::wstring& folder, Counts& counts)
{
    ++counts.folders;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do
    {
        if (data.cFileName[0] == L'.')
            continue;
        if (IsFolderToEnter(data.dwFileAttributes))
            Walk(folder + data.cFileName + L"\\", counts);
        else
            ++counts.files;
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

// Opens folders ahead of the walk, in the order it will enter them, at most kWindow at a time.
class FolderOpener
{
public:
    struct Request
    {
        std::wstring folder;
        bool started = false;
        bool done = false;
        platform::UniqueFile handle;
    };

    FolderOpener() : m_thread([this] { Run(); }) {}
    ~FolderOpener()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_quit = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }

    // The subfolders of a folder just listed, in the order the walk will enter them: they go before
    // everything announced earlier.
    void Announce(std::vector<std::shared_ptr<Request>> requests)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_queue.insert(m_queue.begin(), requests.begin(), requests.end());
        }
        m_changed.notify_all();
    }

    // The handle of an announced folder: opened by the helper, or here when it has not started.
    platform::UniqueFile Take(const std::shared_ptr<Request>& request)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (auto it = m_queue.begin(); it != m_queue.end(); ++it)
            if (*it == request)
            {
                m_queue.erase(it);
                break;
            }
        m_changed.wait(lock, [&] { return !request->started || request->done; });
        if (request->done)
            return std::move(request->handle);
        request->done = true; // the helper must not start it any more
        lock.unlock();
        return Open(request->folder);
    }

    void Close(platform::UniqueFile handle)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_closing.push_back(std::move(handle));
        }
        m_changed.notify_all();
    }

    static platform::UniqueFile Open(const std::wstring& folder)
    {
        platform::UniqueFile handle(CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        // Any call that needs the file descriptor makes Wine cache it now, not when the walk lists.
        FILETIME written;
        if (handle)
            GetFileTime(handle.Get(), nullptr, nullptr, &written);
        return handle;
    }

private:
    static constexpr size_t kWindow = 64;

    std::shared_ptr<Request> NextToOpen()
    {
        size_t position = 0;
        for (const std::shared_ptr<Request>& request : m_queue)
        {
            if (++position > kWindow)
                break;
            if (!request->started && !request->done)
                return request;
        }
        return nullptr;
    }

    void Run()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;)
        {
            std::shared_ptr<Request> request = NextToOpen();
            if (!request && m_closing.empty())
            {
                if (m_quit)
                    return;
                m_changed.wait(lock);
                continue;
            }
            std::vector<platform::UniqueFile> closing;
            closing.swap(m_closing);
            if (request)
                request->started = true;
            lock.unlock();
            closing.clear();
            platform::UniqueFile handle = request ? Open(request->folder) : platform::UniqueFile();
            lock.lock();
            if (request)
            {
                request->handle = std::move(handle);
                request->done = true;
                m_changed.notify_all();
            }
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::shared_ptr<Request>> m_queue;
    std::vector<platform::UniqueFile> m_closing;
    bool m_quit = false;
    std::thread m_thread; // last: starts once everything above is set
};

void WalkOpenedAhead(FolderOpener& opener, const std::wstring& folder, platform::UniqueFile handle,
                     Counts& counts)
{
    ++counts.folders;
    if (!handle)
        return;
    alignas(8) static char buffer[64 * 1024];
    std::vector<std::shared_ptr<FolderOpener::Request>> subfolders;
    for (FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
         GetFileInformationByHandleEx(handle.Get(), kind, buffer, sizeof(buffer));
         kind = FileIdBothDirectoryInfo)
    {
        for (auto* entry = reinterpret_cast<FILE_ID_BOTH_DIR_INFO*>(buffer);;
             entry = reinterpret_cast<FILE_ID_BOTH_DIR_INFO*>(reinterpret_cast<char*>(entry) +
                                                              entry->NextEntryOffset))
        {
            if (entry->FileName[0] != L'.')
            {
                if (IsFolderToEnter(entry->FileAttributes))
                {
                    auto request = std::make_shared<FolderOpener::Request>();
                    request->folder =
                        folder + std::wstring(entry->FileName, entry->FileNameLength / 2) + L"\\";
                    subfolders.push_back(request);
                }
                else
                    ++counts.files;
            }
            if (entry->NextEntryOffset == 0)
                break;
        }
    }
    opener.Close(std::move(handle));
    opener.Announce(subfolders);
    for (const std::shared_ptr<FolderOpener::Request>& request : subfolders)
        WalkOpenedAhead(opener, request->folder, opener.Take(request), counts);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const bool openAhead = argc == 3 && std::wstring(argv[1]) == L"--open-ahead";
    if (argc != 2 && !openAhead)
    {
        std::fprintf(stderr, "usage: ff_walk_bench [--open-ahead] FOLDER\n");
        return 2;
    }
    std::wstring folder = argv[argc - 1];
    if (folder.back() != L'\\')
        folder += L'\\';
    Counts counts;
    if (openAhead)
    {
        FolderOpener opener;
        WalkOpenedAhead(opener, folder, FolderOpener::Open(folder), counts);
    }
    else
        Walk(folder, counts);
    std::printf("%lld files, %lld folders\n", counts.files, counts.folders);
    return 0;
}
