#pragma once
// Reads the file the content scan is in on a helper thread, a few blocks ahead of the scan, so
// that on two processors reading one block and comparing the one before happen at the same time.
// The scan still opens every file itself (so why an open failed is counted as before), hands it
// over, takes its blocks in order and ends it; the file is closed before Finish returns, so no
// handle outlives the scan of its file. The blocks are a ring made once, so memory stays bounded
// whatever the file sizes.
//
// Each side wakes the other only when half the ring is free or filled (or the file ended): a
// wake-up costs a system call under Wine, about what reading a block does. The scan watches
// briefly for its next block before it sleeps, since in a file read as fast as it is compared the
// block comes within microseconds.
#include "engine/FileBlocks.h"
#include "platform/FileSystem.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace engine
{

class FileReadAhead : public BlockSource
{
public:
    // blocks buffers of room + blockSize bytes (blocks at least 2).
    FileReadAhead(size_t room, size_t blockSize, size_t blocks);
    ~FileReadAhead() override; // stops the helper; a file still held closes with it
    FileReadAhead(const FileReadAhead&) = delete;
    FileReadAhead& operator=(const FileReadAhead&) = delete;

    // The file to read next; the one before must have been finished.
    void Start(std::unique_ptr<platform::FileReader> reader);
    // Waits for the next block; a read that threw on the helper throws here.
    FileBlock Next() override;
    void Release() override;
    // Ends the file, read to its end or not (found early, stopped): the helper leaves it, and it is
    // closed here.
    void Finish();

private:
    struct Slot
    {
        std::vector<char> buffer; // room, then the block
        FilledBlock filled;
    };

    void HelperLoop();
    bool HelperHasWork() const;   // with m_mutex held
    bool WorthWakingScan() const; // with m_mutex held
    void ReadInto(Slot& slot);    // on the helper, without m_mutex

    const size_t m_room;
    const size_t m_blockSize;
    std::vector<Slot> m_slots;
    std::mutex m_mutex;
    std::condition_variable m_work;  // the helper waits here for a file or a free slot
    std::condition_variable m_ready; // the scan waits here for a block, or for the helper to leave a file
    std::unique_ptr<platform::FileReader> m_reader; // read by the helper outside m_mutex while m_reading
    size_t m_front = 0;                             // the slot of the scan's next (or held) block
    std::atomic<size_t> m_filled{0}; // slots filled from m_front on, the one the scan holds included
    bool m_reading = false;          // the helper fills the slot after them
    bool m_ended = false;            // the file's last block is in the ring
    bool m_finishing = false;        // the scan ends the file: no further read
    std::exception_ptr m_error;      // thrown by the helper's read, for the scan
    bool m_helperWaiting = false;
    bool m_scanWaiting = false;
    bool m_closing = false;
    std::thread m_helper; // last: it starts once everything above is set
};

// Ends the file of a read-ahead however the scan of it ends.
class FinishedFile
{
public:
    explicit FinishedFile(FileReadAhead& readAhead) : m_readAhead(readAhead) {}
    ~FinishedFile() { m_readAhead.Finish(); }
    FinishedFile(const FinishedFile&) = delete;
    FinishedFile& operator=(const FinishedFile&) = delete;

private:
    FileReadAhead& m_readAhead;
};

} // namespace engine
