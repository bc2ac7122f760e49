// Start-up of the Direct3D 9 renderer: device creation and every capability
// gate, through the layer's hooks.

#include "RenderDX9Fixture.h"

#include "Core/Render/Shader.h"

namespace
{

using bwtest::MakeInitParam;
using d3d9::test::Call;

class InitRenderTest : public bwtest::RenderDX9Test
{
};

TEST_F(InitRenderTest, AHalDeviceWithTheRequiredShadersStarts)
{
    d3d9::test::EnableCallLog(true);
    ASSERT_EQ(Init(), BW_OK);
    EXPECT_NE(r->GetBackBuffer(), nullptr);
    EXPECT_EQ(r->mFailureReports, 0);
    EXPECT_TRUE(mLog.Contains(L"Max texture Width: 8192\n"));
    EXPECT_TRUE(mLog.Contains(L"Max texture Height: 8192\n"));
    std::vector<std::string> creates = d3d9::test::CallLogLines({Call::CreateDevice});
    ASSERT_EQ(creates.size(), 1u);
    // Hardware vertex processing, multithreaded.
    EXPECT_NE(creates[0].find(", 68, "), std::string::npos) << creates[0];
}

TEST_F(InitRenderTest, FullScreenPresentsWithFlipInX8R8G8B8)
{
    ASSERT_EQ(Init(MakeInitParam(64, 48, false)), BW_OK);
    const D3DPRESENT_PARAMETERS pp = r->GetPresentParams();
    EXPECT_EQ(pp.Windowed, FALSE);
    EXPECT_EQ(pp.BackBufferFormat, D3DFMT_X8R8G8B8);
    EXPECT_EQ(pp.SwapEffect, D3DSWAPEFFECT_FLIP);
}

TEST_F(InitRenderTest, WithoutAnisotropicFilteringSamplersAreLinear)
{
    D3DCAPS9 caps = d3d9::test::DefaultCaps();
    caps.TextureFilterCaps &= ~(D3DPTFILTERCAPS_MINFANISOTROPIC | D3DPTFILTERCAPS_MAGFANISOTROPIC);
    d3d9::test::SetCaps(caps);
    ASSERT_EQ(Init(), BW_OK);
    EXPECT_EQ(d3d9::test::GetSamplerState(r->GetDevice(), 0, D3DSAMP_MINFILTER), D3DTEXF_LINEAR);
    EXPECT_EQ(d3d9::test::GetSamplerState(r->GetDevice(), 0, D3DSAMP_MAGFILTER), D3DTEXF_LINEAR);
}

struct ShaderCase
{
    DWORD vertex;
    DWORD pixel;
    bool starts;
};

class ShaderModelGate : public InitRenderTest, public testing::WithParamInterface<ShaderCase>
{
};

TEST_P(ShaderModelGate, OnlyVs11AndPs20StartAndTheRestReportTheFailure)
{
    D3DCAPS9 caps = d3d9::test::DefaultCaps();
    caps.VertexShaderVersion = GetParam().vertex;
    caps.PixelShaderVersion = GetParam().pixel;
    d3d9::test::SetCaps(caps);
    EXPECT_EQ(Init(), GetParam().starts ? BW_OK : BW_FAIL);
    EXPECT_EQ(r->mFailureReports, GetParam().starts ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Versions, ShaderModelGate,
                         testing::Values(ShaderCase{D3DVS_VERSION(1, 1), D3DPS_VERSION(2, 0), true},
                                         ShaderCase{D3DVS_VERSION(3, 0), D3DPS_VERSION(3, 0), true},
                                         ShaderCase{D3DVS_VERSION(1, 0), D3DPS_VERSION(2, 0), false},
                                         ShaderCase{D3DVS_VERSION(2, 0), D3DPS_VERSION(1, 4), false},
                                         ShaderCase{0, 0, false}));

TEST_F(InitRenderTest, NoScissorTestFailsWithARecordButNoReport)
{
    D3DCAPS9 caps = d3d9::test::DefaultCaps();
    caps.RasterCaps &= ~D3DPRASTERCAPS_SCISSORTEST;
    d3d9::test::SetCaps(caps);
    EXPECT_EQ(Init(), BW_FAIL);
    EXPECT_EQ(r->mFailureReports, 0);
    EXPECT_FALSE(r->GetCaps().mHasScissorTest);
    EXPECT_TRUE(mLog.Contains(L"scissor"));
}

class VertexIndexGate : public InitRenderTest, public testing::WithParamInterface<DWORD>
{
};

TEST_P(VertexIndexGate, SixteenBitIndicesMustBeDrawable)
{
    D3DCAPS9 caps = d3d9::test::DefaultCaps();
    caps.MaxVertexIndex = GetParam();
    d3d9::test::SetCaps(caps);
    const bool starts = GetParam() >= 0xFFFF;
    EXPECT_EQ(Init(), starts ? BW_OK : BW_FAIL);
    EXPECT_EQ(mLog.Contains(L"MaxVertexIndex"), !starts);
    EXPECT_EQ(r->mFailureReports, 0);
}

INSTANTIATE_TEST_SUITE_P(Limits, VertexIndexGate, testing::Values(0u, 65534u, 65535u, 0xFFFFFFu));

TEST_F(InitRenderTest, ANegativeHardwareResultFallsBackToSoftwareVertexProcessing)
{
    d3d9::test::EnableCallLog(true);
    d3d9::test::ForceResult(Call::CreateDeviceHardwareVertexProcessing, D3DERR_NOTAVAILABLE);
    ASSERT_EQ(Init(), BW_OK);
    std::vector<std::string> creates = d3d9::test::CallLogLines({Call::CreateDevice});
    ASSERT_EQ(creates.size(), 2u);
    EXPECT_NE(creates[0].find(", 68, "), std::string::npos) << creates[0]; // hardware + multithreaded
    EXPECT_NE(creates[1].find(", 36, "), std::string::npos) << creates[1]; // software + multithreaded
}

TEST_F(InitRenderTest, FormatAnswersFillTheDxtCaps)
{
    d3d9::test::SetFormatAnswer(D3DFMT_DXT2, D3DERR_NOTAVAILABLE);
    d3d9::test::SetFormatAnswer(D3DFMT_DXT4, 1); // only exactly 0 counts
    ASSERT_EQ(Init(), BW_OK);
    const render::RenderCaps& caps = r->GetCaps();
    EXPECT_TRUE(caps.mHasDxt1);
    EXPECT_FALSE(caps.mHasDxt2);
    EXPECT_TRUE(caps.mHasDxt3);
    EXPECT_FALSE(caps.mHasDxt4);
    EXPECT_TRUE(caps.mHasDxt5);
}

struct FailingCase
{
    Call call;
    HRESULT result;
};

class FailingInitCall : public InitRenderTest, public testing::WithParamInterface<FailingCase>
{
};

// Both device kinds failing, a positive answer where only 0 is success, and
// each later step failing once.
TEST_P(FailingInitCall, EndsStartUpWithoutLeaking)
{
    d3d9::test::ForceResult(GetParam().call, GetParam().result, 1);
    EXPECT_EQ(Init(), BW_FAIL);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, FailingInitCall,
    testing::Values(FailingCase{Call::Direct3DCreate9, E_FAIL}, FailingCase{Call::GetAdapterDisplayMode, D3DERR_NOTAVAILABLE},
                    FailingCase{Call::GetDeviceCaps, 1}, FailingCase{Call::GetRenderTarget, D3DERR_INVALIDCALL},
                    FailingCase{Call::SetViewport, D3DERR_INVALIDCALL}, FailingCase{Call::Clear, D3DERR_INVALIDCALL},
                    FailingCase{Call::Present, D3DERR_INVALIDCALL}, FailingCase{Call::SetSamplerState, D3DERR_INVALIDCALL},
                    FailingCase{Call::SetRenderState, D3DERR_INVALIDCALL},
                    FailingCase{Call::CreateVertexShader, D3DERR_INVALIDCALL},
                    FailingCase{Call::CreatePixelShader, D3DERR_INVALIDCALL},
                    FailingCase{Call::CreateVertexBuffer, D3DERR_INVALIDCALL},
                    FailingCase{Call::CreateIndexBuffer, D3DERR_INVALIDCALL}));

TEST_F(InitRenderTest, APositiveCreateDeviceResultIsSuccessAndBothKindsFailingFails)
{
    d3d9::test::ForceResult(Call::CreateDevice, 1, 1);
    EXPECT_EQ(Init(), BW_OK);
    r = std::make_unique<bwtest::TestRenderDX9>();
    d3d9::test::ForceResult(Call::CreateDevice, D3DERR_NOTAVAILABLE);
    EXPECT_EQ(Init(), BW_FAIL);
    EXPECT_EQ(r->GetDevice(), nullptr);
}

} // namespace
