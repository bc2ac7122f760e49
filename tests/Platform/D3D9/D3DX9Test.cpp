#include "D3D9Fixture.h"

#include "Platform/D3D9/D3DX9.h"
#include "tests/Platform/D3D9/Hlsl/HlslTestSupport.h"

#include <tuple>

namespace d3d9test
{
namespace
{

using hlsltest::ReadCorpus;

struct CompileOutput
{
    HRESULT hr = E_FAIL;
    LPD3DXBUFFER code = nullptr;
    LPD3DXBUFFER messages = nullptr;
    LPD3DXCONSTANTTABLE table = nullptr;

    ~CompileOutput() { ReleaseAll({code, messages, table}); }
    std::string Messages() const { return messages ? static_cast<const char*>(messages->GetBufferPointer()) : ""; }
};

void Compile(const std::string& text, const char* entry, const char* profile, CompileOutput& out)
{
    out.hr = D3DXCompileShader(text.data(), static_cast<UINT>(text.size()), nullptr, nullptr, entry, profile,
                               D3DXSHADER_DEBUG, &out.code, &out.messages, &out.table);
}

// The six built-in programs compile without a message, with "Proj" in c0..c3
// and the sampler on stage 0 where the renderer looks for them.
TEST(D3DXCompileShader, BuiltInProgramsGiveABlobAndTheirRegisters)
{
    for (const char* name : {"geom", "mult", "tint"})
        for (const bool vertex : {true, false})
        {
            SCOPED_TRACE(testing::Message() << name << (vertex ? " vs" : " ps"));
            CompileOutput out;
            Compile(ReadCorpus(std::string(name) + (vertex ? "_vs.hlsl" : "_ps.hlsl")),
                    vertex ? "vertex_shader" : "pixel_shader", vertex ? "vs_1_1" : "ps_2_0", out);
            ASSERT_EQ(out.hr, D3D_OK) << out.Messages();
            EXPECT_EQ(out.messages, nullptr);
            const DWORD* tokens = static_cast<const DWORD*>(out.code->GetBufferPointer());
            EXPECT_EQ(ShaderBlobTokenCount(tokens) * sizeof(DWORD), out.code->GetBufferSize());
            D3DXCONSTANT_DESC desc = {};
            UINT count = 1;
            const D3DXHANDLE constant =
                out.table->GetConstantByName(nullptr, vertex ? "Proj" : "TextureSampler");
            if (!vertex && std::string(name) == "geom")
                EXPECT_EQ(constant, nullptr);
            else
            {
                ASSERT_EQ(out.table->GetConstantDesc(constant, &desc, &count), D3D_OK);
                EXPECT_EQ(std::make_pair(desc.RegisterIndex, desc.RegisterCount), std::make_pair(0u, vertex ? 4u : 1u));
            }
        }
}

// Messages and tables are the compiler's tests; here: what D3DX hands out.
TEST(D3DXCompileShader, FailureGivesMessagesAndNoCodeOrTable)
{
    CompileOutput bad;
    Compile("float4 pixel_shader() : COLOR0 { return undefined; }", "pixel_shader", "ps_2_0", bad);
    EXPECT_TRUE(FAILED(bad.hr));
    EXPECT_EQ(bad.code, nullptr);
    EXPECT_EQ(bad.table, nullptr);
    ASSERT_NE(bad.messages, nullptr);
    EXPECT_EQ(bad.messages->GetBufferSize(), bad.Messages().size() + 1);
}

TEST(D3DXCompileShader, BadArgumentsAreRefusedAndOutputsCleared)
{
    const std::string text = ReadCorpus("geom_ps.hlsl");
    const char *ps = "pixel_shader", *profile = "ps_2_0";
    const char* arguments[][3] = {{nullptr, ps, profile}, {text.c_str(), nullptr, profile}, {text.c_str(), ps, nullptr}};
    for (const auto& a : arguments)
    {
        LPD3DXBUFFER code = reinterpret_cast<LPD3DXBUFFER>(0x1), messages = code;
        LPD3DXCONSTANTTABLE table = reinterpret_cast<LPD3DXCONSTANTTABLE>(0x1);
        EXPECT_EQ(D3DXCompileShader(a[0], 10, nullptr, nullptr, a[1], a[2], 0, &code, &messages, &table),
                  D3DERR_INVALIDCALL);
        EXPECT_EQ(std::make_tuple(code, messages, table), std::make_tuple(nullptr, nullptr, nullptr));
    }
    // Without out-pointers the text is still checked.
    EXPECT_EQ(D3DXCompileShader(text.c_str(), static_cast<UINT>(text.size()), nullptr, nullptr, ps, profile, 0,
                                nullptr, nullptr, nullptr),
              D3D_OK);
}

// Constant tables writing to a device on the null back end.
class D3DXConstantTable : public NullDeviceTest
{
protected:
    void SetUp() override
    {
        NullDeviceTest::SetUp();
        Compile("float4x4 Proj; float4 Tint; float Scale; float4 Unused;\n"
                "float4 vertex_shader(float4 p : POSITION) : POSITION { return mul(p, Proj) * Scale + Tint; }",
                "vertex_shader", "vs_1_1", vs);
        Compile("float4 Tint; float4 pixel_shader() : COLOR0 { return Tint; }", "pixel_shader", "ps_2_0", ps);
        ASSERT_EQ(vs.hr, D3D_OK) << vs.Messages();
        ASSERT_EQ(ps.hr, D3D_OK) << ps.Messages();
        test::EnableCallLog(true);
    }
    CompileOutput vs;
    CompileOutput ps;
};

// Where SetMatrix writes is checked by the programs' pixels; the engine sets no other kind.
TEST_F(D3DXConstantTable, AFailingDeviceCallIsReturned)
{
    test::ForceResult(test::Call::SetVertexShaderConstantF, D3DERR_DEVICELOST, 1);
    EXPECT_EQ(vs.table->SetFloat(device, vs.table->GetConstantByName(nullptr, "Scale"), 1.0f), D3DERR_DEVICELOST);
}

TEST_F(D3DXConstantTable, NullForeignAndUnknownHandlesAreRefused)
{
    const D3DXVECTOR4 v(1, 2, 3, 4);
    D3DXMATRIX m = {};
    D3DXCONSTANT_DESC desc;
    UINT count = 1;
    EXPECT_EQ(vs.table->GetConstantByName(nullptr, "Unused"), nullptr);
    EXPECT_EQ(vs.table->GetConstantByName(nullptr, "proj"), nullptr);
    EXPECT_EQ(vs.table->GetConstantByName(nullptr, nullptr), nullptr);

    const D3DXHANDLE foreign = ps.table->GetConstantByName(nullptr, "Tint");
    const char sameName[] = "Tint";
    for (D3DXHANDLE handle : {D3DXHANDLE(nullptr), foreign, D3DXHANDLE(sameName)})
    {
        EXPECT_EQ(vs.table->SetVector(device, handle, &v), D3DERR_INVALIDCALL);
        EXPECT_EQ(vs.table->SetFloat(device, handle, 1.0f), D3DERR_INVALIDCALL);
        EXPECT_EQ(vs.table->SetMatrix(device, handle, &m), D3DERR_INVALIDCALL);
        EXPECT_EQ(vs.table->GetConstantDesc(handle, &desc, &count), D3DERR_INVALIDCALL);
    }
    const D3DXHANDLE tint = vs.table->GetConstantByName(nullptr, "Tint");
    EXPECT_EQ(vs.table->GetConstantByName(tint, "Tint"), nullptr);
    EXPECT_EQ(vs.table->SetVector(nullptr, tint, &v), D3DERR_INVALIDCALL);
    EXPECT_EQ(vs.table->SetVector(device, tint, nullptr), D3DERR_INVALIDCALL);
    EXPECT_TRUE(test::CallLogLines().empty());
}

} // namespace
} // namespace d3d9test
