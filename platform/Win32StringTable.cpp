#include "platform/Win32StringTable.h"

#include "platform/Utf8.h"

#include <cwchar>

namespace platform
{

UniqueModule LoadDataModule(const std::string& path)
{
    return UniqueModule(LoadLibraryExW(Widen(path).c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

std::optional<std::string> LoadModuleString(HMODULE module, int id)
{
    if (!module || id < 0)
        return std::nullopt;
    wchar_t buffer[1024];
    const int length = LoadStringW(module, static_cast<UINT>(id), buffer, ARRAYSIZE(buffer));
    if (length <= 0)
        return std::nullopt;
    std::wstring text(buffer, wcsnlen(buffer, static_cast<size_t>(length)));
    // A cut at the buffer's end may split a surrogate pair; drop the orphaned half.
    if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF)
        text.pop_back();
    if (text.empty())
        return std::nullopt;
    try
    {
        return Narrow(text);
    }
    catch (...)
    {
        return std::nullopt;
    }
}

} // namespace platform
