#pragma once
// The Explorer integration of this program: the system registry, the settings file beside the
// executable, the loaded language's entry name and the executable's own path.
namespace settings
{

// See settings/ExplorerIntegration.h; these throw ERegistryException the same way.
void setincontext(bool install, bool store);
void setdefaoultfind(bool install, bool store);

} // namespace settings
