// What the renderer records and how the replay reads it back: merged draws,
// malformed streams, and a replay that fails part-way.

#include "tests/Core/Render/RecordedFrame.h"

#include "Core/Math/Matrix4.h"
#include "Core/Render/Shader.h"

#include <gtest/gtest.h>


namespace
{

using bwtest::CommandBytes;

class CommandStreamTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(r.Init(), BW_OK);
        mult = r.GetShaderTexturedMultObject()->GetImpl();
        ASSERT_EQ(r.CreateTexture(&texture), BW_OK);
        r.GetShaderTexturedMultObject()->SetProjection(&projection);
        r.GetShaderTexturedMultObject()->SetTexture(texture);
        block.mShader = mult;
        block.mVertexBuffer = r.GetVertexCache<render::SVertex2D>()->GetPrimary()->GetImpl();
        block.mIndexBuffer = r.GetIndexCache16()->GetPrimary()->GetImpl();
        block.mBlendMode = render::BlendAlpha;
    }

    void TearDown() override { delete texture; }

    bwtest::RecordingRender r;
    render::ShaderImpl* mult = nullptr;
    render::Texture* texture = nullptr;
    math::Matrix4 projection;
    render::RenderState block;
};

// Continuing list draws merge into one; strips, fans and draws with a gap
// between them never do.
TEST_F(CommandStreamTest, OnlyContinuingListDrawsMerge)
{
    struct Draw
    {
        bool indexed;
        uint32_t type, start, count, minVertex = 0, vertices = 0;
    };
    const auto text = [](const Draw& d) {
        return d.indexed ? bwtest::LogCall("DrawIndexedPrimitive", d.type, 2u, d.start, d.count, d.minVertex, d.vertices)
                         : bwtest::LogCall("DrawPrimitive", d.type, d.start, d.count);
    };
    const bool I = true, P = false;
    const uint32_t list = render::TriangleList, strip = render::TriangleStrip, fan = render::TriangleFan;
    const std::vector<Draw> cases[][2] = {
        {{{I, list, 0, 2, 0, 4}, {I, list, 6, 2, 4, 4}}, {{I, list, 0, 4, 0, 8}}},
        {{{I, list, 0, 2, 0, 4}, {I, list, 7, 2, 4, 4}}, {{I, list, 0, 2, 0, 4}, {I, list, 7, 2, 4, 4}}},
        {{{I, list, 0, 1, 10, 3}, {I, list, 3, 1, 2, 3}}, {{I, list, 0, 2, 2, 11}}},
        {{{I, strip, 0, 2, 0, 4}, {I, strip, 4, 2, 4, 4}, {P, fan, 0, 2}, {P, fan, 4, 2}},
         {{I, strip, 0, 2, 0, 4}, {I, strip, 4, 2, 4, 4}, {P, fan, 0, 2}, {P, fan, 4, 2}}},
        {{{P, render::LineList, 0, 1}, {P, render::LineList, 2, 3}, {P, render::PointList, 8, 5},
          {P, render::PointList, 13, 1}},
         {{P, render::LineList, 0, 4}, {P, render::PointList, 8, 6}}}};
    for (const auto& c : cases)
    {
        r.mCalls.clear();
        ASSERT_EQ(r.BeginScene(), BW_OK);
        ASSERT_EQ(r.SetRenderState(&block, true), BW_OK);
        std::vector<std::string> expected;
        for (const Draw& d : c[0])
            ASSERT_EQ(d.indexed ? r.DrawIndexedPrimitive(d.type, d.start, d.count, d.minVertex, d.vertices)
                                : r.DrawPrimitive(d.type, d.start, d.count),
                      BW_OK);
        for (const Draw& d : c[1])
            expected.push_back(text(d));
        EXPECT_EQ(bwtest::Replay(r), expected) << text(c[0][0]);
    }
}

