#include "Core/Base/MemoryStream.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace base
{

MemoryStream::MemoryStream() : mBuffer(nullptr), mPosition(0), mCapacity(0)
{
}

MemoryStream::MemoryStream(const void* data, uint32_t size) : MemoryStream()
{
    Reserve(size, false);
    if (size)
        std::memcpy(mBuffer, data, size);
}

MemoryStream::~MemoryStream()
{
    delete[] mBuffer;
}

bool MemoryStream::IsEof()
{
    return static_cast<uint32_t>(mPosition) == mCapacity;
}

uint32_t MemoryStream::GetSize()
{
    return mCapacity;
}

uint32_t MemoryStream::Read(void* buffer, uint32_t count)
{
    uint32_t n = std::min(count, mCapacity - static_cast<uint32_t>(mPosition));
    if (n == 0)
        return 0;
    std::memcpy(buffer, mBuffer + mPosition, n);
    mPosition += static_cast<int32_t>(n);
    return n;
}

uint32_t MemoryStream::Write(const void* buffer, uint32_t count)
{
    if (count == 0)
        return 0;
    uint64_t end = static_cast<uint64_t>(mPosition) + count;
    if (end > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()))
        return 0; // the position could not hold the end
    if (count > mCapacity - static_cast<uint32_t>(mPosition))
    {
        Reserve(static_cast<uint32_t>(end), true);
        if (mCapacity < end)
            return 0;
    }
    std::memcpy(mBuffer + mPosition, buffer, count);
    mPosition += static_cast<int32_t>(count);
    return count;
}

uint32_t MemoryStream::Seek(int32_t offset, uint32_t origin)
{
    mPosition = ClampSeek(mPosition, mCapacity, offset, origin);
    return static_cast<uint32_t>(mPosition);
}

void MemoryStream::Reserve(uint32_t capacity, bool keep)
{
    uint8_t* block = capacity ? new uint8_t[capacity] : nullptr;
    if (keep && mBuffer && block)
        std::memcpy(block, mBuffer, std::min(mCapacity, capacity));
    delete[] mBuffer;
    mBuffer = block;
    mCapacity = capacity;
    if (static_cast<uint32_t>(mPosition) > capacity)
        mPosition = static_cast<int32_t>(capacity);
}

} // namespace base
