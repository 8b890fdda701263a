#include "settings/AppPaths.h"

#include "settings/PathRules.h"

#include <mutex>

namespace settings
{

// The platform's name of the running executable (AppPathsWin32.cpp, AppPathsPosix.cpp).
std::string RunningExecutablePath();

namespace
{

std::mutex g_overrideMutex;
std::string g_override;

} // namespace

std::string ExeFileName()
{
    {
        std::lock_guard<std::mutex> lock(g_overrideMutex);
        if (!g_override.empty())
            return g_override;
    }
    static const std::string running = RunningExecutablePath();
    return running;
}

void SetExeFileNameForTests(const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_overrideMutex);
    g_override = path;
}

std::string SettingsFilePath()
{
    return ChangeFileExtension(ExeFileName(), ".ini");
}

} // namespace settings
