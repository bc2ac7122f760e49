#include "Core/Base/MemoryStream.h"
#include "Core/Render/HitMask.h"
#include "Core/Render/ImageDataDevil.h"
#include "Core/Render/ImageLoader.h"
#include "tests/Support/ImageFiles.h"
#include "tests/Support/LogCapture.h"

#include <IL/il.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

// Files in the forms that tools write (scripts/make-image-fixtures.py), each
// holding one 7x5 picture, decoded through the loader as a texture takes them.
namespace
{

const uint32_t kWidth = 7;
const uint32_t kHeight = 5;

// The picture, as ARGB; the 2x2 block at the lower right is transparent in
// the forms that keep alpha.
uint32_t Picture(uint32_t x, uint32_t y)
{
    static const uint32_t kColours[7] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x848484, 0xFF8400};
    const uint32_t alpha = (x >= 5 && y >= 3) ? 0x00 : 0xFF;
    return alpha << 24 | kColours[(x + y) % 7];
}

std::string FixturePath(const std::string& name)
{
    return std::string(BW_SOURCE_DIR) + "/tests/Core/Render/fixtures/" + name;
}

std::wstring ExtensionOf(const std::string& name)
{
    return L"." + std::wstring(name.end() - 3, name.end());
}

// The file decoded with the library's new blocks and the destination first
// filled with `fill`: pixels the file does not give would show it.
bool Decode(const std::vector<uint8_t>& bytes, const std::wstring& extension, int fill, std::vector<uint32_t>* argb)
{
    render::ImageDataDevil::FillLibraryBlocks(fill);
    base::MemoryStream stream(bytes.data(), static_cast<uint32_t>(bytes.size()));
    std::unique_ptr<render::ImageData> data(
        render::ImageLoader::Instance()->CreateImageData(&stream, extension.c_str(), nullptr));
    render::ImageDataDevil::FillLibraryBlocks(-1);
    if (!data || data->GetWidth() != static_cast<int32_t>(kWidth) || data->GetHeight() != static_cast<int32_t>(kHeight))
        return false;
    argb->assign(kWidth * kHeight, fill * 0x01010101u);
    render::HitMask mask;
    mask.Resize(kWidth, kHeight);
    return data->Read(kWidth * 4, 0, argb->data(), &mask, 0) == BW_OK;
}

// Decoded twice over different memory contents; both must agree.
std::vector<uint32_t> DecodeTwice(const std::string& file)
{
    const std::vector<uint8_t> bytes = testing_support::ReadFileBytes(FixturePath(file));
    EXPECT_FALSE(bytes.empty()) << file;
    std::vector<uint32_t> zeros, ones;
    EXPECT_TRUE(Decode(bytes, ExtensionOf(file), 0x00, &zeros)) << file;
    EXPECT_TRUE(Decode(bytes, ExtensionOf(file), 0xFF, &ones)) << file;
    EXPECT_EQ(zeros, ones) << file << ": pixels from memory the file did not write";
    EXPECT_EQ(render::ImageDataDevil::GetLiveImageCount(), 0);
    return zeros;
}

enum class Alpha
{
    Kept,   // as the picture has it
    Opaque, // the form keeps none
    Grey,   // grey (the green channel) and alpha
};

struct FixtureCase
{
    const char* file;
    int tolerance; // per channel: narrow channels cannot hold every value
    Alpha alpha;
};

void PrintTo(const FixtureCase& c, std::ostream* os)
{
    *os << c.file;
}

class ImageFixture : public testing::TestWithParam<FixtureCase>
{
};

TEST_P(ImageFixture, DecodesThePictureAndNothingElse)
{
    const FixtureCase& c = GetParam();
    const std::vector<uint32_t> argb = DecodeTwice(c.file);
    ASSERT_EQ(argb.size(), kWidth * kHeight);
    for (uint32_t y = 0; y < kHeight; ++y)
    {
        for (uint32_t x = 0; x < kWidth; ++x)
        {
            uint32_t expected = Picture(x, y);
            if (c.alpha == Alpha::Opaque)
                expected |= 0xFF000000u;
            if (c.alpha == Alpha::Grey)
                expected = (expected & 0xFF000000u) | ((expected >> 8) & 0xFF) * 0x010101u;
            const uint32_t actual = argb[y * kWidth + x];
            // Transparent pixels keep no colour in some forms.
            const int channels = (expected >> 24) == 0 ? 1 : 4;
            for (int i = 0; i < channels; ++i)
            {
                const int shift = 24 - 8 * i;
                const int a = (actual >> shift) & 0xFF, e = (expected >> shift) & 0xFF;
                EXPECT_LE(std::abs(a - e), c.tolerance)
                    << std::hex << "(" << x << ", " << y << ") 0x" << actual << " vs 0x" << expected;
            }
        }
    }
}

