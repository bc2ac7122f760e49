#include "Platform/Particles/Emitter.h"
#include "Platform/Particles/Magic.h"
#include "Platform/Win32/Win32Kernel.h"
#include "tests/Platform/Particles/ParticleFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

using particle_tests::EffectWith;
using particle_tests::LoadedEmitter;
using particle_tests::ParticleCount;
using particle_tests::Quads;

namespace
{

std::string Emitter(const std::string& attributes, const std::string& particles)
{
    return EffectWith("<emitter name=\"e\" interpolation=\"1\" " + attributes + "><particles " + particles +
                      "/></emitter>");
}

// Updates in frames of 10 ms; the last call's result.
bool Play(HM_EMITTER emitter, int frames)
{
    bool running = false;
    for (int i = 0; i < frames; ++i)
        running = Magic_Update(emitter, 10.0);
    return running;
}

// The quads after a restart and 200 ms of play.
std::vector<MAGIC_PARTICLE_VERTEXES> Rerun(HM_EMITTER emitter)
{
    Magic_Restart(emitter);
    Play(emitter, 20);
    return Quads(emitter);
}

bool SameQuads(const std::vector<MAGIC_PARTICLE_VERTEXES>& a, const std::vector<MAGIC_PARTICLE_VERTEXES>& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(a[0])) == 0);
}

// Restarted and played in frames of 10 ms: the particles alive and whether
// the last update found the effect still running.
TEST(MagicTimeline, EffectsEndAndRepeatAndBearAsTheirTimelinesSay)
{
    const struct
    {
        const char* emitter;
        const char* particles;
        int frames, count;
        bool running;
    } cases[] = {
        {"interval2=\"200\"", "burst=\"5\" life=\"95\"", 10, 0, true}, // gone at 95 ms; the time runs on
        {"interval2=\"200\"", "burst=\"5\" life=\"95\"", 20, 0, false},
        {"interval2=\"50\"", "burst=\"1\" life=\"200\"", 19, 1, true}, // the particle holds the time
        {"interval2=\"50\"", "burst=\"1\" life=\"200\"", 20, 0, false},
        {"interval2=\"100\" loop=\"repeat\"", "burst=\"3\" life=\"1000\"", 9, 3, true},
        {"interval2=\"100\" loop=\"repeat\"", "burst=\"3\" life=\"1000\"", 11, 6, true}, // the burst again
        {"interval2=\"100\" loop=\"repeat\"", "burst=\"3\" life=\"50\"", 302, 3, true},
        {"interval2=\"1000\"", "emit_from=\"100\" emit_to=\"200\" rate=\"1000\" life=\"5000\"", 10, 0, true},
        {"interval2=\"1000\"", "emit_from=\"100\" emit_to=\"200\" rate=\"1000\" life=\"5000\"", 15, 50, true},
        {"interval2=\"1000\"", "emit_from=\"100\" emit_to=\"200\" rate=\"1000\" life=\"5000\"", 25, 100, true},
    };
    for (const auto& c : cases)
    {
        LoadedEmitter e(Emitter(c.emitter, c.particles));
        EXPECT_FALSE(Magic_Update(e, 10.0)) << "loaded stopped";
        ASSERT_EQ(Magic_Restart(e), MAGIC_SUCCESS);
        EXPECT_EQ(Play(e, c.frames), c.running) << c.emitter << " " << c.particles << " " << c.frames;
        EXPECT_EQ(ParticleCount(e), c.count) << c.emitter << " " << c.particles << " " << c.frames;
    }
}

