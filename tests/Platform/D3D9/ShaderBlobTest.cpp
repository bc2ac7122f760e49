#include "Platform/D3D9/ShaderBlob.h"

#include <gtest/gtest.h>

#include <tuple>

namespace
{

using namespace d3d9;

TEST(ShaderBlob, RoundTripsEveryFieldAndRefusesMalformedStreams)
{
    ShaderBlob blob;
    blob.version = kBlobVersionPS20;
    blob.glsl = "vec4 bw_Color0; void bw_main() { bw_Color0 = vec4(1); }";
    blob.constantRegisters = 4;
    blob.samplerMask = 1;
    const std::vector<DWORD> tokens = WriteShaderBlob(blob);
    EXPECT_EQ(ShaderBlobTokenCount(tokens.data()), tokens.size());
    ShaderBlob read;
    ASSERT_TRUE(ReadShaderBlob(tokens.data(), tokens.size(), &read));
    EXPECT_EQ(std::make_tuple(read.version, read.glsl, read.constantRegisters, read.samplerMask),
              std::make_tuple(blob.version, blob.glsl, blob.constantRegisters, blob.samplerMask));

    std::vector<DWORD> badVersion = tokens, longText = tokens;
    badVersion[0] = 0x12345678;
    longText[3] = 0xFFFFFFF0u; // a text length larger than its section
    const std::vector<DWORD> noText = {kBlobVersionVS11, kBlobEnd};
    for (const std::vector<DWORD>& bad : {badVersion, longText, noText})
        EXPECT_FALSE(ReadShaderBlob(bad.data(), bad.size(), &read));
    EXPECT_FALSE(ReadShaderBlob(nullptr, 0, &read));
    // A section running past the token limit, and one jumping over the real end.
    const std::vector<DWORD> huge = {kBlobVersionVS11, kBlobTagGlsl, 0xFFFFFFFFu, kBlobEnd};
    const std::vector<DWORD> overEnd = {kBlobVersionVS11, kBlobTagGlsl, 3, 0, kBlobEnd};
    EXPECT_EQ(ShaderBlobTokenCount(huge.data(), huge.size()), 0u);
    EXPECT_EQ(ShaderBlobTokenCount(overEnd.data(), overEnd.size()), 0u);
}

} // namespace
