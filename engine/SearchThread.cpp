#include "engine/SearchThread.h"

#include "engine/FindFileImpl.h"
#include "engine/SearchRun.h"

namespace engine
{

class TSearchThread::Events : public RunEvents
{
public:
    explicit Events(TSearchThread& thread) : m_thread(thread) {}

    bool EnterFolder(const std::string& folder) override
    {
        TSearchThread& t = m_thread;
        t.m_currentFolder = &folder;
        t.Synchronize([&t] { t.m_skipFolder = !t.m_finder.NotifyNewFolder(*t.m_currentFolder); });
        return !t.m_skipFolder;
    }

    void Found(const std::string& folder, const TSearchRec& record) override
    {
        TSearchThread& t = m_thread;
        t.m_currentFolder = &folder;
        t.m_foundInfo = &record;
        t.Synchronize([&t] { t.m_finder.NotifyFound(*t.m_currentFolder, *t.m_foundInfo); });
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
    }
    catch (...)
    {
        f.aborted = true;
    }
}

} // namespace engine
