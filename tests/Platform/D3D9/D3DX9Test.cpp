#include "Platform/D3D9/D3DX9.h"
#include "Platform/D3D9/ShaderBlob.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{

std::string ReadProgram(const std::string& name)
{
    std::ifstream file(std::string(BW_SOURCE_DIR) + "/fuzz/corpus/Hlsl/" + name, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Records the shader-constant calls a constant table makes.
class ConstantRecorder final : public IDirect3DDevice9
{
public:
    struct Call
    {
        bool vertex;
        UINT start;
        std::vector<float> data;
    };
    std::vector<Call> calls;
    HRESULT result = D3D_OK;

    HRESULT SetVertexShaderConstantF(UINT start, const float* data, UINT count) override
    {
        calls.push_back({true, start, std::vector<float>(data, data + count * 4)});
        return result;
    }
    HRESULT SetPixelShaderConstantF(UINT start, const float* data, UINT count) override
    {
        calls.push_back({false, start, std::vector<float>(data, data + count * 4)});
        return result;
    }

    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT TestCooperativeLevel() override { return D3D_OK; }
    HRESULT Reset(D3DPRESENT_PARAMETERS*) override { return D3D_OK; }
    HRESULT Present(const RECT*, const RECT*, HWND, const RGNDATA*) override { return D3D_OK; }
    HRESULT BeginScene() override { return D3D_OK; }
    HRESULT EndScene() override { return D3D_OK; }
    HRESULT Clear(DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD) override { return D3D_OK; }
    HRESULT GetRenderTarget(DWORD, IDirect3DSurface9**) override { return D3D_OK; }
    HRESULT SetRenderTarget(DWORD, IDirect3DSurface9*) override { return D3D_OK; }
    HRESULT SetViewport(const D3DVIEWPORT9*) override { return D3D_OK; }
    HRESULT SetRenderState(D3DRENDERSTATETYPE, DWORD) override { return D3D_OK; }
    HRESULT SetSamplerState(DWORD, D3DSAMPLERSTATETYPE, DWORD) override { return D3D_OK; }
    HRESULT SetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD) override { return D3D_OK; }
    HRESULT SetScissorRect(const RECT*) override { return D3D_OK; }
    HRESULT SetFVF(DWORD) override { return D3D_OK; }
    HRESULT SetStreamSource(UINT, IDirect3DVertexBuffer9*, UINT, UINT) override { return D3D_OK; }
    HRESULT SetIndices(IDirect3DIndexBuffer9*) override { return D3D_OK; }
    HRESULT SetVertexShader(IDirect3DVertexShader9*) override { return D3D_OK; }
    HRESULT SetPixelShader(IDirect3DPixelShader9*) override { return D3D_OK; }
    HRESULT SetTexture(DWORD, IDirect3DBaseTexture9*) override { return D3D_OK; }
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE, UINT, UINT) override { return D3D_OK; }
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE, INT, UINT, UINT, UINT, UINT) override { return D3D_OK; }
    HRESULT CreateVertexBuffer(UINT, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer9**, HANDLE*) override
    {
        return D3DERR_INVALIDCALL;
    }
    HRESULT CreateIndexBuffer(UINT, DWORD, D3DFORMAT, D3DPOOL, IDirect3DIndexBuffer9**, HANDLE*) override
    {
        return D3DERR_INVALIDCALL;
    }
    HRESULT CreateTexture(UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL, IDirect3DTexture9**, HANDLE*) override
    {
        return D3DERR_INVALIDCALL;
    }
    HRESULT CreateVertexShader(const DWORD*, IDirect3DVertexShader9**) override { return D3DERR_INVALIDCALL; }
    HRESULT CreatePixelShader(const DWORD*, IDirect3DPixelShader9**) override { return D3DERR_INVALIDCALL; }
};

