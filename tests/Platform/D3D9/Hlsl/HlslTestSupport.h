#pragma once

// Shared by the compiler tests: the engine's six built-in programs as kept in
// the fuzz corpus, and a compile helper that returns the GLSL text.

#include "Platform/D3D9/Hlsl/Compiler.h"
#include "Platform/D3D9/ShaderBlob.h"

#include <fstream>
#include <sstream>
#include <string>

namespace hlsltest
{

inline std::string ReadCorpus(const std::string& name)
{
    std::ifstream file(std::string(BW_SOURCE_DIR) + "/fuzz/corpus/Hlsl/" + name, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

struct Compiled
{
    d3d9::hlsl::CompileResult result;
    d3d9::ShaderBlob blob;
};

inline Compiled CompileVS(const std::string& text, const std::string& entry = "vertex_shader")
{
    Compiled out;
    out.result = d3d9::hlsl::Compile(text.data(), text.size(), entry, "vs_1_1");
    if (out.result.ok)
        d3d9::ReadShaderBlob(out.result.code.data(), out.result.code.size(), &out.blob);
    return out;
}

inline Compiled CompilePS(const std::string& text, const std::string& entry = "pixel_shader")
{
    Compiled out;
    out.result = d3d9::hlsl::Compile(text.data(), text.size(), entry, "ps_2_0");
    if (out.result.ok)
        d3d9::ReadShaderBlob(out.result.code.data(), out.result.code.size(), &out.blob);
    return out;
}

// A minimal pixel shader around one expression statement list.
inline std::string PixelBody(const std::string& body, const std::string& globals = "")
{
    return globals + "\nfloat4 pixel_shader(float4 c : COLOR0, float2 t : TEXCOORD0) : COLOR0\n{\n" + body + "\n}\n";
}

} // namespace hlsltest
