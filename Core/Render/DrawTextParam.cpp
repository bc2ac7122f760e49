#include "Core/Render/DrawTextParam.h"

#include "Core/Math/BoundingBox.h"
#include "Core/Render/DrawImageParam.h"
#include "Core/Render/Font.h"
#include "Core/Render/Graphics.h"
#include "Core/Render/Vertex.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace render
{

DrawTextParam::DrawTextParam()
    : mText(nullptr), mFont(nullptr), mAlignX(0), mAlignY(0), mWidth(0.0f), mHeight(0.0f), mOwner(nullptr),
      mOutWidth(nullptr), mOutHeight(nullptr), mOutBounds(nullptr), mMeasured{0.0f, 0.0f}
{
}

DrawTextParam::DrawTextParam(Graphics* graphics, Font* font, const std::wstring* text) : DrawTextParam()
{
    Bind(graphics);
    mFont = font;
    mText = text;
}

DrawTextParam::DrawTextParam(Graphics* graphics, Font* font, std::wstring&& text) : DrawTextParam()
{
    Bind(graphics);
    mFont = font;
    mOwnText = std::move(text);
    mText = &mOwnText;
}

DrawTextParam::DrawTextParam(const DrawTextParam& other) : DrawTextParam()
{
    *this = other;
}

DrawTextParam& DrawTextParam::operator=(const DrawTextParam& other)
{
    if (this == &other)
        return *this;
    GraphicsFriend::operator=(other);
    mOwnText = other.mOwnText;
    mText = other.mText == &other.mOwnText ? &mOwnText : other.mText;
    mFont = other.mFont;
    mFormat = other.mFormat;
    mAlignX = other.mAlignX;
    mAlignY = other.mAlignY;
    mWidth = other.mWidth;
    mHeight = other.mHeight;
    mOwner = other.mOwner;
    mOutWidth = other.mOutWidth;
    mOutHeight = other.mOutHeight;
    mOutBounds = other.mOutBounds;
    mMeasured[0] = other.mMeasured[0];
    mMeasured[1] = other.mMeasured[1];
    return *this;
}

BWResultEnum DrawTextParam::Draw(DrawParam* owner)
{
    // The Graphics' state block may have moved on since this was made.
    if (mGraphics)
        Bind(mGraphics);
    mOwner = owner;
    if (!mFont)
        return BW_FAIL;

    static const std::wstring kNoText;
    mMeasured[0] = mMeasured[1] = 0.0f;
    // A font measures before it draws: its size is given out even when the
    // draw then fails (an unloaded font has no pages).
    const BWResultEnum result = mFont->DrawText(mGraphics, this, mText ? *mText : kNoText, &mFormat, mMeasured);
    mWidth = mMeasured[0];
    mHeight = mMeasured[1];
    if (mOutWidth)
        *mOutWidth = mWidth;
    if (mOutHeight)
        *mOutHeight = mHeight;

    if (mOutBounds)
    {
        SVertex2D corners[4] = {};
        const float xy[4][2] = {{0.0f, 0.0f}, {mWidth, 0.0f}, {mWidth, mHeight}, {0.0f, mHeight}};
        for (int i = 0; i < 4; ++i)
        {
            corners[i].x = xy[i][0];
            corners[i].y = xy[i][1];
            corners[i].w = 1.0f;
        }
        const BWResultEnum moved = TransformGlyphs(corners, VertexFormatOf<SVertex2D>(), 4);
        if (moved != BW_OK)
            return result != BW_OK ? result : moved;
        mOutBounds->Reset();
        for (const SVertex2D& corner : corners)
        {
            const float point[3] = {corner.x, corner.y, corner.z};
            mOutBounds->AddPoint(point);
        }
    }
    return result;
}

BWResultEnum DrawTextParam::TransformGlyphs(void* vertices, const VertexFormat& format, uint32_t count)
{
    const float width = mMeasured[0];
    const float height = mMeasured[1];
    float dx = 0.0f;
    if (mAlignX == AnchorRight)
        dx = -width;
    else if (mAlignX == AnchorHCenter)
        dx = std::floor(-width * 0.5f);
    float dy = 0.0f;
    if (mAlignY == TextAlignBottom)
        dy = -height;
    else if (mAlignY == TextAlignMiddle)
        dy = -std::floor(height * 0.5f);
    else if (mAlignY == TextAlignBaseLine && mFont)
        dy = -mFont->GetBase();

    if (dx != 0.0f || dy != 0.0f)
    {
        uint8_t* position = static_cast<uint8_t*>(vertices) + format.mPosition.mOffset;
        for (uint32_t i = 0; i < count; ++i, position += format.mStride)
        {
            float xy[2];
            std::memcpy(xy, position, sizeof(xy));
            xy[0] += dx;
            xy[1] += dy;
            std::memcpy(position, xy, sizeof(xy));
        }
    }

    if (mOwner)
    {
        const BWResultEnum result = mOwner->TransformVertices(vertices, format, count);
        if (result != BW_OK)
            return result;
    }
    if (mGraphics)
        return mGraphics->ApplyTransform(vertices, format, count);
    return BW_OK;
}

} // namespace render
