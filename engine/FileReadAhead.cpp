#include "engine/FileReadAhead.h"

#include "platform/WaitPolicy.h"

#include <algorithm>
#include <chrono>

namespace engine
{

namespace
{

// About the time one block takes to read under Wine: longer, and the scan sleeps instead.
constexpr std::chrono::microseconds kScanSpin{200};

} // namespace

FileReadAhead::FileReadAhead(size_t room, size_t blockSize, size_t blocks)
    : m_room(room), m_blockSize(blockSize), m_slots(std::max<size_t>(blocks, 2)),
      m_helper([this] { HelperLoop(); })
{
}

FileReadAhead::~FileReadAhead()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closing = true;
    }
    m_work.notify_all();
    m_helper.join();
}

void FileReadAhead::Start(std::unique_ptr<platform::FileReader> reader)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_reader = std::move(reader);
    const bool sleeping = m_helperWaiting;
    lock.unlock();
    if (sleeping)
        m_work.notify_one();
}

FileBlock FileReadAhead::Next()
{
    platform::SpinUntil([this] { return m_filled.load(std::memory_order_acquire) > 0; }, kScanSpin);
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_filled == 0)
    {
        m_scanWaiting = true;
        m_ready.wait(lock, [this] { return m_filled > 0; });
        m_scanWaiting = false;
    }
    Slot& slot = m_slots[m_front];
    if (m_error && slot.filled.last)
        std::rethrow_exception(m_error); // Finish clears it
    return {slot.buffer.data() + m_room, slot.filled};
}

void FileReadAhead::Release()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_front = (m_front + 1) % m_slots.size();
    --m_filled;
    const bool wake = m_helperWaiting && HelperHasWork() && m_filled <= m_slots.size() / 2;
    lock.unlock();
    if (wake)
        m_work.notify_one();
}

void FileReadAhead::Finish()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_reader)
        return;
    m_finishing = true;
    if (m_reading)
    {
        m_scanWaiting = true;
        m_ready.wait(lock, [this] { return !m_reading; });
        m_scanWaiting = false;
    }
    std::unique_ptr<platform::FileReader> reader = std::move(m_reader);
    m_front = 0;
    m_filled = 0;
    m_ended = false;
    m_finishing = false;
    m_error = nullptr;
    lock.unlock();
    reader.reset(); // closed on the scan's thread, before the scan goes on
}

bool FileReadAhead::HelperHasWork() const
{
    return m_reader && !m_ended && !m_finishing && m_filled < m_slots.size();
}

bool FileReadAhead::WorthWakingScan() const
{
    return m_scanWaiting && (m_finishing || m_ended || m_filled > m_slots.size() / 2);
}

void FileReadAhead::HelperLoop()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;)
    {
        m_helperWaiting = true;
        m_work.wait(lock, [this] { return m_closing || HelperHasWork(); });
        m_helperWaiting = false;
        if (m_closing)
            return;
        Slot& slot = m_slots[(m_front + m_filled) % m_slots.size()];
        m_reading = true;
        lock.unlock();
        ReadInto(slot);
        lock.lock();
        m_reading = false;
        m_ended = slot.filled.last;
        ++m_filled;
        if (WorthWakingScan())
            m_ready.notify_one();
    }
}

void FileReadAhead::ReadInto(Slot& slot)
{
    try
    {
        if (slot.buffer.empty())
            slot.buffer.resize(m_room + m_blockSize); // at the first file long enough to need it
        slot.filled = FillBlock(*m_reader, slot.buffer.data() + m_room, m_blockSize);
    }
    catch (...)
    {
        // The scan meets it where it would have read.
        slot.filled = FilledBlock{0, true, true};
        std::lock_guard<std::mutex> lock(m_mutex);
        m_error = std::current_exception();
    }
}

} // namespace engine
