#pragma once

// What a frame over the recording renderer leaves behind: the bytes of its
// command stream (and the bytes it should hold, built field by field), the
// vertices and indices written into the primary buffers, and the calls of
// its replay.

#include "tests/Support/RecordingRender.h"

#include "Core/Render/Render.h"
#include "Core/Render/Vertex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
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

// What the renderer has recorded so far in this frame, from byte `from` on.
inline std::vector<uint8_t> RecordedBytes(render::Render& r, size_t from = 0)
{
    render::CommandBuffer& commands = r.GetCommands();
    const uint8_t* data = commands.GetData();
    return std::vector<uint8_t>(data + from, data + commands.Tell());
}

// The primary buffers' memory, as written this frame.
template <class Vertex>
const Vertex* WrittenVertices(RecordingRender& r)
{
    auto* buffer = static_cast<MemoryVertexBuffer*>(r.GetVertexCache<Vertex>()->GetPrimary()->GetImpl());
    return reinterpret_cast<const Vertex*>(buffer->mMemory.data());
}
inline const render::SVertex2D* WrittenQuad(RecordingRender& r, size_t index = 0)
{
    return WrittenVertices<render::SVertex2D>(r) + 4 * index;
}
inline std::vector<uint16_t> WrittenIndices(RecordingRender& r, size_t count)
{
    auto* buffer = static_cast<MemoryIndexBuffer*>(r.GetIndexCache16()->GetPrimary()->GetImpl());
    const uint16_t* indices = reinterpret_cast<const uint16_t*>(buffer->mMemory.data());
    return std::vector<uint16_t>(indices, indices + count);
}
inline uint32_t WrittenQuads(RecordingRender& r)
{
    return r.GetVertexCache<render::SVertex2D>()->GetPrimary()->GetImpl()->GetUsed() / 4;
}

// Ends the scene, replays it and gives the calls that start with any of the
// prefixes.
inline std::vector<std::string> Replay(RecordingRender& r, const std::vector<std::string>& prefixes = {"Draw"})
{
    EXPECT_EQ(r.EndScene(), BW_OK);
    EXPECT_EQ(r.ExecuteCommands(), BW_OK);
    std::vector<std::string> calls;
    for (const std::string& call : r.mCalls)
        if (std::any_of(prefixes.begin(), prefixes.end(), [&](const std::string& p) { return call.rfind(p, 0) == 0; }))
            calls.push_back(call);
    return calls;
}

// Primitives summed over the indexed draws among the calls.
inline uint32_t IndexedPrimitives(const std::vector<std::string>& calls, size_t* draws = nullptr)
{
    uint32_t total = 0;
    size_t count = 0;
    for (const std::string& call : calls)
    {
        unsigned type, bytes, start, primitives;
        if (std::sscanf(call.c_str(), "DrawIndexedPrimitive(%u,%u,%u,%u", &type, &bytes, &start, &primitives) == 4)
            total += primitives, ++count;
    }
    if (draws)
        *draws = count;
    return total;
}

// The four corners' positions, clockwise from the top left.
inline void ExpectCorners(const render::SVertex2D* v, float x0, float y0, float x1, float y1)
{
    const float xs[4] = {x0, x1, x1, x0}, ys[4] = {y0, y0, y1, y1};
    for (int k = 0; k < 8; ++k)
        EXPECT_FLOAT_EQ(k < 4 ? v[k].x : v[k - 4].y, k < 4 ? xs[k] : ys[k - 4]) << "corner " << k % 4;
}

} // namespace bwtest
