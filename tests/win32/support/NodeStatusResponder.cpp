// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
// clang-format on
#include "tests/win32/support/NodeStatusResponder.h"

#include "tests/support/FakeNetwork.h"

namespace testing_support
{

NodeStatusResponder::NodeStatusResponder(const std::string& address, std::vector<network::NameEntry> names,
                                         platform::AdapterAddress unitId, Reply reply)
    : m_names(std::move(names)), m_unitId(unitId), m_reply(reply)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    m_socket = static_cast<uintptr_t>(s);
    const auto parsed = network::ParseAddress(address);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(137);
    local.sin_addr.s_addr = htonl(parsed.value_or(INADDR_LOOPBACK));
    m_bound =
        parsed && (*parsed >> 24) == 127 && bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0;
    if (m_bound)
        m_thread = std::thread([this] { Serve(); });
}

NodeStatusResponder::~NodeStatusResponder()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    closesocket(static_cast<SOCKET>(m_socket));
    WSACleanup();
}

void NodeStatusResponder::Serve()
{
    const SOCKET s = static_cast<SOCKET>(m_socket);
    while (!m_stop)
    {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(s, &readable);
        timeval wait{0, 50000};
        if (select(0, &readable, nullptr, nullptr, &wait) != 1)
            continue;
        unsigned char question[512];
        sockaddr_in from{};
        int fromSize = sizeof from;
        const int size = recvfrom(s, reinterpret_cast<char*>(question), sizeof question, 0,
                                  reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (size < 12 + 34 + 4 || question[12] != 32)
            continue;
        const network::Packet reply = ReplyTo(question, size);
        sendto(s, reinterpret_cast<const char*>(reply.data()), static_cast<int>(reply.size()), 0,
               reinterpret_cast<sockaddr*>(&from), fromSize);
    }
}

network::Packet NodeStatusResponder::ReplyTo(const unsigned char* question, int)
{
    questionName.clear();
    for (int i = 0; i < 16; ++i)
        questionName += static_cast<char>(((question[13 + 2 * i] - 'A') << 4) | (question[14 + 2 * i] - 'A'));
    questionType = (question[12 + 34] << 8) | question[12 + 35];
    ++m_questions;
    const uint16_t id = static_cast<uint16_t>((question[0] << 8) | question[1]);
    network::Packet answer = fake::NodeStatusAnswer(id, m_names, m_unitId);
    // The answer names the name it was asked by.
    std::copy(question + 12, question + 12 + 34, answer.begin() + 12);
    if (m_reply == Reply::Garbage)
        std::fill(answer.begin() + 2, answer.end(), static_cast<uint8_t>(0xA5));
    else if (m_reply == Reply::Truncated)
        answer.resize(12 + 34 + 10 + 1 + 9);
    return answer;
}

namespace
{

std::string ReadWholeFile(const std::wstring& path)
{
    std::string text;
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return text;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0)
        text.append(chunk, read);
    CloseHandle(file);
    return text;
}

// Waits up to ten seconds for the script to publish a file.
std::string WaitForFile(const std::wstring& path)
{
    for (int i = 0; i < 200; ++i)
    {
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            return ReadWholeFile(path);
        Sleep(50);
    }
    return {};
}

} // namespace

LoopbackNodes::LoopbackNodes(const std::vector<std::string>& nodeLines)
{
    const std::string name =
        "ff_nodes_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount());
    m_base = "/tmp/" + name;
    m_windowsBase = L"Z:\\tmp\\" + std::wstring(name.begin(), name.end());
    std::wstring commandLine =
        L"/usr/bin/python3 " FF_NODE_RESPONDERS L" " + std::wstring(m_base.begin(), m_base.end());
    for (const std::string& nodeLine : nodeLines)
        commandLine += L" " + std::wstring(nodeLine.begin(), nodeLine.end());
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    // Wine starts a Unix program given by its Unix path on the Z: drive.
    if (!CreateProcessW(L"Z:\\usr\\bin\\python3", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
    {
        m_status = "cannot start python3, error " + std::to_string(GetLastError());
        return;
    }
    // A Unix process has no Windows handles: the script's own files tell how it goes.
    m_process = reinterpret_cast<uintptr_t>(process.hProcess);
    if (process.hThread)
        CloseHandle(process.hThread);
    m_started = true;
    m_status = WaitForFile(m_windowsBase + L".status");
    m_ready = m_status == "ready";
}

void LoopbackNodes::Stop()
{
    if (!m_started || m_stopped)
        return;
    m_stopped = true;
    HANDLE stop =
        CreateFileW((m_windowsBase + L".stop").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (stop != INVALID_HANDLE_VALUE)
        CloseHandle(stop);
    // The script removes its status file as it ends.
    for (int i = 0;
         i < 100 && GetFileAttributesW((m_windowsBase + L".status").c_str()) != INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(20);
}

LoopbackNodes::~LoopbackNodes()
{
    Stop();
    if (m_process)
        CloseHandle(reinterpret_cast<HANDLE>(m_process));
}

} // namespace testing_support
