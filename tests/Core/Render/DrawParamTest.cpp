// Draw objects: the colour and tint an image draw writes, the translated
// variant, custom geometry, and that each draw happens exactly once.

#include "tests/Core/Render/RecordedFrame.h"

#include "Core/Render/Color.h"
#include "Core/Render/Graphics.h"
#include "Core/Render/ImageRect.h"
#include "Core/Render/Shader.h"
#include "Core/Render/Texture.h"
#include "Core/Render/Vertex.h"
#include "tests/Support/LogCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace
{

using bwtest::ExpectCorners;
using bwtest::RecordingRender;

class DrawTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(r.Init(800, 600), BW_OK);
        ASSERT_EQ(r.BeginScene(), BW_OK);
        graphics = std::make_unique<render::Graphics>(&r);
        image = MakeImage(8, 4);
    }

    void TearDown() override
    {
        graphics.reset();
        images.clear();
    }

    // An image over a whole texture of its own.
    render::ImageRect* MakeImage(uint32_t width, uint32_t height)
    {
        render::Texture* texture = nullptr;
        EXPECT_EQ(r.CreateTexture(&texture), BW_OK);
        texture->CreateDynamic(width, height);
        images.push_back(std::make_unique<render::ImageRect>());
        render::ImageRect* made = images.back().get();
        made->mTexture = texture;
        made->mWidth = static_cast<int32_t>(width);
        made->mHeight = static_cast<int32_t>(height);
        return made;
    }

    const render::SVertex2D* Quad(size_t index = 0) { return bwtest::WrittenQuad(r, index); }
    uint32_t VerticesUsed2D() { return r.GetVertexCache<render::SVertex2D>()->GetPrimary()->GetImpl()->GetUsed(); }
    std::vector<std::string> Draws() { return bwtest::Replay(r); }

    RecordingRender r;
    std::unique_ptr<render::Graphics> graphics;
    std::vector<std::unique_ptr<render::ImageRect>> images;
    render::ImageRect* image = nullptr;
};

TEST_F(DrawTest, ColourIsPackedClampedAndTintGoesIntoTheSpecular)
{
    const std::pair<float, uint32_t> tints[] = {{0.0f, 0xFFu}, {1.0f, 0xFF00u}, {0.5f, 0x7F80u}, {2.0f, 0xFF00u}};
    const float colour[4] = {1.2f, 0.5f, -0.25f, 1.0f};
    graphics->SetColor(colour);
    for (size_t quad = 0; quad < 4; ++quad)
    {
        graphics->mTint = tints[quad].first;
        ASSERT_EQ(graphics->DrawImage(image).DrawNow(), BW_OK);
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(std::make_pair(Quad(quad)[k].specular, Quad(quad)[k].diffuse),
                      std::make_pair(tints[quad].second, 0xFFFF7F00u));
    }
    const float wild[4] = {1.2f, -3.0f, 0.0f / 0.0f, 7.0f};
    EXPECT_EQ(render::ColorToArgb(wild), 0xFFFF0000u);
}

TEST_F(DrawTest, TranslatedVariantMovesTheQuadAndOnlyItDraws)
{
    const float at[2] = {100, 50};
    {
        auto draw = graphics->DrawImage(image);
        auto moved = draw.Translate(at);
        EXPECT_FALSE(draw.IsPending());
        EXPECT_TRUE(moved.IsPending());
    }
    ExpectCorners(Quad(), 99.5f, 49.5f, 107.5f, 53.5f);
    EXPECT_EQ(VerticesUsed2D(), 4u);
    EXPECT_EQ(Draws(), std::vector<std::string>{"DrawIndexedPrimitive(3,2,0,2,0,4)"});
}

