#pragma once

#include "Core/Base/BWResult.h"
#include "Core/Render/DrawParam.h"
#include "Core/Render/GraphicsFriend.h"
#include "Core/Render/TextFormat.h"

#include <cstdint>
#include <string>

namespace math
{
class BoundingBox;
}

namespace render
{

class Font;

// Vertical placement of a text against its origin; the horizontal one uses
// the image anchors (0 left, 1 right, 2 centre).
enum TextVerticalAlign : int32_t
{
    TextAlignTop = 0,
    TextAlignBottom = 1,
    TextAlignMiddle = 2,
    TextAlignBaseLine = 3,
};

// A text drawn (or only measured) by a font. The font writes the glyph quads
// and hands each batch back through TransformGlyphs, which aligns them and
// moves them through the owner's and the Graphics' transforms.
class DrawTextParam : public GraphicsFriend
{
public:
    DrawTextParam();
    // graphics may be null: the text is then only laid out and measured.
    DrawTextParam(Graphics* graphics, Font* font, const std::wstring* text);
    // Keeps its own copy of a text that would be gone before the draw.
    DrawTextParam(Graphics* graphics, Font* font, std::wstring&& text);
    DrawTextParam(const DrawTextParam& other);
    DrawTextParam& operator=(const DrawTextParam& other);

    // Lays the text out and draws it when bound to a Graphics, then hands
    // out the measured size and bounds that were asked for.
    BWResultEnum Draw(DrawParam* owner);
    // Alignment, the owner's transform and the Graphics' transform over the
    // positions of count vertices.
    BWResultEnum TransformGlyphs(void* vertices, const VertexFormat& format, uint32_t count);

    const std::wstring* mText;
    Font* mFont;
    TextFormat mFormat;
    int32_t mAlignX;
    int32_t mAlignY;
    // Size measured by the font's last DrawText.
    float mWidth;
    float mHeight;
    DrawParam* mOwner;
    float* mOutWidth;
    float* mOutHeight;
    // Receives the text rectangle after alignment and transforms.
    math::BoundingBox* mOutBounds;

private:
    // The text when it was handed over as a temporary.
    std::wstring mOwnText;
    // Written by the font before it draws, so that the glyph batches are
    // aligned by the size of this layout.
    float mMeasured[2];
};

} // namespace render
