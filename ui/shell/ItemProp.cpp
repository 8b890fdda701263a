#include "ui/shell/ItemProp.h"

#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"

#include <cassert>
#include <shellapi.h>
#include <shlobj.h>

namespace itemprop
{

namespace
{

using platform::ComPtr;

constexpr UINT kFirstCommand = 1;
constexpr UINT kLastCommand = 0x7FFF;
constexpr DWORD kHelperStyle = 0x80880000;

bool IsEmptyId(LPCITEMIDLIST id)
{
    return !id || id->mkid.cb == 0;
}

// The hourglass from construction on; the previous cursor comes back whatever happens.
class WaitCursor
{
public:
    WaitCursor() : m_previous(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { ::SetCursor(m_previous); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR m_previous;
};

// The menu-message interfaces a context menu offers; the newest one handles the messages.
struct MenuHandlers
{
    ComPtr<IContextMenu2> menu2;
    ComPtr<IContextMenu3> menu3;
};

// The items of one action, resolved in their folder, and the context menu for them together.
class ShellItems
{
public:
    bool Resolve(const std::string& parentFolder, const std::vector<std::string>& names, HWND owner)
    {
        if (names.empty())
            return false;
        if (FAILED(::SHGetDesktopFolder(m_desktop.Put())))
            return false;
        if (parentFolder.empty())
        {
            m_folder = m_desktop;
        }
        else
        {
            std::wstring parent = platform::Widen(parentFolder);
            if (FAILED(m_desktop->ParseDisplayName(owner, nullptr, parent.data(), nullptr, m_parent.Put(),
                                                   nullptr)) ||
                FAILED(
                    m_desktop->BindToObject(m_parent.Get(), nullptr, IID_IShellFolder, m_folder.PutVoid())))
                return false;
        }
        for (const std::string& name : names)
        {
            std::wstring wide = platform::Widen(name);
            platform::UniquePidl item;
            if (SUCCEEDED(
                    m_folder->ParseDisplayName(owner, nullptr, wide.data(), nullptr, item.Put(), nullptr)) &&
                item)
                m_items.push_back(std::move(item));
        }
        return !m_items.empty();
    }

    // An interface of the items together (context menu, data object).
    bool GetUIObject(HWND owner, REFIID iid, void** object)
    {
        IShellFolder* folder = m_folder.Get();
        std::vector<LPCITEMIDLIST> items;
        for (const platform::UniquePidl& item : m_items)
            items.push_back(item.Get());
        // Items of one folder are asked of that folder, as the shell's own views do: not every shell
        // builds a working menu from the desktop for paths several levels deep.
        if (BindToCommonParent(items))
            folder = m_commonParent.Get();
        return SUCCEEDED(folder->GetUIObjectOf(owner, static_cast<UINT>(items.size()), items.data(), iid,
                                               nullptr, object)) &&
               *object;
    }

    bool GetMenu(HWND owner)
    {
        if (!GetUIObject(owner, IID_IContextMenu, m_menu.PutVoid()))
            return false;
        m_handlers.menu2 = m_menu.As<IContextMenu2>(IID_IContextMenu2);
        if (m_handlers.menu2)
            m_handlers.menu3 = m_handlers.menu2.As<IContextMenu3>(IID_IContextMenu3);
        return true;
    }

    IContextMenu* Menu() const { return m_menu.Get(); }
    MenuHandlers& Handlers() { return m_handlers; }

    bool OpenEachWithShellDefault(HWND owner) const
    {
        bool any = false;
        for (const platform::UniquePidl& item : m_items)
        {
            platform::UniquePidl absolute(m_parent ? ::ILCombine(m_parent.Get(), item.Get())
                                                   : ::ILClone(item.Get()));
            SHELLEXECUTEINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_FLAG_NO_UI;
            info.hwnd = owner;
            info.lpIDList = absolute.Get();
            info.nShow = SW_SHOWNORMAL;
            any = (absolute && ::ShellExecuteExW(&info)) || any;
        }
        return any;
    }

private:
    // When every item lies directly in one folder: that folder, and the items' last parts.
    bool BindToCommonParent(std::vector<LPCITEMIDLIST>& items)
    {
        if (m_folder.Get() != m_desktop.Get() || IsEmptyId(m_items[0].Get()))
            return false;
        platform::UniquePidl parent(::ILClone(m_items[0].Get()));
        if (!parent || !::ILRemoveLastID(parent.Get()) || IsEmptyId(parent.Get()))
            return false;
        for (const platform::UniquePidl& item : m_items)
            if (!::ILIsParent(parent.Get(), item.Get(), TRUE))
                return false;
        if (FAILED(
                m_desktop->BindToObject(parent.Get(), nullptr, IID_IShellFolder, m_commonParent.PutVoid())))
            return false;
        for (LPCITEMIDLIST& item : items)
            item = ::ILFindLastID(item);
        return true;
    }

    ComPtr<IShellFolder> m_desktop;
    ComPtr<IShellFolder> m_folder;
    platform::UniquePidl m_parent;
    std::vector<platform::UniquePidl> m_items; // each owned once: the list cannot be copied
    ComPtr<IShellFolder> m_commonParent;
    ComPtr<IContextMenu> m_menu;
    MenuHandlers m_handlers;
};

bool InvokeCommand(IContextMenu* menu, UINT command, HWND owner)
{
    CMINVOKECOMMANDINFO info{};
    info.cbSize = sizeof info;
    info.hwnd = owner;
    info.lpVerb = MAKEINTRESOURCEA(command);
    info.nShow = SW_SHOWNORMAL;
    return SUCCEEDED(menu->InvokeCommand(&info));
}

LRESULT CALLBACK HelperProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_NCCREATE: {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        break;
    }
    case WM_INITMENUPOPUP:
    case WM_DRAWITEM:
    case WM_MEASUREITEM: {
        auto* handlers = reinterpret_cast<MenuHandlers*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        assert(handlers && "NIL Context Menu!");
        if (!handlers)
            break;
        if (handlers->menu3)
        {
            LRESULT ignored = 0;
            handlers->menu3->HandleMenuMsg2(message, wParam, lParam, &ignored);
        }
        else if (handlers->menu2)
        {
            handlers->menu2->HandleMenuMsg(message, wParam, lParam);
        }
        return message == WM_INITMENUPOPUP ? 0 : 1;
    }
    case WM_MENUCHAR: {
        // A typed letter picks an owner-drawn entry of a shell extension; only the newest
        // interface answers it, with the choice as its result.
        auto* handlers = reinterpret_cast<MenuHandlers*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        LRESULT result = 0;
        if (handlers && handlers->menu3 &&
            SUCCEEDED(handlers->menu3->HandleMenuMsg2(message, wParam, lParam, &result)))
            return result;
        break;
    }
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterHelperClass()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = HelperProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kHelperClassName;
    return ::RegisterClassW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

} // namespace

ContextMenuResult ShowContextMenu(const std::string& parentFolder, const std::vector<std::string>& names,
                                  HWND owner, POINT at, const MenuChooser& choose)
{
    ContextMenuResult result;
    ShellItems items;
    if (!items.Resolve(parentFolder, names, owner))
        return result;
    WaitCursor wait;
    if (!items.GetMenu(owner))
        return result;

    platform::UniqueMenu menu(::CreatePopupMenu());
    if (!menu || FAILED(items.Menu()->QueryContextMenu(menu.Get(), 0, kFirstCommand, kLastCommand,
                                                       CMF_EXPLORE | CMF_CANRENAME)))
        return result;
    if (!RegisterHelperClass())
        return result;
    platform::UniqueWindow helper(::CreateWindowExW(0, kHelperClassName, kHelperWindowName, kHelperStyle, 0,
                                                    0, 0, 0, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                                                    &items.Handlers()));
    if (!helper)
        return result;

    const UINT chosen =
        choose ? choose(menu.Get(), helper.Get(), at)
               : static_cast<UINT>(::TrackPopupMenuEx(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y,
                                                      helper.Get(), nullptr));
    if (chosen == 0)
    {
        result.succeeded = true;
    }
    else if (chosen == kRenameCommand)
    {
        result.succeeded = true;
        result.renameRequested = true;
    }
    else
    {
        result.succeeded = InvokeCommand(items.Menu(), chosen - kFirstCommand, owner);
    }
    return result;
}

platform::ComPtr<IDataObject> DataObjectOf(const std::vector<std::string>& paths, HWND owner)
{
    ShellItems items;
    ComPtr<IDataObject> data;
    if (items.Resolve("", paths, owner))
        items.GetUIObject(owner, IID_IDataObject, data.PutVoid());
    return data;
}

bool InvokeDefaultVerb(const std::string& parentFolder, const std::vector<std::string>& names, HWND owner)
{
    ShellItems items;
    if (!items.Resolve(parentFolder, names, owner))
        return false;
    WaitCursor wait;
    if (!items.GetMenu(owner))
        return false;
    platform::UniqueMenu menu(::CreatePopupMenu());
    if (!menu ||
        FAILED(items.Menu()->QueryContextMenu(menu.Get(), 0, kFirstCommand, kLastCommand, CMF_DEFAULTONLY)))
        return false;
    const UINT command = ::GetMenuDefaultItem(menu.Get(), FALSE, 0);
    // Wine's menu for files adds nothing when asked for the default entry alone, and its generic
    // "Open" serves folders only; the shell's own default for each item is then what a double
    // click in its views runs.
    if (command == static_cast<UINT>(-1))
        return items.OpenEachWithShellDefault(owner);
    return InvokeCommand(items.Menu(), command - kFirstCommand, owner);
}

} // namespace itemprop
