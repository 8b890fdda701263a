#pragma once
// The shell's keys the Explorer integration writes under HKCR, as the tests look for them.
#include <string>

namespace testing_support
{

// Folders, network neighbourhood, desktop, My Computer, My Documents, drives: the entry's name follows.
inline const std::wstring kMenuPrefixes[6] = {
    L"Directory\\shell\\",
    L"CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}\\shell\\",
    L"CLSID\\{00021400-0000-0000-C000-000000000046}\\Shell\\",
    L"CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\shell\\",
    L"CLSID\\{450D8FBA-AD25-11D0-98A8-0800361B1103}\\shell\\",
    L"Drive\\shell\\",
};
// Folders, My Computer, My Documents, drives.
inline const std::wstring kFindVerbs[4] = {
    L"Directory\\shell\\find",
    L"CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\shell\\find",
    L"CLSID\\{450D8FBA-AD25-11D0-98A8-0800361B1103}\\shell\\find",
    L"Drive\\shell\\find",
};

} // namespace testing_support
