#include "platform/AppMessageBox.h"

#include "platform/AppTitle.h"
#include "platform/Utf8.h"

namespace platform
{

int AppMessageBox(HWND owner, const std::string& text, UINT type)
{
    return MessageBoxW(owner, Widen(text).c_str(), Widen(kAppTitle).c_str(), type);
}

} // namespace platform
