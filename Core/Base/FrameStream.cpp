#include "Core/Base/FrameStream.h"

#include <algorithm>
#include <limits>

namespace base
{

FrameStream::FrameStream() : mSource(nullptr), mOwnsSource(false), mOffset(0), mPosition(0), mSize(0)
{
}

FrameStream::FrameStream(Stream* source, bool ownsSource, uint32_t offset, uint32_t size)
    : mSource(source), mOwnsSource(ownsSource), mOffset(offset), mPosition(0), mSize(size)
{
}

FrameStream::~FrameStream()
{
    if (mOwnsSource)
        delete mSource;
}

bool FrameStream::IsEof()
{
    return static_cast<uint32_t>(mPosition) == mSize;
}

uint32_t FrameStream::GetSize()
{
    return mSize;
}

uint32_t FrameStream::Read(void* buffer, uint32_t count)
{
    uint32_t n = std::min(count, mSize - static_cast<uint32_t>(mPosition));
    if (n == 0 || !mSource)
        return 0;
    uint64_t target = static_cast<uint64_t>(mOffset) + static_cast<uint32_t>(mPosition);
    if (target > std::numeric_limits<uint32_t>::max() || !mSource->SeekTo(static_cast<uint32_t>(target)))
        return 0;
    uint32_t got = std::min(mSource->Read(buffer, n), n);
    mPosition += static_cast<int32_t>(got);
    return got;
}

uint32_t FrameStream::Write(const void* /*buffer*/, uint32_t /*count*/)
{
    return 0;
}

uint32_t FrameStream::Seek(int32_t offset, uint32_t origin)
{
    mPosition = ClampSeek(mPosition, mSize, offset, origin);
    return static_cast<uint32_t>(mPosition);
}

} // namespace base
