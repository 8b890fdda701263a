#include "TestFiles.h"

#include "platform/Utf8.h"
#include "tests/win32/OwnProcess.h"

#include <shlobj.h>

namespace testing_results
{

using testing_win32::RemoveTestTree;

namespace
{

void SetString(HKEY root, const std::wstring& key, const std::wstring& value)
{
    HKEY opened = nullptr;
    if (::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &opened, nullptr) ==
        ERROR_SUCCESS)
    {
        ::RegSetValueExW(opened, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(opened);
    }
}

} // namespace

TempFolder::TempFolder(const std::wstring& tag)
{
    m_path = testing_win32::OwnTempFolder() + tag;
    RemoveTestTree(m_path);
    ::CreateDirectoryW(m_path.c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    RemoveTestTree(m_path);
}

std::string TempFolder::Utf8() const
{
    return platform::Narrow(m_path);
}

std::wstring TempFolder::Write(const std::wstring& name, const std::string& bytes) const
{
    std::wstring path = m_path + L"\\" + name;
    for (size_t slash = name.find(L'\\'); slash != std::wstring::npos; slash = name.find(L'\\', slash + 1))
        ::CreateDirectoryW((m_path + L"\\" + name.substr(0, slash)).c_str(), nullptr);
    HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
    {
        DWORD written = 0;
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ::CloseHandle(file);
    }
    return path;
}

std::wstring TempFolder::MakeFolder(const std::wstring& name) const
{
    std::wstring path = m_path + L"\\" + name;
    ::CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

MarkerFileType::MarkerFileType(const std::wstring& extension)
    : m_extension(extension), m_progId(L"FindFileTest" + extension.substr(1) + L"File")
{
    // Written to the merged classes root: the Wine we test with does not read the user's own
    // Software\Classes when it looks a file type up.
    SetString(HKEY_CLASSES_ROOT, m_extension, m_progId);
    SetString(HKEY_CLASSES_ROOT, m_progId, L"Find File test marker");
    SetString(HKEY_CLASSES_ROOT, m_progId + L"\\shell\\open\\command",
              L"C:\\windows\\system32\\cmd.exe /c copy \"%1\" \"%1.opened\"");
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

MarkerFileType::~MarkerFileType()
{
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, m_extension.c_str());
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, m_progId.c_str());
}

void PumpMessages()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

bool WaitForFile(const std::wstring& path, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
    {
        if (::GetTickCount() - start > timeoutMs)
            return false;
        PumpMessages();
        ::Sleep(50);
    }
    return true;
}

} // namespace testing_results
