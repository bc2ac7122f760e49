// Frames of textured quads recorded and replayed through the renderer, on the
// Direct3D 9 layer's null back end (the engine's own cost) and on OpenGL.
// Arguments: quads per frame, textures alternated (1: all quads share one
// texture and batch into one draw; 2: every quad switches), back end (0 null,
// 1 OpenGL). Counters: CPU ns per quad for recording and for the replay,
// bytes recorded, draw calls per frame, heap allocations per steady frame
// while recording (the engine alone) and while replaying (engine and device
// layer).

#include "Support/AllocationCounter.h"
#include "Support/BenchRenderer.h"

#include "Core/Math/Matrix4.h"
#include "Core/Render/DX9/RenderDX9.h"
#include "Core/Render/Shader.h"
#include "Core/Render/Texture.h"
#include "Platform/D3D9/D3D9TestHooks.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

// --- Scene -------------------------------------------------------------------------

namespace
{

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr float kQuadSize = 16.0f;

class QuadScene
{
public:
    bool Open(bool gl, std::string* error)
    {
        if (!mRender.Open(gl, kWidth, kHeight, error))
            return false;
        for (uint32_t color : {0xFFFF8040u, 0xFF4080FFu})
        {
            render::Texture* texture = nullptr;
            mRender->CreateTexture(&texture);
            texture->CreateDynamic(4, 4);
            uint32_t size = 0, pitch = 0;
            void* bits = nullptr;
            if (texture->Lock(&size, &pitch, &bits) == BW_OK)
            {
                for (uint32_t i = 0; i < size; ++i)
                    static_cast<uint32_t*>(bits)[i] = color;
                texture->Unlock();
            }
            mTextures.emplace_back(texture);
        }
        mBlock.mShader = mRender->GetShaderTexturedMultObject()->GetImpl();
        mBlock.mBlendMode = render::BlendAlpha;
        return true;
    }

    void Close()
    {
        mTextures.clear();
        mRender.Close();
    }

    // Everything up to the present, as the drawing code records it.
    void Record(int quads, int textures)
    {
        render::Render& r = *mRender;
        r.CanRender();
        r.BeginScene();
        const float black[4] = {0, 0, 0, 1};
        r.SetTarget(render::RenderTargetDesc());
        r.Clear(render::ClearColor, black, 1.0f, 0);
        render::ShaderTextured* shader = r.GetShaderTexturedMultObject();
        auto* vertexCache = r.GetVertexCache<render::SVertex2D>();
        auto* indexCache = r.GetIndexCache16();
        const int columns = static_cast<int>(kWidth / kQuadSize);
        for (int q = 0; q < quads; ++q)
        {
            render::SVertex2D* v = nullptr;
            render::VertexCache2D::Allocation vertices;
            unsigned short* i = nullptr;
            render::IndexCache16::Allocation indices;
            if (vertexCache->Allocate(4, &v, &vertices) != BW_OK || indexCache->Allocate(6, &i, &indices) != BW_OK)
                break;
            const float x = static_cast<float>(q % columns) * kQuadSize - 0.5f;
            const float y = static_cast<float>((q / columns) % 48) * kQuadSize - 0.5f;
            v[0] = {x, y, 0, 1, 0xFFFFFFFFu, 0xFFu, 0, 0};
            v[1] = {x + kQuadSize, y, 0, 1, 0xFFFFFFFFu, 0xFFu, 1, 0};
            v[2] = {x + kQuadSize, y + kQuadSize, 0, 1, 0xFFFFFFFFu, 0xFFu, 1, 1};
            v[3] = {x, y + kQuadSize, 0, 1, 0xFFFFFFFFu, 0xFFu, 0, 1};
            const unsigned short f = static_cast<unsigned short>(vertices.mFirst);
            i[0] = f;
            i[1] = static_cast<unsigned short>(f + 1);
            i[2] = static_cast<unsigned short>(f + 2);
            i[3] = f;
            i[4] = static_cast<unsigned short>(f + 2);
            i[5] = static_cast<unsigned short>(f + 3);
            mBlock.mVertexBuffer = vertices.mBuffer;
            mBlock.mIndexBuffer = indices.mBuffer;
            r.SetRenderState(&mBlock, true);
            shader->SetTexture(mTextures[q % textures].get());
            shader->SetProjection(&r.GetProjection());
            r.DrawIndexedPrimitive(render::TriangleList, indices.mFirst, 2, vertices.mFirst, 4);
        }
        r.EndScene();
        r.Present();
    }

    uint32_t RecordedBytes() { return mRender->GetCommands().Tell(); }
    void Replay() { mRender->ExecuteCommands(); }
    uint64_t Draws() { return d3d9::test::GetStats(mRender->GetDevice()).draws; }

private:
    bwbench::BenchRenderer mRender;
    std::vector<std::unique_ptr<render::Texture>> mTextures;
    render::RenderState mBlock;
};

void BM_QuadFrame(benchmark::State& state)
{
    const int quads = static_cast<int>(state.range(0));
    const int textures = static_cast<int>(state.range(1));
    const bool gl = state.range(2) != 0;
    QuadScene scene;
    std::string error;
    if (!scene.Open(gl, &error))
    {
        state.SkipWithError(error.c_str());
        scene.Close();
        return;
    }
    // Warm-up: caches and the command buffer reach their steady size.
    for (int i = 0; i < 3; ++i)
    {
        scene.Record(quads, textures);
        scene.Replay();
    }

    using Clock = std::chrono::steady_clock;
    double recordNs = 0, replayNs = 0;
    uint64_t bytes = 0, recordAllocations = 0, replayAllocations = 0, frames = 0;
    const uint64_t drawsBefore = scene.Draws();
    for (auto _ : state)
    {
        const uint64_t a0 = bwbench::AllocationCount();
        auto t0 = Clock::now();
        scene.Record(quads, textures);
        auto t1 = Clock::now();
        const uint64_t a1 = bwbench::AllocationCount();
        bytes += scene.RecordedBytes();
        scene.Replay();
        auto t2 = Clock::now();
        recordAllocations += a1 - a0;
        replayAllocations += bwbench::AllocationCount() - a1;
        recordNs += std::chrono::duration<double, std::nano>(t1 - t0).count();
        replayNs += std::chrono::duration<double, std::nano>(t2 - t1).count();
        ++frames;
    }
    const double n = static_cast<double>(frames);
    state.counters["record_ns_per_quad"] = recordNs / n / quads;
    state.counters["replay_ns_per_quad"] = replayNs / n / quads;
    state.counters["bytes_recorded"] = static_cast<double>(bytes) / n;
    state.counters["draws_per_frame"] = static_cast<double>(scene.Draws() - drawsBefore) / n;
    // Recording is the engine alone; the replay includes the device layer.
    state.counters["allocs_record"] = static_cast<double>(recordAllocations) / n;
    state.counters["allocs_replay"] = static_cast<double>(replayAllocations) / n;
    state.SetItemsProcessed(static_cast<int64_t>(frames) * quads);
    state.SetLabel(std::string(gl ? "gl" : "null") + (textures == 1 ? " one texture" : " alternating textures"));
    scene.Close();
}

} // namespace

BENCHMARK(BM_QuadFrame)
    ->ArgNames({"quads", "textures", "gl"})
    ->ArgsProduct({{1000, 10000, 20000}, {1, 2}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);
