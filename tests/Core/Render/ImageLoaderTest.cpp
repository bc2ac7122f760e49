// Images opened by the loader as a texture takes them: the decoder chosen by
// the extension, files in the forms tools write (fixtures made by
// scripts/make-image-fixtures.py), DevIL's forms behind the structure check,
// the engine's own BMP, TGA and DDS readers, raw layer pixels, and what each
// refuses.

#include "Core/Base/ImageInfo.h"
#include "Core/Base/MemoryStream.h"
#include "Core/Render/HitMask.h"
#include "Core/Render/ImageDataDDS.h"
#include "Core/Render/ImageDataDevil.h"
#include "Core/Render/ImageDataRaw.h"
#include "Core/Render/ImageFileCheck.h"
#include "Core/Render/ImageLoader.h"
#include "tests/Support/ImageFiles.h"
#include "tests/Support/LogCapture.h"

#include <IL/il.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace
{

typedef std::vector<uint8_t> Bytes;

// A sample of data/images, or else a fixture.
Bytes ReadImage(const std::string& name)
{
    const Bytes bytes = testing_support::ReadFileBytes(testing_support::SampleImagePath(name));
    return bytes.empty() ? testing_support::ReadFileBytes(BW_SOURCE_DIR "/tests/Core/Render/fixtures/" + name) : bytes;
}

std::wstring ExtensionOf(const std::string& name)
{
    return L"." + std::wstring(name.end() - 3, name.end());
}

// The stream lives as long as the data, which may read from it late.
struct Opened
{
    Opened(const Bytes& bytes, const wchar_t* extension, const base::ImageInfo* layer = nullptr)
        : stream(bytes.data(), static_cast<uint32_t>(bytes.size())),
          data(render::ImageLoader::Instance()->CreateImageData(&stream, extension, layer))
    {
    }
    base::MemoryStream stream;
    std::unique_ptr<render::ImageData> data;
};

struct Decoded
{
    uint32_t width = 0, height = 0;
    std::vector<uint32_t> argb;
    render::HitMask mask;
    uint32_t At(uint32_t x, uint32_t y) const { return argb[y * width + x]; }
};

// Read whole at its own pitch, the library's new blocks and the destination
// first filled with `fill`: pixels the file does not give would show it.
bool Decode(const Bytes& bytes, const std::wstring& extension, Decoded* out, int fill = 0)
{
    render::ImageDataDevil::FillLibraryBlocks(fill);
    Opened o(bytes, extension.c_str());
    render::ImageDataDevil::FillLibraryBlocks(-1);
    if (!o.data)
        return false;
    out->width = static_cast<uint32_t>(o.data->GetWidth());
    out->height = static_cast<uint32_t>(o.data->GetHeight());
    out->argb.assign(static_cast<size_t>(out->width) * out->height, fill * 0x01010101u);
    out->mask.Resize(out->width, out->height);
    return o.data->Read(out->width * 4, 0, out->argb.data(), &out->mask, 0) == BW_OK;
}

// Colour channels count only where the pixel is not transparent.
void ExpectNear(uint32_t actual, uint32_t expected, int tolerance, const std::string& where)
{
    for (int shift = 24; shift >= ((expected >> 24) == 0 ? 24 : 0); shift -= 8)
        EXPECT_LE(std::abs(int((actual >> shift) & 0xFF) - int((expected >> shift) & 0xFF)), tolerance)
            << where << std::hex << ": 0x" << actual << " vs 0x" << expected;
}

TEST(ImageLoader, ChoosesTheDecoderByTheThreeLowerCaseLettersAfterTheDot)
{
    const Bytes png = ReadImage("quadrants.png");
    EXPECT_NE(dynamic_cast<render::ImageDataDevil*>(Opened(png, L".pngx").data.get()), nullptr);
    for (const wchar_t* refused : {L".PNG", L"png", L"", L".pn", L".psd", static_cast<const wchar_t*>(nullptr)})
        EXPECT_EQ(Opened(png, refused).data, nullptr) << (refused ? refused : L"(none)");
}

TEST(ImageLoader, EachDecoderWritesRowsAtThePitchAndMasksByItsAlphaThreshold)
{
    // Two rows of three pixels into rows of four words; in the first row
    // alpha one below the decoder's threshold, then at it.
    const int32_t rect[4] = {0, 0, 3, 2};
    base::ImageInfo layer(L"layer", rect, 255, 0, 1, 1, 1.0f);
    for (const uint32_t opaque : {50, 11, 10}) // TGA, DDS, raw
    {
        const uint32_t words[6] = {(opaque - 1) << 24, opaque << 24 | 1, 0xFF0000FFu, 0, 0xFF000001u, 0xFF000002u};
        Bytes file = ReadImage("dds_rows_3x2.dds"); // the same words
        if (opaque == 50)
            file = testing_support::MakeTga(
                testing_support::MakePixels(3, 2, [&](uint32_t x, uint32_t y) { return words[3 * y + x]; }), false);
        if (opaque == 10)
            file = Bytes(reinterpret_cast<const uint8_t*>(words), reinterpret_cast<const uint8_t*>(words + 6));
        // Raw layer pixels whatever the extension.
        Opened o(file, opaque == 50 ? L".tga" : opaque == 11 ? L".dds" : L".png", opaque == 10 ? &layer : nullptr);
        ASSERT_NE(o.data, nullptr);
        EXPECT_EQ(dynamic_cast<render::ImageDataRaw*>(o.data.get()) != nullptr, opaque == 10);
        render::HitMask mask;
        mask.Resize(3, 2);
        std::vector<uint32_t> out(8, 0xCDCDCDCDu);
        ASSERT_EQ(o.data->Read(16, 0, out.data(), &mask, 0), BW_OK);
        EXPECT_EQ(out, (std::vector<uint32_t>{words[0], words[1], words[2], 0xCDCDCDCDu, words[3], words[4], words[5],
                                              0xCDCDCDCDu}));
        EXPECT_EQ((std::vector<bool>{mask.GetPixel(0, 0), mask.GetPixel(1, 0), mask.GetPixel(0, 1)}),
                  (std::vector<bool>{false, true, false}));
        // A pitch narrower than a row is refused.
        EXPECT_EQ(o.data->Read(8, 0, out.data(), &mask, 0), BW_FAIL);
    }
    // A short stream fails the read; a layer without size or raw flag is refused.
    const Bytes words(12, 0xFF);
    EXPECT_EQ(Opened(words, L"", &layer).data->Read(12, 0, std::vector<uint32_t>(6).data(), nullptr, 0), BW_FAIL);
    layer.mWidth = 0;
    EXPECT_EQ(Opened(words, L"", &layer).data, nullptr);
    layer.mWidth = 3;
    layer.mRawPixels = 0;
    EXPECT_EQ(Opened(words, L"", &layer).data, nullptr);
}

TEST(DevilSample, DecodesTheQuadrantsTopRowFirstAndNothingAfterTheMarkedEndGivingEveryLibraryImageBack)
{
    // Another image's start after the end: DevIL would read on into it.
    const Bytes junk = {'G', 'I', 'F', '8', '9', 'a', 0x2C, 0xFF, 0x00, 0xFF};
    // An image opened and read only at the end keeps the library up through
    // the others' reads, and an error left in the library fails none of them.
    const Bytes good = ReadImage("quadrants.png");
    std::unique_ptr<Opened> held(new Opened(good, L".png"));
    ASSERT_NE(held->data, nullptr);
    ilLoadL(IL_PNG, Bytes(8).data(), 8);
    const struct
    {
        const char* file;
        uint32_t lowerRight; // the transparent quadrant, as the format keeps it
        int tolerance;
    } cases[] = {{"quadrants.png", 0x00FFFFFFu, 0}, {"quadrants.tga", 0x00FFFFFFu, 0}, {"quadrants.gif", 0, 0},
                 {"quadrants.bmp", 0xFFFFFFFFu, 0}, {"quadrants.jpg", 0xFF000000u, 8}};
    for (const auto& c : cases)
    {
        Bytes bytes = ReadImage(c.file);
        bytes.insert(bytes.end(), junk.begin(), junk.end());
        Decoded d;
        ASSERT_TRUE(Decode(bytes, ExtensionOf(c.file), &d)) << c.file;
        ASSERT_EQ(d.width * d.height, 256u);
        const uint32_t quadrants[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, c.lowerRight};
        for (uint32_t i = 0; i < 4; ++i)
            ExpectNear(d.At(i % 2 ? 14 : 1, i / 2 ? 14 : 1), quadrants[i], c.tolerance, c.file);
        EXPECT_TRUE(d.mask.GetPixel(1, 1)) << c.file;
        EXPECT_EQ(d.mask.GetPixel(14, 14), (c.lowerRight >> 24) >= 50) << c.file;
        EXPECT_EQ(render::ImageDataDevil::GetLiveImageCount(), 1);
        // A GIF or PNG ends at its own end; the GIF's trailer is the caller's.
        const bool gif = bytes[0] == 'G';
        const auto kind = gif ? render::ImageFileKind::Gif : render::ImageFileKind::Png;
        EXPECT_TRUE((!gif && bytes[1] != 'P') ||
                    render::ImageFileCheck::SoundLength(kind, bytes.data(), bytes.size()) ==
                        bytes.size() - junk.size() - gif)
            << c.file;
    }
    std::vector<uint32_t> out(16 * 16);
    EXPECT_EQ(held->data->Read(64, 0, out.data(), nullptr, 0), BW_OK);
    EXPECT_EQ(out[17], 0xFFFF0000u);
    held.reset();
    EXPECT_EQ(render::ImageDataDevil::GetLiveImageCount(), 0);
}

TEST(ImageLoader, RefusesDamagedFilesAndFormsItCannotReadLeavingNothingBehind)
{
    // A file with some bytes changed: `bytes` written at `at`, or the file
    // cut at `at` when there are none; or refused as it is.
    const size_t asItIs = ~size_t(0);
    const struct
    {
        const char* name;
        const char* file;
        size_t at;
        Bytes bytes;
    } cases[] = {{"PngEmpty", "quadrants.png", 0, {}}, {"PngTooWide", "quadrants.png", 16, {0x00, 0x00, 0x20, 0x01}},
                 {"PngChunkPastTheEnd", "quadrants.png", 33, {0x7F, 0xFF, 0xFF, 0xFF}},
                 {"PngCut", "quadrants.png", 100, {}}, {"GifTooTall", "quadrants.gif", 8, {0x01, 0x20}},
                 {"GifCut", "quadrants.gif", 40, {}},
                 // The frame one row down runs past the canvas.
                 {"GifFramePastTheCanvas", "quadrants.gif", 0x24, {1}},
                 {"BmpPixelsBeyondTheFile", "quadrants.bmp", 10, {0x00, 0x00, 0xFF, 0x00}},
                 {"BmpRowsMissing", "quadrants.bmp", 500, {}}, {"BmpZeroWidth", "quadrants.bmp", 18, {0, 0, 0, 0}},
                 // Two colours used: the pixels' indices run past the palette.
                 {"BmpIndexPastThePalette", "bmp_v3_pal4.bmp", 46, {2}},
                 {"TgaTooWide", "quadrants.tga", 12, {0x01, 0x40}}, {"TgaCut", "quadrants.tga", 600, {}},
                 {"TgaUnknownType", "quadrants.tga", 2, {7}}, {"JpgTooTall", "quadrants.jpg", 163, {0x20, 0x01}},
                 {"JpgSegmentPastTheEnd", "quadrants.jpg", 160, {0xFF, 0xFF}},
                 {"JpgCutBeforeTheScan", "quadrants.jpg", 200, {}}, {"JpgCutInTheScan", "quadrants.jpg", 300, {}},
                 // A segment after the scan that claims more than is left
                 // once made DevIL loop for ever looking for the end.
                 {"JpgSegmentAfterTheScanPastTheEnd", "quadrants.jpg", 301, {0xFF, 0xEB, 0xFF, 0xD9}},
                 {"JpgNoStartMarker", "quadrants.jpg", 0, {0x00}}, {"A2R10G10B10", "dds_a2r10g10b10.dds", asItIs, {}},
                 {"G16R16", "dds_g16r16.dds", asItIs, {}}, {"R8G8B8", "dds_r8g8b8.dds", asItIs, {}},
                 {"PngBadCrc", "png_bad_crc.png", asItIs, {}}, {"PngBadZlib", "png_bad_zlib.png", asItIs, {}},
                 // DDS headers that the data does not bear out (16x16, one level).
                 {"DdsBadMagic", "quadrants_dxt1.dds", 3, {'X'}}, {"DdsCutInTheMagic", "quadrants_dxt1.dds", 3, {}},
                 {"DdsCutInTheHeader", "quadrants_dxt1.dds", 100, {}}, {"DdsDxt2", "quadrants_dxt1.dds", 87, {'2'}},
                 {"DdsDx10", "quadrants_dxt1.dds", 86, {'1', '0'}}, {"DdsZeroWidth", "quadrants_dxt1.dds", 16, {0}},
                 {"DdsBlocksShort", "quadrants_dxt1.dds", 255, {}}, {"DdsArgbShort", "quadrants_argb.dds", 1151, {}},
                 {"DdsLevelsPastTheData", "quadrants_dxt1.dds", 28, {3}},
                 // 2x2 with three levels: data enough, but a 2x2 chain has two.
                 {"DdsLevelsPastTheSize", "quadrants_argb.dds", 12, {2, 0, 0, 0, 2, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 3}}};
    testing_support::LogCapture log;
    for (const auto& c : cases)
    {
        Bytes bytes = ReadImage(c.file);
        Decoded good, bad;
        ASSERT_FALSE(bytes.empty()) << c.name;
        if (c.at != asItIs)
        {
            ASSERT_GT(bytes.size(), c.at) << c.name;
            ASSERT_TRUE(Decode(bytes, ExtensionOf(c.file), &good)) << c.name << ": the undamaged file loads";
            if (c.bytes.empty())
                bytes.resize(c.at);
            else
                std::copy(c.bytes.begin(), c.bytes.end(), bytes.begin() + static_cast<long>(c.at));
        }
        EXPECT_FALSE(Decode(bytes, ExtensionOf(c.file), &bad)) << c.name;
        EXPECT_EQ(render::ImageDataDevil::GetLiveImageCount(), 0);
    }
    // A DDS tells what it holds.
    EXPECT_EQ(log.Count(L"Can't read a DDS of"), 3u);
    EXPECT_TRUE(log.Contains(L"32-bit pixels with masks R 3FF00000 G 000FFC00 B 000003FF A C0000000"));
    EXPECT_TRUE(log.Contains(L"24-bit pixels"));
}

// Each fixture holds one 7x5 picture; the 2x2 block at the lower right is
// transparent in the forms that keep alpha.
const uint32_t kWidth = 7, kHeight = 5;

uint32_t Picture(uint32_t x, uint32_t y)
{
    static const uint32_t kColours[7] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x848484, 0xFF8400};
    return ((x >= 5 && y >= 3) ? 0u : 0xFF000000u) | kColours[(x + y) % 7];
}

