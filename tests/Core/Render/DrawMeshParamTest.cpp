// Mesh draws over the recording renderer: what one draw writes into the
// caches and records, and the meshes refused whole.

#include "tests/Core/Render/RecordedFrame.h"
#include "tests/Support/LogCapture.h"

#include "Core/Render/DrawMeshParam.h"
#include "Core/Render/Graphics.h"
#include "Core/Render/ImageRect.h"
#include "Core/Render/Texture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

typedef render::DrawUntransformedParam<render::DrawMeshParam<render::Mesh2D>> MeshDraw;

// A square of two triangles, 10 pixels wide, white but for one red corner.
render::Mesh2D Square()
{
    render::Mesh2D mesh;
    const float corners[4][2] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    for (const auto& c : corners)
        mesh.mVertices.push_back({c[0], c[1], 0.0f, 1.0f, 0xFFFFFFFFu, 0u, c[0] / 10, c[1] / 10});
    mesh.mVertices[2].diffuse = 0xFFFF0000u;
    mesh.mIndices = {0, 1, 2, 0, 2, 3};
    return mesh;
}

class DrawMeshTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(r.Init(800, 600), BW_OK);
        ASSERT_EQ(r.BeginScene(), BW_OK);
        graphics = std::make_unique<render::Graphics>(&r);
        render::Texture* texture = nullptr;
        ASSERT_EQ(r.CreateTexture(&texture), BW_OK);
        texture->CreateDynamic(8, 8);
        image.mTexture = texture;
        image.mWidth = image.mHeight = 8;
    }

    void TearDown() override { graphics.reset(); }

    BWResultEnum Draw(const render::Mesh2D& mesh)
    {
        return MeshDraw(render::DrawMeshParam<render::Mesh2D>(graphics.get(), &mesh, &image)).DrawNow();
    }

    bwtest::RecordingRender r;
    std::unique_ptr<render::Graphics> graphics;
    render::ImageRect image;
};

TEST_F(DrawMeshTest, WritesTheMeshInTheGraphicsColourAndRecordsOneIndexedTriangleList)
{
    const render::Mesh2D square = Square();
    const float halfRed[4] = {0.5f, 1.0f, 1.0f, 1.0f};
    graphics->SetColor(halfRed);
    ASSERT_EQ(Draw(square), BW_OK);
    const float at[2] = {100, 50};
    MeshDraw(render::DrawMeshParam<render::Mesh2D>(graphics.get(), &square, &image)).Translate(at);

    const render::SVertex2D* v = bwtest::WrittenVertices<render::SVertex2D>(r);
    EXPECT_EQ(v[2].x, 9.5f) << "half-pixel shift";
    EXPECT_EQ(v[2].tu, 1.0f);
    EXPECT_EQ(v[0].diffuse, 0xFF7FFFFFu);
    EXPECT_EQ(v[2].diffuse, 0xFF7F0000u);
    EXPECT_EQ(v[4].x, 99.5f);
    EXPECT_EQ(v[6].y, 59.5f);
    // The second mesh's indices point at its own vertices.
    EXPECT_EQ(bwtest::WrittenIndices(r, 12), (std::vector<uint16_t>{0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}));
    // Both continue each other in one batched draw.
    EXPECT_EQ(bwtest::Replay(r), (std::vector<std::string>{"DrawIndexedPrimitive(3,2,0,4,0,8)"}));
}

TEST_F(DrawMeshTest, RefusedMeshesFailWithALogRecordAndDrawNothing)
{
    const struct
    {
        uint32_t vertices;
        std::vector<unsigned short> indices; // empty: as many as whole triangles of the vertices take
        bool texture;
        const wchar_t* log;
    } cases[] = {{4, {0, 1, 2}, false, L"Can't draw a mesh without a texture"},
                 {3, {}, true, L"Can't draw a mesh without whole triangles"},
                 {3, {0, 1, 2, 0}, true, L"Can't draw a mesh without whole triangles"},
                 {3, {0, 1, 3}, true, L"Mesh index 2 points past its 3 vertices"},
                 // More than the primary vertex buffer (40960) and any overflow buffer hold.
                 {40961, {0, 1, 2}, true, L"is larger than the transient caches"},
                 // More than the 16-bit index cache (10240) holds.
                 {10242, {}, true, L"Mesh of 10242 vertices and 10242 indices"}};
    render::Texture* texture = image.mTexture;
    for (const auto& c : cases)
    {
        render::Mesh2D mesh;
        mesh.mVertices.assign(c.vertices, render::SVertex2D{0, 0, 0, 1, 0xFFFFFFFFu, 0, 0, 0});
        mesh.mIndices = c.indices;
        if (mesh.mIndices.empty() && c.vertices > 3)
            mesh.mIndices.assign(c.vertices - c.vertices % 3, 0);
        image.mTexture = c.texture ? texture : nullptr;
        testing_support::LogCapture log;
        EXPECT_EQ(Draw(mesh), BW_FAIL) << c.log;
        EXPECT_TRUE(log.Contains(c.log)) << c.log;
        EXPECT_EQ(r.GetVertexCache<render::SVertex2D>()->GetPrimary()->GetImpl()->GetUsed(), 0u) << c.log;
        EXPECT_TRUE(bwtest::Replay(r).empty()) << c.log;
        ASSERT_EQ(r.BeginScene(), BW_OK);
    }
}

TEST_F(DrawMeshTest, WithoutRoomInTheCachesNothingIsDrawn)
{
    // The primary index buffer nearly full: 1500 indices fit no overflow buffer.
    testing_support::LogCapture log;
    uint16_t* taken = nullptr;
    render::IndexCache16::Allocation place;
    ASSERT_EQ(r.GetIndexCache16()->Allocate(10000, &taken, &place), BW_OK);
    render::Mesh2D big = Square();
    big.mIndices.assign(1500, 0);
    EXPECT_EQ(Draw(big), BW_FAIL);
    EXPECT_TRUE(log.Contains(L"No room in the transient caches for a mesh of 4 vertices and 1500 indices"));
    EXPECT_EQ(Draw(Square()), BW_OK) << "a smaller one still fits";
}

} // namespace
