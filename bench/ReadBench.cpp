// The reading limit of a content search: every file below a folder read through the platform in
// large blocks, nothing compared. Same open flags as the finder's scan.
// Usage: ff_read_bench FOLDER [BLOCK_KIB]   (default 1024)
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

struct Totals
{
    long long files = 0;
    long long bytes = 0;
};

void ReadFileWhole(const std::wstring& path, std::vector<char>& block, Totals& totals)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    ++totals.files;
    DWORD read = 0;
    while (ReadFile(file, block.data(), static_cast<DWORD>(block.size()), &read, nullptr) && read > 0)
        totals.bytes += read;
    CloseHandle(file);
}

void Walk(const std::wstring& folder, std::vector<char>& block, Totals& totals)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do
    {
        if (data.cFileName[0] == L'.')
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            Walk(folder + data.cFileName + L"\\", block, totals);
        else
            ReadFileWhole(folder + data.cFileName, block, totals);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: ff_read_bench FOLDER [BLOCK_KIB]\n");
        return 2;
    }
    std::wstring folder = argv[1];
    if (folder.back() != L'\\')
        folder += L'\\';
    const long kib = argc > 2 ? std::wcstol(argv[2], nullptr, 10) : 1024;
    std::vector<char> block(static_cast<size_t>(kib > 0 ? kib : 1024) * 1024);
    Totals totals;
    Walk(folder, block, totals);
    std::printf("%lld files, %lld bytes\n", totals.files, totals.bytes);
    return 0;
}
