#include "Platform/D3D9/D3DX9ConstantTable.h"

#include <algorithm>
#include <cstring>

namespace d3d9
{

D3DX9ConstantTable::D3DX9ConstantTable(bool vertexShader, DWORD version,
                                       const std::vector<hlsl::ConstantInfo>& constants)
    : mVertexShader(vertexShader), mVersion(version), mConstants(constants)
{
}

ULONG D3DX9ConstantTable::AddRef()
{
    return ++mRefs;
}

ULONG D3DX9ConstantTable::Release()
{
    const ULONG refs = --mRefs;
    if (refs == 0)
        delete this;
    return refs;
}

const hlsl::ConstantInfo* D3DX9ConstantTable::Find(D3DXHANDLE handle) const
{
    if (!handle)
        return nullptr;
    for (const hlsl::ConstantInfo& constant : mConstants)
        if (constant.name.c_str() == handle)
            return &constant;
    return nullptr;
}

HRESULT D3DX9ConstantTable::GetDesc(D3DXCONSTANTTABLE_DESC* pDesc)
{
    if (!pDesc)
        return D3DERR_INVALIDCALL;
    pDesc->Creator = "Brightwork HLSL compiler";
    pDesc->Version = mVersion;
    pDesc->Constants = static_cast<UINT>(mConstants.size());
    return D3D_OK;
}

HRESULT D3DX9ConstantTable::GetConstantDesc(D3DXHANDLE hConstant, D3DXCONSTANT_DESC* pConstantDesc, UINT* pCount)
{
    const hlsl::ConstantInfo* constant = Find(hConstant);
    if (!constant)
        return D3DERR_INVALIDCALL;
    if (pCount)
        *pCount = 1;
    if (!pConstantDesc)
        return D3D_OK;
    D3DXCONSTANT_DESC& desc = *pConstantDesc;
    desc.Name = constant->name.c_str();
    desc.RegisterSet = constant->sampler ? D3DXRS_SAMPLER : D3DXRS_FLOAT4;
    desc.RegisterIndex = static_cast<UINT>(constant->registerIndex);
    desc.RegisterCount = static_cast<UINT>(constant->registerCount);
    switch (constant->valueClass)
    {
    case hlsl::ConstantInfo::Scalar: desc.Class = D3DXPC_SCALAR; break;
    case hlsl::ConstantInfo::Vector: desc.Class = D3DXPC_VECTOR; break;
    case hlsl::ConstantInfo::MatrixColumns: desc.Class = D3DXPC_MATRIX_COLUMNS; break;
    case hlsl::ConstantInfo::Object: desc.Class = D3DXPC_OBJECT; break;
    }
    desc.Type = constant->sampler ? (constant->sampler2D ? D3DXPT_SAMPLER2D : D3DXPT_SAMPLER) : D3DXPT_FLOAT;
    desc.Rows = static_cast<UINT>(constant->rows);
    desc.Columns = static_cast<UINT>(constant->cols);
    desc.Elements = static_cast<UINT>(constant->elements);
    desc.StructMembers = 0;
    desc.Bytes = static_cast<UINT>(constant->bytes);
    desc.DefaultValue = nullptr;
    return D3D_OK;
}

D3DXHANDLE D3DX9ConstantTable::GetConstantByName(D3DXHANDLE hConstant, LPCSTR pName)
{
    if (hConstant || !pName)
        return nullptr;
    for (const hlsl::ConstantInfo& constant : mConstants)
        if (constant.name == pName)
            return constant.name.c_str();
    return nullptr;
}

HRESULT D3DX9ConstantTable::Write(IDirect3DDevice9* device, const hlsl::ConstantInfo& constant, const float* data,
                                  UINT count)
{
    count = std::min(count, static_cast<UINT>(constant.registerCount));
    const UINT start = static_cast<UINT>(constant.registerIndex);
    return mVertexShader ? device->SetVertexShaderConstantF(start, data, count)
                         : device->SetPixelShaderConstantF(start, data, count);
}

HRESULT D3DX9ConstantTable::SetFloat(IDirect3DDevice9* pDevice, D3DXHANDLE hConstant, FLOAT f)
{
    const hlsl::ConstantInfo* constant = Find(hConstant);
    if (!pDevice || !constant || constant->sampler)
        return D3DERR_INVALIDCALL;
    const float data[4] = {f, 0.0f, 0.0f, 0.0f};
    return Write(pDevice, *constant, data, 1);
}

HRESULT D3DX9ConstantTable::SetVector(IDirect3DDevice9* pDevice, D3DXHANDLE hConstant, const D3DXVECTOR4* pVector)
{
    const hlsl::ConstantInfo* constant = Find(hConstant);
    if (!pDevice || !pVector || !constant || constant->sampler)
        return D3DERR_INVALIDCALL;
    const float data[4] = {pVector->x, pVector->y, pVector->z, pVector->w};
    return Write(pDevice, *constant, data, 1);
}

HRESULT D3DX9ConstantTable::SetMatrix(IDirect3DDevice9* pDevice, D3DXHANDLE hConstant, const D3DXMATRIX* pMatrix)
{
    const hlsl::ConstantInfo* constant = Find(hConstant);
    if (!pDevice || !pMatrix || !constant || constant->sampler)
        return D3DERR_INVALIDCALL;
    float data[16];
    if (constant->valueClass == hlsl::ConstantInfo::MatrixColumns)
    {
        // Register j holds column j of the matrix.
        for (int column = 0; column < 4; ++column)
            for (int row = 0; row < 4; ++row)
                data[column * 4 + row] = pMatrix->m[row][column];
    }
    else
        std::memcpy(data, pMatrix->m, sizeof data); // rows into consecutive registers
    return Write(pDevice, *constant, data, 4);
}

} // namespace d3d9
