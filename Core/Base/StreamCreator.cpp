#include "Core/Base/StreamCreator.h"

#include "Core/Base/FileStream.h"
#include "Core/Base/FrameStream.h"

namespace base
{

StreamCreator::~StreamCreator() = default;

FileStreamCreator::FileStreamCreator(const std::wstring& path, uint32_t access, uint32_t creation)
    : mPath(path), mAccess(access), mCreation(creation)
{
}

BWResultEnum FileStreamCreator::Create(Stream** out)
{
    FileStream* stream = new FileStream;
    BWResultEnum result = stream->Open(mPath, mAccess, mCreation);
    if (result != BW_OK)
    {
        delete stream;
        return result;
    }
    *out = stream;
    return BW_OK;
}

FrameStreamCreator::FrameStreamCreator(StreamCreator* source, bool ownsSource, uint32_t offset, uint32_t size)
    : mSource(source), mOwnsSource(ownsSource), mOffset(offset), mSize(size)
{
}

FrameStreamCreator::~FrameStreamCreator()
{
    if (mOwnsSource)
        delete mSource;
}

BWResultEnum FrameStreamCreator::Create(Stream** out)
{
    if (!mSource)
        return BW_FAIL;
    Stream* source = nullptr;
    BWResultEnum result = mSource->Create(&source);
    if (result != BW_OK)
        return result;
    *out = new FrameStream(source, true, mOffset, mSize);
    return BW_OK;
}

} // namespace base
