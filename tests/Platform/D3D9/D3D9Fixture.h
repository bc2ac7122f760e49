#pragma once

// Shared set-up of the Direct3D 9 layer tests: a device on the null back end
// or on OpenGL in an SDL window, shader blobs built from GLSL text, and
// helpers that draw quads and read the pixels back.

#include "Platform/D3D9/D3D9.h"
#include "Platform/D3D9/D3D9TestHooks.h"
#include "Platform/D3D9/ShaderBlob.h"
#include "tests/Support/SdlTestWindow.h"

#include <gtest/gtest.h>

#include <cstdint>
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
inline const char* kVertexShaderText =
    "in vec4 bw_POSITION0; in vec4 bw_COLOR0; in vec4 bw_TEXCOORD0;\n"
    "out vec4 bw_v_COLOR0; out vec4 bw_v_TEXCOORD0; uniform vec4 bw_c[4]; vec4 bw_Position;\n"
    "void bw_main()\n"
    "{\n"
    "    vec4 p = bw_POSITION0;\n"
    "    bw_Position = vec4(dot(p, bw_c[0]), dot(p, bw_c[1]), dot(p, bw_c[2]), dot(p, bw_c[3]));\n"
    "    bw_v_COLOR0 = bw_COLOR0;\n"
    "    bw_v_TEXCOORD0 = bw_TEXCOORD0;\n"
    "}\n";

inline const char* kColorPixelShaderText = "in vec4 bw_v_COLOR0; vec4 bw_Color0;\n"
                                          "void bw_main() { bw_Color0 = bw_v_COLOR0; }\n";

inline const char* kTexturedPixelShaderText =
    "in vec4 bw_v_COLOR0; in vec4 bw_v_TEXCOORD0; uniform sampler2D bw_s0; vec4 bw_Color0;\n"
    "void bw_main() { bw_Color0 = bw_v_COLOR0 * texture(bw_s0, bw_v_TEXCOORD0.xy); }\n";

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
constexpr DWORD kHardware = D3DCREATE_HARDWARE_VERTEXPROCESSING;

inline void ReleaseAll(std::initializer_list<IUnknown*> objects)
{
    for (IUnknown* object : objects)
        if (object)
            object->Release();
}

// A device and what every test needs of it; checks at the end that nothing
// leaked. A test releases what it made (objects still bound go with the
// device).
class DeviceTest : public ::testing::Test
{
protected:
    void Open(test::Backend backend, HWND window, UINT width, UINT height, D3DFORMAT format, DWORD flags)
    {
        test::SetBackend(backend);
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(d3d, nullptr);
        params = {};
        params.BackBufferWidth = width, params.BackBufferHeight = height, params.BackBufferFormat = format;
        params.BackBufferCount = 1, params.SwapEffect = D3DSWAPEFFECT_DISCARD, params.hDeviceWindow = window;
        params.Windowed = TRUE, params.EnableAutoDepthStencil = TRUE, params.AutoDepthStencilFormat = D3DFMT_D24S8;
        params.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
        ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, flags, &params, &device), D3D_OK);
    }

    void TearDown() override
    {
        EXPECT_EQ(device ? device->Release() : 0u, 0u);
        EXPECT_EQ(d3d ? d3d->Release() : 0u, 0u);
        EXPECT_EQ(test::LiveObjects(), 0u);
    }

    IDirect3DTexture9* MakeTexture(UINT width, UINT height, DWORD usage = 0, D3DPOOL pool = D3DPOOL_MANAGED,
                                   D3DFORMAT format = D3DFMT_A8R8G8B8, UINT levels = 1)
    {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(device->CreateTexture(width, height, levels, usage, format, pool, &texture, nullptr), D3D_OK);
        return texture;
    }

    // A DEFAULT-pool render target; surface gets its level 0.
    IDirect3DTexture9* MakeTarget(UINT width, UINT height, IDirect3DSurface9** surface)
    {
        IDirect3DTexture9* texture = MakeTexture(width, height, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT);
        EXPECT_EQ(texture->GetSurfaceLevel(0, surface), D3D_OK);
        return texture;
    }

    IDirect3DVertexBuffer9* MakeVertexBuffer(UINT vertices, D3DPOOL pool = D3DPOOL_DEFAULT)
    {
        IDirect3DVertexBuffer9* vb = nullptr;
        const DWORD usage = pool == D3DPOOL_DEFAULT ? D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY : D3DUSAGE_WRITEONLY;
        EXPECT_EQ(device->CreateVertexBuffer(vertices * sizeof(Vertex2D), usage, kFvf2D, pool, &vb, nullptr), D3D_OK);
        return vb;
    }

    IDirect3DIndexBuffer9* MakeIndices(const std::vector<uint16_t>& indices)
    {
        IDirect3DIndexBuffer9* ib = nullptr;
        EXPECT_EQ(device->CreateIndexBuffer(static_cast<UINT>(indices.size() * 2), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                            D3DPOOL_MANAGED, &ib, nullptr),
                  D3D_OK);
        void* data = nullptr;
        EXPECT_EQ(ib->Lock(0, 0, &data, 0), D3D_OK);
        std::memcpy(data, indices.data(), indices.size() * 2);
        EXPECT_EQ(ib->Unlock(), D3D_OK);
        return ib;
    }

    test::ScopedHooks hooks;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    D3DPRESENT_PARAMETERS params = {};
};

