#include "Core/Render/DrawImageParam.h"

#include "Core/Base/Log.h"
#include "Core/Render/Color.h"
#include "Core/Render/Graphics.h"
#include "Core/Render/ImageRect.h"
#include "Core/Render/Render.h"
#include "Core/Render/Vertex.h"

#include <utility>

namespace render
{

namespace
{

// Start of a span of size w for an anchor: 0 at the left (top), right
// (bottom) or centre.
float AnchorStart(int32_t anchor, float size)
{
    if (anchor == 1)
        return -size;
    if (anchor == 2)
        return -size * 0.5f;
    return 0.0f;
}

} // namespace

DrawImageParam::DrawImageParam()
    : mImage(nullptr), mHAnchor(AnchorLeft), mVAnchor(AnchorTop), mFlipX(0), mFlipY(0), mRegion{0, 0, 0, 0}
{
}

DrawImageParam::DrawImageParam(Graphics* graphics, ImageRect* image) : DrawImageParam()
{
    Bind(graphics);
    mImage = image;
    if (image)
    {
        mRegion[2] = static_cast<float>(image->GetWidth());
        mRegion[3] = static_cast<float>(image->GetHeight());
    }
}

BWResultEnum DrawImageParam::Draw(DrawParam* owner)
{
    if (!mGraphics || !mRender)
        return BW_FAIL;
    if (!mImage || mImage->GetWidth() <= 0 || mImage->GetHeight() <= 0 || !mImage->GetTexture())
    {
        // Nothing to show; the rest of the frame still draws.
        static uint8_t nullReported = 0;
        uint8_t& reported = mImage ? mImage->mEmptyReported : nullReported;
        if (!reported)
            BW_LOG(L"Can't draw an image without pixels\n");
        reported = 1;
        return BW_OK;
    }

    // 1. Room in the transient caches.
    VertexCache2D* vertexCache = mRender->GetVertexCache<SVertex2D>();
    IndexCache16* indexCache = mRender->GetIndexCache16();
    if (!vertexCache || !indexCache)
        return BW_FAIL;
    SVertex2D* vertices = nullptr;
    VertexCache2D::Allocation vertexPlace;
    BWResultEnum result = vertexCache->Allocate(4, &vertices, &vertexPlace);
    if (result != BW_OK || !vertices)
        return result != BW_OK ? result : BW_FAIL;
    uint16_t* indices = nullptr;
    IndexCache16::Allocation indexPlace;
    result = indexCache->Allocate(6, &indices, &indexPlace);
    if (result != BW_OK || !indices)
        return result != BW_OK ? result : BW_FAIL;

    // 2. Corners by the anchors.
    const float w = mRegion[2], h = mRegion[3];
    const float x0 = AnchorStart(mHAnchor, w);
    const float y0 = AnchorStart(mVAnchor, h);
    const float p0[4] = {x0, y0, 0.0f, 1.0f};
    const float p1[4] = {x0 + w, y0 + h, 0.0f, 1.0f};

    // 3. Texture coordinates of the region, flipped as asked.
    const float imageWidth = static_cast<float>(mImage->GetWidth());
    const float imageHeight = static_cast<float>(mImage->GetHeight());
    float st0[2] = {mRegion[0] / imageWidth, mRegion[1] / imageHeight};
    float st1[2] = {(mRegion[0] + mRegion[2]) / imageWidth, (mRegion[1] + mRegion[3]) / imageHeight};
    if (mFlipX)
        std::swap(st0[0], st1[0]);
    if (mFlipY)
        std::swap(st0[1], st1[1]);

    // 4, 5. The quad, in the image's atlas page.
    QuadFromCorners(vertices, indices, vertexPlace.mFirst, p0, p1, st0, st1);
    const VertexFormat& format = VertexFormatOf<SVertex2D>();
    result = mImage->MapAtlasCoordinates(vertices, 4, 0, format);
    if (result != BW_OK)
        return result;

    // 6. Colour, and the tint carried in the specular colour.
    const uint32_t diffuse = ColorToArgb(mGraphics->mColor);
    float tint = mGraphics->mTint;
    tint = tint > 0.0f ? (tint < 1.0f ? tint : 1.0f) : 0.0f;
    const uint32_t t = static_cast<uint32_t>(tint * 255.0f) & 0xFFu;
    const uint32_t specular = (t << 8) | (255u - t);
    for (int i = 0; i < 4; ++i)
    {
        vertices[i].diffuse = diffuse;
        vertices[i].specular = specular;
    }

    // 7. Transforms, state, texture and projection.
    if ((result = PrepareTexturedDraw(owner, vertices, format, 4, vertexPlace.mBuffer, indexPlace.mBuffer,
                                      mImage->GetTexture())) != BW_OK)
        return result;

    // 8. One batched quad.
    return mRender->DrawIndexedPrimitive(TriangleList, indexPlace.mFirst, 2, vertexPlace.mFirst, 4);
}

} // namespace render