// Decoded twice over different memory contents; both must agree.
Decoded DecodeTwice(const std::string& file)
{
    const Bytes bytes = ReadImage(file);
    Decoded zeros, ones;
    EXPECT_TRUE(Decode(bytes, ExtensionOf(file), &zeros, 0x00)) << file;
    EXPECT_TRUE(Decode(bytes, ExtensionOf(file), &ones, 0xFF)) << file;
    EXPECT_EQ(zeros.argb, ones.argb) << file << ": pixels from memory the file did not write";
    EXPECT_EQ(render::ImageDataDevil::GetLiveImageCount(), 0);
    EXPECT_EQ(zeros.argb.size(), kWidth * kHeight) << file;
    zeros.argb.resize(kWidth * kHeight);
    return zeros;
}

TEST(ImageFixture, DecodesThePictureAndNothingElse)
{
    // 5- and 6-bit channels come within 4 of the 8-bit value (ImageMagick's
    // 4-bit ones within 16); white stays 255 in every form.
    // Alpha 'k' as the picture has it, 'o' opaque (the form keeps none), 'g'
    // grey (the green channel) and alpha.
    const struct
    {
        const char* file;
        int tolerance; // per channel: narrow channels cannot hold every value
        char alpha;
    } cases[] = {{"bmp_v5_argb32.bmp", 0, 'k'},         {"bmp_v5_argb32_topdown.bmp", 0, 'k'},
                 {"bmp_v4_argb32.bmp", 0, 'k'},         {"bmp_v5_rgb24.bmp", 0, 'o'},
                 {"bmp_v5_rgb565.bmp", 4, 'o'},         {"bmp_v5_argb1555.bmp", 4, 'k'},
                 {"bmp_v5_argb4444.bmp", 16, 'k'},      {"bmp_v3_rgb555.bmp", 4, 'o'},
                 {"bmp_v3_rgb555_nomasks.bmp", 4, 'o'}, {"bmp_v3_rgb565_palette.bmp", 4, 'o'},
                 {"bmp_v3_rle8.bmp", 0, 'o'},           {"bmp_v3_rle4.bmp", 0, 'o'},
                 {"bmp_v3_pal4.bmp", 0, 'o'},           {"tga_rgba32_rle.tga", 0, 'k'},
                 {"tga_mapped_rle.tga", 0, 'o'},        {"tga_argb1555.tga", 4, 'k'},
                 {"tga_map16.tga", 4, 'o'},             {"tga_grey_alpha16.tga", 0, 'g'},
                 {"gif_anim_none.gif", 0, 'k'},         {"gif_anim_background.gif", 0, 'k'},
                 {"gif_anim_previous.gif", 0, 'k'},     {"dds_a8r8g8b8.dds", 0, 'k'},
                 {"dds_x8r8g8b8.dds", 0, 'o'},          {"dds_a8b8g8r8.dds", 0, 'k'},
                 {"dds_x8b8g8r8.dds", 0, 'o'}};
    for (const auto& c : cases)
    {
        const Decoded d = DecodeTwice(c.file);
        for (uint32_t y = 0; y < kHeight; ++y)
            for (uint32_t x = 0; x < kWidth; ++x)
            {
                uint32_t expected = Picture(x, y) | (c.alpha == 'o' ? 0xFF000000u : 0);
                if (c.alpha == 'g')
                    expected = (expected & 0xFF000000u) | ((expected >> 8) & 0xFF) * 0x010101u;
                const std::string at = std::string(c.file) + " (" + std::to_string(x) + ", " + std::to_string(y) + ")";
                ExpectNear(d.At(x, y), expected, c.tolerance, at);
                EXPECT_EQ(d.mask.GetPixel(x, y), (expected >> 24) != 0) << at;
            }
    }
}

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
        const Decoded d = DecodeTwice(c.file);
        for (uint32_t y = 0; y < kHeight; ++y)
            for (uint32_t x = 0; x < kWidth; ++x)
                EXPECT_EQ(d.At(x, y), c.given(x, y) ? c.colour(x, y) : 0u) << c.file << " (" << x << ", " << y << ")";
    }
}

