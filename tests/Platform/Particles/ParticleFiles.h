#pragma once

// Effect files shared by the particle library's tests, and a guard that
// unloads what a test loaded.

#include "Platform/Particles/Magic.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace particle_tests
{

// Wraps one emitter's description in a file with two atlases.
inline std::string EffectWith(const std::string& emitter)
{
    return "<ptc><atlas file=\"a.png\" width=\"64\" height=\"64\"/>"
           "<atlas file=\"b.png\" width=\"64\" height=\"64\"/>" +
           emitter + "</ptc>";
}

// Opens text and loads the named top-level emitter; unloads and closes both
// at the end of the test.
class LoadedEmitter
{
public:
    explicit LoadedEmitter(const std::string& text, const char* name = "e")
        : mFile(Magic_OpenFileInMemory(text.c_str())), mEmitter(Magic_LoadEmitter(mFile, name))
    {
    }
    ~LoadedEmitter()
    {
        Magic_UnloadEmitter(mEmitter);
        Magic_CloseFile(mFile);
    }
    LoadedEmitter(const LoadedEmitter&) = delete;
    LoadedEmitter& operator=(const LoadedEmitter&) = delete;

    HM_EMITTER Get() const { return mEmitter; }
    operator HM_EMITTER() const { return mEmitter; }

private:
    HM_FILE mFile;
    HM_EMITTER mEmitter;
};

// The particle count of every list the emitter gives now; with quads, every
// quad of every list in drawing order.
inline std::vector<int> Lists(HM_EMITTER emitter, std::vector<MAGIC_PARTICLE_VERTEXES>* quads = nullptr)
{
    std::vector<int> counts;
    MAGIC_RENDERING rendering;
    for (Magic_CreateFirstRenderedParticlesList(emitter, &rendering); rendering.count;
         Magic_CreateNextRenderedParticlesList(&rendering))
    {
        counts.push_back(rendering.count);
        for (int i = 0; quads && i < rendering.count; ++i)
        {
            quads->emplace_back();
            EXPECT_EQ(Magic_GetNextParticleVertexes(&quads->back()), MAGIC_SUCCESS);
        }
    }
    return counts;
}

inline std::vector<MAGIC_PARTICLE_VERTEXES> Quads(HM_EMITTER emitter)
{
    std::vector<MAGIC_PARTICLE_VERTEXES> quads;
    Lists(emitter, &quads);
    return quads;
}

inline int ParticleCount(HM_EMITTER emitter)
{
    const std::vector<int> counts = Lists(emitter);
    return std::accumulate(counts.begin(), counts.end(), 0);
}

} // namespace particle_tests
