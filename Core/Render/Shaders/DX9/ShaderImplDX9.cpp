#include "Core/Render/Shaders/DX9/ShaderImplDX9.h"

#include "Core/Base/Encoding.h"
#include "Core/Base/Log.h"
#include "Core/Math/Matrix4.h"
#include "Core/Render/DX9/ReleaseCom.h"
#include "Core/Render/DX9/RenderDX9.h"
#include "Core/Render/DX9/TextureDX9.h"

namespace render
{
namespace
{

// The records of compiler warnings name the source, line and function as the
// original build printed them.
const char* const kSourceFile = "Core/Render/Shaders/DX9/ShaderImplDX9.cpp";
const char* const kFuncCreateVertexShader =
    "enum BWResultEnum __thiscall render::ShaderImplDX9::CreateVertexShader(const class "
    "std::basic_string<char,struct std::char_traits<char>,class std::allocator<char> > &)";
const char* const kFuncCreatePixelShader =
    "enum BWResultEnum __thiscall render::ShaderImplDX9::CreatePixelShader(const class "
    "std::basic_string<char,struct std::char_traits<char>,class std::allocator<char> > &)";
constexpr int kLineVertexWarning = 81;
constexpr int kLinePixelWarning = 109;

constexpr DWORD kCompileFlags = 1;

// Compiles one program; warnings go to the log. The device shader is made by
// create from the code's tokens.
template <class DeviceShader, class Create>
BWResultEnum CompileProgram(const std::string& text, const char* entry, const char* profile,
                            ID3DXConstantTable** constants, const char* function, int line, Create create,
                            DeviceShader** out)
{
    ID3DXBuffer* code = nullptr;
    ID3DXBuffer* messages = nullptr;
    ReleaseCom(*constants);
    HRESULT hr = D3DXCompileShader(text.data(), static_cast<UINT>(text.size()), nullptr, nullptr, entry, profile,
                                   kCompileFlags, &code, &messages, constants);
    std::wstring message;
    if (messages)
    {
        const char* bytes = static_cast<const char*>(messages->GetBufferPointer());
        size_t size = messages->GetBufferSize();
        std::string narrow(bytes, bytes + size);
        narrow = narrow.substr(0, narrow.find('\0'));
        message = base::ToWideString(narrow, base::EncodingBytes);
        messages->Release();
    }
    if (FAILED(hr) || !code)
    {
        ReleaseCom(code);
        ReleaseCom(*constants);
        return BW_FAIL;
    }
    if (!message.empty())
        base::LogLine(base::MainLog::Instance(), L"%s\n", kSourceFile, __TIMESTAMP__, function, line)
                .ApplyTag(base::LogHtmlBlockTag()) %
            message;
    HRESULT created = create(static_cast<const DWORD*>(code->GetBufferPointer()), out);
    code->Release();
    if (created != D3D_OK)
    {
        *out = nullptr;
        return BW_FAIL;
    }
    return BW_OK;
}

} // namespace

// --- Scalar variables ----------------------------------------------------------

void ShaderScalarVariableImplDX9::Init(ShaderImplDX9* owner, const std::string& name, uint32_t kind)
{
    mOwner = owner;
    mKind = kind;
    mName = name;
    mTable = kind == 0 ? owner->GetVertexConstants() : kind == 1 ? owner->GetPixelConstants() : nullptr;
    mHandle = mTable ? mTable->GetConstantByName(nullptr, name.c_str()) : nullptr;
}

IDirect3DDevice9* ShaderScalarVariableImplDX9::Device() const
{
    return mOwner ? mOwner->GetDevice() : nullptr;
}

// A program may lack a constant (a user shader file that never reads "Proj"):
// there is nothing to set then, and the frame goes on.

BWResultEnum ShaderScalarVariableImplDX9::SetMatrix(const math::Matrix4* matrix)
{
    IDirect3DDevice9* device = Device();
    if (!mTable || !mHandle || !device || !matrix)
        return BW_OK;
    return mTable->SetMatrix(device, mHandle, reinterpret_cast<const D3DXMATRIX*>(matrix)) == D3D_OK ? BW_OK
                                                                                                  : BW_FAIL;
}

BWResultEnum ShaderScalarVariableImplDX9::SetVector4(float x, float y, float z, float w)
{
    IDirect3DDevice9* device = Device();
    if (!mTable || !mHandle || !device)
        return BW_OK;
    D3DXVECTOR4 v = {x, y, z, w};
    return mTable->SetVector(device, mHandle, &v) == D3D_OK ? BW_OK : BW_FAIL;
}

BWResultEnum ShaderScalarVariableImplDX9::SetVector3(float x, float y, float z)
{
    return SetVector4(x, y, z, 1.0f);
}

BWResultEnum ShaderScalarVariableImplDX9::SetVector2(float x, float y)
{
    return SetVector4(x, y, 0.0f, 1.0f);
}

BWResultEnum ShaderScalarVariableImplDX9::SetFloat(float value)
{
    IDirect3DDevice9* device = Device();
    if (!mTable || !mHandle || !device)
        return BW_OK;
    return mTable->SetFloat(device, mHandle, value) == D3D_OK ? BW_OK : BW_FAIL;
}

// --- Texture variables ---------------------------------------------------------

bool ShaderTextureVariableImplDX9::Init(ShaderImplDX9* owner, const std::string& name)
{
    mOwner = owner;
    mName = name;
    mTable = owner->GetPixelConstants();
    if (!mTable)
        return false;
    mHandle = mTable->GetConstantByName(nullptr, name.c_str());
    UINT count = 1;
    if (!mHandle || mTable->GetConstantDesc(mHandle, &mDesc, &count) != D3D_OK)
        return false;
    return true;
}

BWResultEnum ShaderTextureVariableImplDX9::SetTexture(Texture* texture)
{
    IDirect3DDevice9* device = mOwner ? mOwner->GetDevice() : nullptr;
    if (!device)
        return BW_FAIL;
    // No texture given yet: bind none rather than fail the frame.
    IDirect3DBaseTexture9* deviceTexture = texture ? static_cast<TextureDX9*>(texture)->GetDeviceTexture() : nullptr;
    return device->SetTexture(mDesc.RegisterIndex, deviceTexture) == D3D_OK ? BW_OK : BW_FAIL;
}

// --- Shader --------------------------------------------------------------------

ShaderImplDX9::ShaderImplDX9(RenderDX9* render) : ShaderImpl(render), mRenderDX9(render)
{
}

ShaderImplDX9::~ShaderImplDX9()
{
    // The variables hold the tables' handles; they go first.
    for (ShaderVariable* variable : mVariables)
        delete variable;
    mVariables.clear();
    ReleaseCom(mVertexShader);
    ReleaseCom(mPixelShader);
    ReleaseCom(mVertexConstants);
    ReleaseCom(mPixelConstants);
}

IDirect3DDevice9* ShaderImplDX9::GetDevice() const
{
    return mRender && mRenderDX9 ? mRenderDX9->GetDevice() : nullptr;
}

BWResultEnum ShaderImplDX9::OnResetDevice()
{
    SetAllChanged();
    return BW_OK;
}

BWResultEnum ShaderImplDX9::OnLostDevice()
{
    return BW_OK;
}

BWResultEnum ShaderImplDX9::OnSelect()
{
    return BW_OK;
}

BWResultEnum ShaderImplDX9::OnDeselect()
{
    SetAllChanged();
    return BW_OK;
}

ShaderScalarVariableImpl* ShaderImplDX9::CreateScalarVariable(const std::string& name, uint32_t kind)
{
    auto* variable = new ShaderScalarVariableImplDX9();
    variable->Init(this, name, kind);
    return variable;
}

ShaderTextureVariableImpl* ShaderImplDX9::CreateTextureVariable(const std::string& name)
{
    auto* variable = new ShaderTextureVariableImplDX9();
    if (!variable->Init(this, name))
    {
        delete variable;
        return nullptr;
    }
    return variable;
}

BWResultEnum ShaderImplDX9::Compile(const std::string& vertexText, const std::string& pixelText)
{
    if (!mRender || !mRenderDX9)
        return BW_FAIL;
    mVertexText = vertexText;
    mPixelText = pixelText;
    BWResultEnum result = CreateVertexShader(mVertexText);
    if (result == BW_OK)
        result = CreatePixelShader(mPixelText);
    return result;
}

BWResultEnum ShaderImplDX9::CreateVertexShader(const std::string& text)
{
    IDirect3DDevice9* device = GetDevice();
    if (!device)
        return BW_FAIL;
    ReleaseCom(mVertexShader);
    return CompileProgram(text, "vertex_shader", "vs_1_1", &mVertexConstants, kFuncCreateVertexShader,
                          kLineVertexWarning,
                          [device](const DWORD* tokens, IDirect3DVertexShader9** shader) {
                              return device->CreateVertexShader(tokens, shader);
                          },
                          &mVertexShader);
}

BWResultEnum ShaderImplDX9::CreatePixelShader(const std::string& text)
{
    IDirect3DDevice9* device = GetDevice();
    if (!device)
        return BW_FAIL;
    ReleaseCom(mPixelShader);
    return CompileProgram(text, "pixel_shader", "ps_2_0", &mPixelConstants, kFuncCreatePixelShader,
                          kLinePixelWarning,
                          [device](const DWORD* tokens, IDirect3DPixelShader9** shader) {
                              return device->CreatePixelShader(tokens, shader);
                          },
                          &mPixelShader);
}

} // namespace render
