#pragma once

#include "Platform/D3D9/D3DX9.h"
#include "Platform/D3D9/Hlsl/Compiler.h"

#include <atomic>
#include <vector>

namespace d3d9
{

// The constants of one compiled program. A handle is the address of a
// constant's name inside this table, so it also reads as the name, and a
// handle from anywhere else is recognised and refused.
class D3DX9ConstantTable final : public ID3DXConstantTable
{
public:
    D3DX9ConstantTable(bool vertexShader, DWORD version, const std::vector<hlsl::ConstantInfo>& constants);

    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetDesc(D3DXCONSTANTTABLE_DESC* pDesc) override;
    HRESULT GetConstantDesc(D3DXHANDLE hConstant, D3DXCONSTANT_DESC* pConstantDesc, UINT* pCount) override;
    D3DXHANDLE GetConstantByName(D3DXHANDLE hConstant, LPCSTR pName) override;

    HRESULT SetFloat(IDirect3DDevice9* pDevice, D3DXHANDLE hConstant, FLOAT f) override;
    HRESULT SetVector(IDirect3DDevice9* pDevice, D3DXHANDLE hConstant, const D3DXVECTOR4* pVector) override;
    HRESULT SetMatrix(IDirect3DDevice9* pDevice, D3DXHANDLE hConstant, const D3DXMATRIX* pMatrix) override;

private:
    ~D3DX9ConstantTable() override = default;

    const hlsl::ConstantInfo* Find(D3DXHANDLE handle) const;
    // Writes count float4 registers from start, clipped to the constant.
    HRESULT Write(IDirect3DDevice9* device, const hlsl::ConstantInfo& constant, const float* data, UINT count);

    std::atomic<ULONG> mRefs{1};
    bool mVertexShader;
    DWORD mVersion;
    std::vector<hlsl::ConstantInfo> mConstants;
};

} // namespace d3d9
