#pragma once
// Files, folders and registered file types that the results tests create under Wine and remove.
#include <windows.h>
#include <string>

namespace testing_results
{

// A fresh folder under the temporary folder, removed with everything in it.
class TempFolder
{
public:
    explicit TempFolder(const std::wstring& tag);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return m_path; }
    std::string Utf8() const;
    // Writes bytes to a file of the folder (relative name, subfolders created) and returns its path.
    std::wstring Write(const std::wstring& name, const std::string& bytes) const;
    std::wstring MakeFolder(const std::wstring& name) const;

private:
    std::wstring m_path;
};

// An extension registered in the prefix whose open command copies the opened file to
// "<file>.opened", so a test sees which files were opened.
class MarkerFileType
{
public:
    explicit MarkerFileType(const std::wstring& extension); // extension with its dot
    ~MarkerFileType();
    MarkerFileType(const MarkerFileType&) = delete;
    MarkerFileType& operator=(const MarkerFileType&) = delete;

    static std::wstring MarkerOf(const std::wstring& path) { return path + L".opened"; }

private:
    std::wstring m_extension;
    std::wstring m_progId;
};

// Waits up to timeoutMs for a file to appear, serving window messages meanwhile.
bool WaitForFile(const std::wstring& path, DWORD timeoutMs);

// Serves the thread's pending window messages.
void PumpMessages();

} // namespace testing_results
