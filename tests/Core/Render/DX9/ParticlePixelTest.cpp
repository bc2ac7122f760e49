// Particles loaded from an effect file, drawn through render::Graphics onto
// the layer's OpenGL back end and read back: the quad's place and colour,
// additive lists, and the blend mode left as it was for the next draw.

#include "tests/Core/Render/DX9/RenderDX9Fixture.h"

#include "tests/Core/Render/ParticleFixture.h"

#include <memory>

namespace
{

const char* kEffect = R"(<ptc><atlas file="white.tga" width="4" height="4"/>
  <emitter name="square" interval2="1000"><particles burst="1" life="5000" size="10" color="FF800000"/></emitter>
  <emitter name="glow" interval2="1000">
    <particles burst="1" life="5000" size="10" color="FF800000" intense="1"/>
  </emitter>
</ptc>)";

class ParticlePixelTest : public bwtest::GraphicsPixelFixture
{
protected:
    void SetUp() override
    {
        bwtest::GraphicsPixelFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        fx = std::make_unique<particle_tests::EffectFolder>();
        fx->LoadInto(r.get(), kEffect, "effect.ptc");
        ASSERT_EQ(fx->system->mAtlasImages.size(), 1u);
    }

    void TearDown() override
    {
        fx.reset();
        bwtest::GraphicsPixelFixture::TearDown();
    }

    render::ParticleEmitter* Play(const char* name, float x, float y) { return fx->Playing(name, 0.01, x, y); }

    std::unique_ptr<particle_tests::EffectFolder> fx;
};

TEST_F(ParticlePixelTest, AParticleCoversItsSquareInItsColour)
{
    graphics->DrawParticles(Play("square", 15.0f, 15.0f));
    ReadBack();
    ExpectPixels({{10, 10, 0xFF800000u}, {19, 19, 0xFF800000u}, {9, 15, 0xFF000000u}, {20, 15, 0xFF000000u},
                  {15, 20, 0xFF000000u}});
}

TEST_F(ParticlePixelTest, IntenseParticlesAddUpAndTheNextDrawBlendsAsBefore)
{
    graphics->DrawParticles(Play("square", 15.0f, 15.0f));
    graphics->DrawParticles(Play("glow", 35.0f, 30.0f));
    graphics->DrawParticles(Play("glow", 40.0f, 30.0f));
    // Half-transparent green over the red square: mixed, not added.
    const float green[4] = {0.0f, 1.0f, 0.0f, 0.5f};
    graphics->SetColor(green);
    const float rect[4] = {12, 12, 4, 4};
    graphics->DrawRect(rect);
    ReadBack();
    // Where both glows lie they are added and clamped.
    ExpectPixels({{31, 30, 0xFF800000u}, {37, 30, 0xFFFF0000u}, {43, 30, 0xFF800000u}, {13, 13, 0xFF408000u},
                  {11, 11, 0xFF800000u}});
}

} // namespace