TEST(ImageFixture, FormsThatDevilReadsRightDecodeAsDevilDecodesThem)
{
    for (const char* file : {"quadrants.bmp", "quadrants.tga", "bmp_v3_rle8.bmp", "bmp_v3_rle4.bmp", "bmp_v3_pal4.bmp",
                             "bmp_v3_mono.bmp", "tga_mapped_rle.tga", "tga_rgba32_rle.tga"})
    {
        const Bytes bytes = ReadImage(file);
        Decoded ours;
        ASSERT_TRUE(Decode(bytes, ExtensionOf(file), &ours)) << file;
        ilInit();
        const ILuint name = ilGenImage();
        ilBindImage(name);
        ASSERT_TRUE(ilLoadL(bytes[0] == 'B' ? IL_BMP : IL_TGA, bytes.data(), static_cast<ILuint>(bytes.size())));
        ASSERT_TRUE(ilConvertImage(IL_BGRA, IL_UNSIGNED_BYTE));
        const uint32_t width = ilGetInteger(IL_IMAGE_WIDTH), height = ilGetInteger(IL_IMAGE_HEIGHT);
        const bool flip = ilGetInteger(IL_IMAGE_ORIGIN) == IL_ORIGIN_LOWER_LEFT;
        std::vector<uint32_t> devil(static_cast<size_t>(width) * height);
        const uint32_t* rows = reinterpret_cast<const uint32_t*>(ilGetData());
        for (uint32_t y = 0; y < height; ++y)
            std::copy_n(rows + (flip ? height - 1 - y : y) * width, width, devil.begin() + y * width);
        ilDeleteImage(name);
        ilShutDown();
        EXPECT_EQ(ours.argb, devil) << file;
    }
}

