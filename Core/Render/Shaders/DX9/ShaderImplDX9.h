#pragma once

// A vertex and pixel program pair compiled with D3DXCompileShader, with the
// constant tables through which its variables are set.

#include "Core/Render/ShaderImpl.h"
#include "Core/Render/ShaderVariable.h"
#include "Platform/D3D9/D3D9.h"
#include "Platform/D3D9/D3DX9.h"

#include <string>

namespace render
{

class RenderDX9;
class ShaderImplDX9;

class ShaderScalarVariableImplDX9 : public ShaderScalarVariableImpl
{
public:
    // kind 0 takes the vertex program's table, 1 the pixel program's; the
    // constant may be missing, and then setting it does nothing.
    void Init(ShaderImplDX9* owner, const std::string& name, uint32_t kind);

    BWResultEnum SetMatrix(const math::Matrix4* matrix) override;
    BWResultEnum SetVector4(float x, float y, float z, float w) override;
    BWResultEnum SetVector3(float x, float y, float z) override;
    BWResultEnum SetVector2(float x, float y) override;
    BWResultEnum SetFloat(float value) override;

    D3DXHANDLE GetHandle() const { return mHandle; }

private:
    IDirect3DDevice9* Device() const;

    ID3DXConstantTable* mTable = nullptr;
    D3DXHANDLE mHandle = nullptr;
    ShaderImplDX9* mOwner = nullptr;
    uint32_t mKind = 0;
    std::string mName;
};

class ShaderTextureVariableImplDX9 : public ShaderTextureVariableImpl
{
public:
    // False when the pixel program has no such sampler.
    bool Init(ShaderImplDX9* owner, const std::string& name);

    // Binds the texture to the sampler's stage; null binds none.
    BWResultEnum SetTexture(Texture* texture) override;

    DWORD GetStage() const { return mDesc.RegisterIndex; }

private:
    ID3DXConstantTable* mTable = nullptr;
    D3DXHANDLE mHandle = nullptr;
    ShaderImplDX9* mOwner = nullptr;
    D3DXCONSTANT_DESC mDesc = {};
    std::string mName;
};

class ShaderImplDX9 : public ShaderImpl
{
public:
    explicit ShaderImplDX9(RenderDX9* render);
    ~ShaderImplDX9() override;

    BWResultEnum OnResetDevice() override;
    BWResultEnum OnLostDevice() override;
    BWResultEnum OnSelect() override;
    BWResultEnum OnDeselect() override;
    ShaderScalarVariableImpl* CreateScalarVariable(const std::string& name, uint32_t kind) override;
    ShaderTextureVariableImpl* CreateTextureVariable(const std::string& name) override;

    BWResultEnum Compile(const std::string& vertexText, const std::string& pixelText);
    BWResultEnum CreateVertexShader(const std::string& text);
    BWResultEnum CreatePixelShader(const std::string& text);

    IDirect3DVertexShader9* GetVertexShader() const { return mVertexShader; }
    IDirect3DPixelShader9* GetPixelShader() const { return mPixelShader; }
    ID3DXConstantTable* GetVertexConstants() const { return mVertexConstants; }
    ID3DXConstantTable* GetPixelConstants() const { return mPixelConstants; }
    // Null once the renderer is gone.
    IDirect3DDevice9* GetDevice() const;

private:
    RenderDX9* mRenderDX9;
    IDirect3DVertexShader9* mVertexShader = nullptr;
    IDirect3DPixelShader9* mPixelShader = nullptr;
    ID3DXConstantTable* mVertexConstants = nullptr;
    ID3DXConstantTable* mPixelConstants = nullptr;
    std::string mVertexText;
    std::string mPixelText;
};

} // namespace render
