#pragma once

// The engine's three vertex layouts. Colours are D3DCOLOR words (alpha in the
// top byte, then red, green, blue). kFormatId is the layout's index in the
// vertex-format registry (VertexFormat.h).

#include <cstdint>

namespace render
{

// Pre-transformed textured quad corner: position (x, y, z, w), diffuse colour,
// specular colour (read by the tint shader as its mix factors), texture
// coordinates.
struct SVertex2D
{
    static constexpr uint32_t kFormatId = 0;

    float x, y, z, w;
    uint32_t diffuse;
    uint32_t specular;
    float tu, tv;
};

// Untextured coloured geometry: position (x, y, z), diffuse colour.
struct SVertexGeom
{
    static constexpr uint32_t kFormatId = 1;

    float x, y, z;
    uint32_t diffuse;
};

// Render-target quad corner: position (x, y, z, w), texture coordinates.
struct SVertexRT
{
    static constexpr uint32_t kFormatId = 2;

    float x, y, z, w;
    float tu, tv;
};

static_assert(sizeof(SVertex2D) == 32, "SVertex2D layout");
static_assert(sizeof(SVertexGeom) == 16, "SVertexGeom layout");
static_assert(sizeof(SVertexRT) == 24, "SVertexRT layout");

} // namespace render
