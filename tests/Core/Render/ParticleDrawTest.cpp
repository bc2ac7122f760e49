// Drawing particles: the quads written into the transient caches, one draw
// per list with its texture and blend, lists without a page left out, large
// lists in chunks, the boxes and the count, and the blend mode restored.

#include "tests/Core/Render/ParticleFixture.h"
#include "tests/Core/Render/RecordedFrame.h"

#include "Core/Math/BoundingBox.h"
#include "Core/Render/Color.h"
#include "Core/Render/Graphics.h"
#include "Core/Render/ImageRect.h"
#include "Core/Render/Vertex.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <memory>
#include <string>
#include <vector>

namespace
{

using bwtest::IndexedPrimitives;
using bwtest::Replay;
using render::ParticleEmitter;

// An owner whose move of the vertices fails.
class FailingOwner : public render::DrawParam
{
public:
    BWResultEnum TransformVertices(void*, const render::VertexFormat&, uint32_t) override { return BW_FAIL; }
};

class ParticleDrawTest : public particle_tests::ParticleTest
{
protected:
    void SetUp() override
    {
        particle_tests::ParticleTest::SetUp();
        Load();
        ASSERT_EQ(r.BeginScene(), BW_OK);
        graphics = std::make_unique<render::Graphics>(&r);
    }

    void TearDown() override
    {
        graphics.reset();
        particle_tests::ParticleTest::TearDown();
    }

    std::string TextureName(size_t page) { return r.NameOf(system->mAtlasImages[page]->GetTexture()); }

    std::unique_ptr<render::Graphics> graphics;
};

TEST_F(ParticleDrawTest, AParticleIsAQuadInTheProductOfTheColoursAndTheBoxesHoldItBeforeAndAfterTheMove)
{
    ParticleEmitter* e = Playing("one", 0.01, 100.0f, 50.0f);
    const float tinted[4] = {1.0f, 0.5f, 1.0f, 0.5f};
    graphics->SetColor(tinted);
    uint32_t count = 99;
    math::BoundingBox before, after;
    {
        auto draw = graphics->DrawParticles(e);
        draw->mCount = &count;
        draw->mBoundsBefore = &before;
        draw->mBoundsAfter = &after;
        const float by[2] = {10.0f, 20.0f};
        draw.Translate(by); // the translated copy draws at once and fills the boxes
    }
    EXPECT_EQ(count, 1u);
    const float boxes[8] = {before.mMin[0], before.mMin[1], before.mMax[0], before.mMax[1],
                            after.mMin[0],  after.mMin[1],  after.mMax[0],  after.mMax[1]};
    EXPECT_EQ(std::vector<float>(boxes, boxes + 8), (std::vector<float>{95, 45, 105, 55, 105, 65, 115, 75}));

    float expectedColor[4];
    render::ArgbToColor(expectedColor, 0xFF804020u);
    render::Color::Multiply(expectedColor, expectedColor, tinted);
    const render::SVertex2D* v = bwtest::WrittenQuad(r);
    bwtest::ExpectCorners(v, 104.5f, 64.5f, 114.5f, 74.5f); // after the half-pixel shift
    const float u[4] = {0, 1, 1, 0}, t[4] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(std::make_pair(v[i].tu, v[i].tv), std::make_pair(u[i], t[i]));
        EXPECT_EQ(v[i].diffuse, render::ColorToArgb(expectedColor));
    }
    EXPECT_EQ(Replay(r), std::vector<std::string>{"DrawIndexedPrimitive(3,2,0,2,0,4)"});
}

