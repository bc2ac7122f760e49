#pragma once

// Sizes of texture levels, vertex layouts from FVF codes, and vertex counts
// of primitives: the arithmetic the device validates against.

#include "Platform/D3D9/D3D9.h"

namespace d3d9
{

bool IsTextureFormat(D3DFORMAT format);
bool IsCompressedFormat(D3DFORMAT format);
bool IsRenderTargetFormat(D3DFORMAT format);

// Level sizes in pixels (never below 1).
UINT LevelExtent(UINT extent, UINT level);
// Levels of a full chain down to 1x1.
UINT FullLevelCount(UINT width, UINT height);
// Bytes of one row: of pixels, or of 4x4 blocks for DXT formats.
UINT LevelPitch(D3DFORMAT format, UINT width);
// Rows of pixels, or of blocks.
UINT LevelRows(D3DFORMAT format, UINT height);

struct VertexAttribute
{
    bool present = false;
    bool color = false; // a D3DCOLOR (4 bytes, B,G,R,A in memory), else floats
    UINT components = 0;
    UINT offset = 0;
};

// The attributes an FVF code describes, at their Direct3D locations.
struct VertexLayout
{
    enum Slot
    {
        Position,
        Color0,
        Color1,
        TexCoord0,
        SlotCount = TexCoord0 + 8
    };
    VertexAttribute attributes[SlotCount];
    UINT stride = 0;
};

// False for codes the layer cannot draw (blend weights, unknown bits).
bool DecodeFvf(DWORD fvf, VertexLayout* layout);

// Vertices (or indices) a draw of count primitives reads; 0 for an unknown type.
UINT VerticesForPrimitives(D3DPRIMITIVETYPE type, UINT count);

} // namespace d3d9
