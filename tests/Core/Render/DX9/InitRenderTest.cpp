// Start-up of the Direct3D 9 renderer: device creation and every capability
// gate, through the layer's hooks.

#include "RenderDX9Fixture.h"

#include "Core/Render/Shader.h"

#include <functional>
#include <tuple>

namespace
{

using bwtest::MakeInitParam;
using d3d9::test::Call;

class InitRenderTest : public bwtest::RenderDX9Test
{
};

TEST_F(InitRenderTest, WithoutAnisotropicFilteringSamplersAreLinear)
{
    D3DCAPS9 caps = d3d9::test::DefaultCaps();
    caps.TextureFilterCaps &= ~(D3DPTFILTERCAPS_MINFANISOTROPIC | D3DPTFILTERCAPS_MAGFANISOTROPIC);
    d3d9::test::SetCaps(caps);
    ASSERT_EQ(Init(), BW_OK);
    for (D3DSAMPLERSTATETYPE filter : {D3DSAMP_MINFILTER, D3DSAMP_MAGFILTER})
        EXPECT_EQ(d3d9::test::GetSamplerState(r->GetDevice(), 0, filter), D3DTEXF_LINEAR);
}

struct CapsCase
{
    const char* name;
    std::function<void(D3DCAPS9&)> change;
    bool starts;
    bool reported; // the card's shaders reported to the user
    const wchar_t* record = nullptr; // in the log exactly when the start fails
};

class CapabilityGate : public InitRenderTest, public testing::WithParamInterface<CapsCase>
{
};

TEST_P(CapabilityGate, StartsOrFailsWithItsReport)
{
    const CapsCase& c = GetParam();
    D3DCAPS9 caps = d3d9::test::DefaultCaps();
    c.change(caps);
    d3d9::test::SetCaps(caps);
    EXPECT_EQ(Init(), c.starts ? BW_OK : BW_FAIL);
    EXPECT_EQ(r->mFailureReports, c.reported ? 1 : 0);
    EXPECT_TRUE(!c.record || mLog.Contains(c.record) == !c.starts);
}

constexpr DWORD VS(int major, int minor) { return D3DVS_VERSION(major, minor); }
constexpr DWORD PS(int major, int minor) { return D3DPS_VERSION(major, minor); }

void Shaders(D3DCAPS9& caps, DWORD vertex, DWORD pixel)
{
    caps.VertexShaderVersion = vertex;
    caps.PixelShaderVersion = pixel;
}

// Vertex shaders 1.1 and pixel shaders 2.0 at least, a scissor test, and
// 16-bit indices drawable.
INSTANTIATE_TEST_SUITE_P(
    Caps, CapabilityGate,
    testing::Values(
        CapsCase{"Vs11Ps20", [](D3DCAPS9& c) { Shaders(c, VS(1, 1), PS(2, 0)); }, true, false},
        CapsCase{"Vs30Ps30", [](D3DCAPS9& c) { Shaders(c, VS(3, 0), PS(3, 0)); }, true, false},
        CapsCase{"Vs10", [](D3DCAPS9& c) { Shaders(c, VS(1, 0), PS(2, 0)); }, false, true},
        CapsCase{"Ps14", [](D3DCAPS9& c) { Shaders(c, VS(2, 0), PS(1, 4)); }, false, true},
        CapsCase{"NoShaders", [](D3DCAPS9& c) { Shaders(c, 0, 0); }, false, true},
        CapsCase{"NoScissor", [](D3DCAPS9& c) { c.RasterCaps &= ~D3DPRASTERCAPS_SCISSORTEST; }, false, false, L"scissor"},
        CapsCase{"MaxVertexIndex0", [](D3DCAPS9& c) { c.MaxVertexIndex = 0; }, false, false, L"MaxVertexIndex"},
        CapsCase{"MaxVertexIndex65534", [](D3DCAPS9& c) { c.MaxVertexIndex = 65534; }, false, false, L"MaxVertexIndex"},
        CapsCase{"MaxVertexIndex65535", [](D3DCAPS9& c) { c.MaxVertexIndex = 65535; }, true, false, L"MaxVertexIndex"}),
    [](const testing::TestParamInfo<CapsCase>& info) { return std::string(info.param.name); });

TEST_F(InitRenderTest, ANegativeHardwareResultFallsBackToSoftwareVertexProcessing)
{
    d3d9::test::EnableCallLog(true);
    d3d9::test::ForceResult(Call::CreateDeviceHardwareVertexProcessing, D3DERR_NOTAVAILABLE);
    ASSERT_EQ(Init(), BW_OK);
    EXPECT_NE(r->GetBackBuffer(), nullptr);
    EXPECT_TRUE(mLog.Contains(L"Max texture Height: 8192\n"));
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
    const render::RenderCaps& c = r->GetCaps();
    EXPECT_EQ(std::vector<int>({c.mHasDxt1, c.mHasDxt2, c.mHasDxt3, c.mHasDxt4, c.mHasDxt5}),
              std::vector<int>({1, 0, 1, 0, 1}));
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
