#include "tests/win32/support/DialogWatcher.h"

#include "platform/Utf8.h"

#include <algorithm>

namespace testing_support
{
namespace
{

DialogWatcher* g_watcher = nullptr;

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

struct BoxParts
{
    DialogWatcher::Box* box;
};

BOOL CALLBACK ReadPart(HWND child, LPARAM param)
{
    auto* box = reinterpret_cast<DialogWatcher::Box*>(param);
    const std::wstring kind = ClassOf(child);
    if (_wcsicmp(kind.c_str(), L"Button") == 0)
        box->buttons.push_back(GetDlgCtrlID(child));
    else if (_wcsicmp(kind.c_str(), L"Static") == 0 &&
             (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
    {
        const std::string text = TextOf(child);
        if (!text.empty())
            box->text += text;
    }
    return TRUE;
}

} // namespace

std::string TextOf(HWND window)
{
    wchar_t text[1024] = {};
    const int length = GetWindowTextW(window, text, 1024);
    return platform::Narrow(text, static_cast<size_t>(length));
}

DialogWatcher::DialogWatcher()
{
    g_watcher = this;
    m_timer = SetTimer(nullptr, 0, 40, &DialogWatcher::Tick);
}

DialogWatcher::~DialogWatcher()
{
    KillTimer(nullptr, m_timer);
    g_watcher = nullptr;
}

void DialogWatcher::OnWindow(const wchar_t* className, std::function<void(HWND)> action)
{
    m_watches.push_back({className, std::move(action)});
}

void CALLBACK DialogWatcher::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_watcher)
        EnumThreadWindows(GetCurrentThreadId(), &DialogWatcher::Visit, reinterpret_cast<LPARAM>(g_watcher));
}

BOOL CALLBACK DialogWatcher::Visit(HWND window, LPARAM self)
{
    reinterpret_cast<DialogWatcher*>(self)->Handle(window);
    return TRUE;
}

void DialogWatcher::Handle(HWND window)
{
    if (!IsWindowVisible(window) || std::find(m_seen.begin(), m_seen.end(), window) != m_seen.end())
        return;
    const std::wstring kind = ClassOf(window);
    if (kind == L"#32770")
    {
        m_seen.push_back(window);
        Box box;
        box.caption = TextOf(window);
        if (HWND owner = GetWindow(window, GW_OWNER))
        {
            box.ownerClass = ClassOf(owner);
            box.ownerShown = IsWindowVisible(owner) != FALSE;
        }
        EnumChildWindows(window, &ReadPart, reinterpret_cast<LPARAM>(&box));
        m_boxes.push_back(box);
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(m_answer, BN_CLICKED), 0);
        return;
    }
    for (const Watch& watch : m_watches)
        if (watch.className == kind)
        {
            m_seen.push_back(window);
            watch.action(window);
            return;
        }
}

} // namespace testing_support
