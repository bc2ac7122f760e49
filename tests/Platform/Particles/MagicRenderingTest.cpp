#include "Platform/Particles/Magic.h"
#include "tests/Platform/Particles/ParticleFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using particle_tests::EffectWith;
using particle_tests::LoadedEmitter;
using particle_tests::Quads;

namespace
{

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
    LoadedEmitter e(EffectWith(R"(<emitter name="e" interpolation="1">
        <particles burst="1" size="10" uv="0.25 0.5 0.25 0.125" color="80402010"/></emitter>)"));
    const MAGIC_POSITION at = {100.0f, 50.0f};
    Magic_SetEmitterPosition(e, &at);
    Magic_Restart(e);
    Magic_Update(e, 10.0);
    const MAGIC_PARTICLE_VERTEXES q = Quads(e).at(0);
    ExpectQuad(q, {95, 45, 0.25f, 0.5f, 105, 45, 0.5f, 0.5f, 105, 55, 0.5f, 0.625f, 95, 55, 0.25f, 0.625f});
    EXPECT_EQ(q.color, 0x80402010u);

    LoadedEmitter turned(EffectWith(R"(<emitter name="e" interpolation="1">
        <particles burst="1" size="10" rotation="90"/></emitter>)"));
    Magic_Restart(turned);
    Magic_Update(turned, 10.0);
    // A quarter turn clockwise on screen: the top-left corner goes top-right.
    ExpectQuad(Quads(turned).at(0), {5, -5, 0, 0, 5, 5, 1, 0, -5, 5, 1, 1, -5, -5, 0, 1});
}

TEST(MagicRendering, SizeAndColourChangeLinearlyOverTheLife)
{
    LoadedEmitter e(EffectWith(R"(<emitter name="e" interpolation="1" interval2="5000">
        <particles burst="1" life="1000" size="10" size_end="30" color="C8000064" color_end="00C8C800"/>
      </emitter>)"));
    Magic_Restart(e);
    for (int i = 0; i < 50; ++i)
        Magic_Update(e, 10.0);
    const MAGIC_PARTICLE_VERTEXES q = Quads(e).at(0);
    EXPECT_NEAR(q.x2 - q.x1, 20.0f, 0.01f);
    EXPECT_EQ(q.color, 0x64646432u);
}

} // namespace