TEST(MagicTimeline, OddTimesCountAsNothingAndLongStallsStayCheap)
{
    LoadedEmitter e(Emitter("interval2=\"100\" loop=\"repeat\"", "rate=\"1000\" life=\"50\" max=\"20000\""));
    Magic_Restart(e);
    EXPECT_TRUE(Magic_Update(e, -5.0));
    EXPECT_TRUE(Magic_Update(e, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ(ParticleCount(e), 0);
    EXPECT_TRUE(Magic_Update(e, 1e12));
    EXPECT_TRUE(Magic_Update(e, std::numeric_limits<double>::infinity()));
    EXPECT_LE(ParticleCount(e), 20000);
}

// Each kind keeps to its maximum, the emitter as a whole to 20000.
TEST(MagicParticles, EachKindAndTheEmitterKeepToTheirMaximum)
{
    LoadedEmitter crowded(EffectWith("<emitter name=\"e\" interpolation=\"1\">"
                                     "<particles burst=\"100\" max=\"10\"/><particles burst=\"15000\" max=\"20000\"/>"
                                     "<particles burst=\"15000\" max=\"20000\"/></emitter>"));
    Magic_Restart(crowded);
    Magic_Update(crowded, 10.0);
    EXPECT_EQ(particle_tests::Lists(crowded), (std::vector<int>{10, 15000, 4990}));
}

TEST(MagicParticles, AFixedSeedReplaysTheParticlesAndAFreshOneComesFromTheRuntimeGenerator)
{
    const std::string kind = "rate=\"200\" life=\"400\" life_var=\"200\" speed=\"50\" speed_var=\"40\" "
                             "spread=\"360\" shape=\"circle\" radius=\"20\" size_var=\"0.5\" rotation_var=\"180\"";
    LoadedEmitter a(Emitter("random=\"fixed\" seed=\"77\"", kind));
    LoadedEmitter b(Emitter("random=\"fixed\" seed=\"77\"", kind));
    const std::vector<MAGIC_PARTICLE_VERTEXES> replay = Rerun(a);
    ASSERT_GT(replay.size(), 30u);
    EXPECT_TRUE(SameQuads(replay, Rerun(b)));
    EXPECT_TRUE(SameQuads(replay, Rerun(a)));
    // The seed is the file's: the C runtime's generator is left alone.
    win32::srand(9);
    Magic_Restart(a);
    const int next = win32::rand();
    win32::srand(9);
    EXPECT_EQ(win32::rand(), next);

    // Fresh seeds come from the runtime generator, so srand repeats a run.
    LoadedEmitter e(Emitter("", kind));
    win32::srand(1234);
    const std::vector<MAGIC_PARTICLE_VERTEXES> first = Rerun(e);
    EXPECT_FALSE(SameQuads(first, Rerun(e)));
    win32::srand(1234);
    EXPECT_TRUE(SameQuads(first, Rerun(e)));

    // The seed is the first draw's 15 bits above the second's, whatever
    // order a compiler would evaluate them in; likewise each random number.
    win32::srand(1234);
    const uint32_t high = static_cast<uint32_t>(win32::rand());
    const uint32_t seed = high << 15 | static_cast<uint32_t>(win32::rand());
    LoadedEmitter same(Emitter("random=\"fixed\" seed=\"" + std::to_string(seed) + "\"", kind));
    EXPECT_TRUE(SameQuads(first, Rerun(same)));
    particles::Random random(seed), draws(seed);
    const uint32_t top = static_cast<uint32_t>(draws.Next());
    EXPECT_EQ(random.Unit(), static_cast<float>((top << 15 | static_cast<uint32_t>(draws.Next())) / 1073741824.0));

    ASSERT_EQ(Magic_SetRandomMode(e, MAGIC_RANDOM_FIXED), MAGIC_SUCCESS);
    const std::vector<MAGIC_PARTICLE_VERTEXES> fixed = Rerun(e);
    EXPECT_TRUE(SameQuads(fixed, Rerun(e)));
}

// Particles are born where the emitter is; unknown modes, positions that are
// not numbers and every call on an unloaded emitter are refused quietly.
TEST(MagicEmitter, ParticlesAreBornWhereTheEmitterIsAndBadCallsAreRefused)
{
    LoadedEmitter e(Emitter("interval2=\"5000\"", "burst=\"1\" life=\"5000\" size=\"2\""));
    const MAGIC_POSITION at = {100.0f, 40.0f};
    ASSERT_EQ(Magic_SetEmitterPosition(e, &at), MAGIC_SUCCESS);
    Magic_Restart(e);
    Magic_Update(e, 10.0);
    const MAGIC_PARTICLE_VERTEXES q = Quads(e).at(0);
    EXPECT_EQ(std::make_pair((q.x1 + q.x3) / 2, (q.y1 + q.y3) / 2), std::make_pair(100.0f, 40.0f));
    const MAGIC_POSITION bad = {std::numeric_limits<float>::quiet_NaN(), 1.0f};
    for (int result : {Magic_SetEmitterPositionMode(e, 2), Magic_SetEmitterPosition(e, &bad),
                       Magic_SetEmitterPosition(e, nullptr), Magic_SetLoopMode(e, 3), Magic_SetRandomMode(e, 2)})
        EXPECT_EQ(result, MAGIC_ERROR);
    HM_EMITTER gone = 0;
    {
        LoadedEmitter unloaded(Emitter("", "burst=\"1\""));
        gone = unloaded.Get();
    }
    MAGIC_POSITION position = {};
    EXPECT_EQ(Magic_DuplicateEmitter(gone), 0);
    EXPECT_FALSE(Magic_Update(gone, 10.0) || Magic_InInterval(gone) || Magic_IsInterval1(gone) ||
                 Magic_IsInterrupt(gone));
    EXPECT_EQ(Magic_GetUpdateTime(gone), 0.0);
    for (int result : {Magic_Restart(gone), Magic_Stop(gone), Magic_SetInterrupt(gone, true),
                       Magic_EmitterToInterval1(gone, 1.0f, nullptr), Magic_SetLoopMode(gone, 0),
                       Magic_SetRandomMode(gone, 0), Magic_SetInterpolationMode(gone, true),
                       Magic_SetEmitterPosition(gone, &position), Magic_GetEmitterPosition(gone, &position),
                       Magic_SetEmitterPositionMode(gone, 0), Magic_UnloadEmitter(0), Magic_UnloadEmitter(-1)})
        EXPECT_EQ(result, MAGIC_ERROR);
}

// One list per kind with particles, in document order, is drawn through the
// particle system in tests/Core/Render/ParticleDrawTest.cpp.

// A list may be left unread; reading past a list is refused with a zeroed
// record; the cursor survives its emitter being updated or unloaded.
TEST(MagicRendering, TheListCursorReadsOnlyWhatIsThere)
{
    MAGIC_RENDERING rendering;
    MAGIC_PARTICLE_VERTEXES quad;
    {
        LoadedEmitter e(EffectWith(R"(<emitter name="e" interpolation="1">
            <particles burst="2" size="2" life="15"/><particles burst="1" size="10" life="15"/></emitter>)"));
        Magic_Restart(e);
        Magic_Update(e, 10.0);
        ASSERT_EQ(Magic_CreateFirstRenderedParticlesList(e, &rendering), MAGIC_SUCCESS);
        ASSERT_EQ(rendering.count, 2);
        ASSERT_EQ(Magic_CreateNextRenderedParticlesList(&rendering), MAGIC_SUCCESS);
        ASSERT_EQ(rendering.count, 1);
        ASSERT_EQ(Magic_GetNextParticleVertexes(&quad), MAGIC_SUCCESS);
        EXPECT_FLOAT_EQ(quad.x2 - quad.x1, 10.0f);
        quad.color = 0x12345678;
        EXPECT_EQ(Magic_GetNextParticleVertexes(&quad), MAGIC_ERROR);
        EXPECT_EQ(quad.color, 0u);
        EXPECT_EQ(Magic_CreateNextRenderedParticlesList(&rendering), MAGIC_ERROR);
        EXPECT_EQ(rendering.count, 0);

        ASSERT_EQ(Magic_CreateFirstRenderedParticlesList(e, &rendering), MAGIC_SUCCESS);
        Magic_Update(e, 10.0); // all three die
        EXPECT_EQ(Magic_GetNextParticleVertexes(&quad), MAGIC_ERROR);
        Magic_Restart(e);
        Magic_Update(e, 10.0);
        ASSERT_EQ(Magic_CreateFirstRenderedParticlesList(e, &rendering), MAGIC_SUCCESS);
    }
    EXPECT_EQ(Magic_GetNextParticleVertexes(&quad), MAGIC_ERROR);
    EXPECT_EQ(Magic_CreateNextRenderedParticlesList(&rendering), MAGIC_ERROR);
    EXPECT_EQ(Magic_CreateFirstRenderedParticlesList(0, &rendering), MAGIC_ERROR);
    EXPECT_EQ(Magic_CreateFirstRenderedParticlesList(0, nullptr), MAGIC_ERROR);
    EXPECT_EQ(Magic_GetNextParticleVertexes(nullptr), MAGIC_ERROR);
}

// The quad as x, y, u, v of each corner, clockwise from the top left.
void ExpectQuad(const MAGIC_PARTICLE_VERTEXES& quad, const std::vector<float>& expected)
{
    const float* actual = &quad.x1;
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-4f) << "corner " << i / 4 + 1 << " value " << i % 4;
}

TEST(MagicRendering, AQuadHasItsCornersClockwiseFromTopLeftAndTurnsAboutItsCentreWithYDown)
{
    LoadedEmitter e(Emitter("", R"(burst="1" size="10" uv="0.25 0.5 0.25 0.125" color="80402010")"));
    const MAGIC_POSITION at = {100.0f, 50.0f};
    Magic_SetEmitterPosition(e, &at);
    Magic_Restart(e);
    Magic_Update(e, 10.0);
    const MAGIC_PARTICLE_VERTEXES q = Quads(e).at(0);
    ExpectQuad(q, {95, 45, 0.25f, 0.5f, 105, 45, 0.5f, 0.5f, 105, 55, 0.5f, 0.625f, 95, 55, 0.25f, 0.625f});
    EXPECT_EQ(q.color, 0x80402010u);

    LoadedEmitter turned(Emitter("", R"(burst="1" size="10" rotation="90")"));
    Magic_Restart(turned);
    Magic_Update(turned, 10.0);
    // A quarter turn clockwise on screen: the top-left corner goes top-right.
    ExpectQuad(Quads(turned).at(0), {5, -5, 0, 0, 5, 5, 1, 0, -5, 5, 1, 1, -5, -5, 0, 1});
}

} // namespace
