#pragma once

// The renderer's built-in HLSL programs (vs_1_1 / ps_2_0; entries
// "vertex_shader" and "pixel_shader"; projection constant "Proj", sampler
// "TextureSampler"). The geometry pair takes SVertexGeom, the textured pairs
// take SVertex2D, whose specular colour carries the tint factors.

namespace render
{

extern const char* const gVertexShaderGeomText;
extern const char* const gPixelShaderGeomText;
extern const char* const gVertexShaderTexturedMultText;
extern const char* const gPixelShaderTexturedMultText;
extern const char* const gVertexShaderTexturedTintText;
extern const char* const gPixelShaderTexturedTintText;

} // namespace render
