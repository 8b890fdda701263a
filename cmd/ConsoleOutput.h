#pragma once
// UTF-8 text to a standard handle: WriteConsoleW to a console (so every script shows), the UTF-8
// bytes themselves to a pipe or file. Output to a pipe or file is gathered into large writes.
#include <windows.h>
#include <string>

namespace cmd
{

class ConsoleOutput
{
public:
    explicit ConsoleOutput(DWORD standardHandle);
    ~ConsoleOutput();
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;

    void Write(const std::string& utf8);
    void Flush();

private:
    HANDLE m_handle;
    bool m_console = false;
    std::string m_pending;
};

} // namespace cmd
