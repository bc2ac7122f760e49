// The renderer front end: start-up failures, state requests, the frame
// protocol and how a frame that fails part-way is recovered. The projection
// is checked by the pixels it places.

#include "tests/Core/Render/RecordedFrame.h"

#include "Core/Math/Matrix4.h"
#include "Core/Render/Shader.h"
#include "Core/Resource/ResourceHandle.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

namespace
{

using bwtest::CommandBytes;
using bwtest::RecordedBytes;
using bwtest::RecordingRender;

TEST(RenderInit, EachFailingFactoryFailsStartUpAndLeavesNothingBehind)
{
    for (const char* factory : {"geom", "mult", "tint", "vertex", "index"})
    {
        RecordingRender r;
        r.mFailCreate = factory;
        EXPECT_EQ(r.Init(), BW_FAIL) << factory;
        r.ReleaseResources();
        EXPECT_TRUE(r.Buffers().empty() && r.ShaderImpls().empty()) << factory;
    }
}

TEST(RenderInit, BuiltInShaderHandlesCarryNoShareCount)
{
    RecordingRender r;
    ASSERT_EQ(r.Init(), BW_OK);
    resource::ResourceHandle handle;
    ASSERT_EQ(r.GetShaderGeom(&handle), BW_OK);
    EXPECT_EQ(handle.Get(), r.GetShaderGeomObject());
    EXPECT_EQ(handle.GetCount(), nullptr);
    handle.Reset(); // must not release what the renderer owns
    EXPECT_NE(r.GetShaderGeomObject(), nullptr);
}

class RenderState : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(r.Init(), BW_OK);
        render::Texture* made = nullptr;
        ASSERT_EQ(r.CreateTexture(&made), BW_OK);
        texture.reset(made);
    }
    const render::RenderState& Requested() { return r.GetRequestedState(); }

    RecordingRender r;
    std::unique_ptr<render::Texture> texture;
};

TEST_F(RenderState, RequestsFollowTheirRules)
{
    // The back buffer again keeps scale and offset; another target takes its own.
    render::RenderTargetDesc desc;
    desc.mScale[0] = 3.0f;
    desc.mOffset[1] = 7.0f;
    ASSERT_EQ(r.SetTarget(desc), BW_OK);
    EXPECT_EQ(std::make_pair(Requested().mScale[0], Requested().mOffset[1]), std::make_pair(1.0f, 0.0f));
    desc.mTarget = texture.get();
    ASSERT_EQ(r.SetTarget(desc), BW_OK);
    EXPECT_EQ(std::make_pair(Requested().mTarget, Requested().mOffset[1]), std::make_pair(texture.get(), 7.0f));
    // The same block unforced is not read again.
    render::RenderState block;
    block.mBlendMode = 2;
    ASSERT_EQ(r.SetRenderState(&block, false), BW_OK);
    block.mBlendMode = 1;
    ASSERT_EQ(r.SetRenderState(&block, false), BW_OK);
    EXPECT_EQ(Requested().mBlendMode, 2u);
    ASSERT_EQ(r.SetRenderState(&block, true), BW_OK);
    EXPECT_EQ(Requested().mBlendMode, 1u);
    // A disabled scissor leaves the rectangle; depth writes count only with the test on.
    block.mScissorEnabled = 1, block.mScissorRect[2] = 50.0f, block.mDepthWrite = 0;
    ASSERT_EQ(r.SetRenderState(&block, true), BW_OK);
    EXPECT_EQ(Requested().mDepthWrite, 1);
    block.mScissorEnabled = 0, block.mScissorRect[2] = 80.0f, block.mDepthTest = 1;
    ASSERT_EQ(r.SetRenderState(&block, true), BW_OK);
    EXPECT_EQ(std::make_tuple(Requested().mScissorEnabled, Requested().mScissorRect[2], Requested().mDepthWrite),
              std::make_tuple(uint8_t(0), 50.0f, uint8_t(0)));
}

TEST_F(RenderState, ToScreenRectScalesOffsetsAndTruncatesTowardZero)
{
    render::RenderTargetDesc desc;
    desc.mTarget = texture.get();
    desc.mScale[0] = 2.0f, desc.mScale[1] = 0.5f, desc.mOffset[0] = 0.9f, desc.mOffset[1] = -1.0f;
    ASSERT_EQ(r.SetTarget(desc), BW_OK);
    const float rect[4] = {5.0f, 1.0f, 3.3f, 7.0f};
    int out[4] = {};
    ASSERT_EQ(r.ToScreenRect(rect, out), BW_OK);
    EXPECT_EQ(std::vector<int>(out, out + 4), (std::vector<int>{10, 0, 6, 3})); // 10.9, -0.5, 6.6, 3.5
}

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
    CommandBytes b;
    b.U32(render::CmdBeginScene);
    EXPECT_EQ(RecordedBytes(r), b.Bytes());
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
