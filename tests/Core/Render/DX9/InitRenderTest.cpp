// Start-up of the Direct3D 9 renderer: device creation and every capability
// gate, through the layer's hooks.

#include "RenderDX9Fixture.h"

#include <functional>

namespace
{

using bwtest::MakeInitParam;
using d3d9::test::Call;

class InitRenderTest : public bwtest::RenderDX9Test
{
};

// Vertex shaders 1.1 and pixel shaders 2.0 at least, a scissor test, and
// 16-bit indices drawable; missing shader models are reported to the user,
// the rest logged.
TEST_F(InitRenderTest, EachCapabilityGateStartsOrFailsWithItsReport)
{
    const auto shaders = [](DWORD vs, DWORD ps) {
        return [=](D3DCAPS9& c) { c.VertexShaderVersion = vs, c.PixelShaderVersion = ps; };
    };
    const auto maxIndex = [](DWORD index) { return [=](D3DCAPS9& c) { c.MaxVertexIndex = index; }; };
    const struct
    {
        std::function<void(D3DCAPS9&)> change;
        bool starts, reported;
        const wchar_t* record; // in the log exactly when the start fails
    } cases[] = {
        {shaders(D3DVS_VERSION(1, 1), D3DPS_VERSION(2, 0)), true, false, nullptr},
        {shaders(D3DVS_VERSION(3, 0), D3DPS_VERSION(3, 0)), true, false, nullptr},
        {shaders(D3DVS_VERSION(1, 0), D3DPS_VERSION(2, 0)), false, true, nullptr},
        {shaders(D3DVS_VERSION(2, 0), D3DPS_VERSION(1, 4)), false, true, nullptr},
        {shaders(0, 0), false, true, nullptr},
        {[](D3DCAPS9& c) { c.RasterCaps &= ~D3DPRASTERCAPS_SCISSORTEST; }, false, false, L"scissor"},
        {maxIndex(0), false, false, L"MaxVertexIndex"},
        {maxIndex(65534), false, false, L"MaxVertexIndex"},
        {maxIndex(65535), true, false, L"MaxVertexIndex"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(&c - cases);
        D3DCAPS9 caps = d3d9::test::DefaultCaps();
        c.change(caps);
        d3d9::test::SetCaps(caps);
        mLog.Clear();
        r = std::make_unique<bwtest::TestRenderDX9>();
        EXPECT_EQ(Init(), c.starts ? BW_OK : BW_FAIL);
        EXPECT_EQ(r->mFailureReports, c.reported ? 1 : 0);
        EXPECT_TRUE(!c.record || mLog.Contains(c.record) == !c.starts);
    }
}

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

// A positive answer where only 0 is success, and each step failing once: start-up ends and leaves no device.
TEST_F(InitRenderTest, EachFailingStartUpCallEndsStartUpWithoutLeaking)
{
    std::vector<std::pair<Call, HRESULT>> cases = {
        {Call::Direct3DCreate9, E_FAIL}, {Call::GetAdapterDisplayMode, D3DERR_NOTAVAILABLE}, {Call::GetDeviceCaps, 1}};
    for (Call call : {Call::GetRenderTarget, Call::SetViewport, Call::Clear, Call::Present, Call::SetSamplerState,
                      Call::SetRenderState, Call::CreateVertexShader, Call::CreatePixelShader, Call::CreateVertexBuffer,
                      Call::CreateIndexBuffer})
        cases.emplace_back(call, D3DERR_INVALIDCALL);
    for (const auto& [call, result] : cases)
    {
        r = std::make_unique<bwtest::TestRenderDX9>();
        d3d9::test::ForceResult(call, result, 1);
        EXPECT_EQ(Init(), BW_FAIL) << static_cast<int>(call);
        d3d9::test::ClearForcedResults();
        r.reset();
        EXPECT_EQ(d3d9::test::LiveDevices(), 0u) << static_cast<int>(call);
    }
}

} // namespace
