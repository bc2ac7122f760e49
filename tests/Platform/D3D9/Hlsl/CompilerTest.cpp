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

// The varyings travel by semantic, and only what a stage uses is declared:
// (green, blue) of the specular colour as TEXCOORD1, padded to four; the
// pixel stage leaves the POSITION it declares unread.
TEST(HlslCompiler, StagesDeclareOnlyWhatTheyUse)
{
    const hlsltest::Compiled vs = CompileVS(ReadCorpus("tint_vs.hlsl"));
    const hlsltest::Compiled ps = CompilePS(ReadCorpus("tint_ps.hlsl"));
    ASSERT_TRUE(vs.result.ok && ps.result.ok);
    for (const char* name : {"in vec4 bw_POSITION0;", "in vec4 bw_COLOR0;", "in vec4 bw_COLOR1;",
                             "in vec4 bw_TEXCOORD0;", "out vec4 bw_v_COLOR0;", "out vec4 bw_v_TEXCOORD0;",
                             "out vec4 bw_v_TEXCOORD1;", "vec4 bw_Position;", "uniform vec4 bw_c[4];",
                             ".m_colorSpec.yz", "bw_v_TEXCOORD1 = vec4("})
        EXPECT_NE(vs.blob.glsl.find(name), std::string::npos) << name;
    EXPECT_EQ(vs.blob.glsl.find("bw_TEXCOORD1;"), std::string::npos);
    EXPECT_EQ(vs.blob.glsl.find("sampler2D"), std::string::npos);
    for (const char* name : {"uniform sampler2D bw_s0;", "in vec4 bw_v_COLOR0;", "in vec4 bw_v_TEXCOORD0;",
                             "in vec4 bw_v_TEXCOORD1;", "vec4 bw_Color0;", "texture(bw_s0, "})
        EXPECT_NE(ps.blob.glsl.find(name), std::string::npos) << name;
    EXPECT_EQ(ps.blob.glsl.find("POSITION"), std::string::npos);
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
    const struct
    {
        const char* name;
        int index, count, elements;
    } expected[] = {{"Tint", 0, 1, 1}, {"Scale", 1, 1, 1}, {"Proj", 2, 4, 1}, {"Colors", 6, 3, 3}};
    ASSERT_EQ(vs.result.constants.size(), 4u);
    for (size_t i = 0; i < 4; ++i)
    {
        const d3d9::hlsl::ConstantInfo& c = vs.result.constants[i];
        EXPECT_EQ(c.name, expected[i].name);
        EXPECT_EQ(c.registerIndex, expected[i].index) << c.name;
        EXPECT_EQ(c.registerCount, expected[i].count) << c.name;
        EXPECT_EQ(c.elements, expected[i].elements) << c.name;
    }
    EXPECT_EQ(vs.result.constants[2].valueClass, d3d9::hlsl::ConstantInfo::MatrixColumns);
    EXPECT_EQ(vs.blob.constantRegisters, 9u);
    // A dynamic or constant element stays inside the array.
    EXPECT_NE(vs.blob.glsl.find("bw_c[(6 + clamp(int(1.0), 0, 2))]"), std::string::npos) << vs.blob.glsl;

    const hlsltest::Compiled none = CompileVS("float4 vertex_shader(float4 p : POSITION) : POSITION { return p; }");
    ASSERT_TRUE(none.result.ok) << none.result.messages;
    EXPECT_TRUE(none.result.constants.empty());
    EXPECT_EQ(none.blob.constantRegisters, 0u);
    EXPECT_EQ(none.blob.glsl.find("bw_c"), std::string::npos);
}

TEST(HlslCompiler, SamplersAreNumberedFromZeroAmongThoseSampled)
{
    const hlsltest::Compiled ps = CompilePS("sampler2D A; sampler2D B; sampler2D C;\n"
                                            "float4 pixel_shader(float2 t : TEXCOORD0) : COLOR0\n"
                                            "{ return tex2D(C, t) + tex2D(A, t); }\n");
    ASSERT_TRUE(ps.result.ok) << ps.result.messages;
    ASSERT_EQ(ps.result.constants.size(), 2u);
    EXPECT_EQ(ps.result.constants[0].name, "A");
    EXPECT_EQ(ps.result.constants[0].registerIndex, 0);
    EXPECT_TRUE(ps.result.constants[0].sampler2D);
    EXPECT_EQ(ps.result.constants[1].name, "C");
    EXPECT_EQ(ps.result.constants[1].registerIndex, 1);
    EXPECT_EQ(ps.blob.samplerMask, 3u);
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
