#pragma once

#include "Core/Base/Stream.h"

namespace base
{

// A read-only window (offset, size) onto another stream. The source is sought
// before every read, so several windows may share one source.
class FrameStream : public Stream
{
public:
    FrameStream();
    FrameStream(Stream* source, bool ownsSource, uint32_t offset, uint32_t size);
    ~FrameStream() override;

    bool IsEof() override;
    uint32_t GetSize() override;
    uint32_t Read(void* buffer, uint32_t count) override;
    uint32_t Write(const void* buffer, uint32_t count) override;
    uint32_t Seek(int32_t offset, uint32_t origin) override;

private:
    FrameStream(const FrameStream&) = delete;
    FrameStream& operator=(const FrameStream&) = delete;

    Stream* mSource;
    bool mOwnsSource;
    uint32_t mOffset;
    int32_t mPosition;
    uint32_t mSize;
};

} // namespace base
