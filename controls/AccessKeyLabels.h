#pragma once
// Access keys on a panel's labels (static controls): each label's key letter is underlined, and
// Alt with that letter runs the label's action (usually: the focus to the field it names). The
// keys are chosen from the texts the labels hold, so they follow a change of language.
#include "controls/Subclass.h"

#include <functional>
#include <memory>
#include <vector>

namespace controls
{

class AccessKeyLabels
{
public:
    // A label and what its key does; labels added first choose their keys first.
    void Add(HWND label, std::function<void()> action);
    // A label whose key puts the focus on target.
    void AddFocus(HWND label, HWND target);
    // Chooses the keys from the labels' texts (after every change of the texts) and repaints.
    void Choose();
    // Alt and a character (WM_SYSCHAR): runs the action of the visible label with that key. False
    // when no visible label has it.
    bool Press(wchar_t character) const;
    // The character of the label's key, or 0.
    wchar_t KeyOf(HWND label) const;

private:
    struct Entry
    {
        HWND label = nullptr;
        std::function<void()> action;
        size_t position;
        std::unique_ptr<Subclass> paint;
    };
    static void Underline(HWND label, size_t position);

    std::vector<std::unique_ptr<Entry>> m_entries;
};

} // namespace controls
