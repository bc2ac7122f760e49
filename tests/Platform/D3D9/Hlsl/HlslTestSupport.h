#pragma once

// Helpers of the HLSL compiler tests: the engine's programs from the fuzz
// corpus, and compiling text into a result and its shader blob.

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

// Compiles text as vs_1_1 (vertex) or ps_2_0.
inline Compiled Compile(bool vertex, const std::string& text, std::string entry = "")
{
    if (entry.empty())
        entry = vertex ? "vertex_shader" : "pixel_shader";
    Compiled out;
    out.result = d3d9::hlsl::Compile(text.data(), text.size(), entry, vertex ? "vs_1_1" : "ps_2_0");
    if (out.result.ok)
        d3d9::ReadShaderBlob(out.result.code.data(), out.result.code.size(), &out.blob);
    return out;
}

} // namespace hlsltest
