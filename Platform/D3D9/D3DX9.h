#pragma once

// Our D3DX subset: the HLSL compiler for the shader language the engine's
// programs use (see Hlsl/), the buffers it returns and the constant table
// that sets a program's constants on the device. Compiled code is a shader
// blob (ShaderBlob.h) for IDirect3DDevice9::CreateVertexShader and
// CreatePixelShader.

#include "Platform/D3D9/D3D9.h"

// ---------------------------------------------------------------------------
// Types
// ---------------------------------------------------------------------------

// A constant's handle. Handles are only ever those the table handed out;
// a null or foreign handle is refused with D3DERR_INVALIDCALL.
typedef const char* D3DXHANDLE;
typedef D3DXHANDLE* LPD3DXHANDLE;

// 16 floats, row by row (_11 _12 _13 _14 is the first row).
struct D3DXMATRIX
{
    union
    {
        struct
        {
            FLOAT _11, _12, _13, _14;
            FLOAT _21, _22, _23, _24;
            FLOAT _31, _32, _33, _34;
            FLOAT _41, _42, _43, _44;
        };
        FLOAT m[4][4];
    };
};

struct D3DXVECTOR4
{
    D3DXVECTOR4() = default;
    D3DXVECTOR4(FLOAT fx, FLOAT fy, FLOAT fz, FLOAT fw) : x(fx), y(fy), z(fz), w(fw) {}

    FLOAT x = 0.0f;
    FLOAT y = 0.0f;
    FLOAT z = 0.0f;
    FLOAT w = 0.0f;
};

// Preprocessor macros and include handlers are not supported: only null is
// accepted for them.
struct D3DXMACRO;
struct ID3DXInclude;
typedef ID3DXInclude* LPD3DXINCLUDE;

#define D3DXSHADER_DEBUG (1 << 0)

enum D3DXREGISTER_SET : DWORD
{
    D3DXRS_BOOL = 0,
    D3DXRS_INT4 = 1,
    D3DXRS_FLOAT4 = 2,
    D3DXRS_SAMPLER = 3,
};

enum D3DXPARAMETER_CLASS : DWORD
{
    D3DXPC_SCALAR = 0,
    D3DXPC_VECTOR = 1,
    D3DXPC_MATRIX_ROWS = 2,
    D3DXPC_MATRIX_COLUMNS = 3,
    D3DXPC_OBJECT = 4,
    D3DXPC_STRUCT = 5,
};

enum D3DXPARAMETER_TYPE : DWORD
{
    D3DXPT_VOID = 0,
    D3DXPT_BOOL = 1,
    D3DXPT_INT = 2,
    D3DXPT_FLOAT = 3,
    D3DXPT_STRING = 4,
    D3DXPT_TEXTURE = 5,
    D3DXPT_TEXTURE1D = 6,
    D3DXPT_TEXTURE2D = 7,
    D3DXPT_TEXTURE3D = 8,
    D3DXPT_TEXTURECUBE = 9,
    D3DXPT_SAMPLER = 10,
    D3DXPT_SAMPLER1D = 11,
    D3DXPT_SAMPLER2D = 12,
    D3DXPT_SAMPLER3D = 13,
    D3DXPT_SAMPLERCUBE = 14,
};

struct D3DXCONSTANT_DESC
{
    LPCSTR Name;                  // owned by the table
    D3DXREGISTER_SET RegisterSet; // FLOAT4 for numbers, SAMPLER for samplers
    UINT RegisterIndex;           // first c register, or the sampler stage
    UINT RegisterCount;           // a float4x4 takes 4 (one per column)
    D3DXPARAMETER_CLASS Class;
    D3DXPARAMETER_TYPE Type;
    UINT Rows;
    UINT Columns;
    UINT Elements;      // array length, 1 for a single value
    UINT StructMembers; // always 0
    UINT Bytes;
    LPCVOID DefaultValue; // always null
};

struct D3DXCONSTANTTABLE_DESC
{
    LPCSTR Creator;
    DWORD Version; // the blob's version token
    UINT Constants;
};

// ---------------------------------------------------------------------------
// Interfaces
// ---------------------------------------------------------------------------

struct ID3DXBuffer : IUnknown
{
    virtual LPVOID GetBufferPointer() = 0;
    virtual DWORD GetBufferSize() = 0;
};
typedef ID3DXBuffer* LPD3DXBUFFER;

// The constants a compiled program reads, with the registers they were given:
// numbers in the float4 registers from c0 in declaration order (a matrix one
// register per column, so that SetMatrix with a row-vector matrix makes
// mul(v, M) right), samplers from s0. Only globals the entry point reaches
// are listed. The setters write through the device's SetVertexShaderConstantF
// or SetPixelShaderConstantF, by the program's kind.
struct ID3DXConstantTable : IUnknown
{
    virtual HRESULT GetDesc(D3DXCONSTANTTABLE_DESC* pDesc) = 0;
    // pCount may be null; otherwise it receives 1. pDesc may be null.
    virtual HRESULT GetConstantDesc(D3DXHANDLE hConstant, D3DXCONSTANT_DESC* pConstantDesc, UINT* pCount) = 0;
    // Null for an unknown name (or any parent: constants have no members).
    virtual D3DXHANDLE GetConstantByName(D3DXHANDLE hConstant, LPCSTR pName) = 0;

    virtual HRESULT SetFloat(IDirect3DDevice9* pDevice, D3DXHANDLE hConstant, FLOAT f) = 0;
    virtual HRESULT SetVector(IDirect3DDevice9* pDevice, D3DXHANDLE hConstant, const D3DXVECTOR4* pVector) = 0;
    virtual HRESULT SetMatrix(IDirect3DDevice9* pDevice, D3DXHANDLE hConstant, const D3DXMATRIX* pMatrix) = 0;
};
typedef ID3DXConstantTable* LPD3DXCONSTANTTABLE;

// ---------------------------------------------------------------------------
// Functions
// ---------------------------------------------------------------------------

// Compiles pSrcData (SrcDataLen bytes, or up to its first NUL) for the entry
// point pFunctionName and the profile "vs_1_1" or "ps_2_0". Messages, one per
// line in the form "memory(line,col): error X3004: ...", NUL-terminated, come
// back in *ppErrorMsgs when there are any (warnings too, on success). On
// failure the result is E_FAIL and no code or table is returned; bad
// arguments give D3DERR_INVALIDCALL. Flags are accepted and ignored.
HRESULT D3DXCompileShader(LPCSTR pSrcData, UINT SrcDataLen, const D3DXMACRO* pDefines, LPD3DXINCLUDE pInclude,
                          LPCSTR pFunctionName, LPCSTR pProfile, DWORD Flags, LPD3DXBUFFER* ppShader,
                          LPD3DXBUFFER* ppErrorMsgs, LPD3DXCONSTANTTABLE* ppConstantTable);
