#pragma once
// The system's ANSI code page (CP_ACP), single- or double-byte, through the system's conversions.
#include "platform/CodePage.h"

namespace platform
{

class Win32CodePage : public CodePage
{
public:
    std::optional<std::string> FromUtf8(const std::string& utf8) const override;
    std::string ToUtf8(const std::string& bytes) const override;
};

} // namespace platform
