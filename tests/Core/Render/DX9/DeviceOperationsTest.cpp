// What each device operation of the replay asks of the device.

#include "RenderDX9Fixture.h"

#include "Core/Render/DX9/BufferDX9.h"
#include "Core/Render/Texture.h"

namespace
{

using d3d9::test::Call;

class DeviceOperationsTest : public bwtest::RenderDX9Test
{
protected:
    void SetUp() override
    {
        bwtest::RenderDX9Test::SetUp();
        ASSERT_EQ(Init(), BW_OK);
        mLog.Clear();
        d3d9::test::EnableCallLog(true);
        d3d9::test::ClearCallLog();
    }

    std::vector<std::string> StateCalls()
    {
        return Calls({Call::SetRenderState, Call::SetTextureStageState});
    }
};

// What each blend mode does is checked by its pixels.
TEST_F(DeviceOperationsTest, AnUnknownBlendModeSetsNothingAndAFailingStateStopsAKnownOneAtOnce)
{
    ASSERT_EQ(r->DoSetBlendMode(3), BW_OK);
    EXPECT_TRUE(StateCalls().empty());
    d3d9::test::ForceResult(Call::SetRenderState, D3DERR_INVALIDCALL, 1, 1);
    EXPECT_EQ(r->DoSetBlendMode(1), BW_FAIL);
    EXPECT_EQ(StateCalls().size(), 2u);
}

TEST_F(DeviceOperationsTest, UnknownPrimitiveTypesDrawTriangleLists)
{
    // Nothing is bound, so the device refuses the draws; what was asked is
    // what counts here.
    r->DoDrawPrimitive(7, 3, 1);
    r->DoDrawIndexedPrimitive(6, 2, 6, 2, 4, 8);
    std::vector<std::string> draws = Calls({Call::DrawPrimitive, Call::DrawIndexedPrimitive});
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].rfind("DrawPrimitive(4, 3, 1)", 0), 0u) << draws[0];
    // Base vertex 0, minimum vertex, vertex count, start index, primitives.
    EXPECT_EQ(draws[1].rfind("DrawIndexedPrimitive(4, 0, 4, 8, 6, 2)", 0), 0u) << draws[1];
}

TEST_F(DeviceOperationsTest, AFailedPresentIsLoggedWithItsCodeAndReturnsOne)
{
    // The code's line follows only for the codes the log knows by name.
    const std::pair<HRESULT, const wchar_t*> cases[] = {{D3DERR_DEVICELOST, L"\tD3DERR_DEVICELOST\n"},
                                                        {E_OUTOFMEMORY, L"\tE_OUTOFMEMORY\n"},
                                                        {E_FAIL, nullptr}, {1, nullptr}, {D3D_OK, nullptr}};
    for (const auto& [code, second] : cases)
    {
        mLog.Clear();
        d3d9::test::ForceResult(Call::Present, code, 1);
        EXPECT_EQ(r->DoPresent(), code == D3D_OK ? BW_OK : BW_FAIL);
        std::vector<std::wstring> expected;
        if (code != D3D_OK)
            expected.push_back(L"<div class=\"\">mDevice->Present failed\n</div>");
        if (second)
            expected.push_back(std::wstring(L"<div class=\"\">") + second + L"</div>");
        EXPECT_EQ(mLog.Messages(), expected) << code;
    }
}

TEST_F(DeviceOperationsTest, ClearPacksTheColourClampedAndMapsTheFlags)
{
    const float color[4] = {1.0f, 0.5f, -0.25f, 1.5f};
    ASSERT_EQ(r->DoClear(render::ClearColor | render::ClearDepth | render::ClearStencil, color, 0.5f, 3), BW_OK);
    std::vector<std::string> clears = Calls({Call::Clear});
    ASSERT_EQ(clears.size(), 1u);
    // A=255 (clamped), R=255, G=127, B=0 (clamped): 0xFFFF7F00 = 4294934272.
    EXPECT_EQ(clears[0], "Clear(0, 0, 7, 4294934272, 0.5, 3) = 0");
}

TEST_F(DeviceOperationsTest, AnIndexSizeOtherThanTwoOrFourIsRefused)
{
    render::IndexBufferImpl* buffer = nullptr;
    EXPECT_EQ(r->CreateIndexBuffer(3, 10, true, &buffer), BW_FAIL);
    EXPECT_EQ(buffer, nullptr);
}

} // namespace
