#pragma once
// An outlook-style side bar: header strips stacked top and bottom, the active header's page filling
// the space between. Clicking a strip makes its page the active one and reports the click.
#include "controls/Panel.h"

#include <functional>
#include <memory>
#include <vector>

namespace controls
{

class SideBar : public Window
{
public:
    static constexpr int kHeaderHeight = 18;

    SideBar();
    ~SideBar() override;
    // sink receives the commands and colour requests of every page's children.
    HWND Create(HWND parent, int id, const RECT& bounds, HWND sink);
    // Adds a header with its strip (window id stripId) and an empty page (pageId); returns its index.
    int AddHeader(int stripId, int pageId);

    HWND Strip(int index) const;
    Panel& Page(int index);
    int Active() const { return m_active; }
    void Activate(int index);

    // A left click on a header strip (after it became the active one).
    std::function<void(int index)> OnHeaderClick;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    class HeaderStrip;
    struct Header;
    void Layout();

    HWND m_sink = nullptr;
    std::vector<std::unique_ptr<Header>> m_headers;
    int m_active = 0;
};

} // namespace controls
