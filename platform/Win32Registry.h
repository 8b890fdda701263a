#pragma once
// The registry interface over the Win32 registry: W functions, every key closed by its owner on
// every path, strings read typed and safely (a value without its terminator included).
#include "platform/Registry.h"

namespace platform
{

class Win32Registry : public Registry
{
public:
    std::unique_ptr<RegistryKey> Open(RegistryRoot root, const std::string& path,
                                      RegistryAccess access = RegistryAccess::Full) override;
    std::unique_ptr<RegistryKey> Create(RegistryRoot root, const std::string& path) override;
    bool DeleteTree(RegistryRoot root, const std::string& path) override;
};

} // namespace platform
