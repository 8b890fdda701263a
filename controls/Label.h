#pragma once
// A painted label: its text in a font and colour, optionally with a shadow, drawn over whatever
// the owner paints behind it (a picture shows through). As a link it is blue, underlined, shows
// the hand pointer and reports a click; a double click counts as one click, not two.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include "controls/FlatControl.h"
#include "platform/UniqueHandle.h"

#include <functional>
#include <optional>
#include <string>

namespace controls
{

class Label : public FlatControl
{
public:
    enum class Align
    {
        Left,
        Right,
    };

    Label();
    HWND Create(HWND parent, int id, int x, int y, int width, int height, const std::string& text);

    // A link takes the font underlined.
    void SetFont(HFONT font);
    void SetColour(COLORREF colour) { m_colour = colour; }
    void SetShadow(COLORREF colour) { m_shadow = colour; }
    void SetAlign(Align align) { m_align = align; }
    void SetWordWrap(bool wrap) { m_wrap = wrap; }
    // Link look and the hand pointer; onClick runs for a click, BM_CLICK or Enter.
    void SetLink(std::function<void()> onClick);
    // Paints the owner's face behind the label; rect is the label's place in the parent's client
    // coordinates, the DC's origin is moved so that the owner draws in its own coordinates.
    std::function<void(HDC dc, const RECT& rect)> paintBackground;

    // The hint shown by tooltip (a tooltip control of the owner) while the pointer rests here.
    void SetHint(HWND tooltip, const std::string& hint);
    const std::wstring& Hint() const { return m_hint; }

    // Sizes the label to its text (plus the shadow), keeping the left edge, or the right edge when
    // it is right-aligned.
    void AutoSize();

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc) override;
    void OnPressClick() override { Click(); }
    bool TakesPress() const override { return m_onClick != nullptr; }
    bool ShowsHover() const override { return false; }
    void Click();
    std::wstring WideText() const;
    // The font the text is drawn in: the link's, the one set, or the GUI's default.
    HFONT TextFont() const;

    HFONT m_font = nullptr;
    COLORREF m_colour = RGB(0, 0, 0);
    std::optional<COLORREF> m_shadow;
    Align m_align = Align::Left;
    bool m_wrap = false;
    std::function<void()> m_onClick;
    platform::UniqueFont m_linkFont; // the font, underlined
    bool m_hasHint = false;
    std::wstring m_hint; // the tooltip keeps a pointer to it
};

} // namespace controls
