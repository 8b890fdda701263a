#include "engine/FindCriteria.h"

namespace engine
{
namespace
{

// "\n\r" in this order: callers show the message as it stands.
constexpr const char* kSeparator = "\n\r";

} // namespace

void CheckFilename(const std::string& value)
{
    if (value.find_last_of("\\:") != std::string::npos)
        throw EFindFileError(value + kSeparator + "Invalid filename specified");
}

void CheckLocation(const std::string& value)
{
    if (value.find_first_of("*?") != std::string::npos)
        throw EFindFileError(value + kSeparator + "location cannot to be contained wildcards");
}

} // namespace engine
