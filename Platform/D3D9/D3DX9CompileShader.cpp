#include "Platform/D3D9/D3DX9.h"

#include "Platform/D3D9/D3DX9Buffer.h"
#include "Platform/D3D9/D3DX9ConstantTable.h"
#include "Platform/D3D9/Hlsl/Compiler.h"

#include <new>

HRESULT D3DXCompileShader(LPCSTR pSrcData, UINT SrcDataLen, const D3DXMACRO* pDefines, LPD3DXINCLUDE pInclude,
                          LPCSTR pFunctionName, LPCSTR pProfile, DWORD Flags, LPD3DXBUFFER* ppShader,
                          LPD3DXBUFFER* ppErrorMsgs, LPD3DXCONSTANTTABLE* ppConstantTable)
{
    (void)Flags;
    if (ppShader)
        *ppShader = nullptr;
    if (ppErrorMsgs)
        *ppErrorMsgs = nullptr;
    if (ppConstantTable)
        *ppConstantTable = nullptr;
    if (!pSrcData || !pFunctionName || !pProfile || pDefines || pInclude)
        return D3DERR_INVALIDCALL;

    const d3d9::hlsl::CompileResult result = d3d9::hlsl::Compile(pSrcData, SrcDataLen, pFunctionName, pProfile);
    if (ppErrorMsgs && !result.messages.empty())
        *ppErrorMsgs = new (std::nothrow) d3d9::D3DX9Buffer(result.messages.c_str(), result.messages.size() + 1);
    if (!result.ok)
        return E_FAIL;
    if (ppShader)
        *ppShader = new (std::nothrow) d3d9::D3DX9Buffer(result.code.data(), result.code.size() * sizeof(DWORD));
    if (ppConstantTable)
        *ppConstantTable =
            new (std::nothrow) d3d9::D3DX9ConstantTable(result.vertexShader, result.code.front(), result.constants);
    if ((ppShader && !*ppShader) || (ppConstantTable && !*ppConstantTable))
    {
        if (ppShader && *ppShader)
            (*ppShader)->Release();
        if (ppConstantTable && *ppConstantTable)
            (*ppConstantTable)->Release();
        if (ppShader)
            *ppShader = nullptr;
        if (ppConstantTable)
            *ppConstantTable = nullptr;
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}
