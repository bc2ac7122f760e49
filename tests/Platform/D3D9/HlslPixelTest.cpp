// The engine's six built-in programs, compiled by our D3DX compiler and drawn
// by the Direct3D 9 layer on OpenGL: the pixels they give.

#include "D3D9Fixture.h"

#include "Platform/D3D9/D3DX9.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace d3d9test
{
namespace
{

constexpr UINT kWidth = 16;
constexpr UINT kHeight = 8;

std::string ReadProgram(const std::string& name)
{
    std::ifstream file(std::string(BW_SOURCE_DIR) + "/fuzz/corpus/Hlsl/" + name, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The geometry programs' vertex layout (FVF 0x042).
struct VertexGeom
{
    float x, y, z;
    D3DCOLOR diffuse;
};
constexpr DWORD kFvfGeom = D3DFVF_XYZ | D3DFVF_DIFFUSE;

int Channel(D3DCOLOR color, int shift)
{
    return static_cast<int>((color >> shift) & 0xFF);
}

// Each channel within one step of the expected value (rounding differs).
::testing::AssertionResult Near(D3DCOLOR actual, D3DCOLOR expected)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(Channel(actual, shift) - Channel(expected, shift)) > 1)
            return ::testing::AssertionFailure() << std::hex << "0x" << actual << " is not 0x" << expected;
    return ::testing::AssertionSuccess();
}

class HlslProgramPixelTest : public OpenGlDeviceTest
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(OpenDevice(kWidth, kHeight));
        ASSERT_EQ(device->CreateVertexBuffer(64 * sizeof(Vertex2D), D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, 0,
                                             D3DPOOL_DEFAULT, &vb, nullptr),
                  D3D_OK);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0), D3D_OK);
    }

    void TearDown() override
    {
        ReleaseAll({vb, vs, ps, texture});
        OpenGlDeviceTest::TearDown();
    }

    // Compiles a pair from the corpus, binds it and sets "Proj" to the
    // engine's orthographic projection from pixels (y down) to clip space.
    void UsePrograms(const char* pair)
    {
        const std::string vsText = ReadProgram(std::string(pair) + "_vs.hlsl");
        const std::string psText = ReadProgram(std::string(pair) + "_ps.hlsl");
        LPD3DXBUFFER code = nullptr;
        LPD3DXCONSTANTTABLE table = nullptr;
        ASSERT_EQ(D3DXCompileShader(vsText.data(), static_cast<UINT>(vsText.size()), nullptr, nullptr,
                                    "vertex_shader", "vs_1_1", D3DXSHADER_DEBUG, &code, nullptr, &table),
                  D3D_OK);
        ASSERT_EQ(device->CreateVertexShader(static_cast<const DWORD*>(code->GetBufferPointer()), &vs), D3D_OK);
        code->Release();
        D3DXMATRIX proj = {};
        proj.m[0][0] = 2.0f / kWidth;
        proj.m[1][1] = -2.0f / kHeight;
        proj.m[2][2] = 1.0f;
        proj.m[3][0] = -1.0f;
        proj.m[3][1] = 1.0f;
        proj.m[3][3] = 1.0f;
        EXPECT_EQ(table->SetMatrix(device, table->GetConstantByName(nullptr, "Proj"), &proj), D3D_OK);
        table->Release();

        ASSERT_EQ(D3DXCompileShader(psText.data(), static_cast<UINT>(psText.size()), nullptr, nullptr,
                                    "pixel_shader", "ps_2_0", D3DXSHADER_DEBUG, &code, nullptr, &table),
                  D3D_OK);
        ASSERT_EQ(device->CreatePixelShader(static_cast<const DWORD*>(code->GetBufferPointer()), &ps), D3D_OK);
        D3DXHANDLE sampler = table->GetConstantByName(nullptr, "TextureSampler");
        samplerStage = 0;
        if (sampler)
        {
            D3DXCONSTANT_DESC desc;
            UINT count = 1;
            EXPECT_EQ(table->GetConstantDesc(sampler, &desc, &count), D3D_OK);
            samplerStage = desc.RegisterIndex;
        }
        code->Release();
        table->Release();
        device->SetVertexShader(vs);
        device->SetPixelShader(ps);
    }

    void UseTexture(D3DCOLOR color)
    {
        ASSERT_EQ(device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
        D3DLOCKED_RECT locked = {};
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                reinterpret_cast<D3DCOLOR*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] = color;
        ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
        device->SetTexture(samplerStage, texture);
    }

    template <typename V>
    void Draw(const std::vector<V>& vertices, DWORD fvf)
    {
        void* data = nullptr;
        ASSERT_EQ(vb->Lock(0, 0, &data, D3DLOCK_DISCARD), D3D_OK);
        std::memcpy(data, vertices.data(), vertices.size() * sizeof(V));
        ASSERT_EQ(vb->Unlock(), D3D_OK);
        device->SetFVF(fvf);
        device->SetStreamSource(0, vb, 0, sizeof(V));
        ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, static_cast<UINT>(vertices.size() / 3)), D3D_OK);
    }

    // A quad over the left half of the target, as the engine places it.
    void DrawTexturedQuad(D3DCOLOR diffuse, D3DCOLOR specular)
    {
        const float x1 = kWidth / 2 - 0.5f, y1 = kHeight - 0.5f;
        const Vertex2D tl = {-0.5f, -0.5f, 0, 1, diffuse, specular, 0, 0};
        const Vertex2D tr = {x1, -0.5f, 0, 1, diffuse, specular, 1, 0};
        const Vertex2D bl = {-0.5f, y1, 0, 1, diffuse, specular, 0, 1};
        const Vertex2D br = {x1, y1, 0, 1, diffuse, specular, 1, 1};
        Draw(std::vector<Vertex2D>{tl, tr, bl, bl, tr, br}, kFvf2D);
    }

    D3DCOLOR At(UINT x, UINT y)
    {
        std::vector<D3DCOLOR> pixels;
        UINT w = 0, h = 0;
        EXPECT_TRUE(test::ReadRenderTarget(device, nullptr, &pixels, &w, &h));
        return y < h && x < w ? pixels[y * w + x] : 0;
    }

    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DVertexShader9* vs = nullptr;
    IDirect3DPixelShader9* ps = nullptr;
    IDirect3DTexture9* texture = nullptr;
    DWORD samplerStage = 0;
};

