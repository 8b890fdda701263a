#pragma once
// A temporary program folder: Finder.exe's place, its settings file and the chosen language
// modules copied from the build's output, with the language machinery pointed at it.
#include "lang/Language.h"
#include "platform/Utf8.h"
#include "settings/AppPaths.h"
#include "tests/win32/settings/TempFolder.h"

#include <windows.h>
#include <string>

namespace testing_support
{

// The build's output folder, where the test program and the language modules lie.
inline std::string OutputFolder()
{
    wchar_t exe[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::string path = platform::Narrow(exe, length);
    return path.substr(0, path.find_last_of('\\'));
}

class ProgramFolder
{
public:
    ProgramFolder() { settings::SetExeFileNameForTests(folder / "Finder.exe"); }
    ~ProgramFolder()
    {
        // Let go of a module loaded from here, so that the folder can be removed: a "module"
        // that is not a library loads as nothing, without a message.
        WritePrivateProfileStringW(L"Options", L"Language", L"Release", platform::Widen(Ini()).c_str());
        folder.WriteFile("FinderRelease.dll", "not a library");
        lang::LoadLanguageModule();
        settings::SetExeFileNameForTests("");
    }

    // Copies FindFile<code>.dll of the build as Finder<code>.dll.
    bool AddModule(const std::string& code) const
    {
        return CopyAs("FindFile" + code + ".dll", "Finder" + code + ".dll");
    }
    bool CopyAs(const std::string& builtName, const std::string& name) const
    {
        return CopyFileW(platform::Widen(OutputFolder() + "\\" + builtName).c_str(),
                         platform::Widen(folder / name).c_str(), FALSE) != FALSE;
    }
    std::string Ini() const { return folder / "Finder.ini"; }

    TempFolder folder;
};

} // namespace testing_support
