// LV1's rows on the clipboard: the files themselves as Explorer puts them there, or their paths.
// clang-format off
#include <windows.h>
#include <ole2.h>
// clang-format on
#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"
#include "ui/results/ResultsList.h"
#include "ui/shell/ItemProp.h"

#include <cstring>

namespace ui
{

bool ResultsList::CopySelected()
{
    platform::ComPtr<IDataObject> data =
        itemprop::DataObjectOf(SelectedPaths(), ::GetAncestor(m_list, GA_ROOT));
    if (!data || FAILED(::OleSetClipboard(data.Get())))
        return false;
    // Rendered now, so Paste still works after this program has ended.
    return SUCCEEDED(::OleFlushClipboard());
}

bool ResultsList::CopyPaths(const std::vector<std::string>& paths)
{
    if (paths.empty())
        return false;
    std::wstring text;
    for (const std::string& path : paths)
        text += platform::Widen(path) + L"\r\n";
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    platform::UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory)
        return false;
    void* target = ::GlobalLock(memory.Get());
    if (!target)
        return false;
    std::memcpy(target, text.c_str(), bytes);
    ::GlobalUnlock(memory.Get());
    if (!::OpenClipboard(m_list))
        return false;
    ::EmptyClipboard();
    const bool taken = ::SetClipboardData(CF_UNICODETEXT, memory.Get()) != nullptr;
    if (taken)
        memory.Release(); // the clipboard owns it now
    ::CloseClipboard();
    return taken;
}

} // namespace ui
