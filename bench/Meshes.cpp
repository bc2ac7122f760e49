// Meshes drawn through render::Graphics against image quads, in one run, on
// the layer's null device (the engine's own CPU cost).
//
// BM_DrawTriangles: about 8192 triangles per frame, drawn as image quads
// (two triangles each, the image path) or as meshes of 2, 32 or 288
// triangles (a grid over one texture), each moved by a translation.
// Counters: CPU ns per triangle and per draw call for building the frame
// through Graphics, and for its replay; the image rows' ns per quad is
// twice their ns per triangle.

#include "Support/BenchRenderer.h"

#include "Core/Render/DrawMeshParam.h"
#include "Core/Render/Graphics.h"
#include "Core/Render/ImageRect.h"
#include "Core/Render/Texture.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

namespace
{

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kTrianglesPerFrame = 8192;

typedef render::DrawUntransformedParam<render::DrawMeshParam<render::Mesh2D>> MeshDraw;

// A side x side grid of 16-pixel cells, two triangles per cell.
render::Mesh2D Grid(int side)
{
    render::Mesh2D mesh;
    for (int y = 0; y <= side; ++y)
        for (int x = 0; x <= side; ++x)
        {
            const float u = static_cast<float>(x) / side, v = static_cast<float>(y) / side;
            mesh.mVertices.push_back({16.0f * x, 16.0f * y, 0.0f, 1.0f, 0xFFFFFFFFu, 0u, u, v});
        }
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
        {
            const unsigned short a = static_cast<unsigned short>(y * (side + 1) + x);
            const unsigned short b = static_cast<unsigned short>(a + side + 1);
            for (unsigned short i : {a, static_cast<unsigned short>(a + 1), static_cast<unsigned short>(b + 1), a,
                                     static_cast<unsigned short>(b + 1), b})
                mesh.mIndices.push_back(i);
        }
    return mesh;
}

void BM_DrawTriangles(benchmark::State& state)
{
    const int perDraw = static_cast<int>(state.range(0)); // 0: image quads
    const int triangles = perDraw == 0 ? 2 : perDraw;
    const int draws = kTrianglesPerFrame / triangles;
    bwbench::BenchRenderer renderer;
    std::string error;
    if (!renderer.Open(false, kWidth, kHeight, &error))
    {
        state.SkipWithError(error.c_str());
        return;
    }
    render::Texture* texture = nullptr;
    renderer->CreateTexture(&texture);
    texture->CreateDynamic(64, 64);
    auto image = std::make_unique<render::ImageRect>();
    image->mTexture = texture;
    image->mWidth = image->mHeight = 64;
    int side = 1;
    while (2 * side * side < triangles)
        ++side;
    const render::Mesh2D mesh = Grid(side);

    auto record = [&]() {
        render::Render& r = *renderer;
        r.CanRender();
        r.BeginScene();
        render::Graphics graphics(&r);
        const float black[4] = {0, 0, 0, 1};
        graphics.Clear(render::ClearColor, black, 1.0f, 0);
        for (int i = 0; i < draws; ++i)
        {
            const float at[2] = {static_cast<float>(i * 16 % kWidth), static_cast<float>(i * 16 / kWidth * 16 % kHeight)};
            if (perDraw == 0)
                graphics.DrawImage(image.get()).Translate(at);
            else
                MeshDraw(render::DrawMeshParam<render::Mesh2D>(&graphics, &mesh, image.get())).Translate(at);
        }
        graphics.Flush();
        r.EndScene();
        r.Present();
    };
    for (int i = 0; i < 3; ++i)
    {
        record();
        renderer->ExecuteCommands();
    }
    using Clock = std::chrono::steady_clock;
    double recordNs = 0, replayNs = 0;
    uint64_t frames = 0;
    for (auto _ : state)
    {
        const auto t0 = Clock::now();
        record();
        const auto t1 = Clock::now();
        renderer->ExecuteCommands();
        const auto t2 = Clock::now();
        recordNs += std::chrono::duration<double, std::nano>(t1 - t0).count();
        replayNs += std::chrono::duration<double, std::nano>(t2 - t1).count();
        ++frames;
    }
    const double n = static_cast<double>(frames);
    const double drawn = static_cast<double>(draws) * triangles;
    state.counters["graphics_ns_per_triangle"] = recordNs / n / drawn;
    state.counters["graphics_ns_per_draw"] = recordNs / n / draws;
    state.counters["replay_ns_per_triangle"] = replayNs / n / drawn;
    state.SetItemsProcessed(static_cast<int64_t>(frames * drawn));
    state.SetLabel(perDraw == 0 ? "image quads" : "meshes of " + std::to_string(triangles) + " triangles");
    image.reset();
    renderer.Close();
}

} // namespace

BENCHMARK(BM_DrawTriangles)->Arg(0)->Arg(2)->Arg(32)->Arg(288)->Unit(benchmark::kMicrosecond);
