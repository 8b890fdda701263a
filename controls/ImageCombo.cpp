#include "controls/ImageCombo.h"

#include "controls/Window.h"
#include "platform/Utf8.h"

namespace controls
{

HWND ImageCombo::Create(HWND parent, int id, int x, int y, int width, int dropHeight)
{
    m_hwnd = CreateChild(parent, id, WC_COMBOBOXEXW, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                         x, y, width, dropHeight);
    return m_hwnd;
}

HWND ImageCombo::Edit() const
{
    return reinterpret_cast<HWND>(SendMessageW(m_hwnd, CBEM_GETEDITCONTROL, 0, 0));
}

void ImageCombo::SetImages(HIMAGELIST images)
{
    SendMessageW(m_hwnd, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
}

void ImageCombo::Add(const std::string& text, int image)
{
    std::wstring wide = platform::Widen(text);
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_INDENT;
    item.iItem = -1;
    item.pszText = wide.data();
    item.iImage = image;
    item.iSelectedImage = image;
    item.iIndent = 0;
    SendMessageW(m_hwnd, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void ImageCombo::RemoveFrom(int index)
{
    for (int last = Count() - 1; last >= index && last >= 0; --last)
        SendMessageW(m_hwnd, CBEM_DELETEITEM, static_cast<WPARAM>(last), 0);
}

int ImageCombo::Count() const
{
    return static_cast<int>(SendMessageW(m_hwnd, CB_GETCOUNT, 0, 0));
}

std::string ImageCombo::ItemText(int index) const
{
    wchar_t buffer[1024] = {};
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT;
    item.iItem = index;
    item.pszText = buffer;
    item.cchTextMax = 1024;
    if (!SendMessageW(m_hwnd, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return {};
    return platform::Narrow(buffer);
}

void ImageCombo::Select(int index)
{
    SendMessageW(m_hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int ImageCombo::Selected() const
{
    return static_cast<int>(SendMessageW(m_hwnd, CB_GETCURSEL, 0, 0));
}

std::string ImageCombo::Text() const
{
    HWND edit = Edit();
    return WindowText(edit ? edit : m_hwnd);
}

void ImageCombo::SetText(const std::string& text)
{
    HWND edit = Edit();
    SetWindowTextUtf8(edit ? edit : m_hwnd, text);
}

void ImageCombo::SetDroppedWidth(int width)
{
    HWND combo = reinterpret_cast<HWND>(SendMessageW(m_hwnd, CBEM_GETCOMBOCONTROL, 0, 0));
    SendMessageW(combo ? combo : m_hwnd, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
}

} // namespace controls
