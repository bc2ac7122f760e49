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
    EXPECT_EQ(r.GetCommands().GetData()[0], render::CmdEnd);

    ASSERT_EQ(r.BeginScene(), BW_OK);
    ASSERT_EQ(r.EndScene(), BW_OK);
    ASSERT_EQ(r.Present(), BW_OK);
    CommandBytes b;
    EXPECT_EQ(RecordedBytes(r), b.U32(render::CmdBeginScene).U32(render::CmdEndScene).U32(render::CmdPresent).Bytes());
    ASSERT_EQ(r.ExecuteCommands(), BW_OK);
    EXPECT_EQ(r.mCalls, (std::vector<std::string>{"BeginScene()", "EndScene()", "Present()"}));
    EXPECT_EQ(r.GetCommands().Tell(), 0u);
}

TEST_F(CommandStreamTest, ClearRecordsItsPayloadAfterTheTarget)
{
    render::RenderTargetDesc target;
    target.mTarget = texture;
    ASSERT_EQ(r.SetTarget(target), BW_OK);
    const float color[4] = {0.25f, 0.5f, 0.75f, 1.0f};
    ASSERT_EQ(r.Clear(render::ClearColor | render::ClearDepth, color, 1.0f, 7), BW_OK);
    CommandBytes b;
    b.U32(render::CmdSetRenderTarget).Ptr(texture);
    b.U32(render::CmdClear).U32(3).F32(0.25f).F32(0.5f).F32(0.75f).F32(1.0f).F32(1.0f).U32(7);
    EXPECT_EQ(RecordedBytes(r), b.Bytes());

    // Back to the back buffer: the reset command, with no payload.
    ASSERT_EQ(r.SetTarget(render::RenderTargetDesc()), BW_OK);
    ASSERT_EQ(r.Clear(render::ClearColor, color, 1.0f, 0), BW_OK);
    EXPECT_EQ(RecordedBytes(r)[b.Size()], render::CmdResetRenderTarget);
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
    std::vector<Draw> asked;
    std::vector<Draw> recorded;
};

class DrawMerging : public CommandStreamTest, public testing::WithParamInterface<MergeCase>
{
};

TEST_P(DrawMerging, RecordsTheMergedCommands)
{
    ASSERT_EQ(r.BeginScene(), BW_OK);
    ASSERT_EQ(r.SetRenderState(&block, true), BW_OK);
    for (const Draw& d : GetParam().asked)
    {
        ASSERT_EQ(d.indexed ? r.DrawIndexedPrimitive(d.type, d.start, d.count, d.minVertex, d.vertices)
                            : r.DrawPrimitive(d.type, d.start, d.count),
                  BW_OK);
    }
    ASSERT_EQ(r.EndScene(), BW_OK);

    CommandBytes b;
    b.U32(render::CmdBeginScene);
    ExpectFullState(b, mult);
    for (const Draw& d : GetParam().recorded)
        d.indexed ? b.Indexed(d.start, d.count, d.minVertex, d.vertices, d.type)
                  : b.U32(render::CmdDrawPrimitive).U32(d.type).U32(d.start).U32(d.count);
    b.U32(render::CmdEndScene);
    EXPECT_EQ(RecordedBytes(r), b.Bytes());
}

const bool kIndexed = true, kPlain = false;

INSTANTIATE_TEST_SUITE_P(
    Batches, DrawMerging,
    testing::Values(
        MergeCase{"ContinuingIndexedDrawsMerge",
                  {{kIndexed, render::TriangleList, 0, 2, 0, 4}, {kIndexed, render::TriangleList, 6, 2, 4, 4}},
                  {{kIndexed, render::TriangleList, 0, 4, 0, 8}}},
        MergeCase{"AGapBetweenIndexedDrawsKeepsThemApart",
                  {{kIndexed, render::TriangleList, 0, 2, 0, 4}, {kIndexed, render::TriangleList, 7, 2, 4, 4}},
                  {{kIndexed, render::TriangleList, 0, 2, 0, 4}, {kIndexed, render::TriangleList, 7, 2, 4, 4}}},
        MergeCase{"TheMergedVertexRangeCoversBothDraws",
                  {{kIndexed, render::TriangleList, 0, 1, 10, 3}, {kIndexed, render::TriangleList, 3, 1, 2, 3}},
                  {{kIndexed, render::TriangleList, 0, 2, 2, 11}}},
        MergeCase{"StripsAndFansAreNeverMerged",
                  {{kIndexed, render::TriangleStrip, 0, 2, 0, 4}, {kIndexed, render::TriangleStrip, 4, 2, 4, 4},
                   {kPlain, render::TriangleFan, 0, 2}, {kPlain, render::TriangleFan, 4, 2}},
                  {{kIndexed, render::TriangleStrip, 0, 2, 0, 4}, {kIndexed, render::TriangleStrip, 4, 2, 4, 4},
                   {kPlain, render::TriangleFan, 0, 2}, {kPlain, render::TriangleFan, 4, 2}}},
        MergeCase{"ContinuingListDrawsMergeWithoutIndices",
                  {{kPlain, render::LineList, 0, 1}, {kPlain, render::LineList, 2, 3}, {kPlain, render::PointList, 8, 5},
                   {kPlain, render::PointList, 13, 1}},
                  {{kPlain, render::LineList, 0, 4}, {kPlain, render::PointList, 8, 6}}}),
    [](const testing::TestParamInfo<MergeCase>& info) { return std::string(info.param.name); });

