#include "Core/Base/MemoryStream.h"
#include "Core/Render/HitMask.h"
#include "Core/Render/ImageDataDevil.h"
#include "Core/Render/ImageFileCheck.h"
#include "Core/Render/ImageLoader.h"
#include "tests/Support/ImageFiles.h"

#include <IL/il.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace
{

using testing_support::MakePixels;
using testing_support::Pixels;

// A decoded image as the texture would receive it.
struct Decoded
{
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> argb;
    render::HitMask mask;

    uint32_t At(uint32_t x, uint32_t y) const { return argb[y * width + x]; }
};

bool Decode(const std::vector<uint8_t>& bytes, const wchar_t* extension, Decoded* out)
{
    base::MemoryStream stream(bytes.data(), static_cast<uint32_t>(bytes.size()));
    std::unique_ptr<render::ImageData> data(
        render::ImageLoader::Instance()->CreateImageData(&stream, extension, nullptr));
    if (!data)
        return false;
    EXPECT_NE(dynamic_cast<render::ImageDataDevil*>(data.get()), nullptr);
    out->width = static_cast<uint32_t>(data->GetWidth());
    out->height = static_cast<uint32_t>(data->GetHeight());
    out->argb.assign(static_cast<size_t>(out->width) * out->height, 0);
    out->mask.Resize(out->width, out->height);
    return data->Read(out->width * 4, 0, out->argb.data(), &out->mask, 0) == BW_OK;
}

void ExpectColourNear(uint32_t actual, uint32_t expected, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8)
    {
        const int a = (actual >> shift) & 0xFF;
        const int e = (expected >> shift) & 0xFF;
        EXPECT_LE(std::abs(a - e), tolerance) << std::hex << "0x" << actual << " vs 0x" << expected;
    }
}

struct SampleCase
{
    const char* file;
    const wchar_t* extension;
    uint32_t lowerRight; // the transparent quadrant, as the format keeps it
    int tolerance;
};

class DevilSample : public testing::TestWithParam<SampleCase>
{
};