struct CompileOutput
{
    HRESULT hr = E_FAIL;
    LPD3DXBUFFER code = nullptr;
    LPD3DXBUFFER messages = nullptr;
    LPD3DXCONSTANTTABLE table = nullptr;

    ~CompileOutput()
    {
        if (code)
            code->Release();
        if (messages)
            messages->Release();
        if (table)
            table->Release();
    }
    std::string Messages() const
    {
        return messages ? static_cast<const char*>(messages->GetBufferPointer()) : "";
    }
};

void Compile(const std::string& text, const char* entry, const char* profile, CompileOutput& out)
{
    out.hr = D3DXCompileShader(text.data(), static_cast<UINT>(text.size()), nullptr, nullptr, entry, profile,
                               D3DXSHADER_DEBUG, &out.code, &out.messages, &out.table);
}

TEST(D3DXCompileShader, BuiltinVertexProgramGivesABlobAndATableWithProj)
{
    CompileOutput out;
    Compile(ReadProgram("geom_vs.hlsl"), "vertex_shader", "vs_1_1", out);
    ASSERT_EQ(out.hr, D3D_OK) << out.Messages();
    EXPECT_EQ(out.messages, nullptr);
    ASSERT_NE(out.code, nullptr);
    ASSERT_NE(out.table, nullptr);
    const DWORD* tokens = static_cast<const DWORD*>(out.code->GetBufferPointer());
    EXPECT_EQ(tokens[0], D3DVS_VERSION(1, 1));
    EXPECT_EQ(d3d9::ShaderBlobTokenCount(tokens) * sizeof(DWORD), out.code->GetBufferSize());

    D3DXHANDLE proj = out.table->GetConstantByName(nullptr, "Proj");
    ASSERT_NE(proj, nullptr);
    D3DXCONSTANT_DESC desc;
    UINT count = 7;
    ASSERT_EQ(out.table->GetConstantDesc(proj, &desc, &count), D3D_OK);
    EXPECT_EQ(count, 1u);
    EXPECT_STREQ(desc.Name, "Proj");
    EXPECT_EQ(desc.RegisterSet, D3DXRS_FLOAT4);
    EXPECT_EQ(desc.RegisterIndex, 0u);
    EXPECT_EQ(desc.RegisterCount, 4u);
    EXPECT_EQ(desc.Class, D3DXPC_MATRIX_COLUMNS);
    EXPECT_EQ(desc.Type, D3DXPT_FLOAT);
    EXPECT_EQ(desc.Rows, 4u);
    EXPECT_EQ(desc.Columns, 4u);
    EXPECT_EQ(desc.Elements, 1u);
    EXPECT_EQ(desc.Bytes, 64u);
    EXPECT_EQ(desc.DefaultValue, nullptr);

    D3DXCONSTANTTABLE_DESC tableDesc;
    ASSERT_EQ(out.table->GetDesc(&tableDesc), D3D_OK);
    EXPECT_EQ(tableDesc.Constants, 1u);
    EXPECT_EQ(tableDesc.Version, D3DVS_VERSION(1, 1));
}

TEST(D3DXCompileShader, BuiltinPixelProgramNumbersItsSamplerFromZero)
{
    CompileOutput out;
    Compile(ReadProgram("mult_ps.hlsl"), "pixel_shader", "ps_2_0", out);
    ASSERT_EQ(out.hr, D3D_OK) << out.Messages();
    EXPECT_EQ(static_cast<const DWORD*>(out.code->GetBufferPointer())[0], D3DPS_VERSION(2, 0));
    EXPECT_EQ(out.table->GetConstantByName(nullptr, "Proj"), nullptr);
    EXPECT_EQ(out.table->GetConstantByName(nullptr, "g_MeshTexture"), nullptr);
    D3DXHANDLE sampler = out.table->GetConstantByName(nullptr, "TextureSampler");
    ASSERT_NE(sampler, nullptr);
    D3DXCONSTANT_DESC desc;
    UINT count = 1;
    ASSERT_EQ(out.table->GetConstantDesc(sampler, &desc, &count), D3D_OK);
    EXPECT_EQ(desc.RegisterSet, D3DXRS_SAMPLER);
    EXPECT_EQ(desc.RegisterIndex, 0u);
    EXPECT_EQ(desc.Class, D3DXPC_OBJECT);
    EXPECT_EQ(desc.Type, D3DXPT_SAMPLER);
}