// Nothing to show is no error of the frame; each image is reported once,
// not at every frame (a null image once in the process).
TEST_F(DrawTest, NullOrEmptyImagesDrawNothingAndAreReportedOnce)
{
    EXPECT_EQ(graphics->DrawImage(nullptr).DrawNow(), BW_OK);
    testing_support::LogCapture log;
    render::ImageRect empty;
    render::ImageRect* flat = MakeImage(4, 4);
    flat->mHeight = 0;
    for (int frame = 0; frame < 2; ++frame)
    {
        EXPECT_EQ(graphics->DrawImage(nullptr).DrawNow(), BW_OK);
        EXPECT_EQ(graphics->DrawImage(&empty).DrawNow(), BW_OK);
        EXPECT_EQ(graphics->DrawImage(flat).DrawNow(), BW_OK);
        graphics->DrawImage(nullptr); // by the destructor
    }
    EXPECT_EQ(log.Count(L"Can't draw an image without pixels\n"), 2u);
    EXPECT_EQ(VerticesUsed2D(), 0u);
    EXPECT_TRUE(Draws().empty());
}

TEST_F(DrawTest, DrawsOutsideAFrameOrWithoutCacheRoomDrawNothing)
{
    ASSERT_EQ(r.EndScene(), BW_OK); // outside a frame the caches give nothing
    EXPECT_EQ(graphics->DrawImage(image).DrawNow(), BW_FAIL);
    const float p[3] = {0, 0, 0};
    const float rect[4] = {0, 0, 4, 4};
    {
        auto line = graphics->DrawLine(p, p);
        auto box = graphics->DrawRect(rect);
        EXPECT_FALSE(line.IsPending());
        EXPECT_FALSE(box.IsPending());
    }
    ASSERT_EQ(r.BeginScene(), BW_OK);
    // A rectangle bigger than any buffer's room is refused too.
    render::SVertexGeom* hog = nullptr;
    render::VertexCacheGeom::Allocation place;
    auto* cache = r.GetVertexCache<render::SVertexGeom>();
    ASSERT_EQ(cache->Allocate(cache->GetPrimary()->GetImpl()->GetRoom() - 2, &hog, &place), BW_OK);
    r.mFailCreate = "vertex"; // no overflow buffer either
    EXPECT_FALSE(graphics->DrawRect(rect).IsPending());
    r.mFailCreate.clear();
    EXPECT_TRUE(Draws().empty());
}

struct CustomCase
{
    uint32_t type, vertices;
    const char* draw; // empty: nothing drawn
};

class DrawCustomCount : public DrawTest, public testing::WithParamInterface<CustomCase>
{
};

TEST_P(DrawCustomCount, WorksOutThePrimitiveCountAndDrawsNothingForTooFewVertices)
{
    const CustomCase& c = GetParam();
    render::SVertexGeom* v = nullptr;
    render::VertexAllocation place;
    ASSERT_EQ(r.GetVertexCache<render::SVertexGeom>()->Allocate(c.vertices, &v, &place), BW_OK);
    for (uint32_t k = 0; k < c.vertices; ++k)
        v[k] = render::SVertexGeom{static_cast<float>(k), 0, 0, 0xFFFFFFFFu};
    ASSERT_EQ(graphics->DrawCustom(c.type, v, place, r.GetShaderGeomObject()).DrawNow(), BW_OK);
    EXPECT_EQ(Draws(), *c.draw ? std::vector<std::string>{c.draw} : std::vector<std::string>());
}

INSTANTIATE_TEST_SUITE_P(Types, DrawCustomCount,
                         testing::Values(CustomCase{render::TriangleStrip, 6, "DrawPrimitive(4,0,4)"},
                                         CustomCase{render::LineList, 7, "DrawPrimitive(1,0,3)"},
                                         CustomCase{render::TriangleFan, 5, "DrawPrimitive(5,0,3)"},
                                         CustomCase{render::TriangleStrip, 1, ""}, CustomCase{render::TriangleFan, 2, ""},
                                         CustomCase{render::LineStrip, 1, ""}, CustomCase{render::TriangleList, 2, ""}));

} // namespace
