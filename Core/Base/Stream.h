#pragma once

#include <cstdint>

namespace base
{

// A byte stream with a position. Failure shows only as a short count: callers
// compare the count they get with the count they asked for.
class Stream
{
public:
    virtual bool IsEof();
    virtual uint32_t GetSize() = 0;
    virtual ~Stream();
    virtual uint32_t Read(void* buffer, uint32_t count) = 0;
    virtual uint32_t Write(const void* buffer, uint32_t count) = 0;
    // Origin 0 from the start, 1 from the current position, 2 from the end.
    virtual uint32_t Seek(int32_t offset, uint32_t origin) = 0;

    // Copies count bytes from the source's current position (0xFFFFFFFF: the
    // whole source from its start). Stops early when the source runs dry or a
    // write falls short; returns the bytes written.
    uint32_t CopyFrom(Stream* source, uint32_t count);

    // Seeks to a position from the start; Seek takes a signed offset, so
    // positions past 2 GiB are reached in two steps. False when the stream
    // did not land there.
    bool SeekTo(uint32_t target);

    static const uint32_t kWholeStream = 0xFFFFFFFFu;

protected:
    // The seek of bounded streams: the target is clamped into [0, size].
    static int32_t ClampSeek(int32_t position, uint32_t size, int32_t offset, uint32_t origin);
};

} // namespace base
