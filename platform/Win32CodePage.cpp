#include "platform/Win32CodePage.h"

#include "platform/Utf8.h"

#include <windows.h>

namespace platform
{

std::optional<std::string> Win32CodePage::FromUtf8(const std::string& utf8) const
{
    if (utf8.empty())
        return std::string();
    // A system set to UTF-8 as its ANSI page has nothing to convert (and refuses the lossy flag).
    if (::GetACP() == CP_UTF8)
        return utf8;
    const std::wstring wide = Widen(utf8);
    BOOL lossy = FALSE;
    // No best fit: a character the page lacks must not turn into a look-alike that finds other text.
    const int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                             static_cast<int>(wide.size()), nullptr, 0, nullptr, &lossy);
    if (length <= 0 || lossy)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                          bytes.data(), length, nullptr, &lossy);
    if (lossy)
        return std::nullopt;
    return bytes;
}

std::string Win32CodePage::ToUtf8(const std::string& bytes) const
{
    if (bytes.empty())
        return {};
    const int length =
        ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), length);
    return Narrow(wide);
}

} // namespace platform
