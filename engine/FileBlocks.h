#pragma once
// A file read in whole blocks, as the content scan takes it: each block is filled unless the file
// ends or a read fails first, so short reads (the text reader's look at the first bytes, a network
// share's pieces) do not cost a scan each, and every way of reading makes the same read calls.
#include "platform/FileSystem.h"

#include <cstddef>

namespace engine
{

// What filling one block brought.
struct FilledBlock
{
    size_t size = 0;
    bool last = false;   // the file ended, or a read failed
    bool failed = false; // a read failed
};

FilledBlock FillBlock(platform::FileReader& reader, char* into, size_t capacity);

// One block handed to the scan. The bytes before data, as many as the source was made with room
// for, are the scan's to write: it puts the end of the block before there.
struct FileBlock
{
    char* data = nullptr;
    FilledBlock filled;
};

// Where a scan takes the blocks of the file it is in from.
class BlockSource
{
public:
    virtual ~BlockSource() = default;
    // The next block; valid until Release. After a last block there is none.
    virtual FileBlock Next() = 0;
    // The scan is done with the block Next gave.
    virtual void Release() = 0;
};

// Reads each block when the scan asks for it, into one buffer, on the scan's thread.
class InlineBlocks : public BlockSource
{
public:
    // buffer holds room bytes, then the block.
    InlineBlocks(platform::FileReader& reader, char* buffer, size_t room, size_t blockSize)
        : m_reader(reader), m_data(buffer + room), m_blockSize(blockSize)
    {
    }
    FileBlock Next() override { return {m_data, FillBlock(m_reader, m_data, m_blockSize)}; }
    void Release() override {}

private:
    platform::FileReader& m_reader;
    char* m_data;
    size_t m_blockSize;
};

} // namespace engine
