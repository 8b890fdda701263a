// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <mswsock.h>
// clang-format on
#include "platform/Win32DatagramSocket.h"

namespace platform
{

namespace
{

// Room for a thousand answers that arrive while the lookup is busy elsewhere.
constexpr int kReceiveBufferBytes = 1 << 20;
constexpr int kLargestDatagram = 2048;

} // namespace

std::unique_ptr<Win32DatagramSocket> Win32DatagramSocket::Open()
{
    WSADATA data{};
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return nullptr;
    const SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET)
    {
        ::WSACleanup();
        return nullptr;
    }
    auto socket = std::make_unique<Win32DatagramSocket>(static_cast<uintptr_t>(s));
    int size = kReceiveBufferBytes;
    ::setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&size), sizeof size);
    // Windows reports an ICMP "port unreachable" as a failed receive; we only want the answers.
    BOOL report = FALSE;
    DWORD returned = 0;
    ::WSAIoctl(s, SIO_UDP_CONNRESET, &report, sizeof report, nullptr, 0, &returned, nullptr, nullptr);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    if (::bind(s, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0)
        return nullptr;
    return socket;
}

Win32DatagramSocket::~Win32DatagramSocket()
{
    ::closesocket(static_cast<SOCKET>(m_socket));
    ::WSACleanup();
}

bool Win32DatagramSocket::Send(uint32_t address, uint16_t port, const std::vector<uint8_t>& packet)
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = ::htons(port);
    to.sin_addr.s_addr = ::htonl(address);
    return ::sendto(static_cast<SOCKET>(m_socket), reinterpret_cast<const char*>(packet.data()),
                    static_cast<int>(packet.size()), 0, reinterpret_cast<const sockaddr*>(&to),
                    sizeof to) == static_cast<int>(packet.size());
}

bool Win32DatagramSocket::Receive(unsigned waitMs, uint32_t& from, uint16_t& fromPort,
                                  std::vector<uint8_t>& packet)
{
    const SOCKET s = static_cast<SOCKET>(m_socket);
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s, &readable);
    timeval wait{static_cast<long>(waitMs / 1000), static_cast<long>((waitMs % 1000) * 1000)};
    if (::select(0, &readable, nullptr, nullptr, &wait) != 1)
        return false;
    packet.resize(kLargestDatagram);
    sockaddr_in sender{};
    int senderSize = sizeof sender;
    const int size = ::recvfrom(s, reinterpret_cast<char*>(packet.data()), kLargestDatagram, 0,
                                reinterpret_cast<sockaddr*>(&sender), &senderSize);
    if (size < 0)
    {
        // An error reported on the socket (an ICMP answer): nothing to read, but not the end.
        from = 0;
        fromPort = 0;
        packet.clear();
        return true;
    }
    from = ::ntohl(sender.sin_addr.s_addr);
    fromPort = ::ntohs(sender.sin_port);
    packet.resize(static_cast<size_t>(size));
    return true;
}

} // namespace platform
