// The three built-in shaders drawing through the whole path: recorded,
// batched, replayed onto the layer's OpenGL back end, read back.

#include "RenderDX9Fixture.h"

#include "Core/Math/Matrix4.h"
#include "Core/Render/Shader.h"
#include "Core/Render/ImageRect.h"
#include "Core/Render/Texture.h"

#include <memory>
#include <vector>

namespace
{

class BuiltInShaderPixelTest : public bwtest::GraphicsPixelFixture
{
protected:
    void TearDown() override
    {
        images.clear();
        bwtest::GraphicsPixelFixture::TearDown();
    }

    // A solid-colour 2x2 dynamic texture stretched over [x0, x1) x [y0, y1)
    // in the Graphics' colour, tint and shader mode.
    void DrawSolid(uint32_t argb, float x0, float y0, float x1, float y1)
    {
        images.push_back(std::make_unique<render::ImageRect>());
        render::Texture*& texture = images.back()->mTexture;
        ASSERT_EQ(r->CreateTexture(&texture), BW_OK);
        ASSERT_EQ(texture->CreateDynamic(2, 2), BW_OK);
        uint32_t size = 0, pitch = 0;
        void* bits = nullptr;
        ASSERT_EQ(texture->Lock(&size, &pitch, &bits), BW_OK);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                static_cast<uint32_t*>(bits)[y * pitch / 4 + x] = argb;
        ASSERT_EQ(texture->Unlock(), BW_OK);
        images.back()->mWidth = images.back()->mHeight = 2;
        const float scale[2] = {(x1 - x0) / 2, (y1 - y0) / 2};
        auto draw = graphics->DrawImage(images.back().get()).Scale(scale);
        draw.GetTransform().Translate(x0, y0);
    }

    void Colour(float r, float g, float b, float a = 1.0f)
    {
        const float rgba[4] = {r, g, b, a};
        graphics->SetColor(rgba);
    }

    std::vector<std::unique_ptr<render::ImageRect>> images;
    render::RenderState block;
};

TEST_F(BuiltInShaderPixelTest, GeometryShaderFillsWithTheVertexColour)
{
    render::Shader* shader = r->GetShaderGeomObject();
    render::SVertexGeom* v = nullptr;
    render::VertexCacheGeom::Allocation at;
    ASSERT_EQ(r->GetVertexCache<render::SVertexGeom>()->Allocate(6, &v, &at), BW_OK);
    // Two triangles over the left half, red, with the half-pixel shift.
    const float xs[6] = {-0.5f, 31.5f, 31.5f, -0.5f, 31.5f, -0.5f}, ys[6] = {-0.5f, -0.5f, 47.5f, -0.5f, 47.5f, 47.5f};
    for (int k = 0; k < 6; ++k)
        v[k] = {xs[k], ys[k], 0, 0xFFFF0000u};
    block.mShader = shader->GetImpl();
    block.mVertexBuffer = at.mBuffer;
    ASSERT_EQ(r->SetRenderState(&block, true), BW_OK);
    shader->SetProjection(&r->GetProjection());
    // Two continuing draws: merged into one.
    ASSERT_EQ(r->DrawPrimitive(render::TriangleList, at.mFirst, 1), BW_OK);
    ASSERT_EQ(r->DrawPrimitive(render::TriangleList, at.mFirst + 3, 1), BW_OK);
    Finish();

    ExpectPixels({{0, 0, 0xFFFF0000u}, {31, 47, 0xFFFF0000u}, {16, 20, 0xFFFF0000u}, {32, 0, 0xFF000000u},
                  {63, 47, 0xFF000000u}},
                 0);
    EXPECT_EQ(d3d9::test::GetStats(r->GetDevice()).draws, 1u);
}

TEST_F(BuiltInShaderPixelTest, MultiplyShaderTakesTextureTimesVertexColour)
{
    Colour(0.5f, 0.5f, 0.5f);
    DrawSolid(0xFF00FF00u, 0, 0, 32, 48);
    Colour(0, 0, 1);
    DrawSolid(0xFFFFFFFFu, 32, 0, 64, 48);
    Finish();
    ExpectPixels({{10, 10, 0xFF008000u}, {0, 47, 0xFF008000u}, {40, 10, 0xFF0000FFu}, {63, 0, 0xFF0000FFu}}, 1);
}

TEST_F(BuiltInShaderPixelTest, TintShaderMixesTextureAndColourByTheTint)
{
    ASSERT_EQ(graphics->SetShaderMode(render::ShaderModeTexturedTint), BW_OK);
    Colour(1, 0, 0);
    for (const float tint : {0.0f, 1.0f, 0.5f})
    {
        graphics->mTint = tint;
        DrawSolid(0xFF0000FFu, tint * 32, 0, tint * 32 + 16, 48);
    }
    Finish();
    // Tint 0: the texture; 1: the vertex colour; between: both.
    ExpectPixels({{5, 5, 0xFF0000FFu}, {40, 5, 0xFFFF0000u}, {20, 5, 0xFF7F0080u}}, 1);
}

TEST_F(BuiltInShaderPixelTest, AlphaBlendingMixesWithWhatIsBelowAndOpaqueReplacesIt)
{
    Colour(0, 0, 1);
    DrawSolid(0xFFFFFFFFu, 0, 0, 64, 48);
    Colour(1, 0, 0, 0.5f);
    DrawSolid(0xFFFFFFFFu, 0, 0, 32, 48);
    ASSERT_EQ(graphics->SetBlendMode(render::BlendOpaque), BW_OK);
    Colour(0, 1, 0, 0.5f);
    DrawSolid(0xFFFFFFFFu, 32, 0, 48, 48);
    Finish();
    ExpectNear(At(10, 10) & 0x00FFFFFFu, 0x0080007Fu, 1);
    ExpectNear(At(40, 10) & 0x00FFFFFFu, 0x0000FF00u, 1);
    ExpectPixels({{50, 10, 0xFF0000FFu}}, 1);
}

} // namespace
