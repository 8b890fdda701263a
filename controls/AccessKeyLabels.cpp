#include "controls/AccessKeyLabels.h"

#include "lang/AccessKeys.h"
#include "platform/UniqueHandle.h"

#include <string>

namespace controls
{

namespace
{

std::wstring LabelText(HWND label)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(label)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(label, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace

void AccessKeyLabels::Add(HWND label, std::function<void()> action)
{
    auto entry = std::make_unique<Entry>();
    entry->label = label;
    entry->action = std::move(action);
    entry->position = lang::kNoAccessKey;
    entry->paint = std::make_unique<Subclass>();
    Entry* self = entry.get();
    entry->paint->Install(label, [self](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        const LRESULT result = Subclass::Default(hwnd, msg, wParam, lParam);
        if (msg == WM_PAINT)
            Underline(hwnd, self->position);
        else if (msg == WM_UPDATEUISTATE)
            InvalidateRect(hwnd, nullptr, TRUE);
        return result;
    });
    m_entries.push_back(std::move(entry));
}

void AccessKeyLabels::AddFocus(HWND label, HWND target)
{
    Add(label, [target] { SetFocus(target); });
}

void AccessKeyLabels::Choose()
{
    std::vector<std::wstring> captions;
    for (const auto& entry : m_entries)
        captions.push_back(LabelText(entry->label));
    const std::vector<size_t> keys = lang::ChooseAccessKeys(captions);
    for (size_t i = 0; i < m_entries.size(); ++i)
    {
        m_entries[i]->position = keys[i];
        InvalidateRect(m_entries[i]->label, nullptr, TRUE);
    }
}

wchar_t AccessKeyLabels::KeyOf(HWND label) const
{
    for (const auto& entry : m_entries)
        if (entry->label == label && entry->position != lang::kNoAccessKey)
        {
            const std::wstring text = LabelText(label);
            return entry->position < text.size() ? text[entry->position] : 0;
        }
    return 0;
}

bool AccessKeyLabels::Press(wchar_t character) const
{
    const wchar_t key = lang::FoldAccessKey(character);
    for (const auto& entry : m_entries)
    {
        const wchar_t own = KeyOf(entry->label);
        if (own && lang::FoldAccessKey(own) == key && IsWindowVisible(entry->label))
        {
            entry->action();
            return true;
        }
    }
    return false;
}

// Draws the line under the key's character over what the static control painted, in the text's
// colour, where the system shows keyboard cues.
void AccessKeyLabels::Underline(HWND label, size_t position)
{
    if (position == lang::kNoAccessKey || (SendMessageW(label, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL))
        return;
    const std::wstring text = LabelText(label);
    if (position >= text.size())
        return;
    const platform::WindowDC dc(label);
    const platform::SelectedObject fontIn(dc.Get(),
                                          reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SendMessageW(GetParent(label), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()),
                 reinterpret_cast<LPARAM>(label));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.Get(), &metrics);
    SIZE before{}, key{};
    GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(position), &before);
    GetTextExtentPoint32W(dc.Get(), text.c_str() + position, 1, &key);
    RECT client;
    GetClientRect(label, &client);
    // A static with SS_CENTERIMAGE centres its single line; the others start at the top.
    const bool centred = (GetWindowLongW(label, GWL_STYLE) & SS_CENTERIMAGE) != 0;
    const int top = centred ? (client.bottom - metrics.tmHeight) / 2 : 0;
    const int y = top + metrics.tmAscent + 1;
    const platform::UniquePen pen(CreatePen(PS_SOLID, 1, GetTextColor(dc.Get())));
    const platform::SelectedObject penIn(dc.Get(), pen.Get());
    MoveToEx(dc.Get(), before.cx, y, nullptr);
    LineTo(dc.Get(), before.cx + key.cx, y);
}

} // namespace controls
