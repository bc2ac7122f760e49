// The three built-in shaders drawing through the whole path: recorded,
// batched, replayed onto the layer's OpenGL back end, read back.

#include "RenderDX9Fixture.h"

#include "Core/Math/Matrix4.h"
#include "Core/Render/Shader.h"
#include "Core/Render/Texture.h"

namespace
{

class BuiltInShaderPixelTest : public bwtest::RenderDX9PixelTest
{
protected:
    void SetUp() override
    {
        bwtest::RenderDX9PixelTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(r->CanRender());
        ASSERT_EQ(r->BeginScene(), BW_OK);
        const float black[4] = {0, 0, 0, 1};
        ASSERT_EQ(r->Clear(render::ClearColor, black, 1.0f, 0), BW_OK);
    }

    void TearDown() override
    {
        textures.clear();
        bwtest::RenderDX9PixelTest::TearDown();
    }

    // A solid-colour 2x2 dynamic texture.
    render::Texture* SolidTexture(uint32_t argb)
    {
        render::Texture* texture = nullptr;
        EXPECT_EQ(r->CreateTexture(&texture), BW_OK);
        EXPECT_EQ(texture->CreateDynamic(2, 2), BW_OK);
        uint32_t size = 0, pitch = 0;
        void* bits = nullptr;
        EXPECT_EQ(texture->Lock(&size, &pitch, &bits), BW_OK);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                static_cast<uint32_t*>(bits)[y * pitch / 4 + x] = argb;
        EXPECT_EQ(texture->Unlock(), BW_OK);
        textures.emplace_back(texture);
        return texture;
    }

    // A textured quad over layout pixels [x0, x1) x [y0, y1), with the
    // half-pixel shift the drawing code applies.
    void DrawQuad(render::ShaderTextured* shader, render::Texture* texture, float x0, float y0, float x1, float y1,
                  uint32_t diffuse, uint32_t specular)
    {
        render::SVertex2D* v = nullptr;
        render::VertexCache2D::Allocation vertices;
        ASSERT_EQ(r->GetVertexCache<render::SVertex2D>()->Allocate(4, &v, &vertices), BW_OK);
        unsigned short* i = nullptr;
        render::IndexCache16::Allocation indices;
        ASSERT_EQ(r->GetIndexCache16()->Allocate(6, &i, &indices), BW_OK);
        const float xs[4] = {x0, x1, x1, x0};
        const float ys[4] = {y0, y0, y1, y1};
        const float us[4] = {0, 1, 1, 0};
        const float vs[4] = {0, 0, 1, 1};
        for (int k = 0; k < 4; ++k)
            v[k] = render::SVertex2D{xs[k] - 0.5f, ys[k] - 0.5f, 0.0f, 1.0f, diffuse, specular, us[k], vs[k]};
        const unsigned short first = static_cast<unsigned short>(vertices.mFirst);
        const unsigned short order[6] = {0, 1, 2, 0, 2, 3};
        for (int k = 0; k < 6; ++k)
            i[k] = static_cast<unsigned short>(first + order[k]);

        block.mShader = shader->GetImpl();
        block.mVertexBuffer = vertices.mBuffer;
        block.mIndexBuffer = indices.mBuffer;
        block.mBlendMode = render::BlendAlpha;
        ASSERT_EQ(r->SetRenderState(&block, true), BW_OK);
        shader->SetTexture(texture);
        shader->SetProjection(&r->GetProjection());
        ASSERT_EQ(r->DrawIndexedPrimitive(render::TriangleList, indices.mFirst, 2, vertices.mFirst, 4), BW_OK);
    }

    std::vector<std::unique_ptr<render::Texture>> textures;
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
    ReadBack();

    ExpectPixels({{0, 0, 0xFFFF0000u}, {31, 47, 0xFFFF0000u}, {16, 20, 0xFFFF0000u}, {32, 0, 0xFF000000u},
                  {63, 47, 0xFF000000u}},
                 0);
    EXPECT_EQ(d3d9::test::GetStats(r->GetDevice()).draws, 1u);
}

TEST_F(BuiltInShaderPixelTest, MultiplyShaderTakesTextureTimesVertexColour)
{
    render::Texture* green = SolidTexture(0xFF00FF00u);
    render::Texture* white = SolidTexture(0xFFFFFFFFu);
    DrawQuad(r->GetShaderTexturedMultObject(), green, 0, 0, 32, 48, 0xFF808080u, 0x000000FFu);
    DrawQuad(r->GetShaderTexturedMultObject(), white, 32, 0, 64, 48, 0xFF0000FFu, 0x000000FFu);
    ReadBack();
    ExpectPixels({{10, 10, 0xFF008000u}, {0, 47, 0xFF008000u}, {40, 10, 0xFF0000FFu}, {63, 0, 0xFF0000FFu}}, 1);
}

TEST_F(BuiltInShaderPixelTest, TintShaderMixesTextureAndColourBySpecularGreenAndBlue)
{
    render::Texture* blue = SolidTexture(0xFF0000FFu);
    render::ShaderTextured* tint = r->GetShaderTexturedTintObject();
    // Tint 0: the texture; tint 255: the vertex colour; between: both.
    DrawQuad(tint, blue, 0, 0, 16, 48, 0xFFFF0000u, (0u << 8) | 255u);
    DrawQuad(tint, blue, 16, 0, 32, 48, 0xFFFF0000u, (255u << 8) | 0u);
    DrawQuad(tint, blue, 32, 0, 64, 48, 0xFFFF0000u, (128u << 8) | 127u);
    ReadBack();
    ExpectPixels({{5, 5, 0xFF0000FFu}, {20, 5, 0xFFFF0000u}, {40, 5, 0xFF80007Fu}}, 1);
}

TEST_F(BuiltInShaderPixelTest, AlphaBlendingMixesWithWhatIsBelow)
{
    render::Texture* white = SolidTexture(0xFFFFFFFFu);
    DrawQuad(r->GetShaderTexturedMultObject(), white, 0, 0, 64, 48, 0xFF0000FFu, 0xFFu);
    DrawQuad(r->GetShaderTexturedMultObject(), white, 0, 0, 32, 48, 0x80FF0000u, 0xFFu);
    ReadBack();
    ExpectNear(At(10, 10) & 0x00FFFFFFu, 0x0080007Fu, 1);
    ExpectAt(50, 10, 0xFF0000FFu, 1);
}

} // namespace