// Each change between two draws breaks the merge and records only what
// changed; the previous draw goes out first.
TEST_F(CommandStreamTest, EachChangeBetweenDrawsRecordsOnlyWhatChanged)
{
    render::Texture* other = nullptr;
    ASSERT_EQ(r.CreateTexture(&other), BW_OK);
    std::unique_ptr<render::Texture> otherOwner(other);
    render::VertexBuffer<render::SVertex2D> second(&r);
    render::VertexBuffer<render::SVertexGeom> geometry(&r);
    ASSERT_EQ(second.Create(16, true), BW_OK);
    ASSERT_EQ(geometry.Create(16, true), BW_OK);
    render::RenderState onTexture;

    struct Step
    {
        const char* what;
        std::function<void()> change;
        std::function<void(CommandBytes&)> expect;
        uint32_t type = render::TriangleList;
        bool toTexture = false;
    };
    const Step steps[] = {
        {"nothing but the primitive type", [] {}, [](CommandBytes&) {}, render::TriangleStrip},
        {"blend mode", [&] { block.mBlendMode = render::BlendAdditive; },
         [](CommandBytes& b) { b.U32(render::CmdSetBlendMode).U32(2); }},
        // Variable flags stay set once raised: both are sent again.
        {"texture value", [&] { r.GetShaderTexturedMultObject()->SetTexture(other); },
         [&](CommandBytes& b) { b.U32(render::CmdSetShaderVariables).Ptr(mult).U8(2).U8(0).Ptr(&projection).U8(1).Ptr(other); }},
        {"buffer of the same format", [&] { block.mVertexBuffer = second.GetImpl(); },
         [&](CommandBytes& b) { b.U32(render::CmdSetVertexBuffer).Ptr(second.GetImpl()); }},
        {"buffer of another format", [&] { block.mVertexBuffer = geometry.GetImpl(); },
         [&](CommandBytes& b) {
             b.U32(render::CmdSetVertexFormat).U32(1).U32(render::CmdSetVertexBuffer).Ptr(geometry.GetImpl());
         }},
        {"shader A to B", [&] { block.mShader = tint; },
         [&](CommandBytes& b) { ExpectVariables(b.U32(render::CmdSetShader).Ptr(tint), tint); }},
        // Back to A: all of A's variables again.
        {"shader B to A", [&] { block.mShader = mult; },
         [&](CommandBytes& b) {
             b.U32(render::CmdSetShader).Ptr(mult).U32(render::CmdSetShaderVariables).Ptr(mult).U8(2);
             b.U8(0).Ptr(&projection).U8(1).Ptr(other);
         }},
        // The write byte only while the test is on.
        {"depth test on",
         [&] {
             block.mDepthTest = 1;
             block.mDepthWrite = 0;
         },
         [](CommandBytes& b) { b.U32(render::CmdSetDepthTest).U8(1).U8(0); }},
        {"depth test off", [&] { block.mDepthTest = 0; }, [](CommandBytes& b) { b.U32(render::CmdSetDepthTest).U8(0); }},
        // Both scissor commands, although the scissor is off.
        {"target",
         [&] {
             onTexture = block;
             onTexture.mTarget = texture;
             onTexture.mScale[0] = onTexture.mScale[1] = 2.0f;
         },
         [&](CommandBytes& b) {
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
        b.Indexed(start, 2, 0, 4, type);
        step.expect(b);
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
    // Fill the buffer exactly to its capacity, ending inside a draw's payload.
    render::CommandBuffer& commands = r.GetCommands();
    ASSERT_EQ(commands.Tell(), 0u);
    uint32_t none = render::CmdNone;
    ASSERT_EQ(commands.Write(&none, 4), 4u);
    uint32_t capacity = commands.GetSize();
    ASSERT_EQ(capacity, 4u + 1024u);
    CommandBytes rest;
    while (rest.Size() + 12 < capacity - 4)
        rest.U32(render::CmdNone);
    rest.U32(render::CmdDrawIndexedPrimitive).U32(3).U32(2);
    ASSERT_EQ(rest.Size() + 4, capacity);
    ASSERT_EQ(commands.Write(rest.Bytes().data(), static_cast<uint32_t>(rest.Size())), rest.Size());
    ASSERT_EQ(commands.GetSize(), capacity);

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
    ASSERT_EQ(buffer.Write(bytes.data(), 4), 4u);
    EXPECT_EQ(buffer.GetSize(), 4u + 1024u);
    ASSERT_EQ(buffer.Write(bytes.data(), 1024), 1024u); // exactly fills 1028
    EXPECT_EQ(buffer.GetSize(), 1028u);
    ASSERT_EQ(buffer.Write(bytes.data(), 1), 1u); // need 1029 < 1542
    EXPECT_EQ(buffer.GetSize(), 1542u);
    ASSERT_EQ(buffer.Write(bytes.data(), 5000), 5000u); // need 6029 >= 2313
    EXPECT_EQ(buffer.GetSize(), 6029u + 1024u);
    EXPECT_EQ(buffer.GetData()[0], 0xAB);

    ASSERT_EQ(buffer.Rewind(), BW_OK);
    buffer.Reserve(10, true);
    EXPECT_EQ(buffer.GetSize(), 7053u);
}

} // namespace
