#include "HlslTestSupport.h"

#include <gtest/gtest.h>

using hlsltest::CompilePS;
using hlsltest::CompileVS;
using hlsltest::ReadCorpus;

namespace
{

struct BuiltinProgram
{
    const char* file;
    bool vertex;
    int constantRegisters;
    unsigned samplerMask;
};

class BuiltinProgramTest : public ::testing::TestWithParam<BuiltinProgram>
{
};

TEST_P(BuiltinProgramTest, CompilesWithoutMessagesIntoABlob)
{
    const BuiltinProgram& program = GetParam();
    const std::string text = ReadCorpus(program.file);
    ASSERT_FALSE(text.empty());
    const hlsltest::Compiled compiled = program.vertex ? CompileVS(text) : CompilePS(text);
    ASSERT_TRUE(compiled.result.ok) << compiled.result.messages;
    EXPECT_EQ(compiled.result.messages, "");
    EXPECT_EQ(compiled.blob.IsVertexShader(), program.vertex);
    EXPECT_EQ(compiled.blob.constantRegisters, static_cast<DWORD>(program.constantRegisters));
    EXPECT_EQ(compiled.blob.samplerMask, program.samplerMask);
    EXPECT_NE(compiled.blob.glsl.find("void bw_main()"), std::string::npos);
    EXPECT_EQ(compiled.blob.glsl.find("#version"), std::string::npos);
    EXPECT_EQ(compiled.blob.glsl.find("__"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Engine, BuiltinProgramTest,
                         ::testing::Values(BuiltinProgram{"geom_vs.hlsl", true, 4, 0},
                                           BuiltinProgram{"geom_ps.hlsl", false, 0, 0},
                                           BuiltinProgram{"mult_vs.hlsl", true, 4, 0},
                                           BuiltinProgram{"mult_ps.hlsl", false, 0, 1},
                                           BuiltinProgram{"tint_vs.hlsl", true, 4, 0},
                                           BuiltinProgram{"tint_ps.hlsl", false, 0, 1}),
                         [](const ::testing::TestParamInfo<BuiltinProgram>& info) {
                             std::string name = info.param.file;
                             return name.substr(0, name.find('.'));
                         });

TEST(HlslCompiler, VertexShaderReadsOnlyTheAttributesItDeclaresAndWritesVaryingsBySemantic)
{
    const hlsltest::Compiled vs = CompileVS(ReadCorpus("tint_vs.hlsl"));
    ASSERT_TRUE(vs.result.ok);
    const std::string& glsl = vs.blob.glsl;
    for (const char* name : {"in vec4 bw_POSITION0;", "in vec4 bw_COLOR0;", "in vec4 bw_COLOR1;",
                             "in vec4 bw_TEXCOORD0;", "out vec4 bw_v_COLOR0;", "out vec4 bw_v_TEXCOORD0;",
                             "out vec4 bw_v_TEXCOORD1;", "vec4 bw_Position;", "uniform vec4 bw_c[4];"})
        EXPECT_NE(glsl.find(name), std::string::npos) << name;
    EXPECT_EQ(glsl.find("bw_TEXCOORD1;"), std::string::npos);
    EXPECT_EQ(glsl.find("sampler2D"), std::string::npos);
    // (green, blue) of the specular colour travel as TEXCOORD1, padded to four.
    EXPECT_NE(glsl.find(".m_colorSpec.yz"), std::string::npos);
    EXPECT_NE(glsl.find("bw_v_TEXCOORD1 = vec4("), std::string::npos);
}

TEST(HlslCompiler, PixelShaderLeavesThePositionItDeclaresUnread)
{
    const hlsltest::Compiled ps = CompilePS(ReadCorpus("tint_ps.hlsl"));
    ASSERT_TRUE(ps.result.ok);
    const std::string& glsl = ps.blob.glsl;
    EXPECT_EQ(glsl.find("POSITION"), std::string::npos);
    for (const char* name : {"uniform sampler2D bw_s0;", "in vec4 bw_v_COLOR0;", "in vec4 bw_v_TEXCOORD0;",
                             "in vec4 bw_v_TEXCOORD1;", "vec4 bw_Color0;", "texture(bw_s0, "})
        EXPECT_NE(glsl.find(name), std::string::npos) << name;
}

TEST(HlslCompiler, MatrixIsReadByColumnsSoARowVectorTimesMatrixIsPlainGlsl)
{
    const hlsltest::Compiled vs = CompileVS(ReadCorpus("geom_vs.hlsl"));
    ASSERT_TRUE(vs.result.ok);
    EXPECT_NE(vs.blob.glsl.find("mat4(bw_c[b + 0], bw_c[b + 1], bw_c[b + 2], bw_c[b + 3])"), std::string::npos);
    EXPECT_NE(vs.blob.glsl.find("(vec4(v2_input.m_pos, 1.0) * bw_m4x4(0))"), std::string::npos) << vs.blob.glsl;
}

TEST(HlslCompiler, ConstantsListReferencedGlobalsInDeclarationOrder)
{
    const std::string text = "float4x4 Unused;\n"
                             "float4 Tint;\n"
                             "float Scale;\n"
                             "float4x4 Proj;\n"
                             "float4 Colors[3];\n"
                             "texture tex;\n"
                             "sampler2D Other;\n"
                             "sampler TextureSampler = sampler_state { Texture = <tex>; };\n"
                             "float4 vertex_shader(float4 p : POSITION) : POSITION\n"
                             "{ return mul(p, Proj) * Scale + Colors[1] + Tint; }\n";
    const hlsltest::Compiled vs = CompileVS(text);
    ASSERT_TRUE(vs.result.ok) << vs.result.messages;
    const auto& constants = vs.result.constants;
    ASSERT_EQ(constants.size(), 4u);
    EXPECT_EQ(constants[0].name, "Tint");
    EXPECT_EQ(constants[0].registerIndex, 0);
    EXPECT_EQ(constants[0].registerCount, 1);
    EXPECT_EQ(constants[1].name, "Scale");
    EXPECT_EQ(constants[1].registerIndex, 1);
    EXPECT_EQ(constants[2].name, "Proj");
    EXPECT_EQ(constants[2].registerIndex, 2);
    EXPECT_EQ(constants[2].registerCount, 4);
    EXPECT_EQ(constants[2].valueClass, d3d9::hlsl::ConstantInfo::MatrixColumns);
    EXPECT_EQ(constants[3].name, "Colors");
    EXPECT_EQ(constants[3].registerIndex, 6);
    EXPECT_EQ(constants[3].registerCount, 3);
    EXPECT_EQ(constants[3].elements, 3);
    EXPECT_EQ(vs.blob.constantRegisters, 9u);
    // A dynamic or constant element stays inside the array.
    EXPECT_NE(vs.blob.glsl.find("bw_c[(6 + clamp(int(1.0), 0, 2))]"), std::string::npos) << vs.blob.glsl;
}

TEST(HlslCompiler, SamplersAreNumberedFromZeroAmongThoseSampled)
{
    const std::string text = "sampler2D A; sampler2D B; sampler2D C;\n"
                             "float4 pixel_shader(float2 t : TEXCOORD0) : COLOR0\n"
                             "{ return tex2D(C, t) + tex2D(A, t); }\n";
    const hlsltest::Compiled ps = CompilePS(text);
    ASSERT_TRUE(ps.result.ok) << ps.result.messages;
    ASSERT_EQ(ps.result.constants.size(), 2u);
    EXPECT_EQ(ps.result.constants[0].name, "A");
    EXPECT_EQ(ps.result.constants[0].registerIndex, 0);
    EXPECT_TRUE(ps.result.constants[0].sampler2D);
    EXPECT_EQ(ps.result.constants[1].name, "C");
    EXPECT_EQ(ps.result.constants[1].registerIndex, 1);
    EXPECT_EQ(ps.blob.samplerMask, 3u);
}

TEST(HlslCompiler, ProgramWithoutProjHasNoConstants)
{
    const std::string text = "struct O { float4 p : POSITION; float4 c : COLOR0; };\n"
                             "O vertex_shader(float4 p : POSITION, float4 c : COLOR0)\n"
                             "{ O o; o.p = p; o.c = c; return o; }\n";
    const hlsltest::Compiled vs = CompileVS(text);
    ASSERT_TRUE(vs.result.ok) << vs.result.messages;
    EXPECT_TRUE(vs.result.constants.empty());
    EXPECT_EQ(vs.blob.constantRegisters, 0u);
    EXPECT_EQ(vs.blob.glsl.find("bw_c"), std::string::npos);
}

TEST(HlslCompiler, AcceptsTheWiderSubsetUserShadersMayUse)
{
    const std::string text =
        "/* block comment */ float4 Tint; float Amount;\n"
        "struct Inner { float2 uv : TEXCOORD0; };\n"
        "struct PS_IN { float4 color : color0; Inner inner; };\n"
        "sampler2D S;\n"
        "float3 Gray(float3 c) { return dot(c, float3(0.299, 0.587, .114)); }\n"
        "void Split(float4 v, out float3 rgb, inout float a) { rgb = v.rgb; a *= v.a; }\n"
        "float4 pixel_shader(in PS_IN i) : COLOR\n"
        "{\n"
        "    float4 s = tex2D(S, i.inner.uv);\n"
        "    float3 rgb; float a = 1;\n"
        "    Split(s, rgb, a);\n"
        "    const float k = saturate(Amount * 2.0f - 0.5);\n"
        "    rgb = lerp(rgb, Gray(rgb), k) + -Tint.xyz / 4;\n"
        "    rgb.zx = rgb.xz;\n"
        "    rgb[2] += min(max(abs(rgb.r), 0.1), pow(2, 0.5)) + (float)1.5e-1;\n"
        "    float4 c = float4(rgb, a) * i.color;\n"
        "    { float4 c = 0; c.w = 1; }\n"
        "    return clamp(c, 0, 1) + float4(normalize(rgb.xy) * length(rgb), floor(0.5), ceil(frac(a)));\n"
        "}\n";
    const hlsltest::Compiled ps = CompilePS(text);
    ASSERT_TRUE(ps.result.ok) << ps.result.messages;
    EXPECT_EQ(ps.result.messages, "");
    EXPECT_EQ(ps.result.constants.size(), 3u);
}

TEST(HlslCompiler, StructZeroCastAndOutParametersServeAsVertexOutputs)
{
    const std::string text = "float4x4 Proj;\n"
                             "struct VO { float4 pos : POSITION; float4 col : COLOR0; };\n"
                             "void vertex_shader(float3 p : POSITION, out VO o, out float2 t : TEXCOORD3)\n"
                             "{ o = (VO)0; o.pos = mul(float4(p, 1), Proj); t = p.xy; }\n";
    const hlsltest::Compiled vs = CompileVS(text);
    ASSERT_TRUE(vs.result.ok) << vs.result.messages;
    EXPECT_NE(vs.blob.glsl.find("out vec4 bw_v_TEXCOORD3;"), std::string::npos);
    EXPECT_NE(vs.blob.glsl.find("s_VO(vec4(0.0), vec4(0.0))"), std::string::npos) << vs.blob.glsl;
}

TEST(HlslCompiler, NamesNeverCollideWithGlslKeywordsOrReservedUnderscores)
{
    const std::string text = "float4 uniform_; float4 gl_Position_; float4 __x;\n"
                             "struct vec4_ { float4 mix : COLOR0; };\n"
                             "float4 main(vec4_ in_) : COLOR0 { float4 out_ = in_.mix + uniform_;"
                             " return out_ + gl_Position_ + __x; }\n";
    const hlsltest::Compiled ps = CompilePS(text, "main");
    ASSERT_TRUE(ps.result.ok) << ps.result.messages;
    EXPECT_EQ(ps.blob.glsl.find("__"), std::string::npos) << ps.blob.glsl;
    EXPECT_EQ(ps.blob.glsl.find(" gl_"), std::string::npos);
}

} // namespace
