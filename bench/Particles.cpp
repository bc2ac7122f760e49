// Particle effects: E emitters of P particles each, kept steady (a particle
// lives one second and P are born per second). Update: CPU ns per particle
// for one 1/60 s frame, and for one update after a 2 s stall. Draw: CPU ns per
// particle for recording the lists through render::Graphics (reading the
// library's quads, colour, transforms, cache writes, batching) and for the
// replay on the Direct3D 9 layer's null back end, with draw calls per emitter
// and bytes recorded per frame.

#include "Support/BenchRenderer.h"

#include "Core/Render/Graphics.h"
#include "Core/Render/ParticleEmitter.h"
#include "Core/Render/ParticleSystem.h"
#include "Platform/D3D9/D3D9TestHooks.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace
{

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr double kFrame = 1.0 / 60.0;

// A folder of the effect file and a copy of the game's atlas, removed at the end.
class EffectFolder
{
public:
    EffectFolder()
    {
        char pattern[] = "/tmp/bw_particles_XXXXXX";
        if (mkdtemp(pattern))
            mPath = std::string(pattern) + "/";
    }
    ~EffectFolder()
    {
        if (!mPath.empty())
            std::system(("rm -rf '" + mPath + "'").c_str());
    }
    bool Write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream out(mPath + name, std::ios::binary);
        out << bytes;
        return static_cast<bool>(out);
    }
    const std::string& Path() const { return mPath; }

private:
    std::string mPath;
};

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Starts past one second of the timeline, so that P particles are alive.
std::string SteadyEffect(int particles)
{
    return "<ptc><atlas file=\"fx2_atlas.png\" width=\"256\" height=\"256\"/>"
           "<emitter name=\"steady\" interval1=\"1000\" interval2=\"2000\" loop=\"repeat\" random=\"fixed\">"
           "<particles uv=\"0 0 0.25 0.25\" rate=\"" +
           std::to_string(particles) +
           "\" max=\"20000\" life=\"1000\" shape=\"circle\" radius=\"20\" speed=\"60\" speed_var=\"30\" "
           "spread=\"360\" gravity=\"0 50\" size=\"8\" size_end=\"2\" rotation_var=\"180\" spin=\"90\" "
           "color=\"FFFFFFFF\" color_end=\"00FF8000\"/></emitter></ptc>";
}

class ParticleScene
{
public:
    bool Open(int emitters, int particles, std::string* error)
    {
        if (!mRender.Open(false, kWidth, kHeight, error))
            return false;
        if (mFolder.Path().empty() || !mFolder.Write("steady.ptc", SteadyEffect(particles)) ||
            !mFolder.Write("fx2_atlas.png", ReadFile(BW_SOURCE_DIR "/data/fx/fx2_atlas.png")))
        {
            *error = "cannot write the effect file";
            return false;
        }
        mSystem = std::make_unique<render::ParticleSystem>();
        render::ParticleSystem::SetInstance(mSystem.get());
        mSystem->mFolder = mFolder.Path();
        mSystem->LoadFile("steady.ptc", mRender.Get());
        if (mSystem->mAtlasImages.size() != 1 || !mSystem->mAtlasImages[0])
        {
            *error = "the effect or its atlas did not load";
            return false;
        }
        for (int i = 0; i < emitters; ++i)
        {
            mEmitters.emplace_back(mSystem->CreateEmitter("steady"));
            const float at[2] = {static_cast<float>(40 + (i % 10) * 100), static_cast<float>(60 + (i / 10) * 140)};
            mEmitters.back()->SetPosition(at, MAGIC_POSITION_NEW_PARTICLES);
            mEmitters.back()->SetState(render::ParticleEmitter::StatePlaying);
        }
        return true;
    }

    void Close()
    {
        mEmitters.clear();
        if (mSystem)
            mSystem->ClearAtlasImages();
        mSystem.reset();
        mRender.Close();
    }

    void Update(double seconds)
    {
        for (auto& emitter : mEmitters)
            emitter->Update(seconds);
    }

    uint64_t Alive() const
    {
        uint64_t count = 0;
        for (const auto& emitter : mEmitters)
        {
            MAGIC_RENDERING list;
            for (Magic_CreateFirstRenderedParticlesList(emitter->mHandle, &list); list.count;
                 Magic_CreateNextRenderedParticlesList(&list))
                count += static_cast<uint64_t>(list.count);
        }
        return count;
    }