TEST_P(DevilSample, DecodesTheQuadrantsTopRowFirst)
{
    const SampleCase& c = GetParam();
    const std::vector<uint8_t> bytes = testing_support::ReadFileBytes(testing_support::SampleImagePath(c.file));
    ASSERT_FALSE(bytes.empty()) << c.file;
    Decoded d;
    ASSERT_TRUE(Decode(bytes, c.extension, &d));
    ASSERT_EQ(d.width, 16u);
    ASSERT_EQ(d.height, 16u);
    ExpectColourNear(d.At(1, 1), 0xFFFF0000u, c.tolerance);
    ExpectColourNear(d.At(14, 1), 0xFF00FF00u, c.tolerance);
    ExpectColourNear(d.At(1, 14), 0xFF0000FFu, c.tolerance);
    ExpectColourNear(d.At(14, 14), c.lowerRight, c.tolerance);
    EXPECT_TRUE(d.mask.GetPixel(1, 1));
    EXPECT_EQ(d.mask.GetPixel(14, 14), (c.lowerRight >> 24) >= 50);
    EXPECT_EQ(render::ImageDataDevil::GetLiveImageCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, DevilSample,
                         testing::Values(SampleCase{"quadrants.png", L".png", 0x00FFFFFFu, 0},
                                         SampleCase{"quadrants.tga", L".tga", 0x00FFFFFFu, 0},
                                         SampleCase{"quadrants.gif", L".gif", 0x00000000u, 255},
                                         SampleCase{"quadrants.bmp", L".bmp", 0xFFFFFFFFu, 0},
                                         SampleCase{"quadrants.jpg", L".jpg", 0xFF000000u, 8}));

TEST(ImageDataDevil, AlphaFiftyIsOpaqueAndFortyNineIsNotAndRowsGoAtThePitch)
{
    const Pixels p = MakePixels(2, 2, [](uint32_t x, uint32_t y) { return (x == 0 ? 0x31FFFF00u : 0x32FFFF00u) | y; });
    const std::vector<uint8_t> bytes = testing_support::MakeTga(p, false);
    base::MemoryStream stream(bytes.data(), static_cast<uint32_t>(bytes.size()));
    std::unique_ptr<render::ImageData> data(render::ImageLoader::Instance()->CreateImageData(&stream, L".tga", nullptr));
    ASSERT_NE(data, nullptr);
    std::vector<uint32_t> out(8, 0xABABABABu);
    render::HitMask mask;
    mask.Resize(2, 2);
    ASSERT_EQ(data->Read(16, 0, out.data(), &mask, 0), BW_OK);
    EXPECT_EQ(out, (std::vector<uint32_t>{0x31FFFF00u, 0x32FFFF00u, 0xABABABABu, 0xABABABABu, 0x31FFFF01u, 0x32FFFF01u,
                                          0xABABABABu, 0xABABABABu}));
    EXPECT_FALSE(mask.GetPixel(0, 0));
    EXPECT_TRUE(mask.GetPixel(1, 0));
}

class DevilOrientation : public testing::TestWithParam<bool>
{
};

TEST_P(DevilOrientation, BottomUpFilesAreStoredTopDown)
{
    const bool bottomUp = GetParam();
    // Row 0 opaque red, row 2 transparent; the mask must follow the rows.
    const Pixels p = MakePixels(3, 3, [](uint32_t x, uint32_t y) -> uint32_t {
        if (y == 0)
            return 0xFFFF0000u;
        if (y == 2)
            return 0x000000FFu | (x << 8);
        return 0xFF00FF00u;
    });
    Decoded tga;
    ASSERT_TRUE(Decode(testing_support::MakeTga(p, bottomUp), L".tga", &tga));
    EXPECT_EQ(tga.At(0, 0), 0xFFFF0000u);
    EXPECT_EQ(tga.At(2, 2), 0x000002FFu);
    EXPECT_TRUE(tga.mask.GetPixel(1, 0));
    EXPECT_FALSE(tga.mask.GetPixel(1, 2));

    Decoded bmp;
    ASSERT_TRUE(Decode(testing_support::MakeBmp(p, bottomUp), L".bmp", &bmp));
    EXPECT_EQ(bmp.At(0, 0), 0xFFFF0000u);
    EXPECT_EQ(bmp.At(1, 1), 0xFF00FF00u);
    EXPECT_EQ(bmp.At(2, 2), 0xFF0002FFu); // no alpha in a 24-bit BMP
}

INSTANTIATE_TEST_SUITE_P(BothOrders, DevilOrientation, testing::Values(true, false));

TEST(ImageDataDevil, EveryPathGivesTheLibraryImageBack)
{
    const std::vector<uint8_t> good = testing_support::ReadFileBytes(testing_support::SampleImagePath("quadrants.png"));
    {
        // Opened, never read.
        base::MemoryStream stream(good.data(), static_cast<uint32_t>(good.size()));
        std::unique_ptr<render::ImageData> data(
            render::ImageLoader::Instance()->CreateImageData(&stream, L".png", nullptr));
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(render::ImageDataDevil::GetLiveImageCount(), 1);
        // A held image keeps the library up through another image's read,
        // and an error left in the library does not fail that image.
        const uint8_t junk[8] = {0};
        ilLoadL(IL_PNG, junk, sizeof(junk));
        Decoded d;
        EXPECT_TRUE(Decode(good, L".png", &d));
        std::vector<uint32_t> out(16 * 16);
        EXPECT_EQ(data->Read(64, 0, out.data(), nullptr, 0), BW_OK);
        EXPECT_EQ(out[17], 0xFFFF0000u);
    }
    EXPECT_EQ(render::ImageDataDevil::GetLiveImageCount(), 0);

    // Truncated: the decoder fails.
    std::vector<uint8_t> cut(good.begin(), good.begin() + 30);
    Decoded d;
    EXPECT_FALSE(Decode(cut, L".png", &d));
    EXPECT_EQ(render::ImageDataDevil::GetLiveImageCount(), 0);

    // An empty stream.
    EXPECT_FALSE(Decode({}, L".png", &d));
    EXPECT_EQ(render::ImageDataDevil::GetLiveImageCount(), 0);
}

// A sample file with some bytes changed.
struct Damage
{
    const char* name;
    const char* file;
    const wchar_t* extension;
    size_t at;
    std::vector<uint8_t> bytes; // written at `at`; empty: the file is cut at `at`
};

class DevilRefusesDamagedFiles : public testing::TestWithParam<Damage>
{
};

TEST_P(DevilRefusesDamagedFiles, BeforeTheLibrarySeesThem)
{
    const Damage& d = GetParam();
    std::vector<uint8_t> bytes = testing_support::ReadFileBytes(testing_support::SampleImagePath(d.file));
    ASSERT_GT(bytes.size(), d.at);
    Decoded good;
    ASSERT_TRUE(Decode(bytes, d.extension, &good)) << "the undamaged file loads";
    if (d.bytes.empty())
        bytes.resize(d.at);
    else
        std::copy(d.bytes.begin(), d.bytes.end(), bytes.begin() + static_cast<long>(d.at));
    Decoded bad;
    EXPECT_FALSE(Decode(bytes, d.extension, &bad));
    EXPECT_EQ(render::ImageDataDevil::GetLiveImageCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Damages, DevilRefusesDamagedFiles,
    testing::Values(Damage{"PngTooWide", "quadrants.png", L".png", 16, {0x00, 0x00, 0x20, 0x01}},
                    Damage{"PngChunkPastTheEnd", "quadrants.png", L".png", 33, {0x7F, 0xFF, 0xFF, 0xFF}},
                    Damage{"PngCut", "quadrants.png", L".png", 100, {}},
                    Damage{"GifTooTall", "quadrants.gif", L".gif", 8, {0x01, 0x20}},
                    Damage{"GifCut", "quadrants.gif", L".gif", 40, {}},
                    Damage{"BmpPixelsBeyondTheFile", "quadrants.bmp", L".bmp", 10, {0x00, 0x00, 0xFF, 0x00}},
                    Damage{"BmpRowsMissing", "quadrants.bmp", L".bmp", 500, {}},
                    Damage{"BmpZeroWidth", "quadrants.bmp", L".bmp", 18, {0, 0, 0, 0}},
                    Damage{"TgaTooWide", "quadrants.tga", L".tga", 12, {0x01, 0x40}},
                    Damage{"TgaCut", "quadrants.tga", L".tga", 600, {}},
                    Damage{"TgaUnknownType", "quadrants.tga", L".tga", 2, {7}},
                    Damage{"JpgTooTall", "quadrants.jpg", L".jpg", 163, {0x20, 0x01}},
                    Damage{"JpgSegmentPastTheEnd", "quadrants.jpg", L".jpg", 160, {0xFF, 0xFF}},
                    Damage{"JpgCutBeforeTheScan", "quadrants.jpg", L".jpg", 200, {}},
                    Damage{"JpgCutInTheScan", "quadrants.jpg", L".jpg", 300, {}},
                    // A segment after the scan that claims more than is left
                    // once made DevIL loop for ever looking for the end.
                    Damage{"JpgSegmentAfterTheScanPastTheEnd", "quadrants.jpg", L".jpg", 301, {0xFF, 0xEB, 0xFF, 0xD9}},
                    Damage{"JpgNoStartMarker", "quadrants.jpg", L".jpg", 0, {0x00}}),
    [](const testing::TestParamInfo<Damage>& info) { return std::string(info.param.name); });

TEST(ImageDataDevil, FramesOutsideTheGifCanvasAreRefused)
{
    // 2x2 canvas, one 2x2 frame placed one row down: it would be drawn
    // past the canvas.
    std::vector<uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0x80, 0, 0,
                                0, 0, 0, 255, 255, 255, // two-entry colour table
                                0x2C, 0, 0, 1, 0, 2, 0, 2, 0, 0, // frame at (0, 1), 2x2
                                2, 2, 0x44, 0x01, 0, 0x3B};
    Decoded d;
    EXPECT_FALSE(Decode(gif, L".gif", &d));
    gif[22] = 0; // back inside
    EXPECT_TRUE(Decode(gif, L".gif", &d));
}

TEST(ImageDataDevil, IndicesBeyondThePaletteAreRefused)
{
    // An 8-bit BMP with a two-colour palette whose pixels use index 5.
    std::vector<uint8_t> bmp = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0, // file header
                                40, 0, 0, 0, 4, 0, 0, 0, 1, 0, 0, 0, 1, 0, 8, 0, // 4x1, 8 bits
                                0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                2, 0, 0, 0, 0, 0, 0, 0, // two colours used
                                0, 0, 0, 0, 255, 255, 255, 0, // palette
                                1, 0, 1, 5};
    Decoded d;
    EXPECT_FALSE(Decode(bmp, L".bmp", &d));
    bmp.back() = 1;
    ASSERT_TRUE(Decode(bmp, L".bmp", &d));
    EXPECT_EQ(d.At(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(d.At(1, 0), 0xFF000000u);
}

TEST(ImageFileCheck, BytesAfterTheMarkedEndAreNotHandedOn)
{
    struct
    {
        const char* file;
        render::ImageFileKind kind;
        const wchar_t* extension;
        size_t trailer; // bytes of the file after its marked end
    } cases[] = {{"quadrants.gif", render::ImageFileKind::Gif, L".gif", 1},
                 {"quadrants.png", render::ImageFileKind::Png, L".png", 0}};
    for (const auto& c : cases)
    {
        std::vector<uint8_t> bytes = testing_support::ReadFileBytes(testing_support::SampleImagePath(c.file));
        const size_t size = bytes.size() - c.trailer;
        EXPECT_EQ(render::ImageFileCheck::SoundLength(c.kind, bytes.data(), bytes.size()), size) << c.file;
        // Another image's start after the end: DevIL would read on into it.
        const std::vector<uint8_t> junk = {'G', 'I', 'F', '8', '9', 'a', 0x2C, 0xFF, 0x00, 0xFF};
        bytes.insert(bytes.end(), junk.begin(), junk.end());
        EXPECT_EQ(render::ImageFileCheck::SoundLength(c.kind, bytes.data(), bytes.size()), size) << c.file;
        Decoded d;
        ASSERT_TRUE(Decode(bytes, c.extension, &d)) << c.file;
        EXPECT_EQ(d.At(1, 1), 0xFFFF0000u);
    }
}

} // namespace