// A 64x32 device on the null back end.
class NullDeviceTest : public DeviceTest
{
protected:
    void SetUp() override
    {
        Open(test::Backend::Null, nullptr, 64, 32, D3DFMT_X8R8G8B8, kHardware | D3DCREATE_MULTITHREADED);
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
        ReleaseAll({vs, ps}); // the device holds what is bound
        IDirect3DVertexBuffer9* vb = MakeVertexBuffer(vertices);
        device->SetFVF(kFvf2D);
        device->SetStreamSource(0, vb, 0, sizeof(Vertex2D));
        return vb;
    }
};

constexpr D3DCOLOR kBlack = 0xFF000000;
constexpr D3DCOLOR kRed = 0xFFFF0000;
constexpr D3DCOLOR kGreen = 0xFF00FF00;
constexpr D3DCOLOR kBlue = 0xFF0000FF;
constexpr D3DCOLOR kWhite = 0xFFFFFFFF;

// Two triangles, clockwise on screen as the engine draws them, texture
// coordinates 0..1.
inline void AddQuad(std::vector<Vertex2D>* v, float x0, float y0, float x1, float y1, D3DCOLOR color,
                    D3DCOLOR specular = 0)
{
    const Vertex2D tl = {x0, y0, 0, 1, color, specular, 0, 0};
    const Vertex2D tr = {x1, y0, 0, 1, color, specular, 1, 0};
    const Vertex2D bl = {x0, y1, 0, 1, color, specular, 0, 1};
    const Vertex2D br = {x1, y1, 0, 1, color, specular, 1, 1};
    v->insert(v->end(), {tl, tr, bl, bl, tr, br});
}

// A 32x24 device on OpenGL in a hidden SDL window, with an A8R8G8B8 back
// buffer so that alpha can be read back; GLSL shaders bound (untextured), a
// vertex stream and a projection from pixels (y down) to clip space, in a
// scene.
class GlDeviceTest : public DeviceTest
{
protected:
    static constexpr UINT kWidth = 32;
    static constexpr UINT kHeight = 24;

    void SetUp() override
    {
        window = std::make_unique<bwtest::SdlTestWindow>(static_cast<int>(kWidth), static_cast<int>(kHeight));
        ASSERT_TRUE(window->IsOpen()) << "no OpenGL window";
        ASSERT_NO_FATAL_FAILURE(Open(test::Backend::OpenGL, window->Handle(), kWidth, kHeight, D3DFMT_A8R8G8B8, kHardware));
        const auto vsBlob = MakeBlob(kBlobVersionVS11, kVertexShaderText, 4, 0);
        const auto colorBlob = MakeBlob(kBlobVersionPS20, kColorPixelShaderText, 0, 0);
        const auto texturedBlob = MakeBlob(kBlobVersionPS20, kTexturedPixelShaderText, 0, 1);
        ASSERT_EQ(device->CreateVertexShader(vsBlob.data(), &vs), D3D_OK);
        ASSERT_EQ(device->CreatePixelShader(colorBlob.data(), &colorPs), D3D_OK);
        ASSERT_EQ(device->CreatePixelShader(texturedBlob.data(), &texturedPs), D3D_OK);
        vb = MakeVertexBuffer(600);
        device->SetVertexShader(vs);
        device->SetPixelShader(colorPs);
        SetProjection(kWidth, kHeight);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
    }

