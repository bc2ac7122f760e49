// Text drawn through render::Graphics onto the layer's OpenGL back end and
// read back: glyph cells land on whole pixels, lines step down, and one of
// the game's fonts puts its ink inside the measured rectangle.

#include "tests/Core/Render/DX9/RenderDX9Fixture.h"

#include "Core/Render/BMFont.h"
#include "Core/Render/Graphics.h"
#include "tests/Support/ImageFiles.h"
#include "tests/Support/TempFolder.h"

#include <cstdlib>
#include <memory>

namespace
{

using bwtest::MakeInitParam;

constexpr int kWidth = 96;
constexpr int kHeight = 64;
const uint32_t kWhite = 0xFFFFFFFFu, kGreen = 0xFF00FF00u, kBlack = 0xFF000000u, kRed = 0xFFFF0000u;

// 'A' is a white 8x8 cell and 'B' a green one, each advancing 10.
const char* kCellFont = R"(<font>
  <info face="Cells" size="8" charset="" stretchH="100" padding="0,0,0,0" spacing="0,0"/>
  <common lineHeight="8" base="6" scaleW="16" scaleH="8" pages="1"/>
  <pages><page id="0" file="cells.tga"/></pages>
  <chars>
    <char id="32" x="0" y="0" width="0" height="0" xoffset="0" yoffset="0" xadvance="4"/>
    <char id="65" x="0" y="0" width="8" height="8" xoffset="0" yoffset="0" xadvance="10"/>
    <char id="66" x="8" y="0" width="8" height="8" xoffset="0" yoffset="0" xadvance="10"/>
  </chars>
</font>)";

class TextPixelTest : public bwtest::RenderDX9Test
{
protected:
    void SetUp() override
    {
        bwtest::RenderDX9Test::SetUp();
        window = std::make_unique<bwtest::SdlTestWindow>(kWidth, kHeight);
        if (!window->IsOpen())
            GTEST_SKIP() << "no OpenGL window here";
        d3d9::test::SetBackend(d3d9::test::Backend::OpenGL);
        r->SetWindowHandle(window->Handle());
        ASSERT_EQ(Init(MakeInitParam(kWidth, kHeight, true)), BW_OK);
        ASSERT_TRUE(r->CanRender());
        ASSERT_EQ(r->BeginScene(), BW_OK);
        graphics = std::make_unique<render::Graphics>(r.get());
        const float black[4] = {0, 0, 0, 1};
        ASSERT_EQ(graphics->Clear(render::ClearColor, black, 1.0f, 0), BW_OK);
    }

    void TearDown() override
    {
        graphics.reset();
        if (font && font->IsLoaded())
            font->UnLoad();
        font.reset();
        r.reset();
        window.reset();
        bwtest::RenderDX9Test::TearDown();
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

    void Finish()
    {
        graphics->Flush();
        ASSERT_EQ(r->EndScene(), BW_OK);
        ASSERT_EQ(r->ExecuteCommands(), BW_OK);
        UINT width = 0, height = 0;
        ASSERT_TRUE(d3d9::test::ReadRenderTarget(r->GetDevice(), nullptr, &pixels, &width, &height));
        ASSERT_EQ(width, static_cast<UINT>(kWidth));
        ASSERT_EQ(height, static_cast<UINT>(kHeight));
    }

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * kWidth + x]; }

    void ExpectAt(int x, int y, uint32_t expected)
    {
        const uint32_t actual = At(x, y);
        for (int shift = 0; shift < 32; shift += 8)
        {
            const int a = (actual >> shift) & 0xFF, e = (expected >> shift) & 0xFF;
            EXPECT_LE(std::abs(a - e), 2) << std::hex << "at " << std::dec << x << "," << y << std::hex << ": 0x"
                                          << actual << " expected 0x" << expected;
        }
    }

    testing_support::TempFolder folder;
    std::unique_ptr<bwtest::SdlTestWindow> window;
    std::unique_ptr<render::Graphics> graphics;
    std::unique_ptr<render::BMFont> font;
    std::vector<D3DCOLOR> pixels;
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
    ExpectAt(10, 10, kWhite);
    ExpectAt(17, 17, kWhite);
    ExpectAt(9, 10, kBlack);
    ExpectAt(10, 9, kBlack);
    ExpectAt(18, 10, kBlack);
    ExpectAt(23, 10, kBlack);
    ExpectAt(24, 10, kGreen);
    ExpectAt(31, 17, kGreen);
    ExpectAt(32, 17, kBlack);
    ExpectAt(10, 18, kBlack);
    ExpectAt(10, 20, kGreen);
    ExpectAt(17, 27, kGreen);
    ExpectAt(10, 28, kBlack);
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
    // 20 wide and 8 high, centred: 'A' at x 38..45, 'B' at 48..55, y 28..35.
    ExpectAt(38, 28, kRed);
    ExpectAt(45, 35, kRed);
    ExpectAt(37, 28, kBlack);
    ExpectAt(46, 28, kBlack);
    ExpectAt(50, 30, kBlack); // green times red
    ExpectAt(38, 36, kBlack);
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