TEST_F(HlslProgramPixelTest, GeometryProgramsDrawTheVertexColourWhereProjPlacesIt)
{
    UsePrograms("geom");
    const D3DCOLOR color = 0xFF336699;
    // A triangle over the top-left half, in layout pixels.
    Draw(std::vector<VertexGeom>{{-0.5f, -0.5f, 0, color}, {kWidth - 0.5f, -0.5f, 0, color},
                                 {-0.5f, kHeight - 0.5f, 0, color}},
         kFvfGeom);
    EXPECT_EQ(At(0, 0), color);
    EXPECT_EQ(At(4, 2), color);
    EXPECT_EQ(At(kWidth - 1, kHeight - 1), 0xFF000000u);
}

TEST_F(HlslProgramPixelTest, TexturedMultiplyProgramsDrawTextureTimesColour)
{
    UsePrograms("mult");
    UseTexture(0x80FF8040);
    DrawTexturedQuad(0xFF8080FF, 0);
    EXPECT_TRUE(Near(At(1, 1), 0x80804040));
    EXPECT_TRUE(Near(At(kWidth / 2 - 1, kHeight - 1), 0x80804040));
    EXPECT_EQ(At(kWidth / 2, 0), 0xFF000000u);
}

TEST_F(HlslProgramPixelTest, TexturedTintProgramsMixTextureAndColourBySpecularGreenAndBlue)
{
    UsePrograms("tint");
    UseTexture(0x80FF8040);
    // specular (k << 8) | (255 - k): k = 0 shows the texture's colour.
    DrawTexturedQuad(0xFF2040C0, 0x000000FF);
    EXPECT_TRUE(Near(At(1, 1), 0x80FF8040));
    // k = 255 shows the vertex colour, alpha still texture times colour.
    DrawTexturedQuad(0x802040C0, 0x0000FF00);
    EXPECT_TRUE(Near(At(1, 1), 0x402040C0));
    // Half way mixes both.
    DrawTexturedQuad(0xFF0000FF, 0x0000807F);
    EXPECT_TRUE(Near(At(1, 1), 0x807F40A0));
}

// Every form the compiler emits must be GLSL that OpenGL accepts: shader
// creation compiles it at once.
struct GlslCase
{
    const char* name;
    const char* profile;
    const char* source;
};

class HlslGlslTest : public HlslProgramPixelTest, public ::testing::WithParamInterface<GlslCase>
{
};

