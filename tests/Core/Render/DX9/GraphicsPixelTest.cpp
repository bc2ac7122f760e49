// Images, rectangles and lines drawn through render::Graphics onto the
// layer's OpenGL back end and read back.

#include "tests/Core/Render/DX9/RenderDX9Fixture.h"

#include "Core/Render/Image.h"
#include "Core/Render/ImageRect.h"
#include "Core/Render/Texture.h"

#include <memory>

namespace
{

const float kPi = 3.14159265358979f;

const uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kWhite = 0xFFFFFFFFu;
const uint32_t kBlack = 0xFF000000u;

class GraphicsPixelTest : public bwtest::GraphicsPixelFixture
{
protected:
    void SetUp() override
    {
        bwtest::GraphicsPixelFixture::SetUp();
        if (!IsSkipped() && !HasFatalFailure())
            quadrants = MakeQuadrants();
    }
    void TearDown() override
    {
        quadrants.reset();
        bwtest::GraphicsPixelFixture::TearDown();
    }

    std::unique_ptr<render::ImageRect> quadrants;
};

TEST_F(GraphicsPixelTest, ImageLandsOnWholePixelsByItsAnchor)
{
    const float topLeft[2] = {10, 10};
    graphics->DrawImage(quadrants.get()).Translate(topLeft);
    auto centred = graphics->DrawImage(quadrants.get());
    centred->mHAnchor = render::AnchorHCenter;
    centred->mVAnchor = render::AnchorVCenter;
    const float centre[2] = {40, 24};
    centred.Translate(centre);
    auto bottomRight = graphics->DrawImage(quadrants.get());
    bottomRight->mHAnchor = render::AnchorRight;
    bottomRight->mVAnchor = render::AnchorBottom;
    bottomRight->mFlipX = 1;
    const float corner[2] = {64, 48};
    bottomRight.Translate(corner);
    Finish();

    ExpectPixels({{10, 10, kRed}, {13, 13, kRed}, {17, 10, kGreen}, {10, 17, kBlue}, {17, 17, kWhite},
                  {9, 10, kBlack}, {10, 9, kBlack}, {18, 17, kBlack}, {17, 18, kBlack}});
    ExpectPixels({{36, 20, kRed}, {43, 27, kWhite}, {35, 20, kBlack}, {44, 27, kBlack}});
    // Flipped left to right in the bottom-right corner.
    ExpectPixels({{56, 40, kGreen}, {63, 40, kRed}, {63, 47, kBlue}, {55, 47, kBlack}});
}

TEST_F(GraphicsPixelTest, ScaledAndRotatedImageTurnsAboutItsAnchor)
{
    auto draw = graphics->DrawImage(quadrants.get());
    draw->mHAnchor = render::AnchorHCenter;
    draw->mVAnchor = render::AnchorVCenter;
    const float twice[2] = {2, 2};
    auto turned = draw.Scale(twice);
    turned.GetTransform().Rotate(kPi / 2);
    turned.GetTransform().Translate(32, 24);
    turned.DrawNow();
    Finish();
    // A quarter turn with rows (cos, sin), (-sin, cos): (x, y) -> (y, -x).
    // Top-left red goes to the bottom left, top-right green to the top left.
    // The untransformed draw at the origin never happens.
    ExpectPixels({{28, 28, kRed}, {28, 20, kGreen}, {36, 28, kBlue}, {36, 20, kWhite}, {17, 24, kBlack},
                  {46, 24, kBlack}, {32, 7, kBlack}, {1, 1, kBlack}});
}

TEST_F(GraphicsPixelTest, RectanglesAndLinesInTheCurrentColour)
{
    const float green[4] = {0, 1, 0, 1};
    graphics->SetColor(green);
    const float rect[4] = {5, 5, 10, 6};
    graphics->DrawRect(rect);
    const float red[4] = {1, 0, 0, 1};
    graphics->SetColor(red);
    // Through pixel centres, so that the row is not left to the
    // rasteriser's tie rule.
    const float p0[3] = {0, 40.5f, 0}, p1[3] = {64, 40.5f, 0};
    graphics->DrawLine(p0, p1);
    Finish();
    ExpectPixels({{5, 5, kGreen}, {14, 10, kGreen}, {4, 5, kBlack}, {15, 5, kBlack}, {5, 11, kBlack}, {5, 4, kBlack}});
    ExpectPixels({{10, 40, kRed}, {50, 40, kRed}, {10, 39, kBlack}, {10, 41, kBlack}});
}

TEST_F(GraphicsPixelTest, RenderTargetImageDrawnBack)
{
    render::Image* image = nullptr;
    ASSERT_EQ(r->CreateRenderTargetImage(16, 16, &image, true), BW_OK);
    std::unique_ptr<render::Image> target(image);
    {
        render::Graphics offScreen(target.get());
        EXPECT_EQ(offScreen.mOwnsFrame, 0);
        const float blue[4] = {0, 0, 1, 1};
        ASSERT_EQ(offScreen.Clear(render::ClearColor, blue, 1.0f, 0), BW_OK);
        const float red[4] = {1, 0, 0, 1};
        offScreen.SetColor(red);
        const float corner[4] = {0, 0, 8, 4};
        offScreen.DrawRect(corner);
        offScreen.Flush();
    }
    // Back on the back buffer.
    const float black[4] = {0, 0, 0, 1};
    ASSERT_EQ(graphics->Clear(render::ClearColor, black, 1.0f, 0), BW_OK);
    const float at[2] = {20, 10};
    graphics->DrawImage(target.get()).Translate(at);
    Finish();
    ExpectPixels({{20, 10, kRed}, {27, 13, kRed}, {28, 10, kBlue}, {20, 14, kBlue}, {35, 25, kBlue}, {19, 10, kBlack},
                  {36, 25, kBlack}, {20, 26, kBlack}});
}

} // namespace
