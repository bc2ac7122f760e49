// Images, rectangles and lines drawn through render::Graphics onto the
// layer's OpenGL back end and read back.

#include "tests/Core/Render/DX9/RenderDX9Fixture.h"

#include "Core/Base/MemoryStream.h"
#include "Core/Render/DX9/TextureDX9.h"
#include "Core/Render/Graphics.h"
#include "Core/Render/Image.h"
#include "Core/Render/ImageData.h"
#include "Core/Render/ImageLoader.h"
#include "Core/Render/ImageRect.h"
#include "tests/Support/ImageFiles.h"

#include <memory>

namespace
{

const float kPi = 3.14159265358979f;

const uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kWhite = 0xFFFFFFFFu;
const uint32_t kBlack = 0xFF000000u;

class GraphicsPixelTest : public bwtest::RenderDX9PixelTest
{
protected:
    void SetUp() override
    {
        bwtest::RenderDX9PixelTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(r->CanRender());
        ASSERT_EQ(r->BeginScene(), BW_OK);
        graphics = std::make_unique<render::Graphics>(r.get());
        const float black[4] = {0, 0, 0, 1};
        ASSERT_EQ(graphics->Clear(render::ClearColor, black, 1.0f, 0), BW_OK);
        quadrants = MakeImage(testing_support::MakePixels(8, 8, [](uint32_t x, uint32_t y) {
            return y < 4 ? (x < 4 ? kRed : kGreen) : (x < 4 ? kBlue : kWhite);
        }));
    }

    void TearDown() override
    {
        graphics.reset();
        images.clear();
        bwtest::RenderDX9PixelTest::TearDown();
    }

    // An image over a texture of its own, loaded from the pixels.
    render::ImageRect* MakeImage(const testing_support::Pixels& pixels)
    {
        const std::vector<uint8_t> tga = testing_support::MakeTga(pixels, false);
        base::MemoryStream stream(tga.data(), static_cast<uint32_t>(tga.size()));
        std::unique_ptr<render::ImageData> data(
            render::ImageLoader::Instance()->CreateImageData(&stream, L".tga", nullptr));
        render::Texture* texture = nullptr;
        EXPECT_NE(data, nullptr);
        EXPECT_EQ(r->CreateTexture(&texture), BW_OK);
        EXPECT_EQ(texture->Load(data.get()), BW_OK);
        images.push_back(std::make_unique<render::ImageRect>());
        render::ImageRect* image = images.back().get();
        image->mTexture = texture;
        image->mWidth = static_cast<int32_t>(pixels.width);
        image->mHeight = static_cast<int32_t>(pixels.height);
        return image;
    }

    void Finish()
    {
        graphics->Flush();
        ReadBack();
    }

    std::unique_ptr<render::Graphics> graphics;
    std::vector<std::unique_ptr<render::ImageRect>> images;
    render::ImageRect* quadrants = nullptr;
};

TEST_F(GraphicsPixelTest, ImageLandsOnWholePixelsByItsAnchor)
{
    const float topLeft[2] = {10, 10};
    graphics->DrawImage(quadrants).Translate(topLeft);
    auto centred = graphics->DrawImage(quadrants);
    centred->mHAnchor = render::AnchorHCenter;
    centred->mVAnchor = render::AnchorVCenter;
    const float centre[2] = {40, 24};
    centred.Translate(centre);
    auto bottomRight = graphics->DrawImage(quadrants);
    bottomRight->mHAnchor = render::AnchorRight;
    bottomRight->mVAnchor = render::AnchorBottom;
    bottomRight->mFlipX = 1;
    const float corner[2] = {64, 48};
    bottomRight.Translate(corner);
    Finish();

    ExpectAt(10, 10, kRed);
    ExpectAt(13, 13, kRed);
    ExpectAt(17, 10, kGreen);
    ExpectAt(10, 17, kBlue);
    ExpectAt(17, 17, kWhite);
    ExpectAt(9, 10, kBlack);
    ExpectAt(10, 9, kBlack);
    ExpectAt(18, 17, kBlack);
    ExpectAt(17, 18, kBlack);

    ExpectAt(36, 20, kRed);
    ExpectAt(43, 27, kWhite);
    ExpectAt(35, 20, kBlack);
    ExpectAt(44, 27, kBlack);

    // Flipped left to right in the bottom-right corner.
    ExpectAt(56, 40, kGreen);
    ExpectAt(63, 40, kRed);
    ExpectAt(63, 47, kBlue);
    ExpectAt(55, 47, kBlack);
}

TEST_F(GraphicsPixelTest, ScaledAndRotatedImageTurnsAboutItsAnchor)
{
    auto draw = graphics->DrawImage(quadrants);
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
    ExpectAt(28, 28, kRed);
    ExpectAt(28, 20, kGreen);
    ExpectAt(36, 28, kBlue);
    ExpectAt(36, 20, kWhite);
    ExpectAt(17, 24, kBlack);
    ExpectAt(46, 24, kBlack);
    ExpectAt(32, 7, kBlack);
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
    ExpectAt(5, 5, kGreen);
    ExpectAt(14, 10, kGreen);
    ExpectAt(4, 5, kBlack);
    ExpectAt(15, 5, kBlack);
    ExpectAt(5, 11, kBlack);
    ExpectAt(5, 4, kBlack);
    ExpectAt(10, 40, kRed);
    ExpectAt(50, 40, kRed);
    ExpectAt(10, 39, kBlack);
    ExpectAt(10, 41, kBlack);
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
    ExpectAt(20, 10, kRed);
    ExpectAt(27, 13, kRed);
    ExpectAt(28, 10, kBlue);
    ExpectAt(20, 14, kBlue);
    ExpectAt(35, 25, kBlue);
    ExpectAt(19, 10, kBlack);
    ExpectAt(36, 25, kBlack);
    ExpectAt(20, 26, kBlack);
}

} // namespace
