#pragma once

#include "Core/Base/Stream.h"

namespace base
{

// A stream over a heap buffer that grows to exactly the bytes written; its
// capacity is its size. Writers that know the final size call Reserve first.
class MemoryStream : public Stream
{
public:
    MemoryStream();
    MemoryStream(const void* data, uint32_t size);
    ~MemoryStream() override;

    bool IsEof() override;
    uint32_t GetSize() override;
    uint32_t Read(void* buffer, uint32_t count) override;
    uint32_t Write(const void* buffer, uint32_t count) override;
    uint32_t Seek(int32_t offset, uint32_t origin) override;
    virtual void Reserve(uint32_t capacity, bool keep);

    uint8_t* GetData() { return mBuffer; }
    const uint8_t* GetData() const { return mBuffer; }
    int32_t GetPosition() const { return mPosition; }

private:
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;

    uint8_t* mBuffer;
    int32_t mPosition;
    uint32_t mCapacity;
};

} // namespace base
