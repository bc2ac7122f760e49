#include "Core/Render/CommandBuffer.h"

namespace render
{

void CommandBuffer::Reserve(uint32_t capacity, bool keep)
{
    uint32_t size = GetSize();
    if (capacity <= size)
        return; // never shrinks
    uint32_t grown = static_cast<uint32_t>(static_cast<double>(size) * 1.5);
    uint64_t wanted = capacity >= grown ? static_cast<uint64_t>(capacity) + 1024u : grown;
    if (wanted > 0xFFFFFFFFu)
        wanted = capacity;
    base::MemoryStream::Reserve(static_cast<uint32_t>(wanted), keep);
}

} // namespace render
