#include "engine/SearchThread.h"

#include "engine/FindFileImpl.h"
#include "engine/SearchRun.h"

namespace engine
{

class TSearchThread::Events : public RunEvents
{
public:
    explicit Events(TSearchThread& thread) : m_thread(thread) {}

    // The folder is opened (or taken from the helper that opened it ahead) while the finder's
    // thread answers: the answer's hand-over, waking a thread that slept while the last folder
    // closed, then costs the walk little.
    // Its entries are read only after the answer, so the walk sees what the handler changed.
    bool EnterFolder(const std::string& folder, const std::function<void()>& open) override
    {
        TSearchThread& t = m_thread;
        // The folder's answer decides what is listed next: no item may still be on its way.
        t.FinishSynchronized();
        t.m_currentFolder = folder;
        t.SynchronizeLater([&t] { t.m_skipFolder = !t.m_finder.NotifyNewFolder(t.m_currentFolder); });
        open();
        t.FinishSynchronized();
        return !t.m_skipFolder;
    }

    // The item goes to the finder's thread while the walk looks for the next one; the worker waits
    // for it before it reports another, so the handlers still see one item at a time, in order, and
    // a handler's stop or exception ends the run before anything further is reported.
    void Found(const std::string& folder, const TSearchRec& record) override
    {
        TSearchThread& t = m_thread;
        t.FinishSynchronized();
        if (t.Terminated())
            return;
        t.m_foundFolder = folder;
        t.m_foundInfo = record;
        t.SynchronizeLater([&t] { t.m_finder.NotifyFound(t.m_foundFolder, t.m_foundInfo); });
    }

    bool StopRequested() override { return m_thread.Terminated(); }

private:
    TSearchThread& m_thread;
};

TSearchThread::TSearchThread(TFindFile& finder)
    : TThread(finder.m->services.syncCall, false), m_finder(finder)
{
    OnTerminate = [&finder](platform::TThread&) { finder.WorkerTerminated(); };
}

TSearchThread::~TSearchThread()
{
    Join();
}

void TSearchThread::Execute()
{
    TFindFile::Impl& f = *m_finder.m;
    try
    {
        Events events(*this);
        SearchRun run(*f.snapshot, f.services.fileSystem, f.services.localTime, events, m_skipped);
        for (const std::string& target : f.snapshot->targets)
        {
            if (f.aborted || Terminated())
                break;
            run.SearchTarget(target);
        }
        FinishSynchronized(); // the last item's handler may still end the run with an exception
    }
    catch (...)
    {
        f.aborted = true;
    }
}

} // namespace engine