TEST(ImageDataDDS, EachLevelReadsOnlyItsOwnBytes)
{
    Bytes file = ReadImage("quadrants_dxt5.dds");
    file.resize(file.size() + 100, 0xAB); // bytes after the last level are no level's
    Opened o(file, L".dds");
    ASSERT_NE(o.data, nullptr);
    ASSERT_EQ(o.data->GetLevelCount(), 5u);
    // Level sizes of a 16x16 DXT5 chain: 4x4, 2x2, 1x1, 1x1, 1x1 blocks.
    const size_t sizes[5] = {256, 64, 16, 16, 16};
    size_t offset = render::ImageDataDDS::kHeaderSize;
    for (uint32_t level = 0; level < 5; ++level)
    {
        // Exactly the level's size: a read of more would run past it.
        Bytes bits(sizes[level]);
        ASSERT_EQ(o.data->Read(level == 0 ? 64 : level == 1 ? 32 : 16, level, bits.data(), nullptr, 0), BW_OK) << level;
        EXPECT_EQ(std::memcmp(bits.data(), file.data() + offset, sizes[level]), 0) << level;
        offset += sizes[level];
    }
    EXPECT_EQ(offset, file.size() - 100);
    EXPECT_EQ(o.data->Read(16, 5, Bytes(16).data(), nullptr, 0), BW_FAIL);
}

