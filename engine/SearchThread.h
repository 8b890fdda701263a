#pragma once
// TSearchThread: the worker of a threaded run. It walks every target with the finder's snapshot
// and hands each event to the finder's thread through the synchronized call, waiting for it.
#include "engine/FindFileTypes.h"

#include <atomic>
#include <string>
#include <thread>

namespace engine
{

class TFindFile;

class TSearchThread
{
public:
    // Starts the thread at once. The finder must have taken its snapshot.
    explicit TSearchThread(TFindFile& finder);
    ~TSearchThread(); // joins the thread
    TSearchThread(const TSearchThread&) = delete;
    TSearchThread& operator=(const TSearchThread&) = delete;

    // The stop request, polled before each entry, each subfolder and each target.
    void Terminate() { m_terminated = true; }
    bool Terminated() const { return m_terminated; }
    std::thread& Thread() { return m_thread; }
    void Join();

private:
    class Events;
    void Execute();

    TFindFile& m_finder;
    std::atomic<bool> m_terminated{false};
    // Handed to the finder's thread with each synchronized call; valid while the worker waits.
    bool m_skipFolder = false;
    const std::string* m_currentFolder = nullptr;
    const TSearchRec* m_foundInfo = nullptr;
    std::thread m_thread; // last: starts once everything above is set
};

} // namespace engine