    // Records one frame of every emitter; the particles drawn.
    uint64_t Record()
    {
        render::Render& r = *mRender;
        r.CanRender();
        r.BeginScene();
        render::Graphics graphics(&r);
        const float black[4] = {0, 0, 0, 1};
        graphics.Clear(render::ClearColor, black, 1.0f, 0);
        uint64_t drawn = 0;
        for (auto& emitter : mEmitters)
        {
            uint32_t count = 0;
            graphics.DrawParticles(emitter.get())->mCount = &count;
            drawn += count;
        }
        r.EndScene();
        r.Present();
        return drawn;
    }

    uint32_t RecordedBytes() { return mRender->GetCommands().Tell(); }
    void Replay() { mRender->ExecuteCommands(); }
    uint64_t Draws() { return d3d9::test::GetStats(mRender->GetDevice()).draws; }

private:
    EffectFolder mFolder;
    bwbench::BenchRenderer mRender;
    std::unique_ptr<render::ParticleSystem> mSystem;
    std::vector<std::unique_ptr<render::ParticleEmitter>> mEmitters;
};

bool OpenScene(benchmark::State& state, ParticleScene* scene)
{
    std::string error;
    if (scene->Open(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), &error))
        return true;
    state.SkipWithError(error.c_str());
    scene->Close();
    return false;
}

void BM_ParticleUpdate(benchmark::State& state)
{
    ParticleScene scene;
    if (!OpenScene(state, &scene))
        return;
    scene.Update(kFrame);
    const uint64_t alive = scene.Alive();
    double ns = 0;
    uint64_t frames = 0;
    for (auto _ : state)
    {
        const auto t0 = std::chrono::steady_clock::now();
        scene.Update(kFrame);
        ns += std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count();
        ++frames;
    }
    state.counters["particles"] = static_cast<double>(alive);
    state.counters["ns_per_particle"] = alive ? ns / static_cast<double>(frames) / static_cast<double>(alive) : 0.0;
    scene.Close();
}

// One update after the frame loop stalled for two seconds.
void BM_ParticleStall(benchmark::State& state)
{
    ParticleScene scene;
    if (!OpenScene(state, &scene))
        return;
    scene.Update(kFrame);
    const uint64_t alive = scene.Alive();
    for (auto _ : state)
        scene.Update(2.0);
    state.counters["particles"] = static_cast<double>(alive);
    scene.Close();
}

void BM_ParticleDraw(benchmark::State& state)
{
    ParticleScene scene;
    if (!OpenScene(state, &scene))
        return;
    scene.Update(kFrame);
    for (int i = 0; i < 3; ++i)  // caches and command buffer reach their size
    {
        scene.Record();
        scene.Replay();
    }
    using Clock = std::chrono::steady_clock;
    double recordNs = 0, replayNs = 0;
    uint64_t particles = 0, bytes = 0, frames = 0;
    const uint64_t drawsBefore = scene.Draws();
    for (auto _ : state)
    {
        const auto t0 = Clock::now();
        particles += scene.Record();
        const auto t1 = Clock::now();
        bytes += scene.RecordedBytes();
        scene.Replay();
        const auto t2 = Clock::now();
        recordNs += std::chrono::duration<double, std::nano>(t1 - t0).count();
        replayNs += std::chrono::duration<double, std::nano>(t2 - t1).count();
        ++frames;
    }
    const double n = static_cast<double>(frames);
    const double perFrame = particles ? static_cast<double>(particles) / n : 1.0;
    state.counters["particles"] = perFrame;
    state.counters["record_ns_per_particle"] = recordNs / n / perFrame;
    state.counters["replay_ns_per_particle"] = replayNs / n / perFrame;
    state.counters["draws_per_emitter"] =
        static_cast<double>(scene.Draws() - drawsBefore) / n / static_cast<double>(state.range(0));
    state.counters["bytes_recorded"] = static_cast<double>(bytes) / n;
    scene.Close();
}

} // namespace

BENCHMARK(BM_ParticleUpdate)
    ->ArgNames({"emitters", "particles"})
    ->ArgsProduct({{1, 10, 50}, {50, 500, 2000}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ParticleStall)->ArgNames({"emitters", "particles"})->Args({1, 2000})->Args({10, 500})->Unit(
    benchmark::kMillisecond);
BENCHMARK(BM_ParticleDraw)
    ->ArgNames({"emitters", "particles"})
    ->ArgsProduct({{1, 10, 50}, {50, 500, 2000}})
    ->Unit(benchmark::kMicrosecond);
