// The renderer front end: start-up failures, the frame protocol and how a
// frame that fails part-way is recovered.

#include "tests/Core/Render/RecordedFrame.h"

#include "Core/Math/Matrix4.h"
#include "Core/Render/Shader.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{

using bwtest::CommandBytes;
using bwtest::RecordedBytes;
using bwtest::RecordingRender;

class FrameTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(r.Init(), BW_OK);
        block.mShader = r.GetShaderGeomObject()->GetImpl();
        block.mVertexBuffer = r.GetVertexCache<render::SVertexGeom>()->GetPrimary()->GetImpl();
        r.GetShaderGeomObject()->SetProjection(&r.GetProjection());
    }

    // Takes room for a triangle from the geometry cache and draws it.
    BWResultEnum DrawTriangle()
    {
        render::SVertexGeom* vertices = nullptr;
        render::VertexCacheGeom::Allocation at;
        BWResultEnum result = r.GetVertexCache<render::SVertexGeom>()->Allocate(3, &vertices, &at);
        if (result != BW_OK)
            return result;
        block.mVertexBuffer = at.mBuffer;
        r.SetRenderState(&block, true);
        return r.DrawPrimitive(render::TriangleList, at.mFirst, 1);
    }

    RecordingRender r;
    render::RenderState block;
};

TEST_F(FrameTest, ADeviceThatCannotDrawDropsWhatWasRecorded)
{
    ASSERT_EQ(r.BeginScene(), BW_OK);
    ASSERT_EQ(DrawTriangle(), BW_OK);
    r.mDeviceReady = false;
    EXPECT_FALSE(r.CanRender());
    EXPECT_EQ(r.GetCommands().Tell(), 0u);
    EXPECT_FALSE(r.IsInScene());
    EXPECT_FALSE(r.GetVertexCache<render::SVertexGeom>()->GetPrimary()->GetImpl()->IsLocked());

    // An idle frame that cannot draw records nothing either.
    EXPECT_FALSE(r.CanRender());
    EXPECT_EQ(r.GetCommands().Tell(), 0u);
}

TEST_F(FrameTest, AFrameAbandonedBeforeEndSceneDoesNotFreezeTheNext)
{
    for (int frame = 0; frame < 3; ++frame)
    {
        ASSERT_TRUE(r.CanRender());
        ASSERT_EQ(r.BeginScene(), BW_OK) << "frame " << frame;
        ASSERT_EQ(DrawTriangle(), BW_OK);
        // The application returns on an error here: no EndScene, no replay.
    }
    ASSERT_EQ(r.BeginScene(), BW_OK);
    r.mCalls.clear();
    ASSERT_EQ(DrawTriangle(), BW_OK);
    ASSERT_EQ(r.EndScene(), BW_OK);
    ASSERT_EQ(r.Present(), BW_OK);
    ASSERT_EQ(r.ExecuteCommands(), BW_OK);

    // Only this frame's commands, with every state set again.
    EXPECT_EQ(r.mCalls.front(), "BeginScene()");
    EXPECT_EQ(std::count(r.mCalls.begin(), r.mCalls.end(), "BeginScene()"), 1);
    EXPECT_EQ(std::count(r.mCalls.begin(), r.mCalls.end(), "SetShader(geom)"), 1);
    EXPECT_EQ(std::count(r.mCalls.begin(), r.mCalls.end(), "DrawPrimitive(3,0,1)"), 1);
}

TEST_F(FrameTest, AFrameEndedButNeverReplayedIsDroppedByTheNext)
{
    ASSERT_EQ(r.BeginScene(), BW_OK);
    ASSERT_EQ(DrawTriangle(), BW_OK);
    ASSERT_EQ(r.EndScene(), BW_OK);
    // Present failed, say: no replay.
    ASSERT_EQ(r.BeginScene(), BW_OK);
    EXPECT_EQ(RecordedBytes(r), CommandBytes().U32(render::CmdBeginScene).Bytes());
}

TEST_F(FrameTest, ABufferDeletedAfterItsFrameIsNotReadByTheNext)
{
    auto mesh = std::make_unique<render::VertexBuffer<render::SVertex2D>>(&r);
    ASSERT_EQ(mesh->Create(3, false), BW_OK);
    render::RenderState meshBlock = block;
    meshBlock.mVertexBuffer = mesh->GetImpl();
    ASSERT_EQ(r.BeginScene(), BW_OK);
    ASSERT_EQ(r.SetRenderState(&meshBlock, true), BW_OK);
    ASSERT_EQ(r.DrawPrimitive(render::TriangleList, 0, 1), BW_OK);
    ASSERT_EQ(r.EndScene(), BW_OK);
    ASSERT_EQ(r.ExecuteCommands(), BW_OK);
    mesh.reset();
    EXPECT_EQ(r.GetCurrentState().mVertexBuffer, nullptr);

    // Another layout: the format must be recorded, and the dead buffer not read.
    ASSERT_EQ(r.BeginScene(), BW_OK);
    r.mCalls.clear();
    ASSERT_EQ(DrawTriangle(), BW_OK);
    ASSERT_EQ(r.EndScene(), BW_OK);
    ASSERT_EQ(r.ExecuteCommands(), BW_OK);
    EXPECT_NE(std::find(r.mCalls.begin(), r.mCalls.end(), "SetVertexFormat(1)"), r.mCalls.end());
}

TEST(RenderLifetime, ObjectsOutlivingTheRendererAreDetached)
{
    auto r = std::make_unique<RecordingRender>();
    ASSERT_EQ(r->Init(), BW_OK);
    render::Texture* texture = nullptr;
    ASSERT_EQ(r->CreateTexture(&texture), BW_OK);
    auto buffer = std::make_unique<render::VertexBuffer<render::SVertex2D>>(r.get());
    ASSERT_EQ(buffer->Create(8, false), BW_OK);
    render::ShaderImpl* shader = nullptr;
    ASSERT_EQ(r->CreateShader("vs", "ps", &shader), BW_OK);

    r.reset();
    // Under the address sanitizer a touch of the dead renderer would fail here.
    EXPECT_EQ(texture->GetRender(), nullptr);
    EXPECT_EQ(buffer->GetImpl()->GetRender(), nullptr);
    EXPECT_EQ(shader->GetRender(), nullptr);
    delete texture;
    buffer.reset();
    delete shader;
}

} // namespace
