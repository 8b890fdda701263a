#pragma once
// What a Windows test may look at without depending on the machine or on the test programs that
// CTest runs beside it in the same Wine prefix: only this process's own windows, the user locale's
// own number format, and a temporary folder of its own that goes away with it.
#include <windows.h>
#include <cwchar>
#include <string>

namespace testing_win32
{

struct OwnWindowSearch
{
    const wchar_t* className;
    const wchar_t* title;
    HWND found = nullptr;

    static BOOL CALLBACK Visit(HWND window, LPARAM param)
    {
        auto* s = reinterpret_cast<OwnWindowSearch*>(param);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process != GetCurrentProcessId())
            return TRUE;
        wchar_t text[256];
        if (!GetClassNameW(window, text, ARRAYSIZE(text)) || lstrcmpiW(text, s->className) != 0)
            return TRUE;
        if (s->title)
        {
            GetWindowTextW(window, text, ARRAYSIZE(text));
            if (lstrcmpW(text, s->title) != 0)
                return TRUE;
        }
        s->found = window;
        return FALSE;
    }
};

// The first top-level window of this process with the class (and, when given, the title).
// FindWindowW would also answer with a window of another test program.
inline HWND FindOwnWindow(const wchar_t* className, const wchar_t* title = nullptr)
{
    OwnWindowSearch search{className, title};
    EnumWindows(OwnWindowSearch::Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The user locale's thousands separator, UTF-8 (a comma, a dot, a no-break space ...).
inline std::string ThousandsSeparator()
{
    wchar_t wide[8] = {};
    const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, wide, ARRAYSIZE(wide));
    char narrow[32] = {};
    const int bytes = length > 1 ? WideCharToMultiByte(CP_UTF8, 0, wide, length - 1, narrow, sizeof narrow,
                                                       nullptr, nullptr)
                                 : 0;
    return std::string(narrow, static_cast<size_t>(bytes > 0 ? bytes : 0));
}

// Removes a folder with everything in it, read-only entries too. A link is removed as an entry and
// never descended into.
inline void RemoveTestTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE)
    {
        do
        {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            const bool link = data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW(path.c_str());
            else if (link)
                RemoveDirectoryW(path.c_str());
            else
                RemoveTestTree(path);
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(folder.c_str());
}

inline bool ProcessIsRunning(DWORD id)
{
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (!process)
        return false;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

// This process's own folder, "%TEMP%\ff-tests\<process id>\", under which every test folder
// lies. It is removed when the process ends, also after failed tests; what a crashed or killed run
// left behind goes when the next test program starts.
inline const std::wstring& OwnTempFolder()
{
    struct Folder
    {
        std::wstring path;
        Folder()
        {
            wchar_t temp[MAX_PATH] = {};
            GetTempPathW(MAX_PATH, temp);
            const std::wstring parent = std::wstring(temp) + L"ff-tests";
            CreateDirectoryW(parent.c_str(), nullptr);
            WIN32_FIND_DATAW data;
            HANDLE find = FindFirstFileW((parent + L"\\*").c_str(), &data);
            if (find != INVALID_HANDLE_VALUE)
            {
                do
                {
                    const DWORD id = wcstoul(data.cFileName, nullptr, 10);
                    if (id != 0 && id != GetCurrentProcessId() && !ProcessIsRunning(id))
                        RemoveTestTree(parent + L"\\" + data.cFileName);
                } while (FindNextFileW(find, &data));
                FindClose(find);
            }
            path = parent + L"\\" + std::to_wstring(GetCurrentProcessId());
            RemoveTestTree(path);
            CreateDirectoryW(path.c_str(), nullptr);
            path += L"\\";
        }
        ~Folder() { RemoveTestTree(path.substr(0, path.size() - 1)); }
    };
    static const Folder folder;
    return folder.path;
}

} // namespace testing_win32
