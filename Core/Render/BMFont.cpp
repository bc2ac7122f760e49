#include "Core/Render/BMFont.h"

#include "Core/App/Application.h"
#include "Core/Base/Encoding.h"
#include "Core/Base/Stream.h"
#include "Core/File/FileInfo.h"
#include "Core/File/FileManager.h"
#include "Core/File/Path.h"
#include "Core/Render/Buffer.h"
#include "Core/Render/BufferDoubleCache.h"
#include "Core/Render/Color.h"
#include "Core/Render/DrawImageParam.h"
#include "Core/Render/Graphics.h"
#include "Core/Render/ImageRect.h"
#include "Core/Render/Render.h"
#include "Core/Render/Shader.h"
#include "Core/Render/Vertex.h"
#include "Core/Resource/ResourceManager.h"

#include <tinyxml2.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>

namespace render
{

namespace
{

const wchar_t kSpace = 32;
const wchar_t kTab = 9;

bool IsSpace(wchar_t c)
{
    return c == kSpace || c == kTab;
}

// The glyph's kerning after the character before it; layout and pen take it
// only between characters of the same line.
float KerningAfter(const BMFont::Glyph& glyph, const std::wstring& text, uint32_t i, uint32_t lineStart)
{
    if (i <= lineStart)
        return 0.0f;
    const uint32_t previous = static_cast<uint32_t>(text[i - 1]);
    if (previous == 0 || previous > 0xFFFFu)
        return 0.0f;
    auto amount = glyph.mKerning.find(static_cast<uint16_t>(previous));
    return amount != glyph.mKerning.end() ? amount->second : 0.0f;
}

// Multiplies the font's metrics; the application keeps it (1 unless a build
// scales its text).
float TextScale()
{
    app::Application* application = app::Application::Instance();
    return application ? application->GetTextScale() : 1.0f;
}

// --- Reading the description -------------------------------------------------

bool ReadString(const tinyxml2::XMLElement* element, const char* name, std::string* out)
{
    const char* value = element->Attribute(name);
    if (!value)
        return false;
    *out = value;
    return true;
}

// Font tools write some numbers as "" (or spaces); those read as 0.
bool IsBlank(const char* value)
{
    return value && value[std::strspn(value, " \t\r\n")] == '\0';
}

bool ReadFloat(const tinyxml2::XMLElement* element, const char* name, float* out)
{
    if (IsBlank(element->Attribute(name)))
    {
        *out = 0.0f;
        return true;
    }
    return element->QueryFloatAttribute(name, out) == tinyxml2::XML_SUCCESS;
}

// Absent: the default. Present: it must read as its type.
bool ReadOptionalUnsigned(const tinyxml2::XMLElement* element, const char* name, uint32_t fallback, uint32_t* out)
{
    const char* text = element->Attribute(name);
    if (!text || IsBlank(text))
    {
        *out = text ? 0 : fallback;
        return true;
    }
    unsigned value = 0;
    if (element->QueryUnsignedAttribute(name, &value) != tinyxml2::XML_SUCCESS)
        return false;
    *out = value;
    return true;
}

bool ReadOptionalBool(const tinyxml2::XMLElement* element, const char* name, uint8_t* out)
{
    if (!element->Attribute(name) || IsBlank(element->Attribute(name)))
    {
        *out = 0;
        return true;
    }
    bool value = false;
    if (element->QueryBoolAttribute(name, &value) != tinyxml2::XML_SUCCESS)
        return false;
    *out = value ? 1 : 0;
    return true;
}

// The comma-separated items of a list, as many as there are slots; slots
// without an item, or whose item holds no number, keep their value. An item
// reads as its leading number.
void ReadIntList(const std::string& text, int32_t* values, size_t count)
{
    const char* item = text.c_str();
    for (size_t i = 0; i < count; ++i)
    {
        char* end = nullptr;
        long value = std::strtol(item, &end, 10);
        if (end != item)
        {
            value = std::max<long>(INT32_MIN, std::min<long>(INT32_MAX, value));
            values[i] = static_cast<int32_t>(value);
        }
        item = std::strchr(item, ',');
        if (!item)
            return;
        ++item;
    }
}

void ReadFloatList(const std::string& text, float* values, size_t count)
{
    const char* item = text.c_str();
    for (size_t i = 0; i < count; ++i)
    {
        char* end = nullptr;
        const float value = std::strtof(item, &end);
        if (end != item)
            values[i] = value;
        item = std::strchr(item, ',');
        if (!item)
            return;
        ++item;
    }
}

} // namespace

// Space for the glyphs of one page run (or of a part of it, when the caches
// cannot hold the whole run in one piece).
struct BMFont::GlyphBatch
{
    SVertex2D* mVertices = nullptr;
    uint16_t* mIndices = nullptr;
    VertexAllocation mVertexPlace;
    IndexAllocation mIndexPlace;
    uint32_t mCapacity = 0;
    uint32_t mUsed = 0;
    ImageRect* mPage = nullptr;
    float mPageWidth = 0.0f;
    float mPageHeight = 0.0f;
};

BMFont::BMFont()
    : mRender(nullptr), mBold(0), mItalic(0), mStretchH(0.0f), mSmooth(0), mAa(0), mPadding{0, 0, 0, 0},
      mSpacing{0.0f, 0.0f}, mOutline(0), mLineHeight(0.0f), mScaleW(0.0f), mScaleH(0.0f), mAdjust(0.0f),
      mTextureScale(1.0f)
{
}

BMFont::~BMFont()
{
    DeletePages();
}

void BMFont::DeletePages()
{
    for (ImageRect* page : mPages)
        delete page;
    mPages.clear();
}

BWResultEnum BMFont::Release()
{
    resource::ResourceManager* manager = resource::ResourceManager::Instance();
    return manager ? manager->ReleaseCounted(manager->GetBMFontMap(), this) : BW_OK;
}

BWResultEnum BMFont::DoLoad()
{
    file::FileManager* files = file::FileManager::Instance();
    if (!files)
        return BW_FAIL;
    std::unique_ptr<file::FileInfo> info(files->GetFileInfo(GetName() + L".fnt"));
    if (!info)
        return BW_FAIL;
    std::unique_ptr<base::Stream> stream(info->Open());
    if (!stream)
        return BW_FAIL;
    return Parse(stream.get());
}

BWResultEnum BMFont::DoUnLoad()
{
    DeletePages();
    return BW_OK;
}

bool BMFont::HasChar(uint32_t code)
{
    return FindGlyph(code, nullptr) != nullptr;
}

BWResultEnum BMFont::Parse(base::Stream* stream)
{
    // 1. Scales of this parse.
    file::FileManager* files = file::FileManager::Instance();
    mTextureScale = files ? files->GetTextureScale() : 1.0f;
    const float t = mTextureScale;
    const float s = TextScale();

    // 2. The whole text, zero-terminated.
    if (!stream)
        return BW_FAIL;
    const uint32_t size = stream->GetSize();
    if (size > kMaxDescriptionBytes)
        return BW_FAIL;
    std::vector<char> text(static_cast<size_t>(size) + 1, '\0');
    if (stream->Read(text.data(), size) != size)
        return BW_FAIL;
    text[size] = '\0';

    // 3. The document.
    tinyxml2::XMLDocument document(true);
    if (document.Parse(text.data()) != tinyxml2::XML_SUCCESS)
        return BW_FAIL;

    // 4. "info".
    const tinyxml2::XMLElement* font = document.RootElement();
    if (!font || std::strcmp(font->Name(), "font") != 0)
        return BW_FAIL;
    const tinyxml2::XMLElement* info = font->FirstChildElement("info");
    if (!info)
        return BW_FAIL;
    float fontSize = 0.0f;
    uint8_t unicode = 0;
    const char* charsetName = info->Attribute("charset") ? "charset" : "chasrset";
    std::string padding, spacing;
    if (!ReadString(info, "face", &mFace) || !ReadFloat(info, "size", &fontSize))
        return BW_FAIL;
    mSize = fontSize * s;
    if (!ReadOptionalBool(info, "bold", &mBold) || !ReadOptionalBool(info, "italic", &mItalic) ||
        !ReadString(info, charsetName, &mCharset) || !ReadOptionalBool(info, "unicode", &unicode) ||
        !ReadFloat(info, "stretchH", &mStretchH) || !ReadOptionalBool(info, "smooth", &mSmooth) ||
        !ReadOptionalUnsigned(info, "aa", 0, &mAa) || !ReadString(info, "padding", &padding))
        return BW_FAIL;
    ReadIntList(padding, mPadding, 4);
    if (!ReadString(info, "spacing", &spacing))
        return BW_FAIL;
    ReadFloatList(spacing, mSpacing, 2);
    if (!ReadOptionalUnsigned(info, "outline", 0, &mOutline))
        return BW_FAIL;

    // 5. "common".
    const tinyxml2::XMLElement* common = font->FirstChildElement("common");
    if (!common)
        return BW_FAIL;
    float lineHeight = 0.0f, base = 0.0f;
    uint32_t pageCount = 0;
    if (!ReadFloat(common, "lineHeight", &lineHeight) || !ReadFloat(common, "base", &base) ||
        !ReadFloat(common, "scaleW", &mScaleW) || !ReadFloat(common, "scaleH", &mScaleH) ||
        !ReadOptionalUnsigned(common, "pages", 0, &pageCount))
        return BW_FAIL;
    mLineHeight = lineHeight * s;
    mBase = base * s;
    if (pageCount > kMaxPages)
        return BW_FAIL;
    DeletePages();
    mPages.assign(pageCount, nullptr);

    // 6. Page images, in the font's folder.
    const tinyxml2::XMLElement* pages = font->FirstChildElement("pages");
    if (!pages)
        return BW_FAIL;
    const std::wstring folder = file::GetDirectory(GetName());
    for (const tinyxml2::XMLElement* page = pages->FirstChildElement("page"); page;
         page = page->NextSiblingElement("page"))
    {
        uint32_t id = 0;
        std::string fileName;
        if (!ReadOptionalUnsigned(page, "id", 0, &id) || id >= pageCount || !ReadString(page, "file", &fileName))
            return BW_FAIL;
        std::wstring wideName;
        try
        {
            wideName = base::ToWideString(fileName, base::EncodingUtf8);
        }
        catch (const std::exception&)
        {
            return BW_FAIL;
        }
        if (!mRender)
            return BW_FAIL;
        ImageRect* image = nullptr;
        const BWResultEnum result = mRender->CreateImage(folder + wideName, nullptr, &image, nullptr);
        if (result != BW_OK || !image)
        {
            delete image;
            return result != BW_OK ? result : BW_FAIL;
        }
        // A page named twice keeps the last image.
        delete mPages[id];
        mPages[id] = image;
    }

    // 7. Glyphs, by their 16-bit code.
    const tinyxml2::XMLElement* chars = font->FirstChildElement("chars");
    if (!chars)
        return BW_FAIL;
    for (const tinyxml2::XMLElement* element = chars->FirstChildElement("char"); element;
         element = element->NextSiblingElement("char"))
    {
        uint32_t id = 0;
        float x = 0, y = 0, width = 0, height = 0, xoffset = 0, yoffset = 0, xadvance = 0;
        uint32_t page = 0, chnl = 0;
        if (!ReadOptionalUnsigned(element, "id", 0, &id) || !ReadFloat(element, "x", &x) ||
            !ReadFloat(element, "y", &y) || !ReadFloat(element, "width", &width) ||
            !ReadFloat(element, "height", &height) || !ReadFloat(element, "xoffset", &xoffset) ||
            !ReadFloat(element, "yoffset", &yoffset) || !ReadFloat(element, "xadvance", &xadvance) ||
            !ReadOptionalUnsigned(element, "page", 0, &page) || !ReadOptionalUnsigned(element, "chnl", 0, &chnl))
            return BW_FAIL;
        // A glyph must lie on a page the description gives.
        if (page >= pageCount || !mPages[page])
            return BW_FAIL;
        // No text reaches a code past 16 bits (layout takes it for a
        // surrogate pair); its low half would replace another glyph.
        if (id > 0xFFFFu)
            continue;
        Glyph& glyph = mChars[static_cast<uint16_t>(id)];
        glyph.mX = x * t * s;
        glyph.mY = y * t * s;
        glyph.mWidth = width * t * s;
        glyph.mHeight = height * t * s;
        glyph.mXOffset = xoffset * s;
        glyph.mYOffset = yoffset * s;
        glyph.mXAdvance = xadvance * s;
        glyph.mPage = page;
        glyph.mChnl = chnl;
    }

    // 8. Kerning, kept by the second character under the first.
    const tinyxml2::XMLElement* kernings = font->FirstChildElement("kernings");
    if (kernings)
    {
        for (const tinyxml2::XMLElement* element = kernings->FirstChildElement("kerning"); element;
             element = element->NextSiblingElement("kerning"))
        {
            uint32_t first = 0, second = 0;
            float amount = 0.0f;
            if (!ReadOptionalUnsigned(element, "first", 0, &first) ||
                !ReadOptionalUnsigned(element, "second", 0, &second) || !ReadFloat(element, "amount", &amount))
                return BW_FAIL;
            if (first > 0xFFFFu || second > 0xFFFFu)
                continue;
            auto glyph = mChars.find(static_cast<uint16_t>(second));
            if (glyph != mChars.end())
                glyph->second.mKerning[static_cast<uint16_t>(first)] = amount * s;
        }
    }
    return BW_OK;
}

// --- Layout --------------------------------------------------------------------

const BMFont::Glyph* BMFont::FindGlyph(uint32_t code, const Glyph* replacement) const
{
    // Past the 16-bit range a character would be a surrogate pair, which no
    // glyph stands for.
    if (code > 0xFFFFu)
        return replacement;
    auto found = mChars.find(static_cast<uint16_t>(code));
    return found != mChars.end() ? &found->second : replacement;
}

const BMFont::Glyph* BMFont::FindReplacement(const TextFormat& format) const
{
    if (format.mReplacementChar == 0)
        return nullptr;
    return FindGlyph(format.mReplacementChar, nullptr);
}

void BMFont::CollectPageRuns(const std::wstring& text, const TextFormat& format, PageRunArray* runs) const
{
    const Glyph* replacement = FindReplacement(format);
    for (wchar_t c : text)
    {
        if (static_cast<uint32_t>(c) == format.mLineBreakChar || IsSpace(c))
            continue;
        const Glyph* glyph = FindGlyph(static_cast<uint32_t>(c), replacement);
        if (!glyph)
            continue;
        if (!runs->Empty() && runs->Back().mPage == glyph->mPage)
            ++runs->Back().mCount;
        else
            runs->PushBack(PageRun{1, glyph->mPage});
    }
}

void BMFont::BreakLines(const std::wstring& text, const TextFormat& format, LineArray* lines) const
{
    const Glyph* replacement = FindReplacement(format);
    const float spacing = format.mLetterSpacing;
    const float indent = format.mIndent;
    const float wrap = format.mWrapWidth;
    const uint32_t length = static_cast<uint32_t>(text.size());

    uint32_t lineStart = 0;
    uint32_t wordEnd = 0;   // where the latest run of spaces began
    uint32_t wordStart = 0; // first character after it
    float placed = indent;  // words (and the spaces between them) already on the line
    float pendingSpaces = 0.0f;
    float word = 0.0f;
    float wordKerning = 0.0f; // kerning of the word's first character
    uint32_t spaceCount = 0;
    uint32_t runSpaces = 0; // spaces of the latest run
    uint32_t lineGlyphs = 0; // drawn characters on the line before the current one
    uint32_t wordGlyphs = 0;
    bool inSpaces = false;
    bool paragraphStart = true;

    auto emit = [lines](float width, uint32_t first, uint32_t end, uint32_t spaces, float xOffset, bool justify) {
        lines->PushBack(LineInfo{width, first, end - first, spaces, xOffset, static_cast<uint8_t>(justify ? 1 : 0)});
    };

    for (uint32_t i = 0; i < length; ++i)
    {
        const uint32_t c = static_cast<uint32_t>(text[i]);
        const float xOffset = paragraphStart ? indent : 0.0f;

        // 1. A line break ends the line; trailing spaces stay out of it.
        if (c == format.mLineBreakChar)
        {
            const uint32_t end = inSpaces ? wordEnd : i;
            const float width = placed + word + (inSpaces ? 0.0f : pendingSpaces);
            emit(width, lineStart, end, 0, xOffset, false);
            lineStart = wordEnd = wordStart = i + 1;
            placed = 0.0f;
            word = indent;
            wordKerning = 0.0f;
            pendingSpaces = 0.0f;
            spaceCount = runSpaces = 0;
            lineGlyphs = wordGlyphs = 0;
            inSpaces = false;
            paragraphStart = true;
            continue;
        }

        // 2. A character without a glyph takes no room.
        const Glyph* glyph = FindGlyph(c, replacement);
        if (!glyph)
            continue;

        // 3. Spaces close the word before them. They never wrap: a run of
        // spaces at a wrap belongs to neither line.
        if (IsSpace(static_cast<wchar_t>(c)))
        {
            if (!inSpaces)
            {
                placed += pendingSpaces + word;
                pendingSpaces = word = 0.0f;
                wordEnd = i;
                runSpaces = 0;
            }
            ++spaceCount;
            ++runSpaces;
            inSpaces = true;
            pendingSpaces += glyph->mXAdvance + spacing;
            continue;
        }

        // 4. A character of a word; kerning moves it as the pen does.
        const float kerning = KerningAfter(*glyph, text, i, lineStart);
        if (inSpaces)
        {
            wordStart = i;
            wordGlyphs = 0;
            wordKerning = kerning;
            inSpaces = false;
        }
        const float step = glyph->mXAdvance + spacing + kerning;
        word += step;

        // 5. Wrap.
        if (wrap > 0.0f && placed + pendingSpaces + word > wrap)
        {
            if (wordEnd != lineStart)
            {
                // The line ends with the previous word; this word moves on,
                // and its first character has nothing before it to kern with.
                emit(placed, lineStart, wordEnd, spaceCount - runSpaces, xOffset, true);
                lineStart = wordEnd = wordStart;
                word -= wordKerning;
                wordKerning = 0.0f;
                placed = pendingSpaces = 0.0f;
                spaceCount = runSpaces = 0;
                lineGlyphs = wordGlyphs;
                paragraphStart = false;
            }
            else if (lineGlyphs > 0)
            {
                // A word wider than the line is cut before this character.
                emit(placed + pendingSpaces + word - step, lineStart, i, 0, xOffset, true);
                lineStart = wordEnd = wordStart = i;
                word = glyph->mXAdvance + spacing;
                wordKerning = 0.0f;
                placed = pendingSpaces = 0.0f;
                spaceCount = runSpaces = 0;
                lineGlyphs = wordGlyphs = 0;
                paragraphStart = false;
            }
            // Else the character is alone on its line and stays there.
        }
        ++lineGlyphs;
        ++wordGlyphs;
    }

    // 6. The last line, unless nothing is on it.
    if (placed + word > 0.0f || lineGlyphs > 0)
    {
        const float xOffset = paragraphStart ? indent : 0.0f;
        if (inSpaces)
            emit(placed + word, lineStart, wordEnd, 0, xOffset, false);
        else
            emit(placed + pendingSpaces + word, lineStart, length, 0, xOffset, false);
    }
}

// --- Drawing -------------------------------------------------------------------

BWResultEnum BMFont::ReserveBatch(uint32_t count, GlyphBatch* batch)
{
    Render* render = GraphicsFriend::mRender;
    VertexCache2D* vertexCache = render ? render->GetVertexCache<SVertex2D>() : nullptr;
    IndexCache16* indexCache = render ? render->GetIndexCache16() : nullptr;
    if (!vertexCache || !indexCache || !vertexCache->GetPrimary() || !indexCache->GetPrimary())
        return BW_FAIL;
    // A run is taken whole while the primary buffers have room for it;
    // otherwise in parts that a fresh overflow buffer always holds.
    const uint32_t part = std::max(
        1u, std::min(vertexCache->GetOverflowCapacity() / 4, indexCache->GetOverflowCapacity() / 6));
    const uint32_t vertexRoom = vertexCache->GetPrimary()->GetImpl()->GetRoom();
    const uint32_t indexRoom = indexCache->GetPrimary()->GetImpl()->GetRoom();
    if (count > part && (count > vertexRoom / 4 || count > indexRoom / 6))
        count = part;
    BWResultEnum result = vertexCache->Allocate(count * 4, &batch->mVertices, &batch->mVertexPlace);
    if (result == BW_OK && batch->mVertices)
        result = indexCache->Allocate(count * 6, &batch->mIndices, &batch->mIndexPlace);
    if (result != BW_OK || !batch->mVertices || !batch->mIndices)
        return result != BW_OK ? result : BW_FAIL;
    batch->mCapacity = count;
    batch->mUsed = 0;
    return BW_OK;
}

BWResultEnum BMFont::DrawBatch(GlyphBatch* batch, DrawTextParam* callback)
{
    const uint32_t glyphs = batch->mUsed;
    batch->mUsed = batch->mCapacity = 0;
    if (glyphs == 0 || !batch->mPage)
        return BW_OK;
    const VertexFormat& format = VertexFormatOf<SVertex2D>();
    const uint32_t vertexCount = glyphs * 4;
    BWResultEnum result;
    if (callback)
    {
        if ((result = callback->TransformGlyphs(batch->mVertices, format, vertexCount)) != BW_OK)
            return result;
        if ((result = mGraphics->ApplyHalfPixel(batch->mVertices, format, vertexCount)) != BW_OK)
            return result;
    }
    if (ShaderTextured* textured = mGraphics->GetTexturedShader())
    {
        if ((result = textured->SetTexture(batch->mPage->GetTexture())) != BW_OK)
            return result;
    }
    if ((result = SetVertexBuffer(batch->mVertexPlace.mBuffer)) != BW_OK ||
        (result = SetIndexBuffer(batch->mIndexPlace.mBuffer)) != BW_OK || (result = ApplyState()) != BW_OK)
        return result;
    return GraphicsFriend::mRender->DrawIndexedPrimitive(TriangleList, batch->mIndexPlace.mFirst, glyphs * 2,
                                                         batch->mVertexPlace.mFirst, vertexCount);
}

BWResultEnum BMFont::DrawText(Graphics* graphics, DrawTextParam* callback, const std::wstring& text,
                              const TextFormat* formatIn, float size[2])
{
    if (!graphics && !size)
        return BW_OK;
    // 1. Draw through that Graphics.
    if (graphics)
        Bind(graphics);

    // 2. Layout.
    const TextFormat format = formatIn ? *formatIn : TextFormat();
    const float s = TextScale();
    const Glyph* replacement = FindReplacement(format);
    PageRunArray runs;
    LineArray lines;
    CollectPageRuns(text, format, &runs);
    BreakLines(text, format, &lines);

    // 3, 4. Measures.
    float alignWidth = 0.0f;
    for (uint32_t i = 0; i < lines.Size(); ++i)
        alignWidth = std::max(alignWidth, lines[i].mWidth);
    if (!format.mAlignToWidest && format.mWrapWidth > 0.0f)
        alignWidth = format.mWrapWidth;
    const float lineStep = GetSizePlusExtra() + format.mLineSpacing;
    float height = mSize;
    if (lines.Size() > 1)
        height += static_cast<float>(lines.Size() - 1) * lineStep;
    if (size)
    {
        size[0] = alignWidth;
        size[1] = height;
    }

    // 5.
    if (!graphics || lines.Empty())
        return BW_OK;

    // 6. Shader, projection and vertex colours.
    Shader* shader = graphics->mCurrentShader;
    if (!shader)
        return BW_FAIL;
    BWResultEnum result = SetShader(shader->GetImpl());
    if (result == BW_OK)
        result = ApplyProjection(shader);
    if (result != BW_OK)
        return result;
    const uint32_t diffuse = ColorToArgb(graphics->mColor);
    const float tint = std::max(0.0f, std::min(1.0f, graphics->mTint));
    const uint32_t k = static_cast<uint32_t>(tint * 255.0f) & 0xFFu;
    const uint32_t specular = (k << 8) | (255u - k);

    // 7, 8. Glyph quads, in page runs.
    const float t = mTextureScale;
    bool pageMissing = false;
    GlyphBatch batch;
    uint32_t nextRun = 0;
    uint32_t runLeft = 0; // glyphs of the current run not in a batch yet
    uint32_t runPage = 0;
    float penY = mAdjust;
    for (uint32_t l = 0; l < lines.Size(); ++l)
    {
        const LineInfo& line = lines[l];
        float penX = line.mXOffset;
        if (format.mAlign == TextAlignRight)
            penX = alignWidth - line.mWidth;
        else if (format.mAlign == TextAlignCenter)
            penX = std::ceil((alignWidth - line.mWidth) * 0.5f) + line.mXOffset;
        float spaceExtra = 0.0f, charExtra = 0.0f;
        if (format.mAlign == TextAlignJustify && line.mJustify)
        {
            if (line.mSpaces > 0)
                spaceExtra = (alignWidth - line.mWidth) / static_cast<float>(line.mSpaces);
            else if (format.mJustifyByChars && line.mCount > 1)
                charExtra = (alignWidth - line.mWidth) / static_cast<float>(line.mCount - 1);
        }

        for (uint32_t i = line.mFirst; i < line.mFirst + line.mCount; ++i)
        {
            const wchar_t c = text[i];
            const Glyph* glyph = FindGlyph(static_cast<uint32_t>(c), replacement);
            if (!glyph)
                continue;
            if (IsSpace(c))
            {
                penX += glyph->mXAdvance + format.mLetterSpacing + spaceExtra;
                continue;
            }
            if (batch.mUsed == batch.mCapacity)
            {
                if ((result = DrawBatch(&batch, callback)) != BW_OK)
                    return result;
                if (runLeft == 0)
                {
                    if (nextRun >= runs.Size())
                        return BW_FAIL; // the layout placed a glyph no run counted
                    runLeft = runs[nextRun].mCount;
                    runPage = runs[nextRun].mPage;
                    ++nextRun;
                }
                batch.mPage = runPage < mPages.size() ? mPages[runPage] : nullptr;
                if (batch.mPage)
                {
                    if ((result = ReserveBatch(runLeft, &batch)) != BW_OK)
                        return result;
                    batch.mPageWidth = static_cast<float>(batch.mPage->GetWidth()) * s;
                    batch.mPageHeight = static_cast<float>(batch.mPage->GetHeight()) * s;
                }
                else
                {
                    // An unloaded font keeps its glyphs but has no pages.
                    pageMissing = true;
                    batch.mCapacity = runLeft;
                }
                runLeft -= batch.mCapacity;
            }
            penX += KerningAfter(*glyph, text, i, line.mFirst);
            if (batch.mPage)
            {
                const uint32_t at = batch.mUsed;
                const float p0[4] = {penX + glyph->mXOffset, penY + glyph->mYOffset, 0.0f, 1.0f};
                const float p1[4] = {p0[0] + glyph->mWidth / t, p0[1] + glyph->mHeight / t, 0.0f, 1.0f};
                const float st0[2] = {glyph->mX / batch.mPageWidth, glyph->mY / batch.mPageHeight};
                const float st1[2] = {(glyph->mX + glyph->mWidth) / batch.mPageWidth,
                                      (glyph->mY + glyph->mHeight) / batch.mPageHeight};
                SVertex2D* quad = batch.mVertices + at * 4;
                QuadFromCorners(quad, batch.mIndices + at * 6, batch.mVertexPlace.mFirst + at * 4, p0, p1, st0, st1);
                for (int v = 0; v < 4; ++v)
                {
                    quad[v].diffuse = diffuse;
                    quad[v].specular = specular;
                }
            }
            ++batch.mUsed;
            penX += glyph->mXAdvance + format.mLetterSpacing + charExtra;
        }
        // 10.
        penY += lineStep;
    }
    if ((result = DrawBatch(&batch, callback)) != BW_OK)
        return result;
    return pageMissing ? BW_FAIL : BW_OK;
}

} // namespace render
