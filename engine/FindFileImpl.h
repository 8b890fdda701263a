#pragma once
// Private state of TFindFile, shared by the finder and its worker (TSearchThread). Not for callers.
#include "engine/EntryFilter.h"
#include "engine/FindCriteria.h"
#include "engine/FindFile.h"
#include "engine/SearchThread.h"
#include "platform/WaitPolicy.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace engine
{

struct TFindFile::Impl
{
    explicit Impl(const FinderServices& s) : services(s) {}

    FinderServices services;

    FindCriteria criteria;
    bool threaded = false;
    bool prefetch = platform::SeveralProcessors();  // likewise for the helper that opens folders ahead
    bool scanAhead = platform::SeveralProcessors(); // on one processor the helper only takes turns
    TThreadPriority threadPriority = TThreadPriority::tpNormal;

    // Busy and Aborted are read by the worker and by callers on other threads.
    std::atomic<bool> busy{false};
    std::atomic<bool> aborted{false};
    bool destroying = false; // owner thread only: no handler is called any more
    uint64_t runId = 0;      // counts StartSearch calls, so AbortSearch waits for its own run only

    std::unique_ptr<SearchSnapshot> snapshot; // for the length of a run
    SkipReport skipped;                       // of the last run; a worker hands over its own at the end
    std::unique_ptr<TSearchThread> worker;    // the running worker, if any
    // Workers that have handed over their end and are left to be joined; the one whose end is
    // being handled right now (its thread still waits in that call) is not joined until later.
    std::vector<std::unique_ptr<TSearchThread>> finished;
    TSearchThread* completing = nullptr;
};

} // namespace engine
