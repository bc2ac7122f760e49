#include "HlslTestSupport.h"

#include <gtest/gtest.h>

using hlsltest::CompilePS;
using hlsltest::CompileVS;

namespace
{

// --- vs_1_1 writes POSITION --------------------------------------------------

TEST(HlslProfileRules, VertexShaderWithoutPositionOutputFails)
{
    const hlsltest::Compiled vs = CompileVS("float4 vertex_shader(float4 c : COLOR0) : COLOR0 { return c; }");
    EXPECT_FALSE(vs.result.ok);
    EXPECT_EQ(vs.result.messages,
              "memory(1,8): error X4541: vertex shader must minimally write all four components of POSITION\n");
}

TEST(HlslProfileRules, VertexShaderThatNeverAssignsItsPositionMemberFails)
{
    const hlsltest::Compiled vs = CompileVS("struct O { float4 p : POSITION; float4 c : COLOR0; };\n"
                                            "O vertex_shader(float4 c : COLOR0) { O o; o.c = c; return o; }");
    EXPECT_FALSE(vs.result.ok);
    EXPECT_NE(vs.result.messages.find("error X4541"), std::string::npos) << vs.result.messages;
}

TEST(HlslProfileRules, VertexShaderPositionMustHaveFourComponents)
{
    const hlsltest::Compiled vs = CompileVS("float3 vertex_shader(float3 p : POSITION) : POSITION { return p; }");
    EXPECT_FALSE(vs.result.ok);
    EXPECT_NE(vs.result.messages.find("error X4541"), std::string::npos);
}

TEST(HlslProfileRules, VertexShaderWritingPositionThroughAnOutParameterCompiles)
{
    const hlsltest::Compiled vs =
        CompileVS("void vertex_shader(float4 p : POSITION, out float4 o : POSITION) { o = p; }");
    EXPECT_TRUE(vs.result.ok) << vs.result.messages;
}

// --- vs_1_1 cannot sample ------------------------------------------------------

TEST(HlslProfileRules, VertexShaderCannotSampleEvenThroughAFunction)
{
    const hlsltest::Compiled vs = CompileVS("sampler2D S;\n"
                                            "float4 Fetch(float2 t) { return tex2D(S, t); }\n"
                                            "float4 vertex_shader(float4 p : POSITION) : POSITION\n"
                                            "{ return p + Fetch(p.xy); }");
    EXPECT_FALSE(vs.result.ok);
    EXPECT_EQ(vs.result.messages, "memory(2,33): error X4532: cannot map expression to vs_1_1 instruction set\n");
}

TEST(HlslProfileRules, VertexShaderMayDeclareSamplersAndUnusedSamplingFunctions)
{
    const hlsltest::Compiled vs = CompileVS("sampler2D S;\n"
                                            "float4 Fetch(float2 t) { return tex2D(S, t); }\n"
                                            "float4 vertex_shader(float4 p : POSITION) : POSITION { return p; }");
    EXPECT_TRUE(vs.result.ok) << vs.result.messages;
    EXPECT_TRUE(vs.result.constants.empty());
}

// --- ps_2_0 writes COLOR0 --------------------------------------------------------

TEST(HlslProfileRules, PixelShaderWithoutColorOutputFails)
{
    const hlsltest::Compiled ps = CompilePS("void pixel_shader(float4 c : COLOR0) { }");
    EXPECT_FALSE(ps.result.ok);
    EXPECT_EQ(ps.result.messages, "memory(1,6): error X4576: pixel shader must write COLOR0\n");
}

TEST(HlslProfileRules, PixelShaderOutputsOtherThanColor0AreRefused)
{
    for (const char* semantic : {"COLOR1", "DEPTH", "POSITION", "TEXCOORD0"})
    {
        const std::string text =
            std::string("float4 pixel_shader(float4 c : COLOR0) : ") + semantic + " { return c; }";
        const hlsltest::Compiled ps = CompilePS(text);
        EXPECT_FALSE(ps.result.ok) << semantic;
        EXPECT_NE(ps.result.messages.find("error X4502: invalid ps_2_0 output semantic"), std::string::npos)
            << ps.result.messages;
    }
}

TEST(HlslProfileRules, PixelShaderColorOfThreeComponentsGetsOpaqueAlpha)
{
    const hlsltest::Compiled ps = CompilePS("float3 pixel_shader(float4 c : COLOR0) : COLOR0 { return c.rgb; }");
    ASSERT_TRUE(ps.result.ok) << ps.result.messages;
    EXPECT_NE(ps.blob.glsl.find("bw_Color0 = vec4(bw_r, 1.0);"), std::string::npos) << ps.blob.glsl;
}

// --- ps_2_0 may declare but not read POSITION --------------------------------------

TEST(HlslProfileRules, PixelShaderReadingPositionMemberFails)
{
    const hlsltest::Compiled ps = CompilePS("struct I { float4 pos : POSITION; float4 c : COLOR0; };\n"
                                            "float4 pixel_shader(I i) : COLOR0 { return i.c * i.pos; }");
    EXPECT_FALSE(ps.result.ok);
    EXPECT_EQ(ps.result.messages,
              "memory(2,52): error X4502: invalid ps_2_0 input semantic 'POSITION0': it cannot be read\n");
}

TEST(HlslProfileRules, PixelShaderReadingPositionParameterFails)
{
    const hlsltest::Compiled ps =
        CompilePS("float4 pixel_shader(float4 p : POSITION, float4 c : COLOR0) : COLOR0 { return p; }");
    EXPECT_FALSE(ps.result.ok);
    EXPECT_NE(ps.result.messages.find("memory(1,79): error X4502"), std::string::npos) << ps.result.messages;
}

TEST(HlslProfileRules, PixelShaderDeclaringPositionWithoutReadingItCompiles)
{
    const hlsltest::Compiled ps =
        CompilePS("float4 pixel_shader(float4 p : POSITION, float4 c : COLOR0) : COLOR0 { return c; }");
    EXPECT_TRUE(ps.result.ok) << ps.result.messages;
}

// --- semantics by profile and direction ---------------------------------------------

struct SemanticCase
{
    bool vertex;
    bool input;
    const char* semantic;
    bool valid;
};

class HlslSemanticTest : public ::testing::TestWithParam<SemanticCase>
{
};

TEST_P(HlslSemanticTest, IsAcceptedOnlyWhereTheProfileHasARegisterForIt)
{
    const SemanticCase& c = GetParam();
    std::string text;
    if (c.vertex)
        text = c.input ? std::string("void vertex_shader(float4 v : ") + c.semantic +
                             ", out float4 p : POSITION) { p = v; }"
                       : std::string("void vertex_shader(float4 v : POSITION, out float4 p : POSITION, out float4 o : ") +
                             c.semantic + ") { p = v; o = v; }";
    else
        text = c.input ? std::string("float4 pixel_shader(float4 v : ") + c.semantic + ") : COLOR0 { return 1; }"
                       : std::string("void pixel_shader(out float4 o : ") + c.semantic + ") { o = 1; }";
    const d3d9::hlsl::CompileResult result = (c.vertex ? CompileVS(text) : CompilePS(text)).result;
    EXPECT_EQ(result.ok, c.valid) << text << "\n" << result.messages;
}

INSTANTIATE_TEST_SUITE_P(
    Registers, HlslSemanticTest,
    ::testing::Values(SemanticCase{true, true, "POSITION", true}, SemanticCase{true, true, "position0", true},
                      SemanticCase{true, true, "POSITION1", false}, SemanticCase{true, true, "COLOR1", true},
                      SemanticCase{true, true, "COLOR2", false}, SemanticCase{true, true, "TEXCOORD7", true},
                      SemanticCase{true, true, "TEXCOORD8", false}, SemanticCase{true, true, "NORMAL", false},
                      SemanticCase{true, false, "COLOR1", true}, SemanticCase{true, false, "TEXCOORD7", true},
                      SemanticCase{true, false, "PSIZE", false}, SemanticCase{false, true, "COLOR1", true},
                      SemanticCase{false, true, "TEXCOORD5", true}, SemanticCase{false, true, "VPOS", false},
                      SemanticCase{false, false, "COLOR0", true}, SemanticCase{false, false, "COLOR", true},
                      SemanticCase{false, false, "COLOR1", false}));

TEST(HlslProfileRules, OverlappingSemanticsAreRefused)
{
    const hlsltest::Compiled ps =
        CompilePS("float4 pixel_shader(float4 a : COLOR0, float4 b : COLOR) : COLOR0 { return a + b; }");
    EXPECT_FALSE(ps.result.ok);
    EXPECT_NE(ps.result.messages.find("error X4504: overlapping input semantic 'COLOR0'"), std::string::npos)
        << ps.result.messages;
}

// --- register limits ------------------------------------------------------------------

TEST(HlslProfileRules, ConstantRegistersAreLimitedPerProfile)
{
    const std::string vs = "float4 A[96];\nfloat4 vertex_shader(float4 p : POSITION) : POSITION { return p + A[0]; }";
    EXPECT_TRUE(CompileVS(vs).result.ok);
    const std::string vsOver =
        "float4 A[96]; float B;\nfloat4 vertex_shader(float4 p : POSITION) : POSITION { return p + A[0] + B; }";
    const hlsltest::Compiled over = CompileVS(vsOver);
    EXPECT_FALSE(over.result.ok);
    EXPECT_NE(over.result.messages.find("error X5589"), std::string::npos) << over.result.messages;
    const std::string ps = "float4 A[33];\nfloat4 pixel_shader() : COLOR0 { return A[1]; }";
    EXPECT_FALSE(CompilePS(ps).result.ok);
}

} // namespace