TEST(ImageDataDDS, MasksWalkWholeBlocksAndBlockAlphaFollowsS3tcAboveTenOpaque)
{
    // The blocks' alphas, left to right and top to bottom, every pixel of a
    // block of one alpha. DXT5 six-value mode: 6 is 0, 7 is 255, 5 is
    // (1 * 0 + 4 * 50) / 5; eight-value mode: 7 is (1 * 70 + 6 * 0) / 7.
    const std::pair<const char*, std::vector<int>> cases[] = {
        {"dds_dxt1_alpha.dds", {255, 0}},
        {"dds_dxt3_alpha.dds", {0, 17}},
        {"dds_dxt5_alpha.dds", {10, 11, 0, 255, 40, 10, 219}},
        {"dds_dxt3_6x5.dds", {0, 255, 255, 0}}}; // two blocks, half of the second unused, per row
    for (const auto& c : cases)
    {
        const Bytes file = ReadImage(c.first);
        Opened o(file, L".dds");
        ASSERT_NE(o.data, nullptr);
        const int width = o.data->GetWidth(), height = o.data->GetHeight(), across = (width + 3) / 4;
        const size_t block = (file.size() - render::ImageDataDDS::kHeaderSize) / c.second.size();
        render::HitMask mask;
        mask.Resize(width, height);
        ASSERT_EQ(o.data->Read(uint32_t(across * block), 0, Bytes(file.size()).data(), &mask, 0), BW_OK);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
            {
                const size_t i = size_t(y / 4 * across + x / 4);
                uint8_t alpha[16];
                render::ImageDataDDS::DecodeBlockAlpha(o.data->GetCompression(),
                                                       &file[render::ImageDataDDS::kHeaderSize + i * block], alpha);
                EXPECT_EQ((std::vector<int>{alpha[y % 4 * 4 + x % 4], mask.GetPixel(x, y)}),
                          (std::vector<int>{c.second[i], c.second[i] > 10}))
                    << c.first << " (" << x << ", " << y << ")";
            }
    }
}

} // namespace