// 5- and 6-bit channels come within 4 of the 8-bit value (ImageMagick's
// 4-bit ones within 16); white stays 255 in every form.
INSTANTIATE_TEST_SUITE_P(
    Forms, ImageFixture,
    testing::Values(FixtureCase{"bmp_v5_argb32.bmp", 0, Alpha::Kept}, FixtureCase{"bmp_v4_argb32.bmp", 0, Alpha::Kept},
                    FixtureCase{"bmp_v5_rgb24.bmp", 0, Alpha::Opaque},
                    FixtureCase{"bmp_v5_rgb565.bmp", 4, Alpha::Opaque},
                    FixtureCase{"bmp_v5_argb1555.bmp", 4, Alpha::Kept},
                    FixtureCase{"bmp_v5_argb4444.bmp", 16, Alpha::Kept},
                    FixtureCase{"bmp_v3_rgb555.bmp", 4, Alpha::Opaque},
                    FixtureCase{"bmp_v3_rgb555_nomasks.bmp", 4, Alpha::Opaque},
                    FixtureCase{"bmp_v3_rgb565_palette.bmp", 4, Alpha::Opaque},
                    FixtureCase{"bmp_v3_rle8.bmp", 0, Alpha::Opaque}, FixtureCase{"bmp_v3_rle4.bmp", 0, Alpha::Opaque},
                    FixtureCase{"bmp_v3_pal4.bmp", 0, Alpha::Opaque},
                    FixtureCase{"tga_rgba32_rle.tga", 0, Alpha::Kept},
                    FixtureCase{"tga_mapped_rle.tga", 0, Alpha::Opaque},
                    FixtureCase{"tga_argb1555.tga", 4, Alpha::Kept}, FixtureCase{"tga_map16.tga", 4, Alpha::Opaque},
                    FixtureCase{"tga_grey_alpha16.tga", 0, Alpha::Grey},
                    FixtureCase{"gif_anim_none.gif", 0, Alpha::Kept},
                    FixtureCase{"gif_anim_background.gif", 0, Alpha::Kept},
                    FixtureCase{"gif_anim_previous.gif", 0, Alpha::Kept},
                    FixtureCase{"dds_a8r8g8b8.dds", 0, Alpha::Kept}, FixtureCase{"dds_x8r8g8b8.dds", 0, Alpha::Opaque},
                    FixtureCase{"dds_a8b8g8r8.dds", 0, Alpha::Kept},
                    FixtureCase{"dds_x8b8g8r8.dds", 0, Alpha::Opaque}));

TEST(ImageFixture, PixelsThatRunLengthDataLeavesOutAreTransparentBlack)
{
    // Which pixels each file gives; all others must be 0.
    struct
    {
        const char* file;
        bool (*given)(uint32_t x, uint32_t y);
        uint32_t (*colour)(uint32_t x, uint32_t y);
    } cases[] = {
        // Rows from the bottom: two pixels, a jump to (5, 1), two pixels, a
        // row ended after one pixel, a row of one run, no last row.
        {"bmp_v3_rle8_gaps.bmp",
         [](uint32_t x, uint32_t y) { return (y == 4 && x < 2) || (y == 3 && x >= 5) || (y == 2 && x == 0) || y == 1; },
         [](uint32_t x, uint32_t y) { return (Picture(y == 1 ? 0 : x, y) | 0xFF000000u); }},
        // Cut after its first two rows, stored from the bottom.
        {"bmp_v3_rle8_cut.bmp", [](uint32_t, uint32_t y) { return y >= 3; },
         [](uint32_t x, uint32_t y) { return Picture(x, y) | 0xFF000000u; }},
        // Cut after its first two rows, stored from the top.
        {"tga_rgba32_rle_cut.tga", [](uint32_t, uint32_t y) { return y < 2; }, Picture},
    };
    for (const auto& c : cases)
    {
        const std::vector<uint32_t> argb = DecodeTwice(c.file);
        ASSERT_EQ(argb.size(), kWidth * kHeight) << c.file;
        for (uint32_t y = 0; y < kHeight; ++y)
        {
            for (uint32_t x = 0; x < kWidth; ++x)
                EXPECT_EQ(argb[y * kWidth + x], c.given(x, y) ? c.colour(x, y) : 0u)
                    << c.file << " (" << x << ", " << y << ")";
        }
    }
}

