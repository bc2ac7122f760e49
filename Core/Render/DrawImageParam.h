#pragma once

#include "Core/Render/DrawParam.h"
#include "Core/Render/GraphicsFriend.h"

#include <cstdint>

namespace render
{

class ImageRect;
struct SVertex2D;

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
void QuadFromCorners(SVertex2D out[4], uint16_t indices[6], uint32_t firstVertex, const float p0[4],
                     const float p1[4], const float st0[2], const float st1[2]);

} // namespace render
