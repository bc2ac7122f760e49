#pragma once

// Fixed-width fields through a stream, little-endian, one field per call. A
// short transfer returns 1. Addresses are pointer-sized (8 bytes on LP64):
// such streams live only within one process.

#include "Core/Base/BWResult.h"

#include <cstdint>

namespace base
{

class Stream;

BWResultEnum WriteUInt8(Stream* stream, uint8_t value);
BWResultEnum WriteUInt32(Stream* stream, uint32_t value);
BWResultEnum WriteInt32(Stream* stream, int32_t value);
BWResultEnum WriteFloat(Stream* stream, float value);
BWResultEnum WritePointer(Stream* stream, const void* value);

BWResultEnum ReadUInt8(Stream* stream, uint8_t* value);
BWResultEnum ReadUInt32(Stream* stream, uint32_t* value);
BWResultEnum ReadInt32(Stream* stream, int32_t* value);
BWResultEnum ReadFloat(Stream* stream, float* value);
BWResultEnum ReadPointer(Stream* stream, void** value);

constexpr uint32_t kPointerBytes = sizeof(void*);

} // namespace base