TEST(ImageFixture, FormsThatDevilReadsRightDecodeAsDevilDecodesThem)
{
    for (const std::string& path :
         {testing_support::SampleImagePath("quadrants.bmp"), testing_support::SampleImagePath("quadrants.tga"),
          FixturePath("bmp_v3_rle8.bmp"), FixturePath("bmp_v3_rle4.bmp"), FixturePath("bmp_v3_pal4.bmp"),
          FixturePath("bmp_v3_mono.bmp"), FixturePath("tga_mapped_rle.tga"),
          FixturePath("tga_rgba32_rle.tga")})
    {
        const std::vector<uint8_t> bytes = testing_support::ReadFileBytes(path);
        const bool bmp = path.substr(path.size() - 3) == "bmp";
        std::vector<uint32_t> ours;
        {
            base::MemoryStream stream(bytes.data(), static_cast<uint32_t>(bytes.size()));
            std::unique_ptr<render::ImageData> data(render::ImageLoader::Instance()->CreateImageData(
                &stream, bmp ? L".bmp" : L".tga", nullptr));
            ASSERT_NE(data, nullptr) << path;
            ours.resize(static_cast<size_t>(data->GetWidth()) * data->GetHeight());
            ASSERT_EQ(data->Read(static_cast<uint32_t>(data->GetWidth()) * 4, 0, ours.data(), nullptr, 0), BW_OK);
        }
        ilInit();
        ILuint name = 0;
        ilGenImages(1, &name);
        ilBindImage(name);
        ASSERT_TRUE(ilLoadL(bmp ? IL_BMP : IL_TGA, bytes.data(), static_cast<ILuint>(bytes.size())));
        ASSERT_TRUE(ilConvertImage(IL_BGRA, IL_UNSIGNED_BYTE));
        const uint32_t width = static_cast<uint32_t>(ilGetInteger(IL_IMAGE_WIDTH));
        const uint32_t height = static_cast<uint32_t>(ilGetInteger(IL_IMAGE_HEIGHT));
        const bool flip = ilGetInteger(IL_IMAGE_ORIGIN) == IL_ORIGIN_LOWER_LEFT;
        std::vector<uint32_t> devil(static_cast<size_t>(width) * height);
        const uint32_t* rows = reinterpret_cast<const uint32_t*>(ilGetData());
        for (uint32_t y = 0; y < height; ++y)
            std::copy_n(rows + (flip ? height - 1 - y : y) * width, width, devil.begin() + y * width);
        ilDeleteImages(1, &name);
        ilShutDown();
        EXPECT_EQ(ours, devil) << path;
    }
}

TEST(ImageFixture, RefusedFormsAreRefusedAndLeaveNothingBehind)
{
    testing_support::LogCapture log;
    for (const char* file : {"dds_a2r10g10b10.dds", "dds_g16r16.dds", "dds_r8g8b8.dds", "png_bad_crc.png",
                             "png_bad_zlib.png"})
    {
        std::vector<uint32_t> argb;
        EXPECT_FALSE(Decode(testing_support::ReadFileBytes(FixturePath(file)), ExtensionOf(file), 0, &argb)) << file;
        EXPECT_EQ(render::ImageDataDevil::GetLiveImageCount(), 0);
    }
    // A DDS tells what it holds.
    EXPECT_EQ(log.Count(L"Can't read a DDS of"), 3u);
    EXPECT_TRUE(log.Contains(L"32-bit pixels with masks R 3FF00000 G 000FFC00 B 000003FF A C0000000"));
    EXPECT_TRUE(log.Contains(L"24-bit pixels"));
}

} // namespace
