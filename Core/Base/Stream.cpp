#include "Core/Base/Stream.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace base
{

bool Stream::IsEof()
{
    return false;
}

Stream::~Stream() = default;

int32_t Stream::ClampSeek(int32_t position, uint32_t size, int32_t offset, uint32_t origin)
{
    int64_t target = position;
    if (origin == 0)
        target = offset;
    else if (origin == 1)
        target = static_cast<int64_t>(position) + offset;
    else if (origin == 2)
        target = static_cast<int64_t>(size) + offset;
    int64_t limit = std::min<int64_t>(size, std::numeric_limits<int32_t>::max());
    return static_cast<int32_t>(std::clamp<int64_t>(target, 0, limit));
}

bool Stream::SeekTo(uint32_t target)
{
    const uint32_t kMaxStep = static_cast<uint32_t>(std::numeric_limits<int32_t>::max());
    const uint32_t first = std::min(target, kMaxStep);
    if (Seek(static_cast<int32_t>(first), 0) != first)
        return false;
    return target == first || Seek(static_cast<int32_t>(target - first), 1) == target;
}

uint32_t Stream::CopyFrom(Stream* source, uint32_t count)
{
    if (!source || count == 0)
        return 0;
    if (count == kWholeStream)
    {
        count = source->GetSize();
        source->Seek(0, 0);
    }
    else
    {
        uint32_t position = source->Seek(0, 1);
        uint32_t size = source->GetSize();
        uint32_t left = size > position ? size - position : 0;
        count = std::min(count, left);
    }
    const uint32_t kChunk = 0x100000;
    std::vector<uint8_t> buffer(std::min(count, kChunk));
    uint32_t copied = 0;
    while (count != 0)
    {
        uint32_t chunk = std::min(count, kChunk);
        uint32_t got = std::min(source->Read(buffer.data(), chunk), chunk);
        if (got == 0)
            break; // the source promised more than it holds
        uint32_t put = Write(buffer.data(), got);
        copied += put;
        if (put != got)
            break;
        count -= got;
    }
    return copied;
}

} // namespace base
