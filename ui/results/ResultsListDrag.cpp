// Dragging rows out of LV1 drags the files themselves, through the shell's data object, so any
// drop target (Explorer, the desktop, a mail) may copy, move or link them.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
// clang-format on
#include "platform/UniqueHandle.h"
#include "ui/results/ResultsList.h"
#include "ui/shell/ItemProp.h"

namespace ui
{

namespace
{

// Lives on the stack for the one synchronous DoDragDrop call, so its count only has to answer.
class DropSource : public IDropSource
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IDropSource)
        {
            *object = static_cast<IDropSource*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_references; }

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keys) override
    {
        if (escapePressed)
            return DRAGDROP_S_CANCEL;
        if (!(keys & (MK_LBUTTON | MK_RBUTTON)))
            return DRAGDROP_S_DROP;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    ULONG m_references = 1;
};

} // namespace

void ResultsList::DragSelected()
{
    const std::vector<size_t> rows = SelectedRows();
    if (rows.empty() || !FileRowsShown())
        return;
    platform::ComPtr<IDataObject> data =
        itemprop::DataObjectOf(SelectedPaths(), ::GetAncestor(m_list, GA_ROOT));
    if (!data)
        return;
    DropSource source;
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result =
        ::DoDragDrop(data.Get(), &source, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
    // A move may be reported as a move, or (an optimised move) as nothing at all: the rows whose
    // files left their place go either way.
    if (result == DRAGDROP_S_DROP)
        RemoveVanishedRows(rows);
}

} // namespace ui
