// Text drawn over the recording renderer: glyph quads, colours, a draw and
// a texture per page run, alignment and justification, long texts, and the
// measure the pen keeps to.

#include "tests/Core/Render/FontTesting.h"
#include "tests/Core/Render/RecordedFrame.h"

#include "Core/Render/Graphics.h"
#include "Core/Render/ImageRect.h"
#include "Core/Render/Shader.h"
#include "Core/Render/Vertex.h"

#include <map>
#include <random>

namespace
{

using fonttest::ValidDescription;

class TextDrawTest : public fonttest::FontFixture
{
protected:
    void SetUp() override
    {
        fonttest::FontFixture::SetUp();
        ASSERT_EQ(Parse(ValidDescription()), BW_OK);
        font->mAdjust = -2;
        ASSERT_EQ(r.BeginScene(), BW_OK);
        graphics = std::make_unique<render::Graphics>(&r);
        graphics->mFont = font.get();
    }

    void TearDown() override
    {
        graphics.reset();
        fonttest::FontFixture::TearDown();
    }

    const render::SVertex2D* Quad(size_t index) { return bwtest::WrittenQuad(r, index); }
    uint32_t QuadsWritten() { return bwtest::WrittenQuads(r); }
    // The replayed draw and texture calls, in order.
    std::vector<std::string> Replay() { return bwtest::Replay(r, {"Draw", "SetTexture"}); }
    static uint32_t Triangles(const std::vector<std::string>& calls) { return bwtest::IndexedPrimitives(calls); }

    std::string TextureOfPage(size_t page) { return r.NameOf(font->mPages[page]->GetTexture()); }

