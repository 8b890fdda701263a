#pragma once
// The registry interface over the Win32 registry: W functions, every key closed by its owner on
// every path, strings read typed and safely (a value without its terminator included).
#include "platform/Registry.h"

namespace platform
{

// Which view of the registry a 32-bit process works in on 64-bit Windows (WOW64), where HKCR's
// CLSID keys have a 32-bit copy of their own.
enum class RegistryView
{
    Own,      // the process's own view, redirected under WOW64
    Explorer, // the view Explorer reads: the 64-bit one under WOW64
};

class Win32Registry : public Registry
{
public:
    explicit Win32Registry(RegistryView view = RegistryView::Own);

    std::unique_ptr<RegistryKey> Open(RegistryRoot root, const std::string& path,
                                      RegistryAccess access = RegistryAccess::Full) override;
    std::unique_ptr<RegistryKey> Create(RegistryRoot root, const std::string& path) override;
    bool DeleteTree(RegistryRoot root, const std::string& path) override;

private:
    unsigned long m_view = 0; // the REGSAM flag added to every access
};

// True when this 32-bit process runs on 64-bit Windows.
bool RunsUnderWow64();

} // namespace platform
