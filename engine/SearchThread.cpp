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
        t.m_finder.m->services.syncCall.Call(
            [&t] { t.m_skipFolder = !t.m_finder.NotifyNewFolder(*t.m_currentFolder); });
        return !t.m_skipFolder;
    }

    void Found(const std::string& folder, const TSearchRec& record) override
    {
        TSearchThread& t = m_thread;
        t.m_currentFolder = &folder;
        t.m_foundInfo = &record;
        t.m_finder.m->services.syncCall.Call(
            [&t] { t.m_finder.NotifyFound(*t.m_currentFolder, *t.m_foundInfo); });
    }

    bool StopRequested() override { return m_thread.m_terminated; }

private:
    TSearchThread& m_thread;
};

TSearchThread::TSearchThread(TFindFile& finder) : m_finder(finder), m_thread([this] { Execute(); }) {}

TSearchThread::~TSearchThread()
{
    Join();
}

void TSearchThread::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}

void TSearchThread::Execute()
{
    TFindFile::Impl& f = *m_finder.m;
    try
    {
        Events events(*this);
        SearchRun run(*f.snapshot, f.services.fileSystem, f.services.localTime, events);
        for (const std::string& target : f.snapshot->targets)
        {
            if (f.aborted || m_terminated)
                break;
            run.SearchTarget(target);
        }
    }
    catch (...)
    {
        f.aborted = true;
    }
    platform::SyncCall& syncCall = f.services.syncCall;
    TFindFile& finder = m_finder;
    try
    {
        syncCall.Call([&finder] { finder.WorkerTerminated(); });
    }
    catch (...)
    {
        // An OnComplete handler failed; the run is over and there is nobody left to tell.
    }
    // Nothing after this point: the finder may already run its next search or be gone.
}

} // namespace engine
