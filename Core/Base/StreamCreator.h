#pragma once

#include "Core/Base/BWResult.h"

#include <cstdint>
#include <string>

namespace base
{

class Stream;

// Opens a fresh, independent stream on the same file or window each time.
class StreamCreator
{
public:
    virtual ~StreamCreator();
    virtual BWResultEnum Create(Stream** out) = 0;
};

class FileStreamCreator : public StreamCreator
{
public:
    FileStreamCreator(const std::wstring& path, uint32_t access, uint32_t creation);

    BWResultEnum Create(Stream** out) override;

private:
    std::wstring mPath;
    uint32_t mAccess;
    uint32_t mCreation;
};

class FrameStreamCreator : public StreamCreator
{
public:
    FrameStreamCreator(StreamCreator* source, bool ownsSource, uint32_t offset, uint32_t size);
    ~FrameStreamCreator() override;

    BWResultEnum Create(Stream** out) override;

private:
    FrameStreamCreator(const FrameStreamCreator&) = delete;
    FrameStreamCreator& operator=(const FrameStreamCreator&) = delete;

    StreamCreator* mSource;
    bool mOwnsSource;
    uint32_t mOffset;
    uint32_t mSize;
};

} // namespace base
