#include "HlslTestSupport.h"
#include "Platform/D3D9/Hlsl/Diagnostics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace
{

// Each refusal fails with no code and the message, or its first line, at
// the line and column of the fault.
TEST(HlslMessages, EachErrorComesAtItsLineAndColumn)
{
    const char kPs[] = "ps_2_0", kVs[] = "vs_1_1";
    const struct
    {
        const char* profile;
        const char* source;
        const char* message;
    } cases[] = {
        {kPs, "", "memory(1,1): error X3501: 'pixel_shader': entrypoint not found"},
        {kPs, "float4 pixel_shader() : COLOR0\n{\n    return 1 +;\n}",
            "memory(3,15): error X3000: syntax error: unexpected token ';'"},
        {kPs, "float4 pixel_shader() : COLOR0\n{\n  return colour;\n}",
            "memory(3,10): error X3004: undeclared identifier 'colour'"},
        {kPs, "float4 pixel_shader(float2 t : TEXCOORD0) : COLOR0 { return t.xyz.xyzz; }",
            "memory(1,63): error X3018: invalid subscript 'xyz'"},
        {kPs, "float4 pixel_shader(float2 t : TEXCOORD0) : COLOR0 { return t; }",
            "memory(1,61): error X3017: cannot implicitly convert from 'float2' to 'float4'"},
        {kPs, "float4 g;\nfloat4 pixel_shader() : COLOR0 { g = 1; return g; }",
            "memory(2,34): error X3025: global variables are implicitly constant, enable compatibility "
            "mode to allow modification"},
        {kPs, "float4 pixel_shader(float4 c : COLOR0) : COLOR0 { return lerp(c, c); }",
            "memory(1,58): error X3013: 'lerp': no matching 2 parameter intrinsic function"},
        {kPs, "float f(float x) { return f(x); }\nfloat4 pixel_shader() : COLOR0 { return f(1); }",
            "memory(1,27): error X3500: 'f': recursive functions are not allowed"},
        {kPs, "float4 pixel_shader(float4 c) : COLOR0 { return c; }",
            "memory(1,28): error X3502: 'pixel_shader': input parameter 'c' missing semantics"},
        {kVs, "float4 a[2];\nfloat4 vertex_shader() : POSITION { return a[2]; }",
            "memory(2,46): error X3504: array index out of bounds"},
        {kPs, "int i;", "memory(1,1): error X3087: type 'int' is not supported"},
        {"vs_3_0", "float4 vertex_shader() : POSITION { return 0; }",
            "memory(1,1): error X3539: unsupported compilation target 'vs_3_0'"},
        // What the profiles allow: vs_1_1 writes a whole POSITION and cannot
        // sample; ps_2_0 writes COLOR0 only and may not read POSITION.
        {kVs, "float4 vertex_shader(float4 c : COLOR0) : COLOR0 { return c; }",
            "memory(1,8): error X4541: vertex shader must minimally write all four components of POSITION"},
        {kVs,
            "sampler2D S;\nfloat4 Fetch(float2 t) { return tex2D(S, t); }\n"
            "float4 vertex_shader(float4 p : POSITION) : POSITION\n{ return p + Fetch(p.xy); }",
            "memory(2,33): error X4532: cannot map expression to vs_1_1 instruction set"},
        {kPs, "void pixel_shader(float4 c : COLOR0) { }",
            "memory(1,6): error X4576: pixel shader must write COLOR0"},
        {kPs,
            "struct I { float4 pos : POSITION; float4 c : COLOR0; };\n"
            "float4 pixel_shader(I i) : COLOR0 { return i.c * i.pos; }",
            "memory(2,52): error X4502: invalid ps_2_0 input semantic 'POSITION0': it cannot be read"},
        {kPs, "float4 pixel_shader(float4 a : COLOR0, float4 b : COLOR) : COLOR0 { return a + b; }",
            "memory(1,51): error X4504: overlapping input semantic 'COLOR0'"},
        {kPs, "float4 A[33];\nfloat4 pixel_shader() : COLOR0 { return A[1]; }",
            "memory(1,8): error X5589: 'A' needs more constant registers than ps_2_0 has (32)"},
    };
    for (const auto& c : cases)
    {
        const std::string entry = std::string(c.profile) == "vs_1_1" ? "vertex_shader" : "pixel_shader";
        const d3d9::hlsl::CompileResult result = d3d9::hlsl::Compile(c.source, std::strlen(c.source), entry, c.profile);
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.code.empty());
        EXPECT_EQ(result.messages.substr(0, result.messages.find('\n')), c.message) << result.messages;
    }
}

// Warnings come with code; after the first semantic error the others are
// reported too, up to a bound.
TEST(HlslMessages, TruncationWarningsAndEveryErrorUpToTheBound)
{
    const hlsltest::Compiled vs = hlsltest::Compile(true, "float4x4 M;\nfloat f(float2 v) { return v.x; }\n"
                                                      "float4 vertex_shader(float4 p : POSITION, float3 q : TEXCOORD0) : POSITION\n"
                                                      "{\n    return mul(q, M) + f(p) + (p.xy * q).x;\n}\n");
    ASSERT_TRUE(vs.result.ok) << vs.result.messages;
    EXPECT_EQ(vs.result.messages, "memory(5,19): warning X3206: implicit truncation of vector type\n"
                                  "memory(5,26): warning X3206: implicit truncation of vector type\n"
                                  "memory(5,39): warning X3206: implicit truncation of vector type\n");

    const hlsltest::Compiled ps = hlsltest::Compile(false, "float4 pixel_shader() : COLOR0\n{\n    a = 1;\n    b = 2;\n    return 0;\n}\n");
    EXPECT_EQ(ps.result.messages, "memory(3,5): error X3004: undeclared identifier 'a'\n"
                                  "memory(4,5): error X3004: undeclared identifier 'b'\n");
    std::string text = "float4 pixel_shader() : COLOR0\n{\n";
    for (int i = 0; i < 500; ++i)
        text += "    x = 1;\n";
    const hlsltest::Compiled many = hlsltest::Compile(false, text + "    return 0;\n}\n");
    EXPECT_FALSE(many.result.ok);
    EXPECT_EQ(std::count(many.result.messages.begin(), many.result.messages.end(), '\n'),
              d3d9::hlsl::Diagnostics::kMaxMessages);
}

} // namespace
