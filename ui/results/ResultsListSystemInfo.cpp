// What LV1 asks of the system: the shell's word on a path and the user's formats.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include "platform/Utf8.h"
#include "ui/results/ResultsList.h"

namespace ui
{

namespace
{

std::string LocaleText(LCTYPE type, const std::string& fallback)
{
    wchar_t text[128] = {};
    if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text, 128) <= 0)
        return fallback;
    return platform::Narrow(text);
}

} // namespace

DisplayFormat UserDisplayFormat()
{
    DisplayFormat format;
    format.thousandsSeparator = LocaleText(LOCALE_STHOUSAND, format.thousandsSeparator);
    format.shortDate = LocaleText(LOCALE_SSHORTDATE, format.shortDate);
    format.longTime = LocaleText(LOCALE_STIMEFORMAT, format.longTime);
    format.am = LocaleText(LOCALE_S1159, format.am);
    format.pm = LocaleText(LOCALE_S2359, format.pm);
    for (int m = 0; m < 12; ++m)
    {
        format.monthNames[m] = LocaleText(LOCALE_SMONTHNAME1 + m, "");
        format.monthAbbreviations[m] = LocaleText(LOCALE_SABBREVMONTHNAME1 + m, "");
    }
    // The locale counts days from Monday; the row format from Sunday.
    for (int d = 0; d < 7; ++d)
    {
        const int sundayFirst = (d + 1) % 7;
        format.dayNames[sundayFirst] = LocaleText(LOCALE_SDAYNAME1 + d, "");
        format.dayAbbreviations[sundayFirst] = LocaleText(LOCALE_SABBREVDAYNAME1 + d, "");
    }
    return format;
}

HIMAGELIST SystemImageList(UINT sizeFlag)
{
    SHFILEINFOW info{};
    return reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | sizeFlag));
}

std::optional<ShellInfo> AskShell(const std::string& path)
{
    SHFILEINFOW info{};
    const std::wstring wide = platform::Widen(path);
    if (!::SHGetFileInfoW(wide.c_str(), 0, &info, sizeof info,
                          SHGFI_SYSICONINDEX | SHGFI_TYPENAME | SHGFI_SMALLICON))
        return std::nullopt;
    return ShellInfo{platform::Narrow(info.szTypeName), info.iIcon};
}

} // namespace ui
