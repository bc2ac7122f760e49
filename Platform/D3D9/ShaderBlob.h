#pragma once

// The shader "bytecode" our D3DX compiler produces and our Direct3D 9 layer
// runs on OpenGL. CreateVertexShader/CreatePixelShader get no length, so the
// stream of 32-bit tokens delimits itself:
//
//   version   0xFFFE0101 (vs_1_1) or 0xFFFF0200 (ps_2_0), as D3DVS/PS_VERSION
//   sections  tag, payload length in tokens, payload
//   end       0x0000FFFF
//
// Sections (each at most once; unknown tags are skipped by their length):
//   'GLSL'  byte count, then UTF-8 text padded with NULs to whole tokens
//   'CONS'  number of float4 constant registers the text reads (c0..cN-1)
//   'SAMP'  bit mask of the sampler registers the text reads (bit i = s_i)
//
// The GLSL text is a body without "#version" and without main(); the device
// adds both. Names it uses, so that the device can bind them:
//   vertex inputs    in vec4 bw_POSITION0, bw_COLOR0, bw_COLOR1,
//                    bw_TEXCOORD0..7 (declared by the text itself, only those
//                    it reads); attribute location POSITION 0, COLOR0 1,
//                    COLOR1 2, TEXCOORDn 3+n
//   varyings         out (vertex) / in (pixel) vec4 bw_v_<SEMANTIC><n>, e.g.
//                    bw_v_COLOR0, bw_v_TEXCOORD1; they meet by name
//   constants        uniform vec4 bw_c[N] (N from 'CONS'; vertex and pixel
//                    shaders each have their own register file)
//   samplers         uniform sampler2D bw_s<i>, bound to texture unit i
//   entry            void bw_main(); a vertex shader writes the global
//                    vec4 bw_Position (Direct3D clip space), a pixel shader
//                    the global vec4 bw_Color0; both globals are declared by
//                    the text
// The device's main() calls bw_main() and then applies Direct3D's
// conventions (pixel centres, y direction, depth range, COLOR saturation).
// It renames bw_c per stage (#define bw_c bw_vc / bw_pc) so the two register
// files do not meet in one program, so the text must not use the names
// bw_vc, bw_pc, bw_PixelOffset or bw_FragColor itself. A pixel shader input
// that the vertex shader does not write reads zero.

#include "Platform/Win32/Win32Types.h"

#include <string>
#include <vector>

namespace d3d9
{

constexpr DWORD kBlobVersionVS11 = 0xFFFE0101u;
constexpr DWORD kBlobVersionPS20 = 0xFFFF0200u;
constexpr DWORD kBlobEnd = 0x0000FFFFu;
constexpr DWORD kBlobTagGlsl = MAKEFOURCC('G', 'L', 'S', 'L');
constexpr DWORD kBlobTagConstants = MAKEFOURCC('C', 'O', 'N', 'S');
constexpr DWORD kBlobTagSamplers = MAKEFOURCC('S', 'A', 'M', 'P');
// A blob longer than this is refused rather than walked.
constexpr size_t kBlobMaxTokens = 1u << 20;

struct ShaderBlob
{
    DWORD version = 0;         // kBlobVersionVS11 or kBlobVersionPS20
    std::string glsl;
    DWORD constantRegisters = 0;
    DWORD samplerMask = 0;

    bool IsVertexShader() const { return (version & 0xFFFF0000u) == 0xFFFE0000u; }
};

// Serialises a blob into its token stream.
std::vector<DWORD> WriteShaderBlob(const ShaderBlob& blob);

// Parses a token stream; false for a bad version, a section running past the
// end token or the available tokens, or a missing 'GLSL' section. A caller
// that knows the buffer's size passes it as available (in tokens); the device,
// which is given no size, passes kBlobMaxTokens.
bool ReadShaderBlob(const DWORD* tokens, size_t available, ShaderBlob* out);

// Number of tokens up to and including the end token, or 0 when malformed.
size_t ShaderBlobTokenCount(const DWORD* tokens, size_t available = kBlobMaxTokens);

} // namespace d3d9
