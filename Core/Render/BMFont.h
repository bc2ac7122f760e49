#pragma once

#include "Core/Base/BWResult.h"
#include "Core/Render/Font.h"
#include "Core/Render/GraphicsFriend.h"
#include "Core/Render/StackArray.h"
#include "Core/Render/TextFormat.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace base
{
class Stream;
}

namespace render
{

class ImageRect;
class Render;

// A bitmap font: an XML font description ("<name>.fnt", in the layout of the
// AngelCode bitmap font generator) with one image per page. Text is laid out
// into lines (wrapping, alignment, justification, kerning) and
// drawn as glyph quads, one indexed draw per run of glyphs on the same page.
class BMFont : public Font, public GraphicsFriend
{
public:
    struct Glyph
    {
        // Rectangle in the page image.
        float mX = 0.0f;
        float mY = 0.0f;
        float mWidth = 0.0f;
        float mHeight = 0.0f;
        float mXOffset = 0.0f;
        float mYOffset = 0.0f;
        float mXAdvance = 0.0f;
        uint32_t mPage = 0;
        uint32_t mChnl = 0;
        // Amount by the previous character's code.
        std::map<uint16_t, float> mKerning;
    };

    struct LineInfo
    {
        float mWidth;
        uint32_t mFirst;
        uint32_t mCount;
        // Spaces inside the line, which justification widens.
        uint32_t mSpaces;
        float mXOffset;
        uint8_t mJustify;
    };

    struct PageRun
    {
        uint32_t mCount;
        uint32_t mPage;
    };

    typedef StackArray<LineInfo, 1024> LineArray;
    typedef StackArray<PageRun, 256> PageRunArray;

    // Descriptions above this size are refused rather than read.
    static const uint32_t kMaxDescriptionBytes = 64u << 20;
    // More pages than this are refused: every page is a texture.
    static const uint32_t kMaxPages = 1024;

    BMFont();
    // Deletes page images still held, as when destroyed without unloading.
    ~BMFont() override;

    // Leaves the font map, unloading and deleting itself; nothing when the
    // map does not hold it.
    BWResultEnum Release() override;
    // Reads "<name>.fnt" through the file manager.
    BWResultEnum DoLoad() override;
    // Deletes the page images; glyphs and metrics stay.
    BWResultEnum DoUnLoad() override;
    BWResultEnum DrawText(Graphics* graphics, DrawTextParam* callback, const std::wstring& text,
                          const TextFormat* format, float size[2]) override;
    // Whether text draws the code with a glyph of its own: as layout does,
    // never for codes past 16 bits.
    bool HasChar(uint32_t code) override;

    // Reads a font description. Page images are made through mRender, in the
    // folder of the resource name. A failure leaves what was read so far.
    BWResultEnum Parse(base::Stream* stream);

    // The glyph a character is drawn with: its own, else the replacement
    // (which may be null).
    const Glyph* FindGlyph(uint32_t code, const Glyph* replacement) const;
    // The replacement glyph the format names, or null.
    const Glyph* FindReplacement(const TextFormat& format) const;
    // Runs of drawn glyphs on one page, in text order.
    void CollectPageRuns(const std::wstring& text, const TextFormat& format, PageRunArray* runs) const;
    // The lines of the text: breaks, wraps, widths, indents.
    void BreakLines(const std::wstring& text, const TextFormat& format, LineArray* lines) const;

    const std::map<uint16_t, Glyph>& GetChars() const { return mChars; }
    const std::vector<ImageRect*>& GetPages() const { return mPages; }

    // Set before loading: page images are created through it. It hides the
    // binding's renderer, which is the drawing Graphics' one.
    Render* mRender;
    std::string mFace;
    uint8_t mBold;
    uint8_t mItalic;
    std::string mCharset;
    float mStretchH;
    uint8_t mSmooth;
    uint32_t mAa;
    int32_t mPadding[4];
    float mSpacing[2];
    uint32_t mOutline;
    float mLineHeight;
    float mScaleW;
    float mScaleH;
    std::map<uint16_t, Glyph> mChars;
    std::vector<ImageRect*> mPages;
    // Where the pen starts vertically.
    float mAdjust;
    float mTextureScale;

private:
    struct GlyphBatch;

    void DeletePages();
    BWResultEnum ReserveBatch(uint32_t count, GlyphBatch* batch);
    BWResultEnum DrawBatch(GlyphBatch* batch, DrawTextParam* callback);
};

} // namespace render
