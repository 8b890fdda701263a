#pragma once
// A fresh folder under the temporary folder, removed with everything in it at the end of a test.
#include "platform/Utf8.h"
#include "tests/win32/OwnProcess.h"

#include <windows.h>
#include <filesystem>
#include <fstream>
#include <string>

namespace testing_support
{

class TempFolder
{
public:
    TempFolder()
    {
        static int counter = 0;
        std::wstring name = testing_win32::OwnTempFolder() + L"folder-" + std::to_wstring(++counter);
        testing_win32::RemoveTestTree(name);
        CreateDirectoryW(name.c_str(), nullptr);
        m_path = platform::Narrow(name);
    }
    ~TempFolder() { testing_win32::RemoveTestTree(platform::Widen(m_path)); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // path of name inside the folder
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }
    const std::string& Path() const { return m_path; }

    void WriteFile(const std::string& name, const std::string& bytes) const
    {
        std::ofstream out(std::filesystem::path(platform::Widen(*this / name)), std::ios::binary);
        out << bytes;
    }
    std::string ReadFile(const std::string& name) const
    {
        std::ifstream in(std::filesystem::path(platform::Widen(*this / name)), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::string m_path;
};

} // namespace testing_support
