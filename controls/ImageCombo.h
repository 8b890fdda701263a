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

// A whole number field with up and down arrows, clamped to [min, max].
class SpinEdit
{
public:
    HWND Create(HWND parent, int id, int x, int y, int width, int height, int min, int max);
    HWND Edit() const { return m_edit; }
    HWND Arrows() const { return m_arrows; }
    // The typed value clamped to the range; the range's minimum for a field without digits.
    int Value() const;
    void SetValue(int value);
    void Enable(bool enable);

private:
    HWND m_edit = nullptr;
    HWND m_arrows = nullptr;
    int m_min = 0;
    int m_max = 0;
};

} // namespace controls
