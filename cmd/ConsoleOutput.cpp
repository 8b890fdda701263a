#include "cmd/ConsoleOutput.h"

#include "platform/Utf8.h"

namespace cmd
{

namespace
{

constexpr size_t kFlushSize = 64 * 1024;

} // namespace

ConsoleOutput::ConsoleOutput(DWORD standardHandle) : m_handle(GetStdHandle(standardHandle))
{
    DWORD mode = 0;
    m_console = m_handle != INVALID_HANDLE_VALUE && m_handle && GetConsoleMode(m_handle, &mode);
}

ConsoleOutput::~ConsoleOutput()
{
    Flush();
}

void ConsoleOutput::Write(const std::string& utf8)
{
    m_pending += utf8;
    // A person watching a console sees each line at once; a pipe or file gets large writes.
    if (m_console || m_pending.size() >= kFlushSize)
        Flush();
}

void ConsoleOutput::Flush()
{
    if (m_pending.empty() || !m_handle || m_handle == INVALID_HANDLE_VALUE)
    {
        m_pending.clear();
        return;
    }
    if (m_console)
    {
        std::wstring wide = platform::Widen(m_pending);
        DWORD written = 0;
        WriteConsoleW(m_handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    }
    else
    {
        size_t offset = 0;
        while (offset < m_pending.size())
        {
            DWORD written = 0;
            DWORD chunk = static_cast<DWORD>(m_pending.size() - offset);
            if (!WriteFile(m_handle, m_pending.data() + offset, chunk, &written, nullptr) || written == 0)
                break; // a closed pipe: the rest has nowhere to go
            offset += written;
        }
    }
    m_pending.clear();
}

} // namespace cmd
