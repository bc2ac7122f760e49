#pragma once

#include "Core/App/CriticalSection.h"
#include "Core/Base/FileStream.h"
#include "Core/Base/Stream.h"

#include <memory>
#include <string>

namespace file
{

// A pack file held open once for every entry read from it. Reads are a seek
// and a read under one lock, so entries may be read from any thread.
class PackSource
{
public:
    // Takes over an open stream on the pack.
    explicit PackSource(std::unique_ptr<base::FileStream> file) : mFile(std::move(file)) {}
    PackSource(const PackSource&) = delete;
    PackSource& operator=(const PackSource&) = delete;

    // The bytes at offset; fewer when the file ends or fails.
    uint32_t ReadAt(uint32_t offset, void* buffer, uint32_t count);

private:
    std::unique_ptr<base::FileStream> mFile;
    app::CriticalSection mLock;
};

// A read-only entry of a pack: the window (offset, size) of its shared source.
// The source lives as long as any entry stream on it, so streams outlive the
// archive that opened them.
class PackEntryStream : public base::Stream
{
public:
    PackEntryStream(std::shared_ptr<PackSource> source, uint32_t offset, uint32_t size)
        : mSource(std::move(source)), mOffset(offset), mSize(size)
    {
    }
    PackEntryStream(const PackEntryStream&) = delete;
    PackEntryStream& operator=(const PackEntryStream&) = delete;

    bool IsEof() override;
    uint32_t GetSize() override;
    uint32_t Read(void* buffer, uint32_t count) override;
    uint32_t Write(const void* buffer, uint32_t count) override;
    uint32_t Seek(int32_t offset, uint32_t origin) override;

private:
    std::shared_ptr<PackSource> mSource;
    uint32_t mOffset;
    uint32_t mSize;
    int32_t mPosition = 0;
};

} // namespace file
