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
    // A square of two triangles, white but for one red corner.
    render::Mesh2D square;
    square.mVertices.assign(4, render::SVertex2D{0, 0, 0, 1, 0xFFFFFFFFu, 0, 0, 0});
    square.mVertices[2].diffuse = 0xFFFF0000u;
    square.mIndices = {0, 1, 2, 0, 2, 3};
    const float halfRed[4] = {0.5f, 1.0f, 1.0f, 1.0f};
    graphics->SetColor(halfRed);
    ASSERT_EQ(Draw(square), BW_OK);
    ASSERT_EQ(Draw(square), BW_OK);
    const render::SVertex2D* v = bwtest::WrittenVertices<render::SVertex2D>(r);
    EXPECT_EQ(v[0].diffuse, 0xFF7FFFFFu);
    EXPECT_EQ(v[2].diffuse, 0xFF7F0000u);
    // The second mesh's indices point at its own vertices, and both go in one draw.
    EXPECT_EQ(bwtest::WrittenIndices(r, 12), (std::vector<uint16_t>{0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}));
    EXPECT_EQ(bwtest::Replay(r), (std::vector<std::string>{"DrawIndexedPrimitive(3,2,0,4,0,8)"}));
}

TEST_F(DrawMeshTest, RefusedMeshesFailWithALogRecordAndDrawNothing)
{
    const struct
    {
        uint32_t vertices, indices; // the indices 0 but for the last
        unsigned short last;
        bool texture;
        uint32_t taken; // indices taken from the primary index buffer first
        const wchar_t* log;
    } cases[] = {{4, 3, 2, false, 0, L"Can't draw a mesh without a texture"},
                 {3, 0, 0, true, 0, L"Can't draw a mesh without whole triangles"},
                 {3, 4, 0, true, 0, L"Can't draw a mesh without whole triangles"},
                 {3, 3, 3, true, 0, L"Mesh index 2 points past its 3 vertices"},
                 // More than the primary vertex buffer (40960) and any overflow buffer hold.
                 {40961, 3, 0, true, 0, L"is larger than the transient caches"},
                 // More than the 16-bit index cache (10240) holds.
                 {10242, 10242, 0, true, 0, L"Mesh of 10242 vertices and 10242 indices"},
                 // Room in neither the nearly full primary buffer nor an overflow buffer.
                 {4, 1500, 0, true, 10000, L"No room in the transient caches for a mesh of 4 vertices and 1500 indices"}};
    render::Texture* texture = image.mTexture;
    for (const auto& c : cases)
    {
        render::Mesh2D mesh;
        mesh.mVertices.assign(c.vertices, render::SVertex2D{0, 0, 0, 1, 0xFFFFFFFFu, 0, 0, 0});
        mesh.mIndices.assign(c.indices, 0);
        if (c.indices)
            mesh.mIndices.back() = c.last;
        image.mTexture = c.texture ? texture : nullptr;
        uint16_t* taken = nullptr;
        render::IndexCache16::Allocation place;
        ASSERT_TRUE(!c.taken || r.GetIndexCache16()->Allocate(c.taken, &taken, &place) == BW_OK);
        testing_support::LogCapture log;
        EXPECT_EQ(Draw(mesh), BW_FAIL) << c.log;
        EXPECT_TRUE(log.Contains(c.log)) << c.log;
        // Refused before any room is taken; for want of room, nothing recorded.
        EXPECT_TRUE(c.taken || r.GetVertexCache<render::SVertex2D>()->GetPrimary()->GetImpl()->GetUsed() == 0) << c.log;
        EXPECT_TRUE(bwtest::Replay(r).empty()) << c.log;
        ASSERT_EQ(r.BeginScene(), BW_OK);
    }
}

} // namespace