TEST_F(ParticleDrawTest, EachListDrawsWithItsPageAndBlendAndOneWithoutAPageIsLeftOut)
{
    ParticleEmitter* e = Playing("lists");
    graphics->SetBlendMode(render::BlendOpaque);
    uint32_t count = 0;
    graphics->DrawParticles(e)->mCount = &count;
    EXPECT_EQ(count, 6u);  // 2 + 4; the 3 of the missing page are not drawn
    EXPECT_EQ(graphics->mState.mBlendMode, render::BlendOpaque);

    const std::vector<std::string> calls = Replay(r, {"SetBlendMode", "SetTexture", "DrawIndexedPrimitive"});
    const std::vector<std::string> expected = {
        "SetBlendMode(1)",
        "SetTexture(mult.TextureSampler," + TextureName(0) + ")",
        "DrawIndexedPrimitive(3,2,0,4,0,8)",
        "SetBlendMode(2)",
        "SetTexture(mult.TextureSampler," + TextureName(2) + ")",
        "DrawIndexedPrimitive(3,2,12,8,8,16)",
    };
    EXPECT_EQ(calls, expected);

    // A list whose page id lies past the images is left out too.
    ASSERT_EQ(r.BeginScene(), BW_OK);
    delete system->mAtlasImages.back();
    system->mAtlasImages.pop_back();
    graphics->DrawParticles(e)->mCount = &count;
    EXPECT_EQ(count, 2u);
    system->ClearAtlasImages();
    graphics->DrawParticles(e)->mCount = &count;
    EXPECT_EQ(count, 0u);
}

TEST_F(ParticleDrawTest, ASecondFilesListsTakeThatFilesPages)
{
    WritePage("blue.tga", 0xFF0000FFu);
    Load(R"(<ptc><atlas file="blue.tga" width="4" height="4"/>
              <emitter name="more"><particles burst="1" life="5000"/></emitter></ptc>)",
         "more.ptc");
    ParticleEmitter* e = Playing("more");
    graphics->DrawParticles(e);
    const std::string blue = TextureName(3);
    EXPECT_EQ(Replay(r, {"SetTexture"}), std::vector<std::string>{"SetTexture(mult.TextureSampler," + blue + ")"});
}

TEST_F(ParticleDrawTest, AStoppedEmitterDrawsNothingAndAnErrorEndsTheDrawButRestoresTheBlendMode)
{
    math::BoundingBox before;
    before.mMin[0] = 5.0f;
    uint32_t count = 7;
    {
        auto draw = graphics->DrawParticles(Make("one"));
        draw->mCount = &count;
        draw->mBoundsBefore = &before;
    }
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(before.mMin[0], FLT_MAX);
    EXPECT_TRUE(Replay(r).empty());

    ParticleEmitter* e = Playing("lists");
    graphics->SetBlendMode(render::BlendAdditive);
    FailingOwner owner;
    render::ParticleDrawInfo info;
    EXPECT_EQ(e->Draw(graphics.get(), &owner, &info), BW_FAIL);
    EXPECT_EQ(graphics->mState.mBlendMode, render::BlendAdditive);
    EXPECT_EQ(info.mCount, 0u);
    EXPECT_EQ(e->Draw(nullptr, nullptr, &info), BW_FAIL);
    render::DrawParticlesParam empty(graphics.get(), nullptr);
    EXPECT_EQ(empty.Draw(nullptr), BW_FAIL);
}

// Chunks that follow each other in one buffer join in one draw; with the
// primary buffers nearly full, one draw per overflow buffer.
TEST_F(ParticleDrawTest, ALargeListDrawsWholeInChunksTheCachesHold)
{
    for (bool full : {false, true})
    {
        if (full)
        {
            ASSERT_EQ(r.BeginScene(), BW_OK);
            r.mCalls.clear();
            render::IndexCache16* indexCache = r.GetIndexCache16();
            uint16_t* taken = nullptr;
            render::IndexCache16::Allocation place;
            ASSERT_EQ(indexCache->Allocate(indexCache->GetPrimary()->GetImpl()->GetRoom() - 3, &taken, &place), BW_OK);
        }
        uint32_t count = 0;
        graphics->DrawParticles(Playing("rain", full ? 1.2 : 0.5))->mCount = &count;
        ASSERT_GT(count, full ? 1900u : 900u);
        size_t draws = 0;
        EXPECT_EQ(IndexedPrimitives(Replay(r), &draws), 2 * count);
        EXPECT_EQ(draws > 10u, full) << draws;
    }
}

} // namespace
