#include "Platform/D3D9/ShaderBlob.h"

#include <gtest/gtest.h>

namespace
{

d3d9::ShaderBlob SampleBlob()
{
    d3d9::ShaderBlob blob;
    blob.version = d3d9::kBlobVersionPS20;
    blob.glsl = "vec4 bw_Color0; void bw_main() { bw_Color0 = vec4(1); }";
    blob.constantRegisters = 4;
    blob.samplerMask = 1;
    return blob;
}

TEST(ShaderBlob, RoundTripsEveryField)
{
    const std::vector<DWORD> tokens = d3d9::WriteShaderBlob(SampleBlob());
    EXPECT_EQ(tokens.back(), d3d9::kBlobEnd);
    EXPECT_EQ(d3d9::ShaderBlobTokenCount(tokens.data()), tokens.size());

    d3d9::ShaderBlob read;
    ASSERT_TRUE(d3d9::ReadShaderBlob(tokens.data(), tokens.size(), &read));
    EXPECT_EQ(read.version, d3d9::kBlobVersionPS20);
    EXPECT_FALSE(read.IsVertexShader());
    EXPECT_EQ(read.glsl, SampleBlob().glsl);
    EXPECT_EQ(read.constantRegisters, 4u);
    EXPECT_EQ(read.samplerMask, 1u);
}

TEST(ShaderBlob, RefusesMalformedStreams)
{
    std::vector<DWORD> tokens = d3d9::WriteShaderBlob(SampleBlob());
    d3d9::ShaderBlob read;

    std::vector<DWORD> badVersion = tokens;
    badVersion[0] = 0x12345678;
    EXPECT_FALSE(d3d9::ReadShaderBlob(badVersion.data(), badVersion.size(), &read));

    // A text length larger than its section.
    std::vector<DWORD> longText = tokens;
    longText[3] = 0xFFFFFFF0u;
    EXPECT_FALSE(d3d9::ReadShaderBlob(longText.data(), longText.size(), &read));

    // A section length that would run past the token limit.
    std::vector<DWORD> hugeSection = {d3d9::kBlobVersionVS11, d3d9::kBlobTagGlsl, 0xFFFFFFFFu, d3d9::kBlobEnd};
    EXPECT_EQ(d3d9::ShaderBlobTokenCount(hugeSection.data(), hugeSection.size()), 0u);
    // A section that jumps over the real end token.
    std::vector<DWORD> overEnd = {d3d9::kBlobVersionVS11, d3d9::kBlobTagGlsl, 3, 0, d3d9::kBlobEnd};
    EXPECT_EQ(d3d9::ShaderBlobTokenCount(overEnd.data(), overEnd.size()), 0u);

    std::vector<DWORD> noText = {d3d9::kBlobVersionVS11, d3d9::kBlobEnd};
    EXPECT_FALSE(d3d9::ReadShaderBlob(noText.data(), noText.size(), &read));
    EXPECT_FALSE(d3d9::ReadShaderBlob(nullptr, 0, &read));
}

} // namespace
