// Particles loaded from an effect file, drawn through render::Graphics onto
// the layer's OpenGL back end and read back: the quad's place and colour,
// additive lists, and the blend mode left as it was for the next draw.

#include "tests/Core/Render/DX9/RenderDX9Fixture.h"

#include "Core/Render/ParticleEmitter.h"
#include "Core/Render/ParticleSystem.h"
#include "tests/Support/ImageFiles.h"
#include "tests/Support/TempFolder.h"

#include <memory>
#include <vector>

namespace
{

const char* kEffect = R"(<ptc><atlas file="white.tga" width="4" height="4"/>
  <emitter name="square" interval2="1000">
    <particles burst="1" life="5000" size="10" color="FF800000"/>
  </emitter>
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

        const std::vector<uint8_t> page =
            testing_support::MakeTga(testing_support::MakePixels(4, 4, [](uint32_t, uint32_t) { return 0xFFFFFFFFu; }),
                                     false);
        folder.Write("fx/white.tga", std::string(page.begin(), page.end()));
        folder.Write("fx/effect.ptc", kEffect);
        system = std::make_unique<render::ParticleSystem>();
        render::ParticleSystem::SetInstance(system.get());
        system->mFolder = folder.Path() + "fx/";
        system->LoadFile("effect.ptc", r.get());
        ASSERT_EQ(system->mAtlasImages.size(), 1u);
        ASSERT_NE(system->mAtlasImages[0], nullptr);
    }

    void TearDown() override
    {
        emitters.clear();
        if (system)
            system->ClearAtlasImages();
        system.reset();
        bwtest::GraphicsPixelFixture::TearDown();
    }

    render::ParticleEmitter* Play(const char* name, float x, float y)
    {
        emitters.emplace_back(system->CreateEmitter(name));
        render::ParticleEmitter* e = emitters.back().get();
        const float at[2] = {x, y};
        e->SetPosition(at, MAGIC_POSITION_NEW_PARTICLES);
        e->SetState(render::ParticleEmitter::StatePlaying);
        e->Update(0.01);
        return e;
    }

    testing_support::TempFolder folder;
    std::unique_ptr<render::ParticleSystem> system;
    std::vector<std::unique_ptr<render::ParticleEmitter>> emitters;
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
