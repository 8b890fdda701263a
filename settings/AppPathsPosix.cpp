#include <string>
#include <unistd.h>

namespace settings
{

// Native builds run only the portable logic and its tests; they still get a truthful answer.
std::string RunningExecutablePath()
{
    std::string buffer(4096, '\0');
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0)
        return {};
    buffer.resize(static_cast<size_t>(length));
    return buffer;
}

} // namespace settings
