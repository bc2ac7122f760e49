#include "HlslTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{

d3d9::hlsl::CompileResult CompileText(const std::string& text)
{
    return d3d9::hlsl::Compile(text.data(), text.size(), "pixel_shader", "ps_2_0");
}

TEST(HlslRobustness, DeepParenthesesAreRefusedWithoutExhaustingTheStack)
{
    const std::string text = "float4 pixel_shader() : COLOR0 { return " + std::string(100000, '(') + "1" +
                             std::string(100000, ')') + "; }";
    const d3d9::hlsl::CompileResult result = CompileText(text);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.messages.find("nesting too deep"), std::string::npos) << result.messages;
}

TEST(HlslRobustness, LongOperatorChainsAndSwizzleChainsAreRefused)
{
    std::string sum = "1";
    for (int i = 0; i < 100000; ++i)
        sum += "+1";
    EXPECT_NE(CompileText("float4 pixel_shader() : COLOR0 { return " + sum + "; }").messages.find("too complex"),
              std::string::npos);
    std::string swizzles = "c";
    for (int i = 0; i < 100000; ++i)
        swizzles += ".x";
    EXPECT_FALSE(CompileText("float4 pixel_shader(float4 c : COLOR0) : COLOR0 { return " + swizzles + "; }").ok);
}

TEST(HlslRobustness, DeepBlocksAndUnaryOperatorsAreRefused)
{
    EXPECT_FALSE(CompileText("float4 pixel_shader() : COLOR0 " + std::string(50000, '{')).ok);
    EXPECT_FALSE(CompileText("float4 pixel_shader() : COLOR0 { return " + std::string(50000, '-') + "1; }").ok);
}

TEST(HlslRobustness, ModeratelyNestedExpressionsStillCompile)
{
    const std::string text = "float4 pixel_shader(float4 c : COLOR0) : COLOR0 { return " + std::string(40, '(') +
                             "c" + std::string(40, ')') + " * -(-(c + 1)); }";
    EXPECT_TRUE(CompileText(text).ok) << CompileText(text).messages;
}

TEST(HlslRobustness, StructsThatWouldExplodeWhenCopiedAreRefused)
{
    std::string text = "struct S0 { float4 a; float4 b; float4 c; float4 d; };\n";
    for (int i = 1; i < 12; ++i)
        text += "struct S" + std::to_string(i) + " { S" + std::to_string(i - 1) + " a; S" + std::to_string(i - 1) +
                " b; S" + std::to_string(i - 1) + " c; };\n";
    const d3d9::hlsl::CompileResult result = CompileText(text);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.messages.find("is too large"), std::string::npos) << result.messages;
}

TEST(HlslRobustness, TextEndsAtItsLengthOrFirstNul)
{
    const std::string good = "float4 pixel_shader(float4 c : COLOR0) : COLOR0 { return c; }";
    std::string withTail = good + std::string("\0garbage @@@", 12);
    EXPECT_TRUE(CompileText(withTail).ok);
    const d3d9::hlsl::CompileResult cut = d3d9::hlsl::Compile(good.data(), good.size() - 3, "pixel_shader", "ps_2_0");
    EXPECT_FALSE(cut.ok);
    EXPECT_EQ(d3d9::hlsl::Compile(nullptr, 10, "pixel_shader", "ps_2_0").ok, false);
}

TEST(HlslRobustness, StrangeEntryNamesAreQuotedSafely)
{
    const std::string text = "float4 pixel_shader(float4 c : COLOR0) : COLOR0 { return c; }";
    const d3d9::hlsl::CompileResult result =
        d3d9::hlsl::Compile(text.data(), text.size(), std::string("bad\x01name\n", 9), "ps_2_0");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.messages, "memory(1,1): error X3501: 'bad\\x01name\\x0A': entrypoint not found\n");
}

TEST(HlslRobustness, HugeArrayDimensionsAndLiteralsAreRefused)
{
    EXPECT_FALSE(CompileText("float4 A[4294967296]; float4 pixel_shader() : COLOR0 { return A[0]; }").ok);
    EXPECT_FALSE(CompileText("float4 A[0]; float4 pixel_shader() : COLOR0 { return A[0]; }").ok);
    EXPECT_FALSE(CompileText("float4 pixel_shader() : COLOR0 { return 0x" + std::string(300, 'F') + "; }").ok);
    EXPECT_FALSE(CompileText("float4 pixel_shader() : COLOR0 { return 1." + std::string(5000, '9') + "e99999; }").ok);
}

TEST(HlslRobustness, EveryPrefixOfABuiltinProgramFailsCleanly)
{
    const std::string text = hlsltest::ReadCorpus("tint_ps.hlsl");
    for (size_t length = 0; length < text.size(); length += 3)
    {
        const d3d9::hlsl::CompileResult result =
            d3d9::hlsl::Compile(text.data(), length, "pixel_shader", "ps_2_0");
        EXPECT_EQ(result.ok, result.messages.find("error") == std::string::npos) << length;
        EXPECT_EQ(result.ok, !result.code.empty());
    }
}

} // namespace

namespace
{

TEST(HlslRobustness, StructCastsCannotInflateTheProgramWithoutBound)
{
    std::string text = "struct S {";
    for (int i = 0; i < 256; ++i)
        text += " float4 m" + std::to_string(i) + ";";
    text += " };\nfloat4 pixel_shader() : COLOR0\n{\n    S s;\n";
    for (int i = 0; i < 50; ++i)
        text += "    s = (S)0;\n";
    const d3d9::hlsl::CompileResult few = CompileText(text + "    return s.m0;\n}\n");
    EXPECT_TRUE(few.ok) << few.messages;
    for (int i = 0; i < 50; ++i)
        text += "    s = (S)0;\n";
    const d3d9::hlsl::CompileResult many = CompileText(text + "    return s.m0;\n}\n");
    EXPECT_FALSE(many.ok);
    EXPECT_EQ(std::count(many.messages.begin(), many.messages.end(), '\n'), 1) << many.messages;
    EXPECT_NE(many.messages.find("too large"), std::string::npos) << many.messages;
}

} // namespace
