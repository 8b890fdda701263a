#pragma once
// TSearchThread: the worker of a threaded run. It walks every target with the finder's snapshot
// and hands each event to the finder's thread through the synchronized call, waiting for it. The
// finder owns it and joins it; its end handler is the finder's WorkerTerminated.
#include "engine/FindFileTypes.h"
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

private:
    class Events;
    void Execute() override;

    TFindFile& m_finder;
    // Handed to the finder's thread with each synchronized call; valid while the worker waits.
    bool m_skipFolder = false;
    const std::string* m_currentFolder = nullptr;
    const TSearchRec* m_foundInfo = nullptr;
};

} // namespace engine