    std::unique_ptr<render::Graphics> graphics;
};

TEST_F(TextDrawTest, GlyphQuadsFromThePenWithTheHalfPixelShift)
{
    const float red[4] = {1, 0, 0, 1};
    graphics->SetColor(red);
    ASSERT_EQ(graphics->DrawString(L"A\x0416").DrawNow(), BW_OK);
    ASSERT_EQ(QuadsWritten(), 2u);
    // 'A': pen (0, -2) + offset (1, 4), 8 x 12, from (4, 2) of the 64 x 32 page.
    const render::SVertex2D* a = Quad(0);
    bwtest::ExpectCorners(a, 0.5f, 1.5f, 8.5f, 13.5f);
    const float us[4] = {4, 12, 12, 4}, vs[4] = {2, 2, 14, 14};
    for (int v = 0; v < 4; ++v)
    {
        EXPECT_FLOAT_EQ(a[v].tu, us[v] / 64);
        EXPECT_FLOAT_EQ(a[v].tv, vs[v] / 32);
        EXPECT_EQ(a[v].diffuse, 0xFFFF0000u);
    }
    // The pen moved by the advance: 'Ж' starts at 10.
    bwtest::ExpectCorners(Quad(1), 9.5f, 1.5f, 21.5f, 13.5f);
    EXPECT_EQ(Replay(), (std::vector<std::string>{"SetTexture(mult.TextureSampler," + TextureOfPage(0) + ")",
                                                   "DrawIndexedPrimitive(3,2,0,4,0,8)"}));
}

// The text scale factor multiplies the metrics but not the texture
// coordinates. Drawn by the font alone, the vertices stay as written: no
// half-pixel shift.
TEST_F(TextDrawTest, ScaledTextKeepsItsTextureCoordinates)
{
    fonttest::ScaledApplication application;
    ASSERT_EQ(Parse(ValidDescription()), BW_OK);
    float size[2] = {0, 0};
    ASSERT_EQ(font->DrawText(graphics.get(), nullptr, L"AB", nullptr, size), BW_OK);
    EXPECT_EQ(size[0], 36.0f) << "the kerning is scaled too";
    EXPECT_EQ(size[1], 40.0f);
    const render::SVertex2D* a = Quad(0);
    bwtest::ExpectCorners(a, 2, 6, 18, 30);
    EXPECT_FLOAT_EQ(a[0].tu, 4.0f / 64);
    EXPECT_FLOAT_EQ(a[2].tv, 14.0f / 32);
    EXPECT_FLOAT_EQ(Quad(1)[0].x, 16.0f);
}

TEST_F(TextDrawTest, EachPageRunIsOneDrawWithItsPage)
{
    // 'B' after 'A' is kerned 2 to the left.
    ASSERT_EQ(font->DrawText(graphics.get(), nullptr, L"AB AB", nullptr, nullptr), BW_OK);
    EXPECT_FLOAT_EQ(Quad(1)[0].x, 8.0f);
    EXPECT_FLOAT_EQ(Quad(3)[0].x, 31.0f);
    // 'B' lies on the 32 x 16 page.
    EXPECT_FLOAT_EQ(Quad(1)[0].tu, 8.0f / 32);
    EXPECT_FLOAT_EQ(Quad(1)[2].tv, 16.0f / 16);

    const std::vector<std::string> calls = Replay();
    const std::vector<std::string> expected = {
        "SetTexture(mult.TextureSampler," + TextureOfPage(0) + ")", "DrawIndexedPrimitive(3,2,0,2,0,4)",
        "SetTexture(mult.TextureSampler," + TextureOfPage(1) + ")", "DrawIndexedPrimitive(3,2,6,2,4,4)",
        "SetTexture(mult.TextureSampler," + TextureOfPage(0) + ")", "DrawIndexedPrimitive(3,2,12,2,8,4)",
        "SetTexture(mult.TextureSampler," + TextureOfPage(1) + ")", "DrawIndexedPrimitive(3,2,18,2,12,4)"};
    EXPECT_EQ(calls, expected);
}

// The left edge of each quad, offset 1 of 'A' included. "A A" is wrapped and
// spread to 30; "AA" ends its paragraph.
TEST_F(TextDrawTest, AlignmentAndJustificationPlaceTheGlyphs)
{
    const struct
    {
        uint32_t align;
        float wrap;
        uint8_t alignToWidest, byChars;
        const wchar_t* text;
        std::vector<float> x0;
    } cases[] = {
        {0, 0, 1, 1, L"A\nAA", {1, 1, 11}},       {1, 0, 1, 1, L"A\nAA", {11, 1, 11}},
        {2, 0, 1, 1, L"A\nAAA", {11, 1, 11, 21}}, {2, 0, 1, 1, L"A\nA\x0416", {8, 1, 10}}, // rounds up
        {7, 0, 1, 1, L"A\nAA", {1, 1, 11}},       {1, 100, 0, 1, L"AA", {81, 91}},
        {3, 30, 0, 1, L"A A AA", {1, 21, 1, 11}},  {3, 25, 0, 1, L"AAAA", {1, 16, 1, 11}},
        {3, 25, 0, 0, L"AAAA", {1, 11, 1, 11}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "align " << c.align << " wrap " << c.wrap);
        render::TextFormat format;
        format.mAlign = c.align;
        format.mWrapWidth = c.wrap;
        format.mAlignToWidest = c.alignToWidest;
        format.mJustifyByChars = c.byChars;
        ASSERT_EQ(font->DrawText(graphics.get(), nullptr, c.text, &format, nullptr), BW_OK);
        ASSERT_EQ(QuadsWritten(), c.x0.size());
        for (size_t i = 0; i < c.x0.size(); ++i)
            EXPECT_FLOAT_EQ(Quad(i)[0].x, c.x0[i]) << "quad " << i;
        Replay();
        ASSERT_EQ(r.BeginScene(), BW_OK);
    }
}

TEST_F(TextDrawTest, LongTextsAreDrawnWholeInPartsTheCachesHold)
{
    // Most of the primary index buffer is already used this frame; more page
    // runs and lines than the layout keeps on the stack.
    uint16_t* indices = nullptr;
    render::IndexAllocation place;
    ASSERT_EQ(r.GetIndexCache16()->Allocate(10000, &indices, &place), BW_OK);
    std::wstring runs, lines;
    for (int i = 0; i < 300; ++i)
        runs += L"AB";
    for (int i = 0; i < 1500; ++i)
        lines += L"\x0416\n";
    ASSERT_EQ(font->DrawText(graphics.get(), nullptr, runs, nullptr, nullptr), BW_OK);
    ASSERT_EQ(font->DrawText(graphics.get(), nullptr, lines, nullptr, nullptr), BW_OK);
    EXPECT_EQ(Triangles(Replay()), 2u * 2100);
}

TEST_F(TextDrawTest, AnUnloadedFontMeasuresButDrawsNothing)
{
    ASSERT_EQ(font->DoUnLoad(), BW_OK);
    float size[2] = {0, 0};
    EXPECT_EQ(font->DrawText(graphics.get(), nullptr, L"AB", nullptr, size), BW_FAIL);
    EXPECT_EQ(size[0], 18.0f);
    // Through the Graphics the same measure comes out with the failure.
    float width = 0, height = 0;
    auto draw = graphics->DrawString(L"AB");
    draw->mOutWidth = &width;
    draw->mOutHeight = &height;
    EXPECT_EQ(draw.DrawNow(), BW_FAIL);
    EXPECT_EQ(std::make_pair(width, height), std::make_pair(18.0f, 20.0f));
    EXPECT_EQ(QuadsWritten(), 0u);
    EXPECT_EQ(Triangles(Replay()), 0u);
}

// Right-aligned, every line's pen ends at the measured width, whatever the
// wrapping and kerning (including pairs after a space or a line break), and
// the draw writes one quad per drawn glyph, missing and replaced ones too.
TEST_F(TextDrawTest, ThePenEndsWhereTheMeasureSays)
{
    font->mChars.at(L'A').mKerning[L' '] = -3;
    font->mChars.at(L'A').mKerning[L'\n'] = 4;
    font->mChars.at(0x416).mKerning[L'B'] = 5;
    const wchar_t alphabet[] = L"AAB \x0416\n\t\x01";
    std::mt19937 random(11);
    for (int round = 0; round < 400; ++round)
    {
        std::wstring text;
        for (int i = static_cast<int>(random() % 16); i > 0; --i)
            text += alphabet[random() % (sizeof(alphabet) / sizeof(wchar_t) - 1)];
        render::TextFormat format;
        format.mAlign = render::TextAlignRight;
        format.mWrapWidth = static_cast<float>(random() % 60);
        format.mLetterSpacing = static_cast<float>(random() % 3);
        format.mReplacementChar = random() % 2 ? L'B' : 0;
        float size[2] = {0, 0};
        // A frame each, so that the quads start at the first place.
        ASSERT_EQ(r.EndScene(), BW_OK);
        ASSERT_EQ(r.ExecuteCommands(), BW_OK);
        ASSERT_EQ(r.BeginScene(), BW_OK);
        ASSERT_EQ(font->DrawText(graphics.get(), nullptr, text, &format, size), BW_OK);

        // The quads in text order; a line's last one ends it.
        std::map<float, float> lineEnds; // by the quads' top
        uint32_t quad = 0;
        for (wchar_t c : text)
        {
            const render::BMFont::Glyph* glyph = font->FindGlyph(c, font->FindReplacement(format));
            if (!glyph || c == L' ' || c == L'\n' || c == L'\t')
                continue;
            const render::SVertex2D* q = Quad(quad++);
            lineEnds[q[0].y] = q[0].x - glyph->mXOffset + glyph->mXAdvance + format.mLetterSpacing;
        }
        ASSERT_EQ(QuadsWritten(), quad) << "round " << round;
        for (const auto& line : lineEnds)
            ASSERT_FLOAT_EQ(line.second, size[0]) << "round " << round << " line at " << line.first;
    }
}

TEST_F(TextDrawTest, WithoutAFontOrOutsideAFrameTheDrawFails)
{
    graphics->mFont = nullptr;
    EXPECT_EQ(graphics->DrawString(L"A").DrawNow(), BW_FAIL);
    graphics->mFont = font.get();
    ASSERT_EQ(r.EndScene(), BW_OK); // the caches refuse
    EXPECT_EQ(graphics->DrawString(L"A").DrawNow(), BW_FAIL);
    ASSERT_EQ(r.BeginScene(), BW_OK);
}

} // namespace
