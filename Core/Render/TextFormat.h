#pragma once

#include <cstdint>

namespace render
{

// Horizontal placement of each line within the alignment width.
enum TextAlign : uint32_t
{
    TextAlignLeft = 0,
    TextAlignRight = 1,
    TextAlignCenter = 2,
    // Wrapped lines are spread to the alignment width.
    TextAlignJustify = 3,
};

// How a font lays a text out. Copied whole into a text draw and handed to the
// font, which interprets it.
struct TextFormat
{
    // Added to every advance, spaces and tabs included.
    float mLetterSpacing = 0.0f;
    // Lines wrap when the text would pass it; 0 or below: no wrapping.
    float mWrapWidth = 0.0f;
    uint32_t mAlign = TextAlignLeft;
    uint16_t mLineBreakChar = 10;
    // Drawn for characters the font lacks; 0: they are left out.
    uint16_t mReplacementChar = 0;
    // Added to the step from one line to the next.
    float mLineSpacing = 0.0f;
    // Indent of the first line of every paragraph.
    float mIndent = 0.0f;
    // A justified line without spaces spreads its characters.
    uint8_t mJustifyByChars = 1;
    // 1: the alignment width is the widest line; 0: the wrap width, when
    // there is one.
    uint8_t mAlignToWidest = 1;
};

static_assert(sizeof(TextFormat) == 28, "TextFormat is a 28-byte block");

} // namespace render
