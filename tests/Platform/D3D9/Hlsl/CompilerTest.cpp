// The constant table; what the built-in programs and the wider subset
// compile to is drawn and read back in HlslPixelTest.cpp.

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

} // namespace
