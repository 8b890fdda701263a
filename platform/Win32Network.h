#pragma once
// Win32 adapters of the network services: WNet enumeration of one provider, name resolution
// through Windows Sockets, the NetBIOS adapter-status query, and the text conversions the lookup
// needs (upper case by the system's rules, the OEM code page of NetBIOS names).
#include "platform/NetworkProvider.h"

#include <string>

namespace platform
{

// Enumerates the global network of the named provider (disk resources, containers).
class Win32NetProvider : public NetProvider
{
public:
    explicit Win32NetProvider(std::string providerName) : m_providerName(std::move(providerName)) {}
    std::unique_ptr<NetEnumeration> OpenDomains() override;
    std::unique_ptr<NetEnumeration> OpenChildren(const NetEntry& container) override;

private:
    std::string m_providerName;
};

// Windows Sockets for the life of the object, started by Start().
class Win32NameResolver : public NameResolver
{
public:
    Win32NameResolver() = default;
    Win32NameResolver(const Win32NameResolver&) = delete;
    Win32NameResolver& operator=(const Win32NameResolver&) = delete;
    ~Win32NameResolver() override;
    bool Start() override;
    std::optional<std::string> Resolve(const std::string& name) override;

private:
    bool m_started = false;
};

class Win32MacQuery : public MacQuery
{
public:
    std::optional<AdapterAddress> Query(uint8_t adapter, const NetBiosName& name) override;
};

// UTF-8 upper-cased by the system's rules (CharUpperBuffW), in any script.
std::string SystemUpperCase(const std::string& text);
// UTF-8 to the OEM code page, the code page of NetBIOS names.
std::string ToOemCodePage(const std::string& text);
// The OEM code page to UTF-8: the names a node reports.
std::string FromOemCodePage(const std::string& text);

} // namespace platform
