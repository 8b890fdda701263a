#pragma once
// TFindFile: one set of search criteria, a search run over one or more folders, and the events
// that report every matching entry, inline or from a worker thread.
#include "engine/FindCriteria.h"
#include "engine/FindFileTypes.h"
#include "engine/SkipCounts.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/SyncCall.h"
#include "platform/ThreadControl.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace engine
{

class TFindFile;
class TSearchThread;
struct SearchSnapshot;

using TFoundEvent =
    std::function<void(TFindFile& Sender, const std::string& Folder, const TSearchRec& FileInfo)>;
using TNewFolderEvent = std::function<void(TFindFile& Sender, const std::string& Folder, bool& IgnoreFolder)>;
using TNotifyEvent = std::function<void(TFindFile& Sender)>;

// The platform services a finder runs on. The sync call must belong to the thread that owns the
// finder (the caller's thread); all of them must outlive the finder.
struct FinderServices
{
    platform::FileSystem& fileSystem;
    const platform::LocalTimeConverter& localTime;
    platform::SyncCall& syncCall;
    platform::ThreadControl& threads;
    // The ANSI code page, for the text's form in files of that page; none: the UTF-8 form only.
    const platform::CodePage* codePage = nullptr;
};

class TFindFile
{
public:
    explicit TFindFile(const FinderServices& services);
    virtual ~TFindFile();
    TFindFile(const TFindFile&) = delete;
    TFindFile& operator=(const TFindFile&) = delete;

    // Every published criterion at once; SetCriteria checks Filename and Location as their own
    // setters do and changes nothing when one is refused.
    const FindCriteria& Criteria() const;
    void SetCriteria(const FindCriteria& value); // throws EFindFileError

    const std::string& Filename() const;
    void SetFilename(const std::string& value); // throws EFindFileError
    const std::string& Location() const;
    void SetLocation(const std::string& value); // throws EFindFileError
    const std::vector<std::string>& IncludeFiles() const;
    void SetIncludeFiles(const std::vector<std::string>* lines); // null clears
    const std::vector<std::string>& ExcludeFiles() const;
    void SetExcludeFiles(const std::vector<std::string>* lines); // null clears
    bool Subfolders() const;
    void SetSubfolders(bool value);
    TFileAttributes Attributes() const;
    void SetAttributes(TFileAttributes value);
    bool ExactAttribute() const;
    void SetExactAttribute(bool value);
    TDateTime ModifiedBefore() const;
    void SetModifiedBefore(TDateTime value);
    TDateTime ModifiedAfter() const;
    void SetModifiedAfter(TDateTime value);
    TDateTime CreatedBefore() const;
    void SetCreatedBefore(TDateTime value);
    TDateTime CreatedAfter() const;
    void SetCreatedAfter(TDateTime value);
    TDateTime AccessedBefore() const;
    void SetAccessedBefore(TDateTime value);
    TDateTime AccessedAfter() const;
    void SetAccessedAfter(TDateTime value);
    int64_t SizeMin() const;
    void SetSizeMin(int64_t value);
    int64_t SizeMax() const;
    void SetSizeMax(int64_t value);
    const std::string& Containing() const;
    void SetContaining(const std::string& value);
    bool IgnoreCase() const;
    void SetIgnoreCase(bool value);
    bool Threaded() const;
    void SetThreaded(bool value);
    TThreadPriority ThreadPriority() const;
    void SetThreadPriority(TThreadPriority value); // applied to a running worker at once
    // Opens the folders the walk will enter next on a helper thread, which also closes those it has
    // left; the walk still reads each listing itself, after the folder's event. The events and their
    // order are the same either way. On by default with a second processor, inline or threaded: the
    // open and close are the file system's slow part (the Wine server's under Wine).
    bool Prefetch() const;
    void SetPrefetch(bool value);
    // Scans long files for the containing text on a helper thread too, ahead of the walk, so two
    // files are scanned at once. The events, their order and the skip counts are the same either
    // way. On by default with a second processor; on one, every file is scanned by the walk.
    bool ScanAhead() const;
    void SetScanAhead(bool value);

    // Events run on the finder's thread in both modes. Folder is the searched folder without its
    // trailing backslash, except at a drive root ("C:\\"). FileInfo is valid during the call only.
    TFoundEvent OnFound;
    TNewFolderEvent OnNewFolder;
    TNotifyEvent OnComplete; // once per run, finished, stopped or failed; Busy is already clear

    // Takes a snapshot of the properties and runs it: inline, returning after OnComplete (an
    // exception thrown by OnComplete itself reaches the caller), or threaded, returning at once.
    // Ignored while Busy. Failures inside the run end it quietly and set Aborted.
    void StartSearch();
    // Sets Aborted; with a worker, also stops it and serves its calls until the run has ended and
    // OnComplete has run. Never call it from OnFound or OnNewFolder of a threaded run: the worker
    // waits for that handler while this waits for the worker.
    void AbortSearch();
    bool Busy() const;
    bool Aborted() const;
    // What the last run could not look into, and the folders of its targets that were not there.
    // Cleared by StartSearch; complete in OnComplete and after it, not to be read while Busy.
    const SkipReport& Skipped() const;

protected:
    // A subclass that overrides these must stop a threaded run (AbortSearch) in its own
    // destructor: by the time ~TFindFile stops the worker, the subclass part is gone.
    virtual void NotifyFound(const std::string& folder, const TSearchRec& record);
    virtual bool NotifyNewFolder(const std::string& folder);
    virtual void FinishSearch();
    virtual void RunThreaded();
    virtual void RunInline();

private:
    friend class TSearchThread;
    class InlineEvents;
    // The worker's last act, run on this finder's thread: forget the worker, then FinishSearch.
    void WorkerTerminated();
    void JoinFinishedWorkers();

    struct Impl;
    std::unique_ptr<Impl> m;
};

} // namespace engine
