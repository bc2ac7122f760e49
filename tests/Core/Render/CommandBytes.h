#pragma once

// Builds the bytes a command stream should hold, field by field, and reads
// the recorded stream of a renderer.

#include "Core/Render/Render.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace bwtest
{

class CommandBytes
{
public:
    CommandBytes& U8(uint8_t v) { return Put(v); }
    CommandBytes& U32(uint32_t v) { return Put(v); }
    CommandBytes& I32(int32_t v) { return Put(v); }
    CommandBytes& F32(float v) { return Put(v); }
    CommandBytes& Ptr(const void* v) { return Put(v); }

    const std::vector<uint8_t>& Bytes() const { return mBytes; }
    size_t Size() const { return mBytes.size(); }

private:
    template <class T>
    CommandBytes& Put(const T& v)
    {
        uint8_t raw[sizeof(T)];
        std::memcpy(raw, &v, sizeof(T));
        mBytes.insert(mBytes.end(), raw, raw + sizeof(T));
        return *this;
    }

    std::vector<uint8_t> mBytes;
};

// What the renderer has recorded so far in this frame.
inline std::vector<uint8_t> RecordedBytes(render::Render& r)
{
    render::CommandBuffer& commands = r.GetCommands();
    uint32_t size = commands.Tell();
    const uint8_t* data = commands.GetData();
    return std::vector<uint8_t>(data, data + size);
}

} // namespace bwtest
