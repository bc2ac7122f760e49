#pragma once

// Complete GLSL 3.30 programs from the bodies in shader blobs: the version
// line, separate register files for the two stages, and a main() that runs
// bw_main() and then applies Direct3D 9's conventions.

#include "Platform/D3D9/ShaderBlob.h"

#include <string>
#include <vector>

namespace d3d9
{
namespace gl
{

// The bw_v_* varyings a body declares with the qualifier ("in" or "out").
std::vector<std::string> DeclaredVaryings(const std::string& body, const char* qualifier);

// extraOutputs: varyings the pixel shader reads that this vertex shader does
// not write; Direct3D leaves them undefined, we give them zero.
std::string VertexShaderSource(const ShaderBlob& blob, const std::vector<std::string>& extraOutputs);
std::string PixelShaderSource(const ShaderBlob& blob);

} // namespace gl
} // namespace d3d9