TEST(D3DXCompileShader, FailureGivesMessagesAndNoCodeOrTable)
{
    CompileOutput out;
    Compile("float4 pixel_shader() : COLOR0\n{\n    return undefined;\n}\n", "pixel_shader", "ps_2_0", out);
    EXPECT_TRUE(FAILED(out.hr));
    EXPECT_EQ(out.code, nullptr);
    EXPECT_EQ(out.table, nullptr);
    ASSERT_NE(out.messages, nullptr);
    const std::string text = "memory(3,12): error X3004: undeclared identifier 'undefined'\n";
    ASSERT_EQ(out.messages->GetBufferSize(), text.size() + 1);
    EXPECT_EQ(std::memcmp(out.messages->GetBufferPointer(), text.c_str(), text.size() + 1), 0);
}

TEST(D3DXCompileShader, WarningsComeBackWithASuccessfulCompile)
{
    CompileOutput out;
    Compile("float4 pixel_shader(float4 c : COLOR0) : COLOR0 { float2 t = c; return t.xyxy; }", "pixel_shader",
            "ps_2_0", out);
    ASSERT_EQ(out.hr, D3D_OK);
    EXPECT_NE(out.code, nullptr);
    EXPECT_EQ(out.Messages(), "memory(1,62): warning X3206: implicit truncation of vector type\n");
}

TEST(D3DXCompileShader, BadArgumentsAreRefusedAndOutputsCleared)
{
    const std::string text = ReadProgram("geom_ps.hlsl");
    LPD3DXBUFFER code = reinterpret_cast<LPD3DXBUFFER>(0x1);
    LPD3DXBUFFER messages = reinterpret_cast<LPD3DXBUFFER>(0x1);
    LPD3DXCONSTANTTABLE table = reinterpret_cast<LPD3DXCONSTANTTABLE>(0x1);
    EXPECT_EQ(D3DXCompileShader(nullptr, 10, nullptr, nullptr, "pixel_shader", "ps_2_0", 0, &code, &messages, &table),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(code, nullptr);
    EXPECT_EQ(messages, nullptr);
    EXPECT_EQ(table, nullptr);
    EXPECT_EQ(D3DXCompileShader(text.c_str(), 10, nullptr, nullptr, nullptr, "ps_2_0", 0, &code, &messages, &table),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCompileShader(text.c_str(), 10, nullptr, nullptr, "pixel_shader", nullptr, 0, &code, &messages,
                                &table),
              D3DERR_INVALIDCALL);
    // Without out-pointers the text is still checked.
    EXPECT_EQ(D3DXCompileShader(text.c_str(), static_cast<UINT>(text.size()), nullptr, nullptr, "pixel_shader",
                                "ps_2_0", 0, nullptr, nullptr, nullptr),
              D3D_OK);
}

class D3DXConstantTableTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Compile("float4x4 Proj; float4 Tint; float Scale; float4 Unused;\n"
                "float4 vertex_shader(float4 p : POSITION) : POSITION { return mul(p, Proj) * Scale + Tint; }",
                "vertex_shader", "vs_1_1", vs);
        Compile("float4 Tint; float4 pixel_shader() : COLOR0 { return Tint; }", "pixel_shader", "ps_2_0", ps);
        ASSERT_EQ(vs.hr, D3D_OK) << vs.Messages();
        ASSERT_EQ(ps.hr, D3D_OK) << ps.Messages();
    }

    CompileOutput vs;
    CompileOutput ps;
    ConstantRecorder device;
};