TEST_P(HlslGlslTest, CompiledProgramIsAcceptedByOpenGL)
{
    const GlslCase& c = GetParam();
    std::string text = c.source;
    if (text.compare(0, 7, "corpus:") == 0)
        text = ReadProgram(text.substr(7));
    const bool vertex = std::string(c.profile) == "vs_1_1";
    LPD3DXBUFFER code = nullptr;
    LPD3DXBUFFER messages = nullptr;
    const HRESULT hr = D3DXCompileShader(text.data(), static_cast<UINT>(text.size()), nullptr, nullptr,
                                         vertex ? "vertex_shader" : "pixel_shader", c.profile, 0, &code, &messages,
                                         nullptr);
    const std::string log = messages ? static_cast<const char*>(messages->GetBufferPointer()) : "";
    if (messages)
        messages->Release();
    ASSERT_EQ(hr, D3D_OK) << log;
    const DWORD* tokens = static_cast<const DWORD*>(code->GetBufferPointer());
    if (vertex)
        EXPECT_EQ(device->CreateVertexShader(tokens, &vs), D3D_OK);
    else
        EXPECT_EQ(device->CreatePixelShader(tokens, &ps), D3D_OK);
    code->Release();
}

INSTANTIATE_TEST_SUITE_P(
    Forms, HlslGlslTest,
    ::testing::Values(
        GlslCase{"UserVertex", "vs_1_1", "corpus:user_vs.hlsl"},
        GlslCase{"UserPixel", "ps_2_0", "corpus:user_ps.hlsl"},
        GlslCase{"MatrixShapes", "vs_1_1",
                 "float3x4 A; float4x3 B; float2x2 C; float3x3 D[2]; float4x4 E;\n"
                 "float4 vertex_shader(float4 p : POSITION, float3 q : TEXCOORD0) : POSITION\n"
                 "{ return mul(p.xyz, A) + float4(mul(p, B), 1) + mul(E, p)\n"
                 "  + float4(mul(C, p.xy), mul(q, D[p.w]).xy) + mul(q, E); }"},
        GlslCase{"ScalarsAndSwizzles", "ps_2_0",
                 "float k; float w[3];\n"
                 "float4 pixel_shader(float4 c : COLOR0, float t : TEXCOORD2) : COLOR0\n"
                 "{ float f = t.x; float4 v = f.xxxx + k.rrr.xxyz + w[2] + c.wzyx.zyxw;\n"
                 "  v[c.x] = v[1] * 2; v.yz *= 0.5; v.x -= length(v); v /= 2; return v; }"},
        GlslCase{"NestedStructsAndParameters", "ps_2_0",
                 "struct A { float2 uv : TEXCOORD0; float3 n : TEXCOORD1; };\n"
                 "struct B { A a; float4 c : COLOR1; };\n"
                 "struct R { float4 color : COLOR0; };\n"
                 "void Touch(inout B b, out float4 o) { b.a.n = normalize(b.a.n); o = float4(b.a.n, 1); }\n"
                 "A Make(float2 uv) { A a = (A)1; a.uv = uv; return a; }\n"
                 "R pixel_shader(B b) { float4 o; Touch(b, o); A m = Make(b.a.uv); B copy = b; copy.a = m;\n"
                 "  R r; r.color = o * b.c + float4(copy.a.uv, copy.a.n.x, 1) + (float4)sqrt(4); return r; }"},
        GlslCase{"EveryIntrinsic", "ps_2_0",
                 "float4 pixel_shader(float4 c : COLOR0) : COLOR0\n"
                 "{ float4 a = abs(c) + floor(c) + ceil(c) + frac(c) + sqrt(c) + rsqrt(c + 1) + exp(c) + exp2(c)\n"
                 "  + log(c + 1) + log2(c + 1) + sin(c) + cos(c) + normalize(c) + pow(c, 2) + step(0.5, c);\n"
                 "  return saturate(lerp(min(a, 1), max(a, 0), 0.5) + clamp(c, 0.1, 0.9) * dot(c, a)) * mul(c, c); }"},
        GlslCase{"OddNames", "vs_1_1",
                 "float4 uniform_; float4 __gl; struct vec4_ { float4 mix : POSITION; float4 int_ : COLOR1; };\n"
                 "vec4_ vertex_shader(float4 texture_ : POSITION) { vec4_ o; o.mix = texture_ + uniform_ + __gl;\n"
                 "  o.int_ = o.mix; return o; }"},
        GlslCase{"VoidEntryWithOutputs", "vs_1_1",
                 "void vertex_shader(float4 p : POSITION, inout float4 c : COLOR0, out float4 o : POSITION,\n"
                 "  out float t : TEXCOORD7) { o = p; c = c * 0.5; t = 1e-10; { return; } }"}),
    [](const ::testing::TestParamInfo<GlslCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace d3d9test
