#include "engine/FileBlocks.h"

namespace engine
{

FilledBlock FillBlock(platform::FileReader& reader, char* into, size_t capacity)
{
    FilledBlock block;
    while (block.size < capacity && !block.last)
    {
        const int64_t read = reader.Read(into + block.size, capacity - block.size);
        if (read > 0)
            block.size += static_cast<size_t>(read);
        block.failed = read < 0;
        block.last = read <= 0 || reader.Position() >= reader.Size();
    }
    return block;
}

} // namespace engine
