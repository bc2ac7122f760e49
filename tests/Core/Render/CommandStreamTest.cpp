// Byte-level tests of what the renderer records: the layout of each command,
// what is merged, what is re-recorded, and how the replay reads it back.

#include "tests/Core/Render/RecordedFrame.h"

#include "Core/Math/Matrix4.h"
#include "Core/Render/Shader.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace
{

using bwtest::CommandBytes;
using bwtest::RecordedBytes;
using render::CommandId;

class CommandStreamTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(r.Init(), BW_OK);
        mult = r.GetShaderTexturedMultObject()->GetImpl();
        tint = r.GetShaderTexturedTintObject()->GetImpl();
        vb = r.GetVertexCache<render::SVertex2D>()->GetPrimary()->GetImpl();
        ib = r.GetIndexCache16()->GetPrimary()->GetImpl();
        ASSERT_EQ(r.CreateTexture(&texture), BW_OK);
        r.GetShaderTexturedMultObject()->SetProjection(&projection);
        r.GetShaderTexturedMultObject()->SetTexture(texture);
        r.GetShaderTexturedTintObject()->SetProjection(&projection);
        r.GetShaderTexturedTintObject()->SetTexture(texture);

        block.mShader = mult;
        block.mVertexBuffer = vb;
        block.mIndexBuffer = ib;
        block.mBlendMode = render::BlendAlpha;
    }

    void TearDown() override { delete texture; }

    // What the first draw of a frame records for `block` with the multiply
    // shader: every state, then both of its variables.
    void ExpectFullState(CommandBytes& b, render::ShaderImpl* shader)
    {
        b.U32(render::CmdSetShader).Ptr(shader);
        b.U32(render::CmdSetVertexFormat).U32(0).U32(render::CmdSetVertexBuffer).Ptr(vb);
        b.U32(render::CmdSetIndexBuffer).Ptr(ib);
        b.U32(render::CmdSetBlendMode).U32(1);
        ExpectVariables(b, shader);
    }

    void ExpectVariables(CommandBytes& b, render::ShaderImpl* shader)
    {
        b.U32(render::CmdSetShaderVariables).Ptr(shader).U8(2);
        b.U8(0).Ptr(&projection).U8(1).Ptr(texture);
    }

    bwtest::RecordingRender r;
    render::ShaderImpl* mult = nullptr;
    render::ShaderImpl* tint = nullptr;
    render::VertexBufferImpl* vb = nullptr;
    render::IndexBufferImpl* ib = nullptr;
    render::Texture* texture = nullptr;
    math::Matrix4 projection;
    render::RenderState block;
};

TEST_F(CommandStreamTest, AnEmptyFrameRecordsSceneCommandsAndNothingReplaysNothing)
{
    ASSERT_EQ(r.ExecuteCommands(), BW_OK);
    EXPECT_TRUE(r.mCalls.empty());
    ASSERT_EQ(r.BeginScene(), BW_OK);
    ASSERT_EQ(r.EndScene(), BW_OK);
    ASSERT_EQ(r.Present(), BW_OK);
    EXPECT_EQ(RecordedBytes(r),
              CommandBytes().U32(render::CmdBeginScene).U32(render::CmdEndScene).U32(render::CmdPresent).Bytes());
    ASSERT_EQ(r.ExecuteCommands(), BW_OK);
    EXPECT_EQ(r.mCalls, (std::vector<std::string>{"BeginScene()", "EndScene()", "Present()"}));
    EXPECT_EQ(r.GetCommands().Tell(), 0u);
}

// A draw as asked for and as recorded: indexed (type, start index,
// primitives, lowest vertex, vertex count) or not (type, start vertex,
// primitives).
struct Draw
{
    bool indexed;
    uint32_t type, start, count, minVertex = 0, vertices = 0;
};
struct MergeCase
{
    const char* name;
    std::vector<Draw> asked, recorded;
};
class DrawMerging : public CommandStreamTest, public testing::WithParamInterface<MergeCase>
{
};

