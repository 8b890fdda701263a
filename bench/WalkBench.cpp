// The platform's limit for a search: a bare recursive FindFirstFileExW walk that only counts.
// Same listing calls as the finder (basic information, large fetch, every entry), no tests, no
// events, no output per entry. Usage: ff_walk_bench FOLDER
#include <cstdio>
#include <string>
#include <windows.h>

namespace
{

struct Counts
{
    long long files = 0;
    long long folders = 0;
};

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
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            Walk(folder + data.cFileName + L"\\", counts);
        else
            ++counts.files;
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: ff_walk_bench FOLDER\n");
        return 2;
    }
    std::wstring folder = argv[1];
    if (folder.back() != L'\\')
        folder += L'\\';
    Counts counts;
    Walk(folder, counts);
    std::printf("%lld files, %lld folders\n", counts.files, counts.folders);
    return 0;
}
