// The constant table and what each profile accepts; what the built-in
// programs and the wider subset compile to is drawn and read back in
// HlslPixelTest.cpp.

#include "HlslTestSupport.h"

#include <gtest/gtest.h>

namespace
{

struct Constant
{
    std::string name;
    int index, count, elements;
    bool operator==(const Constant& o) const
    {
        return name == o.name && index == o.index && count == o.count && elements == o.elements;
    }
};

std::vector<Constant> Table(const d3d9::hlsl::CompileResult& result)
{
    std::vector<Constant> table;
    for (const d3d9::hlsl::ConstantInfo& c : result.constants)
        table.push_back({c.name, c.registerIndex, c.registerCount, c.elements});
    return table;
}

// Only referenced globals, in declaration order; samplers numbered among those sampled.
TEST(HlslCompiler, ConstantsListReferencedGlobalsInDeclarationOrder)
{
    const hlsltest::Compiled vs = hlsltest::Compile(true, 
        "float4x4 Unused; float4 Tint; float Scale; float4x4 Proj; float4 Colors[3];\n"
        "texture tex; sampler2D Other; sampler TextureSampler = sampler_state { Texture = <tex>; };\n"
        "float4 vertex_shader(float4 p : POSITION) : POSITION { return mul(p, Proj) * Scale + Colors[1] + Tint; }");
    ASSERT_TRUE(vs.result.ok) << vs.result.messages;
    EXPECT_EQ(Table(vs.result),
              (std::vector<Constant>{{"Tint", 0, 1, 1}, {"Scale", 1, 1, 1}, {"Proj", 2, 4, 1}, {"Colors", 6, 3, 3}}));
    EXPECT_EQ(vs.result.constants[2].valueClass, d3d9::hlsl::ConstantInfo::MatrixColumns);
    EXPECT_EQ(vs.blob.constantRegisters, 9u);
    // A dynamic or constant element stays inside the array.
    EXPECT_NE(vs.blob.glsl.find("bw_c[(6 + clamp(int(1.0), 0, 2))]"), std::string::npos) << vs.blob.glsl;

    const hlsltest::Compiled ps = hlsltest::Compile(false, "sampler2D A; sampler2D B; sampler2D C;\n"
                                                      "float4 pixel_shader(float2 t : TEXCOORD0) : COLOR0\n"
                                                      "{ return tex2D(C, t) + tex2D(A, t); }\n");
    ASSERT_TRUE(ps.result.ok) << ps.result.messages;
    EXPECT_EQ(Table(ps.result), (std::vector<Constant>{{"A", 0, 1, 1}, {"C", 1, 1, 1}}));
    EXPECT_TRUE(ps.result.constants[0].sampler2D);
    EXPECT_EQ(ps.blob.samplerMask, 3u);
}

// The edges of the profiles' refusals, which are in the message table of
// DiagnosticsTest.cpp.
TEST(HlslProfileRules, AcceptedProgramsAndOpaqueAlphaForAThreeComponentColour)
{
    const struct
    {
        bool vertex;
        const char* source;
    } accepted[] = {
        {true, "void vertex_shader(float4 p : POSITION, out float4 o : POSITION) { o = p; }"},
        {true, "sampler2D S;\nfloat4 Fetch(float2 t) { return tex2D(S, t); }\n"
               "float4 vertex_shader(float4 p : POSITION) : POSITION { return p; }"},
        {true, "float4 A[96];\nfloat4 vertex_shader(float4 p : POSITION) : POSITION { return p + A[0]; }"},
    };
    for (const auto& c : accepted)
    {
        const hlsltest::Compiled compiled = hlsltest::Compile(c.vertex, c.source);
        EXPECT_TRUE(compiled.result.ok) << c.source << "\n" << compiled.result.messages;
    }
    const hlsltest::Compiled ps =
        hlsltest::Compile(false, "float3 pixel_shader(float4 c : COLOR0) : COLOR0 { return c.rgb; }");
    ASSERT_TRUE(ps.result.ok) << ps.result.messages;
    EXPECT_NE(ps.blob.glsl.find("bw_Color0 = vec4(bw_r, 1.0);"), std::string::npos) << ps.blob.glsl;
}

// A semantic is accepted only where the profile has a register for it.
TEST(HlslProfileRules, SemanticsNeedARegisterOfTheProfile)
{
    const struct
    {
        bool vertex, input;
        const char* semantic;
        bool valid;
    } cases[] = {
        {true, true, "POSITION", true},    {true, true, "position0", true},   {true, true, "POSITION1", false},
        {true, true, "COLOR1", true},      {true, true, "COLOR2", false},     {true, true, "TEXCOORD7", true},
        {true, true, "TEXCOORD8", false},  {true, true, "NORMAL", false},     {true, false, "COLOR1", true},
        {true, false, "TEXCOORD7", true},  {true, false, "PSIZE", false},     {false, true, "COLOR1", true},
        {false, true, "TEXCOORD5", true},  {false, true, "VPOS", false},      {false, false, "COLOR0", true},
        {false, false, "COLOR", true},     {false, false, "COLOR1", false},
    };
    for (const auto& c : cases)
    {
        const std::string s = c.semantic;
        std::string text;
        if (c.vertex)
            text = c.input ? "void vertex_shader(float4 v : " + s + ", out float4 p : POSITION) { p = v; }"
                           : "void vertex_shader(float4 v : POSITION, out float4 p : POSITION, out float4 o : " + s +
                                 ") { p = v; o = v; }";
        else
            text = c.input ? "float4 pixel_shader(float4 v : " + s + ") : COLOR0 { return 1; }"
                           : "void pixel_shader(out float4 o : " + s + ") { o = 1; }";
        const d3d9::hlsl::CompileResult result = hlsltest::Compile(c.vertex, text).result;
        EXPECT_EQ(result.ok, c.valid) << text << "\n" << result.messages;
    }
}

} // namespace