TEST_F(D3DXConstantTableTest, SetMatrixWritesTheColumnsOfARowMajorMatrix)
{
    D3DXMATRIX m;
    for (int i = 0; i < 16; ++i)
        m.m[i / 4][i % 4] = static_cast<float>(i);
    ASSERT_EQ(vs.table->SetMatrix(&device, vs.table->GetConstantByName(nullptr, "Proj"), &m), D3D_OK);
    ASSERT_EQ(device.calls.size(), 1u);
    EXPECT_TRUE(device.calls[0].vertex);
    EXPECT_EQ(device.calls[0].start, 0u);
    const std::vector<float> columns = {0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15};
    EXPECT_EQ(device.calls[0].data, columns);
}

TEST_F(D3DXConstantTableTest, SetVectorAndSetFloatWriteOneRegisterOfTheirShaderKind)
{
    const D3DXVECTOR4 v(1, 2, 3, 4);
    ASSERT_EQ(vs.table->SetVector(&device, vs.table->GetConstantByName(nullptr, "Tint"), &v), D3D_OK);
    ASSERT_EQ(vs.table->SetFloat(&device, vs.table->GetConstantByName(nullptr, "Scale"), 0.5f), D3D_OK);
    ASSERT_EQ(ps.table->SetVector(&device, ps.table->GetConstantByName(nullptr, "Tint"), &v), D3D_OK);
    ASSERT_EQ(device.calls.size(), 3u);
    EXPECT_TRUE(device.calls[0].vertex);
    EXPECT_EQ(device.calls[0].start, 4u);
    EXPECT_EQ(device.calls[0].data, (std::vector<float>{1, 2, 3, 4}));
    EXPECT_EQ(device.calls[1].start, 5u);
    EXPECT_EQ(device.calls[1].data, (std::vector<float>{0.5f, 0, 0, 0}));
    EXPECT_FALSE(device.calls[2].vertex);
    EXPECT_EQ(device.calls[2].start, 0u);
}

TEST_F(D3DXConstantTableTest, DeviceFailureIsPassedBack)
{
    device.result = D3DERR_DEVICELOST;
    EXPECT_EQ(vs.table->SetFloat(&device, vs.table->GetConstantByName(nullptr, "Scale"), 1.0f), D3DERR_DEVICELOST);
}

TEST_F(D3DXConstantTableTest, NullForeignAndUnknownHandlesAreRefused)
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
        EXPECT_EQ(vs.table->SetVector(&device, handle, &v), D3DERR_INVALIDCALL);
        EXPECT_EQ(vs.table->SetFloat(&device, handle, 1.0f), D3DERR_INVALIDCALL);
        EXPECT_EQ(vs.table->SetMatrix(&device, handle, &m), D3DERR_INVALIDCALL);
        EXPECT_EQ(vs.table->GetConstantDesc(handle, &desc, &count), D3DERR_INVALIDCALL);
    }
    const D3DXHANDLE tint = vs.table->GetConstantByName(nullptr, "Tint");
    EXPECT_EQ(vs.table->GetConstantByName(tint, "Tint"), nullptr);
    EXPECT_EQ(vs.table->SetVector(nullptr, tint, &v), D3DERR_INVALIDCALL);
    EXPECT_EQ(vs.table->SetVector(&device, tint, nullptr), D3DERR_INVALIDCALL);
    EXPECT_TRUE(device.calls.empty());
}

TEST_F(D3DXConstantTableTest, HandlesStayValidWhileTheTableLives)
{
    const D3DXHANDLE proj = vs.table->GetConstantByName(nullptr, "Proj");
    vs.table->AddRef();
    EXPECT_EQ(vs.table->Release(), 1u);
    EXPECT_EQ(vs.table->GetConstantByName(nullptr, "Proj"), proj);
    EXPECT_STREQ(proj, "Proj");
}

} // namespace
