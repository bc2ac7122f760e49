#pragma once

#include "Core/Base/BWResult.h"
#include "Core/Render/DrawParam.h"
#include "Core/Render/DrawTextParam.h"
#include "Core/Render/TextFormat.h"
#include "Core/Resource/Resource.h"

#include <cstdint>
#include <string>

namespace render
{

class Graphics;

// A font as text draws and text layers see it: line metrics, and the layout
// and drawing of a text.
class Font : public resource::Resource
{
public:
    Font();

    // From the top of a line to its base line.
    virtual float GetBase();
    virtual float GetBelowBase();
    virtual float GetSize();
    virtual float GetSizePlusExtra();
    virtual float GetExtra();
    // Measures the text (size, when given, receives width and height) and
    // draws it into the Graphics when one is given. callback, when given,
    // moves each batch of glyph vertices before it is drawn.
    virtual BWResultEnum DrawText(Graphics* graphics, DrawTextParam* callback, const std::wstring& text,
                                  const TextFormat* format, float size[2]) = 0;
    virtual bool HasChar(uint32_t code) = 0;

    // A text draw with this font and no Graphics: it lays out and measures.
    // The text must outlive the draw; a temporary is copied.
    DrawUntransformedParam<DrawTextParam> DrawString(const std::wstring& text);
    DrawUntransformedParam<DrawTextParam> DrawString(std::wstring&& text);

    float mBase;
    float mSize;
    float mExtra;
};

} // namespace render
