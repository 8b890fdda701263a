#pragma once
// The system's reverse lookup of an address (GetNameInfoW with NI_NAMEREQD: a name or nothing,
// never the address's own text). Windows Sockets stay started for the object's life, which the
// sweep's lookup threads share.
#include "platform/NetworkProvider.h"

namespace platform
{

class Win32ReverseResolver : public ReverseResolver
{
public:
    Win32ReverseResolver();
    ~Win32ReverseResolver() override;
    Win32ReverseResolver(const Win32ReverseResolver&) = delete;
    Win32ReverseResolver& operator=(const Win32ReverseResolver&) = delete;

    std::optional<std::string> NameOf(uint32_t address) override;

private:
    bool m_started = false;
};

} // namespace platform
