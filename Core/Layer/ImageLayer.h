#pragma once

#include "Core/Layer/Layer.h"

namespace render
{
class ImageRect;
}

namespace layer
{

// A layer that shows one image with its top-left corner at the layer's
// origin, placed by the layer's transform, in the layer's opacity.
class ImageLayer : public Layer
{
public:
    ImageLayer();
    // Deletes the image when it owns it.
    ~ImageLayer() override;

    // With owned, the layer deletes the image (and the one it replaces).
    void SetImage(render::ImageRect* image, bool owned);
    render::ImageRect* GetImage() const { return mImage; }

    BWResultEnum DrawSelf(render::Graphics* graphics) override;

private:
    render::ImageRect* mImage = nullptr;
    uint8_t mOwnsImage = 0;
};

} // namespace layer
