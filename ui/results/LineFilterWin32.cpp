#include "ui/results/LineFilterWin32.h"

#include "engine/TextEncoding.h"
#include "platform/Win32CodePage.h"

#include <windows.h>

namespace ui
{

ByteUpperCase SystemByteUpperCase()
{
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c)
    {
        table[c] = static_cast<unsigned char>(c);
        const char byte = static_cast<char>(c);
        wchar_t wide[2] = {};
        if (c == 0 || ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &byte, 1, wide, 1) != 1)
            continue;
        ::CharUpperBuffW(wide, 1);
        char upper[4] = {};
        BOOL lossy = FALSE;
        if (::WideCharToMultiByte(CP_ACP, 0, wide, 1, upper, sizeof upper, nullptr, &lossy) == 1 && !lossy)
            table[c] = static_cast<unsigned char>(upper[0]);
    }
    return ByteUpperCase(table);
}

std::vector<std::string> ContainingTextEncodings(const std::string& utf8)
{
    std::vector<std::string> texts{utf8};
    const platform::Win32CodePage codePage;
    std::string ansi = engine::AnsiForm(utf8, &codePage);
    if (!ansi.empty())
        texts.insert(texts.begin(), std::move(ansi));
    return texts;
}

} // namespace ui
