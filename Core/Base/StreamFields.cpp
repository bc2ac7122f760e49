#include "Core/Base/StreamFields.h"

#include "Core/Base/Stream.h"

#include <cstring>

namespace base
{
namespace
{

static_assert(sizeof(float) == 4, "float is 32-bit");

template <class T>
BWResultEnum WriteField(Stream* stream, const T& value)
{
    // memcpy keeps the machine's byte order, which is little-endian here.
    uint8_t bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    return stream->Write(bytes, sizeof(T)) == sizeof(T) ? BW_OK : BW_FAIL;
}

template <class T>
BWResultEnum ReadField(Stream* stream, T* value)
{
    uint8_t bytes[sizeof(T)];
    if (stream->Read(bytes, sizeof(T)) != sizeof(T))
        return BW_FAIL;
    std::memcpy(value, bytes, sizeof(T));
    return BW_OK;
}

} // namespace

BWResultEnum WriteUInt8(Stream* stream, uint8_t value) { return WriteField(stream, value); }
BWResultEnum WriteUInt32(Stream* stream, uint32_t value) { return WriteField(stream, value); }
BWResultEnum WriteInt32(Stream* stream, int32_t value) { return WriteField(stream, value); }
BWResultEnum WriteFloat(Stream* stream, float value) { return WriteField(stream, value); }
BWResultEnum WritePointer(Stream* stream, const void* value) { return WriteField(stream, value); }

BWResultEnum ReadUInt8(Stream* stream, uint8_t* value) { return ReadField(stream, value); }
BWResultEnum ReadUInt32(Stream* stream, uint32_t* value) { return ReadField(stream, value); }
BWResultEnum ReadInt32(Stream* stream, int32_t* value) { return ReadField(stream, value); }
BWResultEnum ReadFloat(Stream* stream, float* value) { return ReadField(stream, value); }
BWResultEnum ReadPointer(Stream* stream, void** value) { return ReadField(stream, value); }

} // namespace base
