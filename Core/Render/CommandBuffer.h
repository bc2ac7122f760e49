#pragma once

// The frame's recorded device operations: a memory stream that grows by half
// its size (or to what a write needs plus 1024 bytes) and never shrinks.
// Commands are a u32 code followed by their payload, little-endian, packed;
// object references are raw addresses, pointer-sized, valid only within this
// process and this frame.

#include "Core/Base/BWResult.h"
#include "Core/Base/MemoryStream.h"

#include <cstdint>
#include <cstring>

namespace render
{

enum CommandId : uint32_t
{
    CmdClear = 0,              // u32 flags, 4 floats colour, float z, u32 stencil
    CmdBeginScene = 1,
    CmdEndScene = 2,
    CmdPresent = 3,
    CmdSetRenderTarget = 4,    // Texture*
    CmdResetRenderTarget = 5,
    CmdSetShader = 6,          // ShaderImpl*
    CmdSetShaderVariables = 7, // ShaderImpl*, u8 count, count x (u8 index, value)
    CmdSetVertexFormat = 8,    // u32 format id
    CmdSetVertexBuffer = 9,    // VertexBufferImpl*
    CmdSetIndexBuffer = 10,    // IndexBufferImpl*
    CmdSetBlendMode = 11,      // u32 mode
    CmdEnableScissor = 12,     // u8 enable
    CmdSetScissorRect = 13,    // 4 x i32: x, y, width, height in target pixels
    CmdSetDepthTest = 14,      // u8 enable; when enabled, u8 write
    CmdNone = 15,
    CmdDrawPrimitive = 16,     // u32 type, start vertex, primitive count
    CmdDrawIndexedPrimitive = 17, // u32 type, bytes per index, start, count, min vertex, vertex count
    CmdEnd = 18,
};

class CommandBuffer : public base::MemoryStream
{
public:
    void Reserve(uint32_t capacity, bool keep) override;

    uint32_t Tell() { return Seek(0, 1); }
    // Back to offset 0; what was recorded is overwritten by the next frame.
    BWResultEnum Rewind() { return Seek(0, 0) == 0 ? BW_OK : BW_FAIL; }
};

// One command assembled on the stack and written with a single Write.
class CommandRecord
{
public:
    explicit CommandRecord(uint32_t code) { U32(code); }

    CommandRecord& U8(uint8_t value) { return Put(value); }
    CommandRecord& U32(uint32_t value) { return Put(value); }
    CommandRecord& I32(int32_t value) { return Put(value); }
    CommandRecord& F32(float value) { return Put(value); }
    CommandRecord& Ptr(const void* value) { return Put(value); }

    // 1 when the stream takes fewer bytes than given.
    BWResultEnum WriteTo(base::Stream* stream) const
    {
        return stream->Write(mBytes, mSize) == mSize ? BW_OK : BW_FAIL;
    }

private:
    template <class T>
    CommandRecord& Put(const T& value)
    {
        static_assert(sizeof(T) <= sizeof(mBytes), "field too wide");
        if (mSize + sizeof(T) <= sizeof(mBytes))
        {
            std::memcpy(mBytes + mSize, &value, sizeof(T));
            mSize += sizeof(T);
        }
        return *this;
    }

    uint8_t mBytes[64];
    uint32_t mSize = 0;
};

} // namespace render
