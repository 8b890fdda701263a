#pragma once
// The text of the error box: the message, with "." appended when its last character sorts after
// "." (so "Done." and "Failed!" stay, "No such folder" gets its full stop).
#include <string>

namespace controls
{

inline std::string ErrorBoxText(const std::string& message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        return message + ".";
    return message;
}

} // namespace controls