TEST_P(DrawMerging, RecordsTheMergedCommands)
{
    ASSERT_EQ(r.BeginScene(), BW_OK);
    ASSERT_EQ(r.SetRenderState(&block, true), BW_OK);
    for (const Draw& d : GetParam().asked)
        ASSERT_EQ(d.indexed ? r.DrawIndexedPrimitive(d.type, d.start, d.count, d.minVertex, d.vertices)
                            : r.DrawPrimitive(d.type, d.start, d.count),
                  BW_OK);
    ASSERT_EQ(r.EndScene(), BW_OK);
    CommandBytes b;
    ExpectFullState(b.U32(render::CmdBeginScene), mult);
    for (const Draw& d : GetParam().recorded)
        d.indexed ? b.Indexed(d.start, d.count, d.minVertex, d.vertices, d.type)
                  : b.U32(render::CmdDrawPrimitive).U32(d.type).U32(d.start).U32(d.count);
    EXPECT_EQ(RecordedBytes(r), b.U32(render::CmdEndScene).Bytes());
}

const bool kIdx = true, kPlain = false;
const uint32_t kList = render::TriangleList, kStrip = render::TriangleStrip, kFan = render::TriangleFan;

INSTANTIATE_TEST_SUITE_P(
    Batches, DrawMerging,
    testing::Values(
        MergeCase{"ContinuingIndexedDrawsMerge", {{kIdx, kList, 0, 2, 0, 4}, {kIdx, kList, 6, 2, 4, 4}},
                  {{kIdx, kList, 0, 4, 0, 8}}},
        MergeCase{"AGapBetweenIndexedDrawsKeepsThemApart", {{kIdx, kList, 0, 2, 0, 4}, {kIdx, kList, 7, 2, 4, 4}},
                  {{kIdx, kList, 0, 2, 0, 4}, {kIdx, kList, 7, 2, 4, 4}}},
        MergeCase{"TheMergedVertexRangeCoversBothDraws", {{kIdx, kList, 0, 1, 10, 3}, {kIdx, kList, 3, 1, 2, 3}},
                  {{kIdx, kList, 0, 2, 2, 11}}},
        MergeCase{"StripsAndFansAreNeverMerged",
                  {{kIdx, kStrip, 0, 2, 0, 4}, {kIdx, kStrip, 4, 2, 4, 4}, {kPlain, kFan, 0, 2}, {kPlain, kFan, 4, 2}},
                  {{kIdx, kStrip, 0, 2, 0, 4}, {kIdx, kStrip, 4, 2, 4, 4}, {kPlain, kFan, 0, 2}, {kPlain, kFan, 4, 2}}},
        MergeCase{"ContinuingListDrawsMergeWithoutIndices",
                  {{kPlain, render::LineList, 0, 1}, {kPlain, render::LineList, 2, 3}, {kPlain, render::PointList, 8, 5},
                   {kPlain, render::PointList, 13, 1}},
                  {{kPlain, render::LineList, 0, 4}, {kPlain, render::PointList, 8, 6}}}),
    [](const testing::TestParamInfo<MergeCase>& info) { return std::string(info.param.name); });

// A change between two draws breaks the merge and records only what
// changed, after the previous draw. What each state does is checked by the
// pixel tests; these are the changes that send less, or more, than one might think.
TEST_F(CommandStreamTest, EachChangeBetweenDrawsRecordsOnlyWhatChanged)
{
    render::VertexBuffer<render::SVertex2D> second(&r);
    ASSERT_EQ(second.Create(16, true), BW_OK);
    render::RenderState onTexture;
    using Bytes = CommandBytes&;
    struct Step
    {
        const char* what;
        std::function<void()> change;
        std::function<void(Bytes)> expect;
        uint32_t type = render::TriangleList;
        bool toTexture = false;
    };
    const Step steps[] = {
        {"nothing but the primitive type", [] {}, [](Bytes) {}, render::TriangleStrip},
        {"buffer of the same format: no format command", [&] { block.mVertexBuffer = second.GetImpl(); },
         [&](Bytes b) { b.U32(render::CmdSetVertexBuffer).Ptr(second.GetImpl()); }},
        {"shader A to B", [&] { block.mShader = tint; },
         [&](Bytes b) { ExpectVariables(b.U32(render::CmdSetShader).Ptr(tint), tint); }},
        // Back to A: all of A's variables again.
        {"shader B to A", [&] { block.mShader = mult; },
         [&](Bytes b) { ExpectVariables(b.U32(render::CmdSetShader).Ptr(mult), mult); }},
        // The write byte only while the test is on.
        {"depth test on", [&] { block.mDepthTest = 1, block.mDepthWrite = 0; },
         [](Bytes b) { b.U32(render::CmdSetDepthTest).U8(1).U8(0); }},
        // Both scissor commands, although the scissor is off.
        {"target",
         [&] {
             onTexture = block;
             onTexture.mTarget = texture;
             onTexture.mScale[0] = onTexture.mScale[1] = 2.0f;
         },
         [&](Bytes b) {
             b.U32(render::CmdSetRenderTarget).Ptr(texture).U32(render::CmdEnableScissor).U8(0);
             b.U32(render::CmdSetScissorRect).I32(0).I32(0).I32(0).I32(0);
         },
         render::TriangleList, true},
    };

    ASSERT_EQ(r.BeginScene(), BW_OK);
    ASSERT_EQ(r.SetRenderState(&block, true), BW_OK);
    ASSERT_EQ(r.DrawIndexedPrimitive(render::TriangleList, 0, 2, 0, 4), BW_OK);
    uint32_t start = 0, type = render::TriangleList;
    for (const Step& step : steps)
    {
        SCOPED_TRACE(step.what);
        const size_t before = RecordedBytes(r).size();
        step.change();
        ASSERT_EQ(r.SetRenderState(step.toTexture ? &onTexture : &block, true), BW_OK);
        ASSERT_EQ(r.DrawIndexedPrimitive(step.type, start + 6, 2, 0, 4), BW_OK);
        CommandBytes b;
        step.expect(b.Indexed(start, 2, 0, 4, type));
        EXPECT_EQ(RecordedBytes(r, before), b.Bytes());
        start += 6;
        type = step.type;
    }
}

