#pragma once
// An editable drop-down list with an image beside each entry (the common controls' ComboBoxEx).
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include <string>

namespace controls
{

class ImageCombo
{
public:
    HWND Create(HWND parent, int id, int x, int y, int width, int dropHeight);
    HWND Handle() const { return m_hwnd; }
    // The edit field inside (null for a list without one).
    HWND Edit() const;

    void SetImages(HIMAGELIST images);
    void Add(const std::string& text, int image);
    // Removes the entries from index on; the field's text stays.
    void RemoveFrom(int index);
    int Count() const;
    std::string ItemText(int index) const;
    void Select(int index);
    int Selected() const;
    // What the field shows (typed or picked), and setting it.
    std::string Text() const;
    void SetText(const std::string& text);
    void SetDroppedWidth(int width);

private:
    HWND m_hwnd = nullptr;
};

} // namespace controls
