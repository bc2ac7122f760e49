// The engine's six built-in programs, compiled by our D3DX compiler and drawn
// by the Direct3D 9 layer on OpenGL: the pixels they give.

#include "D3D9Fixture.h"

#include "Platform/D3D9/D3DX9.h"
#include "tests/Platform/D3D9/Hlsl/HlslTestSupport.h"

#include <cstdlib>

namespace d3d9test
{
namespace
{

using hlsltest::ReadCorpus;

// The geometry programs' vertex layout (FVF 0x042).
struct VertexGeom
{
    float x, y, z;
    D3DCOLOR diffuse;
};
constexpr DWORD kFvfGeom = D3DFVF_XYZ | D3DFVF_DIFFUSE;

// Each channel within one step of the expected value (rounding differs).
::testing::AssertionResult Near(D3DCOLOR actual, D3DCOLOR expected)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(static_cast<int>((actual >> shift) & 0xFF) - static_cast<int>((expected >> shift) & 0xFF)) > 1)
            return ::testing::AssertionFailure() << std::hex << "0x" << actual << " is not 0x" << expected;
    return ::testing::AssertionSuccess();
}

class HlslProgramPixelTest : public GlDeviceTest
{
protected:
    // Compiles text with our D3DX compiler; null (and a failure) when it does not compile.
    static LPD3DXBUFFER Compile(const std::string& text, bool vertex, LPD3DXCONSTANTTABLE* table = nullptr)
    {
        LPD3DXBUFFER code = nullptr;
        LPD3DXBUFFER messages = nullptr;
        const HRESULT hr = D3DXCompileShader(text.data(), static_cast<UINT>(text.size()), nullptr, nullptr,
                                             vertex ? "vertex_shader" : "pixel_shader", vertex ? "vs_1_1" : "ps_2_0",
                                             D3DXSHADER_DEBUG, &code, &messages, table);
        EXPECT_EQ(hr, D3D_OK) << (messages ? static_cast<const char*>(messages->GetBufferPointer()) : "");
        ReleaseAll({messages});
        return code;
    }

    // Creates the shader of code (which it releases) and binds it.
    HRESULT Bind(LPD3DXBUFFER code, bool vertex)
    {
        const DWORD* tokens = static_cast<const DWORD*>(code->GetBufferPointer());
        IDirect3DVertexShader9* vertexShader = nullptr;
        IDirect3DPixelShader9* pixelShader = nullptr;
        const HRESULT hr = vertex ? device->CreateVertexShader(tokens, &vertexShader)
                                  : device->CreatePixelShader(tokens, &pixelShader);
        vertex ? device->SetVertexShader(vertexShader) : device->SetPixelShader(pixelShader);
        ReleaseAll({code, vertexShader, pixelShader});
        return hr;
    }

    // Binds a pair from the corpus and sets "Proj" to the engine's
    // orthographic projection from pixels (y down) to clip space.
    void UsePrograms(const std::string& pair)
    {
        LPD3DXCONSTANTTABLE table = nullptr;
        LPD3DXBUFFER code = Compile(ReadCorpus(pair + "_vs.hlsl"), true, &table);
        ASSERT_NE(code, nullptr);
        ASSERT_EQ(Bind(code, true), D3D_OK);
        D3DXMATRIX proj = {};
        proj.m[0][0] = 2.0f / kWidth, proj.m[1][1] = -2.0f / kHeight, proj.m[2][2] = proj.m[3][3] = 1.0f;
        proj.m[3][0] = -1.0f, proj.m[3][1] = 1.0f;
        EXPECT_EQ(table->SetMatrix(device, table->GetConstantByName(nullptr, "Proj"), &proj), D3D_OK);
        table->Release();

        code = Compile(ReadCorpus(pair + "_ps.hlsl"), false, &table);
        ASSERT_NE(code, nullptr);
        ASSERT_EQ(Bind(code, false), D3D_OK);
        if (D3DXHANDLE sampler = table->GetConstantByName(nullptr, "TextureSampler"))
        {
            D3DXCONSTANT_DESC desc;
            UINT count = 1;
            EXPECT_EQ(table->GetConstantDesc(sampler, &desc, &count), D3D_OK);
            samplerStage = desc.RegisterIndex;
        }
        table->Release();
        Clear(kBlack);
    }

    // A quad over the left half of the target, as the engine places it.
    void DrawLeftHalf(D3DCOLOR diffuse, D3DCOLOR specular)
    {
        DrawQuad(-0.5f, -0.5f, kWidth / 2 - 0.5f, kHeight - 0.5f, diffuse, specular);
        Read();
    }

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
    ExpectPixels({{0, 0, color}, {4, 2, color}, {kWidth - 1, kHeight - 1, kBlack}});
}

