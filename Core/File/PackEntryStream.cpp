#include "Core/File/PackEntryStream.h"

#include <algorithm>
#include <limits>

namespace file
{

uint32_t PackSource::ReadAt(uint32_t offset, void* buffer, uint32_t count)
{
    app::CriticalSectionGuard guard(&mLock);
    if (!mFile->SeekTo(offset))
        return 0;
    return std::min(mFile->Read(buffer, count), count);
}

bool PackEntryStream::IsEof()
{
    return static_cast<uint32_t>(mPosition) == mSize;
}

uint32_t PackEntryStream::GetSize()
{
    return mSize;
}

uint32_t PackEntryStream::Read(void* buffer, uint32_t count)
{
    const uint32_t n = std::min(count, mSize - static_cast<uint32_t>(mPosition));
    if (n == 0)
        return 0;
    const uint64_t target = static_cast<uint64_t>(mOffset) + static_cast<uint32_t>(mPosition);
    if (target > std::numeric_limits<uint32_t>::max())
        return 0;
    const uint32_t got = mSource->ReadAt(static_cast<uint32_t>(target), buffer, n);
    mPosition += static_cast<int32_t>(got);
    return got;
}

uint32_t PackEntryStream::Write(const void* /*buffer*/, uint32_t /*count*/)
{
    return 0;
}

uint32_t PackEntryStream::Seek(int32_t offset, uint32_t origin)
{
    mPosition = ClampSeek(mPosition, mSize, offset, origin);
    return static_cast<uint32_t>(mPosition);
}

} // namespace file
