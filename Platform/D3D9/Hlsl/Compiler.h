#pragma once

// Compiles one HLSL text for one entry point and profile into a shader blob
// (ShaderBlob.h) and the description of its constants. D3DXCompileShader
// wraps it in the Direct3D shapes.

#include "Platform/Win32/Win32Types.h"

#include <string>
#include <vector>

namespace d3d9
{
namespace hlsl
{

struct ConstantInfo
{
    enum Class
    {
        Scalar,
        Vector,
        MatrixColumns,
        Object,
    };

    std::string name;
    bool sampler = false;
    bool sampler2D = false;
    int registerIndex = 0;
    int registerCount = 0;
    Class valueClass = Scalar;
    int rows = 1;
    int cols = 1;
    int elements = 1;
    int bytes = 0;
};

struct CompileResult
{
    bool ok = false;
    bool vertexShader = false;
    std::string messages; // errors and warnings, one per line
    std::vector<DWORD> code; // the blob, when ok
    std::vector<ConstantInfo> constants;
};

// Profiles are "vs_1_1" and "ps_2_0". The text ends at length or at its
// first NUL.
CompileResult Compile(const char* text, size_t length, const std::string& entry, const std::string& profile);

} // namespace hlsl
} // namespace d3d9
