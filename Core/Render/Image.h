#pragma once

#include "Core/Math/Matrix4.h"
#include "Core/Render/ImageRect.h"

namespace render
{

// An image that shows a whole texture it owns, such as a render target that
// screens are drawn into; draws into it use its own projection.
class Image : public ImageRect
{
public:
    // With makeProjection, an orthographic projection of the texture's size.
    Image(Texture* texture, bool makeProjection);
    // Leaves the shader variables that hold its projection.
    ~Image();

    // Projection for draws into this image.
    math::Matrix4 mMatrix;
    // Offset x, offset y, scale x, scale y from layout to target pixels.
    float mTargetRect[4];
};

} // namespace render
