#pragma once

#include "Core/Render/DrawParam.h"
#include "Core/Render/GraphicsFriend.h"
#include "Core/Render/Vertex.h"

#include <cstdint>

namespace render
{

class ImageRect;

// Horizontal anchor: where x = 0 lies on the image.
enum HorizontalAnchor : int32_t
{
    AnchorLeft = 0,
    AnchorRight = 1,
    AnchorHCenter = 2,
};

// Vertical anchor: where y = 0 lies on the image.
enum VerticalAnchor : int32_t
{
    AnchorTop = 0,
    AnchorBottom = 1,
    AnchorVCenter = 2,
};

// One image quad: a region of the image, anchored at the origin, optionally
// flipped, in the Graphics' colour and tint.
class DrawImageParam : public GraphicsFriend
{
public:
    DrawImageParam();
    // Anchored top-left, unflipped, the whole image.
    DrawImageParam(Graphics* graphics, ImageRect* image);

    // A null or empty image, or one without texture, draws nothing and
    // answers 1.
    BWResultEnum Draw(DrawParam* owner);

    ImageRect* mImage;
    int32_t mHAnchor;
    int32_t mVAnchor;
    uint8_t mFlipX;
    uint8_t mFlipY;
    // x, y, width, height in image pixels.
    float mRegion[4];
};

// The quad from corner p0 to corner p1 (z and w from the corners) with
// texture coordinates st0 to st1, and its two triangles' indices.
inline void QuadFromCorners(SVertex2D out[4], uint16_t indices[6], uint32_t firstVertex, const float p0[4],
                            const float p1[4], const float st0[2], const float st1[2])
{
    const float z = p0[2], w = p0[3];
    out[0].x = p0[0];
    out[0].y = p0[1];
    out[0].tu = st0[0];
    out[0].tv = st0[1];
    out[1].x = p1[0];
    out[1].y = p0[1];
    out[1].tu = st1[0];
    out[1].tv = st0[1];
    out[2].x = p1[0];
    out[2].y = p1[1];
    out[2].tu = st1[0];
    out[2].tv = st1[1];
    out[3].x = p0[0];
    out[3].y = p1[1];
    out[3].tu = st0[0];
    out[3].tv = st1[1];
    out[0].z = out[1].z = z;
    out[0].w = out[1].w = w;
    out[2].z = out[3].z = p1[2];
    out[2].w = out[3].w = p1[3];
    const uint32_t order[6] = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < 6; ++i)
        indices[i] = static_cast<uint16_t>(firstVertex + order[i]);
}

} // namespace render