TEST_F(CommandStreamTest, ATargetRecordedByClearStillReRecordsTheScissor)
{
    ASSERT_EQ(r.BeginScene(), BW_OK);
    render::RenderState onTexture = block;
    onTexture.mTarget = texture;
    onTexture.mScissorEnabled = 1;
    const float rect[4] = {1.5f, 2.5f, 10.0f, 20.0f};
    std::copy(rect, rect + 4, onTexture.mScissorRect);
    ASSERT_EQ(r.SetTarget(onTexture.GetTargetDesc()), BW_OK);
    const float black[4] = {0, 0, 0, 1};
    ASSERT_EQ(r.Clear(render::ClearColor, black, 1.0f, 0), BW_OK);
    ASSERT_EQ(r.SetRenderState(&onTexture, true), BW_OK);
    ASSERT_EQ(r.DrawIndexedPrimitive(render::TriangleList, 0, 2, 0, 4), BW_OK);
    ASSERT_EQ(r.FlushBatch(), BW_OK);

    // No second target command: Clear recorded it.
    CommandBytes b;
    b.U32(render::CmdBeginScene).U32(render::CmdSetRenderTarget).Ptr(texture);
    b.U32(render::CmdClear).U32(1).F32(0).F32(0).F32(0).F32(1).F32(1).U32(0);
    b.U32(render::CmdSetShader).Ptr(mult).U32(render::CmdSetVertexFormat).U32(0).U32(render::CmdSetVertexBuffer).Ptr(vb);
    b.U32(render::CmdSetIndexBuffer).Ptr(ib).U32(render::CmdSetBlendMode).U32(1);
    b.U32(render::CmdEnableScissor).U8(1).U32(render::CmdSetScissorRect).I32(1).I32(2).I32(10).I32(20);
    ExpectVariables(b, mult);
    EXPECT_EQ(RecordedBytes(r), b.Indexed(0, 2, 0, 4).Bytes());
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

TEST(CommandBufferGrowth, GrowsByHalfOrToTheNeedPlus1024AndNeverShrinks)
{
    render::CommandBuffer buffer;
    std::vector<uint8_t> bytes(5000, 0xAB);
    // Written, then the size: 4 + 1024, exactly full, half again, the need + 1024.
    const uint32_t steps[][2] = {{4, 1028}, {1024, 1028}, {1, 1542}, {5000, 7053}};
    for (const auto& step : steps)
    {
        ASSERT_EQ(buffer.Write(bytes.data(), step[0]), step[0]);
        EXPECT_EQ(buffer.GetSize(), step[1]) << step[0];
    }
    EXPECT_EQ(buffer.GetData()[0], 0xAB);
    ASSERT_EQ(buffer.Rewind(), BW_OK);
    buffer.Reserve(10, true);
    EXPECT_EQ(buffer.GetSize(), 7053u);
}

} // namespace
