#include "Platform/D3D9/Formats.h"

namespace d3d9
{

bool IsCompressedFormat(D3DFORMAT format)
{
    switch (format)
    {
    case D3DFMT_DXT1:
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
    case D3DFMT_DXT4:
    case D3DFMT_DXT5:
        return true;
    default:
        return false;
    }
}

bool IsRenderTargetFormat(D3DFORMAT format)
{
    return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8;
}

bool IsTextureFormat(D3DFORMAT format)
{
    return IsRenderTargetFormat(format) || IsCompressedFormat(format);
}

UINT LevelExtent(UINT extent, UINT level)
{
    if (level >= 32)
        return 1;
    const UINT value = extent >> level;
    return value ? value : 1;
}

UINT FullLevelCount(UINT width, UINT height)
{
    UINT largest = width > height ? width : height;
    UINT levels = 1;
    while (largest > 1)
    {
        largest >>= 1;
        ++levels;
    }
    return levels;
}

UINT LevelPitch(D3DFORMAT format, UINT width)
{
    if (IsCompressedFormat(format))
        return ((width + 3) / 4) * (format == D3DFMT_DXT1 ? 8 : 16);
    return width * 4;
}

UINT LevelRows(D3DFORMAT format, UINT height)
{
    return IsCompressedFormat(format) ? (height + 3) / 4 : height;
}

bool DecodeFvf(DWORD fvf, VertexLayout* layout)
{
    *layout = VertexLayout();
    UINT offset = 0;
    auto add = [&](int slot, UINT components, bool color) {
        VertexAttribute& a = layout->attributes[slot];
        a.present = true;
        a.color = color;
        a.components = components;
        a.offset = offset;
        offset += color ? 4 : components * 4;
    };

    switch (fvf & D3DFVF_POSITION_MASK)
    {
    case 0:
        break;
    case D3DFVF_XYZ:
        add(VertexLayout::Position, 3, false);
        break;
    case D3DFVF_XYZRHW:
    case D3DFVF_XYZW:
        add(VertexLayout::Position, 4, false);
        break;
    default:
        return false; // blend weights
    }
    if (fvf & D3DFVF_NORMAL)
        offset += 12; // not read by any shader we run
    if (fvf & D3DFVF_PSIZE)
        offset += 4;
    if (fvf & D3DFVF_DIFFUSE)
        add(VertexLayout::Color0, 4, true);
    if (fvf & D3DFVF_SPECULAR)
        add(VertexLayout::Color1, 4, true);

    const UINT sets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if (sets > 8)
        return false;
    static const UINT kComponents[4] = {2, 3, 4, 1};
    for (UINT set = 0; set < sets; ++set)
        add(VertexLayout::TexCoord0 + static_cast<int>(set), kComponents[(fvf >> (16 + set * 2)) & 3], false);

    const DWORD known = D3DFVF_POSITION_MASK | D3DFVF_NORMAL | D3DFVF_PSIZE | D3DFVF_DIFFUSE | D3DFVF_SPECULAR |
                        D3DFVF_TEXCOUNT_MASK | (sets ? (0xFFFFu >> (16 - 2 * sets)) << 16 : 0);
    if (fvf & ~known)
        return false;
    layout->stride = offset;
    return true;
}

UINT VerticesForPrimitives(D3DPRIMITIVETYPE type, UINT count)
{
    if (count == 0)
        return 0;
    switch (type)
    {
    case D3DPT_POINTLIST:
        return count;
    case D3DPT_LINELIST:
        return count * 2;
    case D3DPT_LINESTRIP:
        return count + 1;
    case D3DPT_TRIANGLELIST:
        return count * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
        return count + 2;
    default:
        return 0;
    }
}

} // namespace d3d9