TEST_F(HlslProgramPixelTest, TexturedMultiplyProgramsDrawTextureTimesColour)
{
    UsePrograms("mult");
    BindTexture(SolidTexture(0x80FF8040), samplerStage);
    DrawLeftHalf(0xFF8080FF, 0);
    EXPECT_TRUE(Near(At(1, 1), 0x80804040));
    EXPECT_TRUE(Near(At(kWidth / 2 - 1, kHeight - 1), 0x80804040));
    EXPECT_EQ(At(kWidth / 2, 0), kBlack);
}

TEST_F(HlslProgramPixelTest, TexturedTintProgramsMixTextureAndColourBySpecularGreenAndBlue)
{
    UsePrograms("tint");
    BindTexture(SolidTexture(0x80FF8040), samplerStage);
    // specular (k << 8) | (255 - k): k = 0 shows the texture's colour.
    DrawLeftHalf(0xFF2040C0, 0x000000FF);
    EXPECT_TRUE(Near(At(1, 1), 0x80FF8040));
    // k = 255 shows the vertex colour, alpha still texture times colour.
    DrawLeftHalf(0x802040C0, 0x0000FF00);
    EXPECT_TRUE(Near(At(1, 1), 0x402040C0));
    // Half way mixes both.
    DrawLeftHalf(0xFF0000FF, 0x0000807F);
    EXPECT_TRUE(Near(At(1, 1), 0x807F40A0));
}

// Every form the compiler emits must be GLSL that OpenGL accepts: shader
// creation compiles it at once.
struct GlslCase
{
    const char* name;
    bool vertex;
    const char* source; // "corpus:" and a file name, or the text
};

class HlslGlslTest : public HlslProgramPixelTest, public ::testing::WithParamInterface<GlslCase>
{
};

TEST_P(HlslGlslTest, CompiledProgramIsAcceptedByOpenGL)
{
    const GlslCase& c = GetParam();
    std::string text = c.source;
    if (text.compare(0, 7, "corpus:") == 0)
        text = ReadCorpus(text.substr(7));
    LPD3DXBUFFER code = Compile(text, c.vertex);
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(Bind(code, c.vertex), D3D_OK);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, HlslGlslTest,
    ::testing::Values(
        GlslCase{"UserVertex", true, "corpus:user_vs.hlsl"}, GlslCase{"UserPixel", false, "corpus:user_ps.hlsl"},
        GlslCase{"MatrixShapes", true,
                 "float3x4 A; float4x3 B; float2x2 C; float3x3 D[2]; float4x4 E;\n"
                 "float4 vertex_shader(float4 p : POSITION, float3 q : TEXCOORD0) : POSITION\n"
                 "{ return mul(p.xyz, A) + float4(mul(p, B), 1) + mul(E, p)\n"
                 "  + float4(mul(C, p.xy), mul(q, D[p.w]).xy) + mul(q, E); }"},
        GlslCase{"NestedStructsAndParameters", false,
                 "struct A { float2 uv : TEXCOORD0; float3 n : TEXCOORD1; };\n"
                 "struct B { A a; float4 c : COLOR1; };\n"
                 "struct R { float4 color : COLOR0; };\n"
                 "void Touch(inout B b, out float4 o) { b.a.n = normalize(b.a.n); o = float4(b.a.n, 1); }\n"
                 "A Make(float2 uv) { A a = (A)1; a.uv = uv; return a; }\n"
                 "R pixel_shader(B b) { float4 o; Touch(b, o); A m = Make(b.a.uv); B copy = b; copy.a = m;\n"
                 "  R r; r.color = o * b.c + float4(copy.a.uv, copy.a.n.x, 1) + (float4)sqrt(4); return r; }"},
        // Names GLSL reserves or uses must not come through as they are.
        GlslCase{"OddNames", true,
                 "float4 uniform_; float4 __gl; float4 gl_Position_;\n"
                 "struct vec4_ { float4 mix : POSITION; float4 int_ : COLOR1; };\n"
                 "vec4_ vertex_shader(float4 texture_ : POSITION) { vec4_ out_; float4 in_ = texture_ + gl_Position_;\n"
                 "  out_.mix = in_ + uniform_ + __gl; out_.int_ = out_.mix; return out_; }"},
        GlslCase{"EveryIntrinsic", false,
                 "float4 pixel_shader(float4 c : COLOR0) : COLOR0\n"
                 "{ float4 a = abs(c) + floor(c) + ceil(c) + frac(c) + sqrt(c) + rsqrt(c + 1) + exp(c) + exp2(c)\n"
                 "  + log(c + 1) + log2(c + 1) + sin(c) + cos(c) + normalize(c) + pow(c, 2) + step(0.5, c);\n"
                 "  return saturate(lerp(min(a, 1), max(a, 0), 0.5) + clamp(c, 0.1, 0.9) * dot(c, a)) * mul(c, c); }"}),
    [](const ::testing::TestParamInfo<GlslCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace d3d9test
