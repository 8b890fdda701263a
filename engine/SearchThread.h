#pragma once
// TSearchThread: the worker of a threaded run. It walks every target with the finder's snapshot
// and hands each event to the finder's thread through the synchronized call, waiting for it (an
// item's call while the walk goes on to the next item). The finder owns it and joins it; its end
// handler is the finder's WorkerTerminated.
#include "engine/FindFileTypes.h"
#include "engine/SkipCounts.h"
#include "platform/Thread.h"

#include <string>

namespace engine
{

class TFindFile;

class TSearchThread final : public platform::TThread
{
public:
    // The finder must have taken its snapshot; Start() sets the thread going.
    explicit TSearchThread(TFindFile& finder);
    ~TSearchThread() override; // joins the thread

    // What the walk skipped; read on the finder's thread once Execute has returned.
    const SkipReport& Skipped() const { return m_skipped; }

private:
    class Events;
    void Execute() override;

    TFindFile& m_finder;
    SkipReport m_skipped; // the worker's own, so the finder's thread never reads it mid-walk
    // Handed to the finder's thread with each synchronized call; valid while the worker waits.
    bool m_skipFolder = false;
    std::string m_currentFolder; // a copy: the walk goes on while its call is on the way
    // The item on its way: copies, since the walk's own record changes with the next entry.
    std::string m_foundFolder;
    TSearchRec m_foundInfo;
};

} // namespace engine
