#include "engine/FindFile.h"

#include "engine/FindFileImpl.h"
#include "engine/SearchRun.h"
#include "engine/TargetList.h"
#include "engine/TextEncoding.h"

namespace engine
{

// The inline run's events: straight calls on the finder, stopped by Aborted.
class TFindFile::InlineEvents : public RunEvents
{
public:
    explicit InlineEvents(TFindFile& finder) : m_finder(finder) {}
    bool EnterFolder(const std::string& folder, const std::function<void()>& open) override
    {
        // A handler that stops the run keeps the folder unopened.
        if (!m_finder.NotifyNewFolder(folder) || StopRequested())
            return false;
        open();
        return true;
    }
    void Found(const std::string& folder, const TSearchRec& record) override
    {
        m_finder.NotifyFound(folder, record);
    }
    bool StopRequested() override { return m_finder.m->aborted; }

private:
    TFindFile& m_finder;
};

int PlatformPriority(TThreadPriority priority)
{
    static constexpr int kPriorities[] = {-15, -2, -1, 0, 1, 2, 15};
    const auto index = static_cast<size_t>(priority);
    return index < sizeof(kPriorities) / sizeof(kPriorities[0]) ? kPriorities[index] : 0;
}

TFindFile::TFindFile(const FinderServices& services) : m(std::make_unique<Impl>(services)) {}

TFindFile::~TFindFile()
{
    m->destroying = true;
    if (m->worker)
    {
        m->worker->Terminate();
        m->services.syncCall.ServeUntil([this] { return !m->worker; });
    }
    m->completing = nullptr;
    JoinFinishedWorkers();
}

const std::string& TFindFile::Filename() const
{
    return m->criteria.filename;
}

void TFindFile::SetFilename(const std::string& value)
{
    CheckFilename(value);
    m->criteria.filename = value;
}

const std::string& TFindFile::Location() const
{
    return m->criteria.location;
}

void TFindFile::SetLocation(const std::string& value)
{
    CheckLocation(value);
    m->criteria.location = value;
}

const FindCriteria& TFindFile::Criteria() const
{
    return m->criteria;
}

void TFindFile::SetCriteria(const FindCriteria& value)
{
    CheckFilename(value.filename);
    CheckLocation(value.location);
    m->criteria = value;
}

const std::vector<std::string>& TFindFile::IncludeFiles() const
{
    return m->criteria.includeFiles;
}

void TFindFile::SetIncludeFiles(const std::vector<std::string>* lines)
{
    m->criteria.includeFiles = lines ? *lines : std::vector<std::string>();
}

const std::vector<std::string>& TFindFile::ExcludeFiles() const
{
    return m->criteria.excludeFiles;
}

void TFindFile::SetExcludeFiles(const std::vector<std::string>* lines)
{
    m->criteria.excludeFiles = lines ? *lines : std::vector<std::string>();
}

bool TFindFile::Subfolders() const
{
    return m->criteria.subfolders;
}
void TFindFile::SetSubfolders(bool value)
{
    m->criteria.subfolders = value;
}
TFileAttributes TFindFile::Attributes() const
{
    return m->criteria.attributes;
}
void TFindFile::SetAttributes(TFileAttributes value)
{
    m->criteria.attributes = value;
}
bool TFindFile::ExactAttribute() const
{
    return m->criteria.exactAttribute;
}
void TFindFile::SetExactAttribute(bool value)
{
    m->criteria.exactAttribute = value;
}
TDateTime TFindFile::ModifiedBefore() const
{
    return m->criteria.modifiedBefore;
}
void TFindFile::SetModifiedBefore(TDateTime value)
{
    m->criteria.modifiedBefore = value;
}
TDateTime TFindFile::ModifiedAfter() const
{
    return m->criteria.modifiedAfter;
}
void TFindFile::SetModifiedAfter(TDateTime value)
{
    m->criteria.modifiedAfter = value;
}
TDateTime TFindFile::CreatedBefore() const
{
    return m->criteria.createdBefore;
}
void TFindFile::SetCreatedBefore(TDateTime value)
{
    m->criteria.createdBefore = value;
}
TDateTime TFindFile::CreatedAfter() const
{
    return m->criteria.createdAfter;
}
void TFindFile::SetCreatedAfter(TDateTime value)
{
    m->criteria.createdAfter = value;
}
TDateTime TFindFile::AccessedBefore() const
{
    return m->criteria.accessedBefore;
}
void TFindFile::SetAccessedBefore(TDateTime value)
{
    m->criteria.accessedBefore = value;
}
TDateTime TFindFile::AccessedAfter() const
{
    return m->criteria.accessedAfter;
}
void TFindFile::SetAccessedAfter(TDateTime value)
{
    m->criteria.accessedAfter = value;
}
int64_t TFindFile::SizeMin() const
{
    return m->criteria.sizeMin;
}
void TFindFile::SetSizeMin(int64_t value)
{
    m->criteria.sizeMin = value;
}
int64_t TFindFile::SizeMax() const
{
    return m->criteria.sizeMax;
}
void TFindFile::SetSizeMax(int64_t value)
{
    m->criteria.sizeMax = value;
}
const std::string& TFindFile::Containing() const
{
    return m->criteria.containing;
}
void TFindFile::SetContaining(const std::string& value)
{
    m->criteria.containing = value;
}
bool TFindFile::IgnoreCase() const
{
    return m->criteria.ignoreCase;
}
void TFindFile::SetIgnoreCase(bool value)
{
    m->criteria.ignoreCase = value;
}
bool TFindFile::Threaded() const
{
    return m->threaded;
}
void TFindFile::SetThreaded(bool value)
{
    m->threaded = value;
}
bool TFindFile::Prefetch() const
{
    return m->prefetch;
}
void TFindFile::SetPrefetch(bool value)
{
    m->prefetch = value;
}
bool TFindFile::ScanAhead() const
{
    return m->scanAhead;
}
void TFindFile::SetScanAhead(bool value)
{
    m->scanAhead = value;
}
TThreadPriority TFindFile::ThreadPriority() const
{
    return m->threadPriority;
}

void TFindFile::SetThreadPriority(TThreadPriority value)
{
    m->threadPriority = value;
    if (m->worker)
        m->services.threads.SetPriority(m->worker->Thread(), PlatformPriority(value));
}

bool TFindFile::Busy() const
{
    return m->busy;
}

bool TFindFile::Aborted() const
{
    return m->aborted;
}

const SkipReport& TFindFile::Skipped() const
{
    return m->skipped;
}

void TFindFile::StartSearch()
{
    if (m->busy)
        return;
    JoinFinishedWorkers();
    m->busy = true;
    ++m->runId;
    m->skipped = SkipReport();
    try
    {
        auto snapshot = std::make_unique<SearchSnapshot>();
        static_cast<FindCriteria&>(*snapshot) = m->criteria;
        if (!snapshot->includeFiles.empty())
            snapshot->targets = snapshot->includeFiles;
        else
            BuildTargetList(
                snapshot->targets, snapshot->location, snapshot->filename,
                [this](const std::string& path) { return m->services.fileSystem.AbsolutePath(path); });
        // The text ends at its first zero byte; nothing left means no content test.
        snapshot->content = snapshot->containing.substr(0, snapshot->containing.find('\0'));
        snapshot->hasContent = !snapshot->content.empty();
        snapshot->contentAnsi = AnsiForm(snapshot->content, m->services.codePage);
        snapshot->prefetch = m->prefetch;
        snapshot->scanAhead = m->scanAhead;
        m->snapshot = std::move(snapshot);
    }
    catch (...)
    {
        // A failure while preparing ends the run like any other: quietly, with OnComplete.
        m->aborted = true;
        FinishSearch();
        return;
    }
    m->aborted = false;
    if (m->threaded)
        RunThreaded();
    else
        RunInline();
}

void TFindFile::AbortSearch()
{
    m->aborted = true;
    if (!m->worker)
        return;
    m->worker->Terminate();
    const uint64_t run = m->runId;
    m->services.syncCall.ServeUntil([this, run] { return !m->busy || m->runId != run; });
}

void TFindFile::NotifyFound(const std::string& folder, const TSearchRec& record)
{
    if (OnFound && !m->destroying)
        OnFound(*this, EventFolder(folder), record);
}

bool TFindFile::NotifyNewFolder(const std::string& folder)
{
    bool ignoreFolder = false;
    if (OnNewFolder && !m->destroying)
        OnNewFolder(*this, EventFolder(folder), ignoreFolder);
    return !ignoreFolder;
}

void TFindFile::FinishSearch()
{
    m->snapshot.reset();
    m->busy = false;
    if (OnComplete && !m->destroying)
        OnComplete(*this);
}

void TFindFile::RunInline()
{
    try
    {
        InlineEvents events(*this);
        SearchRun run(*m->snapshot, m->services.fileSystem, m->services.localTime, events, m->skipped);
        for (const std::string& target : m->snapshot->targets)
        {
            run.SearchTarget(target);
            if (m->aborted)
                break;
        }
    }
    catch (...)
    {
        m->aborted = true;
    }
    FinishSearch();
}

void TFindFile::RunThreaded()
{
    auto worker = std::make_unique<TSearchThread>(*this);
    worker->Start();
    m->worker = std::move(worker);
    m->services.threads.SetPriority(m->worker->Thread(), PlatformPriority(m->threadPriority));
}

void TFindFile::WorkerTerminated()
{
    m->skipped = m->worker->Skipped(); // the worker's thread has ended its walk
    m->finished.push_back(std::move(m->worker));
    TSearchThread* const previous = m->completing;
    m->completing = m->finished.back().get();
    struct Restore
    {
        TSearchThread*& slot;
        TSearchThread* value;
        ~Restore() { slot = value; }
    } restore{m->completing, previous};
    FinishSearch();
}

void TFindFile::JoinFinishedWorkers()
{
    for (auto it = m->finished.begin(); it != m->finished.end();)
    {
        if (it->get() == m->completing)
        {
            ++it;
            continue;
        }
        (*it)->Join();
        it = m->finished.erase(it);
    }
}

} // namespace engine
