#include "Core/Layer/ImageLayer.h"

#include "Core/Render/Graphics.h"
#include "Core/Render/ImageRect.h"

namespace layer
{

ImageLayer::ImageLayer() = default;

ImageLayer::~ImageLayer()
{
    if (mOwnsImage)
        delete mImage;
}

void ImageLayer::SetImage(render::ImageRect* image, bool owned)
{
    if (image != mImage && mOwnsImage)
        delete mImage;
    mImage = image;
    mOwnsImage = owned ? 1 : 0;
}

BWResultEnum ImageLayer::DrawSelf(render::Graphics* graphics)
{
    if (!mImage || !graphics)
        return BW_OK;
    const float opacity = GetAbsoluteOpacity();
    if (opacity <= 0.0f)
        return BW_OK;
    const float color[4] = {1.0f, 1.0f, 1.0f, opacity};
    graphics->SetColor(color);
    // At the origin: the layer's placement moves it (Layer::Draw).
    return graphics->DrawImage(mImage).DrawNow();
}

} // namespace layer
