#pragma once
// The UDP socket of the sweep's questions and their answers (Windows Sockets).
#include "platform/NetworkProvider.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace platform
{

class Win32DatagramSocket : public DatagramSocket
{
public:
    // Null when Windows Sockets or the socket cannot be had.
    static std::unique_ptr<Win32DatagramSocket> Open();
    // Takes over an open SOCKET and one start of Windows Sockets.
    explicit Win32DatagramSocket(uintptr_t socket) : m_socket(socket) {}
    ~Win32DatagramSocket() override;
    Win32DatagramSocket(const Win32DatagramSocket&) = delete;
    Win32DatagramSocket& operator=(const Win32DatagramSocket&) = delete;

    bool Send(uint32_t address, uint16_t port, const std::vector<uint8_t>& packet) override;
    bool Receive(unsigned waitMs, uint32_t& from, uint16_t& fromPort, std::vector<uint8_t>& packet) override;

private:
    uintptr_t m_socket; // a SOCKET, pointer-sized on both targets
};

} // namespace platform
