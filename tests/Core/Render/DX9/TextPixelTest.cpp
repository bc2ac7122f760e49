// Text drawn through render::Graphics onto the layer's OpenGL back end and
// read back: glyph cells land on whole pixels, lines step down, and one of
// the game's fonts puts its ink inside the measured rectangle.

#include "tests/Core/Render/DX9/RenderDX9Fixture.h"

#include "Core/Render/BMFont.h"
#include "tests/Support/ImageFiles.h"
#include "tests/Support/TempFolder.h"

#include <algorithm>
#include <memory>

namespace
{

constexpr int kWidth = 96;
constexpr int kHeight = 64;
const uint32_t kWhite = 0xFFFFFFFFu, kGreen = 0xFF00FF00u, kBlack = 0xFF000000u, kRed = 0xFFFF0000u;

// 'A' is a white 8x8 cell and 'B' a green one, each advancing 10; 'A'
// after 'B' is kerned 3 to the left.
const char* kCellFont = R"(<font>
  <info face="Cells" size="8" charset="" stretchH="100" padding="0,0,0,0" spacing="0,0"/>
  <common lineHeight="8" base="6" scaleW="16" scaleH="8" pages="1"/>
  <pages><page id="0" file="cells.tga"/></pages>
  <chars>
    <char id="32" x="0" y="0" width="0" height="0" xoffset="0" yoffset="0" xadvance="4"/>
    <char id="65" x="0" y="0" width="8" height="8" xoffset="0" yoffset="0" xadvance="10"/>
    <char id="66" x="8" y="0" width="8" height="8" xoffset="0" yoffset="0" xadvance="10"/>
  </chars>
  <kernings><kerning first="66" second="65" amount="-3"/></kernings>
</font>)";

class TextPixelTest : public bwtest::GraphicsPixelFixture
{
protected:
    TextPixelTest() : bwtest::GraphicsPixelFixture(kWidth, kHeight) {}

    void TearDown() override
    {
        if (font && font->IsLoaded())
            font->UnLoad();
        font.reset();
        bwtest::GraphicsPixelFixture::TearDown();
    }

    void LoadFont(const std::wstring& name)
    {
        font = std::make_unique<render::BMFont>();
        font->SetName(name);
        font->mRender = r.get();
        ASSERT_EQ(font->Load(), BW_OK);
        graphics->mFont = font.get();
    }

    void LoadCellFont()
    {
        const testing_support::Pixels cells =
            testing_support::MakePixels(16, 8, [](uint32_t x, uint32_t) { return x < 8 ? kWhite : kGreen; });
        const std::vector<uint8_t> tga = testing_support::MakeTga(cells, false);
        folder.Write("cells.tga", std::string(tga.begin(), tga.end()));
        folder.Write("cells.fnt", kCellFont);
        LoadFont(folder.WidePath() + L"cells");
    }

    testing_support::TempFolder folder;
    std::unique_ptr<render::BMFont> font;
};

TEST_F(TextPixelTest, GlyphCellsLandOnWholePixels)
{
    LoadCellFont();
    render::TextFormat format;
    format.mLineSpacing = 2;
    const float at[2] = {10, 10};
    auto draw = graphics->DrawString(L"A B\nB");
    draw->mFormat = format;
    draw.Translate(at);
    Finish();

    // "A" at x 10..17, the space 4 wide, "B" at 24..31; the next line 10 lower.
    ExpectPixels({{10, 10, kWhite}, {17, 17, kWhite}, {9, 10, kBlack}, {10, 9, kBlack}, {18, 10, kBlack},
                  {23, 10, kBlack}, {24, 10, kGreen}, {31, 17, kGreen}, {32, 17, kBlack}, {10, 18, kBlack},
                  {10, 20, kGreen}, {17, 27, kGreen}, {10, 28, kBlack}});
}

TEST_F(TextPixelTest, TheGraphicsColourTintsTheGlyphs)
{
    LoadCellFont();
    const float red[4] = {1, 0, 0, 1};
    graphics->SetColor(red);
    auto draw = graphics->DrawString(L"AB");
    draw->mAlignX = 2;
    draw->mAlignY = 2;
    const float centre[2] = {48, 32};
    draw.Translate(centre);
    Finish();
    // 20 wide and 8 high, centred: 'A' at x 38..45, 'B' (green times red:
    // black) at 48..55, y 28..35.
    ExpectPixels({{38, 28, kRed}, {45, 35, kRed}, {37, 28, kBlack}, {46, 28, kBlack}, {50, 30, kBlack},
                  {38, 36, kBlack}});
}

TEST_F(TextPixelTest, KernedTextInksExactlyItsMeasuredWidth)
{
    LoadCellFont();
    float width = 0;
    auto draw = graphics->DrawString(L"ABAB\nBA");
    draw->mFormat.mAlign = render::TextAlignRight;
    draw->mAlignX = 1;
    draw->mOutWidth = &width;
    const float at[2] = {90, 10};
    draw.Translate(at).DrawNow();
    Finish();
    // "ABAB": A 0, B 10, A 17, B 27, 37 wide; "BA" 17 wide. The last cell
    // leaves 2 of its advance.
    ASSERT_EQ(width, 37.0f);
    for (int y : {10, 20})
    {
        SCOPED_TRACE(testing::Message() << "row " << y);
        int left = kWidth, right = -1;
        for (int x = 0; x < kWidth; ++x)
            if ((At(x, y) & 0x00FFFFFFu) != 0)
            {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        EXPECT_EQ(right, 90 - 3);
        EXPECT_EQ(left, y == 10 ? 90 - 37 : 90 - 17);
    }
}

TEST_F(TextPixelTest, AGameFontInksInsideItsMeasuredRectangle)
{
    LoadFont(testing_support::Widen(std::string(BW_SOURCE_DIR) + "/data/font/24"));
    font->mAdjust = -2;
    float width = 0, height = 0;
    auto draw = graphics->DrawString(L"Жак 42!");
    draw->mOutWidth = &width;
    draw->mOutHeight = &height;
    const float at[2] = {8, 16};
    draw.Translate(at).DrawNow();
    Finish();
    ASSERT_GT(width, 40.0f);
    ASSERT_EQ(height, 24.0f);

    int inside = 0, outside = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
        {
            const bool lit = (At(x, y) & 0x00FFFFFFu) != 0;
            const bool within = x >= 8 && x < 8 + width + 1 && y >= 16 - 2 && y < 16 + height;
            (within ? inside : outside) += lit ? 1 : 0;
        }
    EXPECT_GT(inside, 100);
    EXPECT_EQ(outside, 0);
}

} // namespace