    void TearDown() override
    {
        ReleaseAll({vb, vs, colorPs, texturedPs});
        DeviceTest::TearDown();
        window.reset();
    }

    // Row-vector mul(v, M) with M mapping pixels to clip space; the shader
    // reads M's columns from c0..c3.
    void SetProjection(UINT width, UINT height)
    {
        const float columns[16] = {2.0f / width, 0, 0, -1, 0, -2.0f / height, 0, 1, 0, 0, 1, 0, 0, 0, 0, 1};
        ASSERT_EQ(device->SetVertexShaderConstantF(0, columns, 4), D3D_OK);
    }

    template <typename V>
    void Draw(const std::vector<V>& vertices, DWORD fvf = kFvf2D)
    {
        void* data = nullptr;
        ASSERT_EQ(vb->Lock(0, 0, &data, D3DLOCK_DISCARD), D3D_OK);
        std::memcpy(data, vertices.data(), vertices.size() * sizeof(V));
        ASSERT_EQ(vb->Unlock(), D3D_OK);
        device->SetFVF(fvf);
        device->SetStreamSource(0, vb, 0, sizeof(V));
        ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, static_cast<UINT>(vertices.size() / 3)), D3D_OK);
    }

    void DrawQuad(float x0, float y0, float x1, float y1, D3DCOLOR color, D3DCOLOR specular = 0)
    {
        std::vector<Vertex2D> v;
        AddQuad(&v, x0, y0, x1, y1, color, specular);
        Draw(v);
    }

    void Clear(D3DCOLOR color) { ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, color, 1.0f, 0), D3D_OK); }

    // Reads the target (the back buffer when null) into pixels.
    void Read(IDirect3DSurface9* surface = nullptr)
    {
        UINT height = 0;
        ASSERT_TRUE(test::ReadRenderTarget(device, surface, &pixels, &readWidth, &height));
    }
    D3DCOLOR At(UINT x, UINT y) const { return pixels.at(y * readWidth + x); }
    struct Expected
    {
        UINT x, y;
        D3DCOLOR color;
    };
    // Reads the target and compares the pixels.
    void ExpectPixels(std::initializer_list<Expected> expected, IDirect3DSurface9* surface = nullptr)
    {
        Read(surface);
        for (const Expected& e : expected)
            EXPECT_EQ(At(e.x, e.y), e.color) << std::hex << At(e.x, e.y) << std::dec << " at " << e.x << "," << e.y;
    }

    // A managed texture holding bits as its level 0.
    IDirect3DTexture9* FilledTexture(UINT width, UINT height, D3DFORMAT format, const void* bits, size_t bytes)
    {
        IDirect3DTexture9* texture = MakeTexture(width, height, 0, D3DPOOL_MANAGED, format);
        D3DLOCKED_RECT locked = {};
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        std::memcpy(locked.pBits, bits, bytes);
        EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
        return texture;
    }
    IDirect3DTexture9* SolidTexture(D3DCOLOR color)
    {
        const D3DCOLOR texels[4] = {color, color, color, color};
        return FilledTexture(2, 2, D3DFMT_A8R8G8B8, texels, sizeof texels);
    }

    // Binds texture and hands the caller's reference to the device.
    void BindTexture(IDirect3DTexture9* texture, DWORD stage)
    {
        device->SetTexture(stage, texture);
        texture->Release();
    }
    // Draws texture with the textured pixel shader.
    void UseTexture(IDirect3DTexture9* texture)
    {
        device->SetPixelShader(texturedPs);
        BindTexture(texture, 0);
    }

    std::unique_ptr<bwtest::SdlTestWindow> window;
    IDirect3DVertexShader9* vs = nullptr;
    IDirect3DPixelShader9* colorPs = nullptr;
    IDirect3DPixelShader9* texturedPs = nullptr;
    IDirect3DVertexBuffer9* vb = nullptr;
    std::vector<D3DCOLOR> pixels;
    UINT readWidth = 0;
};

} // namespace d3d9test
