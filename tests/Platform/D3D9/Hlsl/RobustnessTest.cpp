// Hostile text: bounds on nesting, chains and sizes, refused with a message
// instead of exhausting the stack or memory.

#include "HlslTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{

d3d9::hlsl::CompileResult CompileText(const std::string& text)
{
    return d3d9::hlsl::Compile(text.data(), text.size(), "pixel_shader", "ps_2_0");
}

std::string Repeat(const std::string& part, int times)
{
    std::string text;
    while (times-- > 0)
        text += part;
    return text;
}

std::string Returning(const std::string& expression)
{
    return "float4 pixel_shader(float4 c : COLOR0) : COLOR0 { return " + expression + "; }";
}

// Structs of three of the previous one: 4 * 3^11 registers once copied.
std::string ExplodingStructs()
{
    std::string text = "struct S0 { float4 a; float4 b; float4 c; float4 d; };\n";
    for (int i = 1; i < 12; ++i)
    {
        const std::string inner = "S" + std::to_string(i - 1);
        text += "struct S" + std::to_string(i) + " { " + inner + " a; " + inner + " b; " + inner + " c; };\n";
    }
    return text;
}

// A struct of 256 registers reset casts times.
std::string StructCasts(int casts)
{
    std::string text = "struct S {";
    for (int i = 0; i < 256; ++i)
        text += " float4 m" + std::to_string(i) + ";";
    return text + " };\nfloat4 pixel_shader() : COLOR0\n{\n    S s;\n" + Repeat("    s = (S)0;\n", casts) +
           "    return s.m0;\n}\n";
}

// One message per fault, not one per repetition of it.
TEST(HlslRobustness, HostileTextIsRefusedWithAFewMessages)
{
    const struct
    {
        std::string text;
        const char* message; // part of the messages
    } cases[] = {
        {Returning(std::string(100000, '(') + "1" + std::string(100000, ')')), "nesting too deep"},
        {Returning("1" + Repeat("+1", 100000)), "too complex"},
        {Returning("c" + Repeat(".x", 100000)), "error"},
        {"float4 pixel_shader() : COLOR0 " + std::string(50000, '{'), "error"},
        {Returning(std::string(50000, '-') + "1"), "error"},
        {ExplodingStructs(), "is too large"},
        {StructCasts(100), "too large"},
        {"float4 A[4294967296]; " + Returning("A[0]"), "error"},
        {"float4 A[0]; " + Returning("A[0]"), "error"},
        {Returning("0x" + std::string(300, 'F')), "error"},
        {Returning("1." + std::string(5000, '9') + "e99999"), "error"},
    };
    for (const auto& c : cases)
    {
        const d3d9::hlsl::CompileResult result = CompileText(c.text);
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.code.empty());
        const std::string head = result.messages.substr(0, 500);
        EXPECT_NE(result.messages.find(c.message), std::string::npos) << head;
        EXPECT_LE(std::count(result.messages.begin(), result.messages.end(), '\n'), 8) << head;
    }
}

// Moderate nesting and a few struct casts still compile; the text ends at its
// length or first NUL; strange entry names are quoted safely.
TEST(HlslRobustness, BoundsLeaveOrdinaryProgramsAloneAndTextIsReadWithinItsLength)
{
    const d3d9::hlsl::CompileResult nested =
        CompileText(Returning(std::string(40, '(') + "c" + std::string(40, ')') + " * -(-(c + 1))"));
    EXPECT_TRUE(nested.ok) << nested.messages;
    const d3d9::hlsl::CompileResult casts = CompileText(StructCasts(50));
    EXPECT_TRUE(casts.ok) << casts.messages;

    const std::string good = Returning("c");
    EXPECT_TRUE(CompileText(good + std::string("\0garbage @@@", 12)).ok);
    EXPECT_FALSE(d3d9::hlsl::Compile(good.data(), good.size() - 3, "pixel_shader", "ps_2_0").ok);
    EXPECT_FALSE(d3d9::hlsl::Compile(nullptr, 10, "pixel_shader", "ps_2_0").ok);
    const d3d9::hlsl::CompileResult named =
        d3d9::hlsl::Compile(good.data(), good.size(), std::string("bad\x01name\n", 9), "ps_2_0");
    EXPECT_EQ(named.messages, "memory(1,1): error X3501: 'bad\\x01name\\x0A': entrypoint not found\n");
}

TEST(HlslRobustness, EveryPrefixOfABuiltinProgramFailsCleanly)
{
    const std::string text = hlsltest::ReadCorpus("tint_ps.hlsl");
    for (size_t length = 0; length < text.size(); length += 3)
    {
        const d3d9::hlsl::CompileResult result = d3d9::hlsl::Compile(text.data(), length, "pixel_shader", "ps_2_0");
        EXPECT_EQ(result.ok, result.messages.find("error") == std::string::npos) << length;
        EXPECT_EQ(result.ok, !result.code.empty());
    }
}

} // namespace
