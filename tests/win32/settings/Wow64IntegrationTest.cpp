// The Explorer integration of the 32-bit program on 64-bit Windows (WOW64), where HKCR's CLSID keys
// have a 32-bit copy that the 64-bit Explorer never reads: every entry must land in, and be removed
// from, the 64-bit view. Runs in a 64-bit Wine prefix of its own; elsewhere (a 64-bit build, or a
// machine without 32-bit Wine) it reports itself skipped.
#include "lang/TextIds.h"
#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"
#include "platform/Win32Registry.h"
#include "settings/ExplorerIntegrationWin32.h"
#include "tests/win32/settings/ShellPlaces.h"
#include "tests/win32/support/ProcessWindow.h"

#include <windows.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace
{

using testing_support::kMenuPrefixes;
const std::wstring kComputerFind = testing_support::kFindVerbs[1];

// A string value in one view of HKCR, "(absent)" when the key or value is not there.
std::wstring ValueIn(REGSAM view, const std::wstring& path, const wchar_t* name = L"")
{
    platform::UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ | view, key.Put()) != ERROR_SUCCESS)
        return L"(absent)";
    wchar_t text[1024] = {};
    DWORD size = sizeof(text) - sizeof(wchar_t), type = 0;
    if (RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
        ERROR_SUCCESS)
        return L"(absent)";
    return text;
}

bool KeyIn(REGSAM view, const std::wstring& path)
{
    platform::UniqueRegKey key;
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ | view, key.Put()) == ERROR_SUCCESS;
}

void SetIn(REGSAM view, const std::wstring& path, const wchar_t* name, const std::wstring& text)
{
    platform::UniqueRegKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                              key.Put(), nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

std::filesystem::path OutputFolder()
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    return std::filesystem::path(exe).parent_path();
}

class Wow64Integration : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!platform::RunsUnderWow64())
            GTEST_SKIP()
                << "needs this 32-bit program on 64-bit Windows (a 64-bit Wine prefix with 32-bit Wine)";
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_folder = std::filesystem::path(temp) / (L"ff_wow64_" + std::to_wstring(GetCurrentProcessId()));
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
        for (const wchar_t* file : {L"FindFile.exe", L"FindFileEN.dll"})
            std::filesystem::copy_file(OutputFolder() / file, m_folder / file);
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    // Starts the program with its English module and the context-menu setting, waits for its
    // window (it has brought the integration in line by then) and closes it.
    void StartAndClose(const char* inContextMenu)
    {
        const std::wstring ini = (m_folder / L"FindFile.ini").wstring();
        WritePrivateProfileStringW(L"Options", L"Language", L"EN", ini.c_str());
        WritePrivateProfileStringW(L"Settings", L"InContextMenu", platform::Widen(inContextMenu).c_str(),
                                   ini.c_str());
        std::wstring command = L"\"" + Exe() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   m_folder.wstring().c_str(), &startup, &process));
        platform::UniqueKernelHandle processHandle(process.hProcess), thread(process.hThread);
        HWND window = nullptr;
        for (int waited = 0; !window && waited < 30000; waited += 50)
        {
            Sleep(50);
            window = testing_support::FindProcessWindow(L"TFindfileFrm", process.dwProcessId).window;
        }
        ASSERT_NE(window, nullptr);
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    }

    std::wstring Exe() const { return (m_folder / L"FindFile.exe").wstring(); }
    std::wstring EntryName() const
    {
        platform::UniqueModule module(
            LoadLibraryExW((m_folder / L"FindFileEN.dll").wstring().c_str(), nullptr,
                           LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        wchar_t text[256] = {};
        LoadStringW(module.Get(), lang::text::kContextMenuCommand, text, 256);
        return text;
    }

    std::filesystem::path m_folder;
};

TEST_F(Wow64Integration, TheContextMenuEntriesLandInTheViewExplorerReadsAndGoFromIt)
{
    const std::wstring entry = EntryName();
    ASSERT_FALSE(entry.empty());
    StartAndClose("1");
    for (const std::wstring& prefix : kMenuPrefixes)
    {
        SCOPED_TRACE(platform::Narrow(prefix));
        const std::wstring command = ValueIn(KEY_WOW64_64KEY, prefix + entry + L"\\command");
        EXPECT_EQ(command.rfind(L"\"" + Exe() + L"\"", 0), 0u) << platform::Narrow(command);
    }
    // The CLSID keys are redirected: the program's own 32-bit view holds no copy of them.
    EXPECT_FALSE(KeyIn(KEY_WOW64_32KEY, kMenuPrefixes[3] + entry));

    StartAndClose("0");
    for (const std::wstring& prefix : kMenuPrefixes)
    {
        SCOPED_TRACE(platform::Narrow(prefix));
        EXPECT_FALSE(KeyIn(KEY_WOW64_64KEY, prefix + entry));
    }
}

TEST_F(Wow64Integration, TheFindTakeoverAndItsBackupUseTheViewExplorerReads)
{
    SetIn(KEY_WOW64_64KEY, kComputerFind + L"\\command", L"", L"explorer-find");
    SetIn(KEY_WOW64_64KEY, kComputerFind + L"\\ddeexec", L"", L"[FindFolder]");
    settings::setdefaoultfind(true, false);
    EXPECT_EQ(ValueIn(KEY_WOW64_64KEY, kComputerFind + L"\\command").rfind(L"\"", 0), 0u);
    EXPECT_EQ(ValueIn(KEY_WOW64_64KEY, kComputerFind + L"\\command", L"01"), L"explorer-find");
    EXPECT_EQ(ValueIn(KEY_WOW64_64KEY, kComputerFind + L"\\zaloha"), L"[FindFolder]");
    EXPECT_FALSE(KeyIn(KEY_WOW64_64KEY, kComputerFind + L"\\ddeexec"));
    EXPECT_FALSE(KeyIn(KEY_WOW64_32KEY, kComputerFind));

    settings::setdefaoultfind(false, false);
    EXPECT_EQ(ValueIn(KEY_WOW64_64KEY, kComputerFind + L"\\command"), L"explorer-find");
    EXPECT_EQ(ValueIn(KEY_WOW64_64KEY, kComputerFind + L"\\ddeexec"), L"[FindFolder]");
    EXPECT_FALSE(KeyIn(KEY_WOW64_64KEY, kComputerFind + L"\\zaloha"));
}

} // namespace
