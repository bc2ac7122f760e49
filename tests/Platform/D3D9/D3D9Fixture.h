#pragma once

// Shared set-up of the Direct3D 9 layer tests: a device on the null back end
// (or on OpenGL in an SDL window), shader blobs built from GLSL text, and
// small resource helpers.

#include "Platform/D3D9/D3D9.h"
#include "Platform/D3D9/D3D9TestHooks.h"
#include "Platform/D3D9/ShaderBlob.h"
#include "tests/Support/SdlTestWindow.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace d3d9test
{

using namespace d3d9;

// Positions are transformed by the matrix in c0..c3 (its columns, as our
// D3DX compiler packs a row-vector mul(v, M)); colour and texture
// coordinates pass through.
inline const char* kVertexShaderText = R"(
in vec4 bw_POSITION0;
in vec4 bw_COLOR0;
in vec4 bw_TEXCOORD0;
out vec4 bw_v_COLOR0;
out vec4 bw_v_TEXCOORD0;
uniform vec4 bw_c[4];
vec4 bw_Position;
void bw_main()
{
    vec4 p = bw_POSITION0;
    bw_Position = vec4(dot(p, bw_c[0]), dot(p, bw_c[1]), dot(p, bw_c[2]), dot(p, bw_c[3]));
    bw_v_COLOR0 = bw_COLOR0;
    bw_v_TEXCOORD0 = bw_TEXCOORD0;
}
)";

inline const char* kColorPixelShaderText = R"(
in vec4 bw_v_COLOR0;
vec4 bw_Color0;
void bw_main()
{
    bw_Color0 = bw_v_COLOR0;
}
)";

inline const char* kTexturedPixelShaderText = R"(
in vec4 bw_v_COLOR0;
in vec4 bw_v_TEXCOORD0;
uniform sampler2D bw_s0;
vec4 bw_Color0;
void bw_main()
{
    bw_Color0 = bw_v_COLOR0 * texture(bw_s0, bw_v_TEXCOORD0.xy);
}
)";

inline std::vector<DWORD> MakeBlob(DWORD version, const std::string& glsl, DWORD constants, DWORD samplers)
{
    ShaderBlob blob;
    blob.version = version;
    blob.glsl = glsl;
    blob.constantRegisters = constants;
    blob.samplerMask = samplers;
    return WriteShaderBlob(blob);
}

// The layout the engine's textured vertices use (FVF 0x41C2).
struct Vertex2D
{
    float x, y, z, w;
    D3DCOLOR diffuse;
    D3DCOLOR specular;
    float u, v;
};
constexpr DWORD kFvf2D = D3DFVF_XYZW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;

inline D3DPRESENT_PARAMETERS WindowedParameters(HWND window, UINT width, UINT height)
{
    D3DPRESENT_PARAMETERS pp = {};
    pp.BackBufferWidth = width;
    pp.BackBufferHeight = height;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.hDeviceWindow = window;
    pp.Windowed = TRUE;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D24S8;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return pp;
}

// A device on the null back end; checks at the end that nothing leaked.
class NullDeviceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::SetBackend(test::Backend::Null);
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(d3d, nullptr);
        params = WindowedParameters(nullptr, 64, 32);
        ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr,
                                    D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED, &params, &device),
                  D3D_OK);
    }

    void TearDown() override
    {
        if (device)
        {
            EXPECT_EQ(device->Release(), 0u);
        }
        if (d3d)
        {
            EXPECT_EQ(d3d->Release(), 0u);
        }
        EXPECT_EQ(test::LiveObjects(), 0u);
    }

    IDirect3DVertexBuffer9* MakeVertexBuffer(UINT vertices, D3DPOOL pool = D3DPOOL_DEFAULT)
    {
        IDirect3DVertexBuffer9* vb = nullptr;
        const DWORD usage = pool == D3DPOOL_DEFAULT ? D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY : D3DUSAGE_WRITEONLY;
        EXPECT_EQ(device->CreateVertexBuffer(vertices * sizeof(Vertex2D), usage, kFvf2D, pool, &vb, nullptr), D3D_OK);
        return vb;
    }

    // Binds shaders, a stream of quads and a projection so that draws pass
    // validation; returns the vertex buffer (released by the caller).
    IDirect3DVertexBuffer9* BindDrawState(UINT vertices)
    {
        const std::vector<DWORD> vsBlob = MakeBlob(kBlobVersionVS11, kVertexShaderText, 4, 0);
        const std::vector<DWORD> psBlob = MakeBlob(kBlobVersionPS20, kColorPixelShaderText, 0, 0);
        IDirect3DVertexShader9* vs = nullptr;
        IDirect3DPixelShader9* ps = nullptr;
        EXPECT_EQ(device->CreateVertexShader(vsBlob.data(), &vs), D3D_OK);
        EXPECT_EQ(device->CreatePixelShader(psBlob.data(), &ps), D3D_OK);
        device->SetVertexShader(vs);
        device->SetPixelShader(ps);
        vs->Release(); // the device holds what is bound
        ps->Release();
        IDirect3DVertexBuffer9* vb = MakeVertexBuffer(vertices);
        device->SetFVF(kFvf2D);
        device->SetStreamSource(0, vb, 0, sizeof(Vertex2D));
        return vb;
    }

    test::ScopedHooks hooks;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    D3DPRESENT_PARAMETERS params = {};
};

// A device on OpenGL in a hidden SDL window, with an A8R8G8B8 back buffer so
// that alpha can be read back. A test releases what it made before calling
// this TearDown, which checks that nothing leaked.
class OpenGlDeviceTest : public ::testing::Test
{
protected:
    void OpenDevice(UINT width, UINT height)
    {
        window = std::make_unique<bwtest::SdlTestWindow>(static_cast<int>(width), static_cast<int>(height));
        ASSERT_TRUE(window->IsOpen()) << "no OpenGL window";
        test::SetBackend(test::Backend::OpenGL);
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(d3d, nullptr);
        params = WindowedParameters(window->Handle(), width, height);
        params.BackBufferFormat = D3DFMT_A8R8G8B8;
        ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window->Handle(),
                                    D3DCREATE_HARDWARE_VERTEXPROCESSING, &params, &device),
                  D3D_OK);
    }

    void TearDown() override
    {
        if (device)
        {
            EXPECT_EQ(device->Release(), 0u);
        }
        if (d3d)
            d3d->Release();
        EXPECT_EQ(test::LiveObjects(), 0u);
        window.reset();
    }

    static void ReleaseAll(std::initializer_list<IUnknown*> objects)
    {
        for (IUnknown* object : objects)
            if (object)
                object->Release();
    }

    test::ScopedHooks hooks;
    std::unique_ptr<bwtest::SdlTestWindow> window;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    D3DPRESENT_PARAMETERS params = {};
};

} // namespace d3d9test
