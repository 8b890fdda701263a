// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
// clang-format on
#include "platform/Win32ReverseResolver.h"

#include "platform/Utf8.h"

namespace platform
{

Win32ReverseResolver::Win32ReverseResolver()
{
    WSADATA data{};
    m_started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

Win32ReverseResolver::~Win32ReverseResolver()
{
    if (m_started)
        ::WSACleanup();
}

std::optional<std::string> Win32ReverseResolver::NameOf(uint32_t address)
{
    if (!m_started)
        return std::nullopt;
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_addr.s_addr = ::htonl(address);
    wchar_t host[NI_MAXHOST] = {};
    if (::GetNameInfoW(reinterpret_cast<const sockaddr*>(&socketAddress), sizeof socketAddress, host,
                       NI_MAXHOST, nullptr, 0, NI_NAMEREQD) != 0 ||
        host[0] == 0)
        return std::nullopt;
    return Narrow(host);
}

} // namespace platform