TEST_F(CommandStreamTest, APayloadCutShortReplaysAsAnError)
{
    // Fill the buffer exactly to its capacity (4 + 1024), ending inside a draw's payload.
    CommandBytes bytes;
    while (bytes.Size() + 12 < 1028)
        bytes.U32(render::CmdNone);
    bytes.U32(render::CmdDrawIndexedPrimitive).U32(3).U32(2);
    render::CommandBuffer& commands = r.GetCommands();
    ASSERT_EQ(commands.Write(bytes.Bytes().data(), 4), 4u);
    ASSERT_EQ(commands.Write(bytes.Bytes().data() + 4, 1024), 1024u);
    ASSERT_EQ(commands.GetSize(), 1028u);
    ASSERT_EQ(commands.Rewind(), BW_OK);
    EXPECT_EQ(r.ReplayCommands(), BW_FAIL);
    EXPECT_TRUE(r.mCalls.empty());
}

TEST_F(CommandStreamTest, AVariableIndexBeyondTheShadersListIsAnError)
{
    CommandBytes b;
    b.U32(render::CmdSetShaderVariables).Ptr(mult).U8(1).U8(2).Ptr(texture);
    render::CommandBuffer& commands = r.GetCommands();
    ASSERT_EQ(commands.Write(b.Bytes().data(), static_cast<uint32_t>(b.Size())), b.Size());
    EXPECT_EQ(r.ExecuteCommands(), BW_FAIL);
    EXPECT_TRUE(r.mCalls.empty());
    EXPECT_EQ(commands.Tell(), 0u);
}

TEST_F(CommandStreamTest, AFailedReplayIsRewoundAndTheNextFrameSetsEveryStateInRecordedOrder)
{
    block.mScissorEnabled = 1;
    block.mScissorRect[2] = 5;
    block.mScissorRect[3] = 6;
    for (int frame = 0; frame < 2; ++frame)
    {
        r.mFailCall = frame == 0 ? "SetBlendMode" : "";
        r.mCalls.clear();
        ASSERT_EQ(r.BeginScene(), BW_OK);
        const float color[4] = {0, 0, 0, 1};
        ASSERT_EQ(r.SetTarget(render::RenderTargetDesc()), BW_OK);
        ASSERT_EQ(r.Clear(render::ClearColor, color, 1.0f, 0), BW_OK);
        ASSERT_EQ(r.SetRenderState(&block, false), BW_OK);
        ASSERT_EQ(r.DrawIndexedPrimitive(render::TriangleList, 0, 2, 0, 4), BW_OK);
        ASSERT_EQ(r.EndScene(), BW_OK);
        ASSERT_EQ(r.Present(), BW_OK);
        EXPECT_EQ(r.ExecuteCommands(), frame == 0 ? BW_FAIL : BW_OK);
        EXPECT_EQ(r.GetCommands().Tell(), 0u);
        if (frame == 0)
        {
            // The replay stops at the failure and ends the scene it began.
            EXPECT_EQ(r.mCalls.end()[-2], "SetBlendMode(1)");
            EXPECT_EQ(r.mCalls.back(), "EndScene()");
        }
    }
    // The second frame sets the target, every state and the variables again,
    // although the same block was handed over unforced; the clear goes
    // unclipped.
    EXPECT_EQ(r.mCalls, (std::vector<std::string>{
                            "BeginScene()", "SetRenderTarget(null)", "EnableScissor(0)", "Clear(1,0,0,0,1,1,0)",
                            "SetShader(mult)",
                            "SetVertexFormat(0)", "SetVertexBuffer(vb0)", "SetIndexBuffer(ib0)", "SetBlendMode(1)",
                            "EnableScissor(1)", "SetScissorRect(0,0,5,6)", "SetDepthTest(0,0)",
                            "SetMatrix(mult.Proj," + r.NameOf(&projection) + ")",
                            "SetTexture(mult.TextureSampler,tex0)", "DrawIndexedPrimitive(3,2,0,2,0,4)",
                            "EndScene()", "Present()"}));
}

} // namespace
