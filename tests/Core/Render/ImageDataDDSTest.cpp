#include "Core/Base/MemoryStream.h"
#include "Core/Render/HitMask.h"
#include "Core/Render/ImageDataDDS.h"
#include "Core/Render/ImageLoader.h"
#include "tests/Support/ImageFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace
{

using testing_support::Append;
using testing_support::MakeDdsHeader;

struct Opened
{
    std::unique_ptr<base::MemoryStream> stream;
    std::unique_ptr<render::ImageData> data;
};

Opened Open(const std::vector<uint8_t>& bytes)
{
    Opened o;
    o.stream = std::make_unique<base::MemoryStream>(bytes.data(), static_cast<uint32_t>(bytes.size()));
    o.data.reset(render::ImageLoader::Instance()->CreateImageData(o.stream.get(), L".dds", nullptr));
    return o;
}

// A DXT1 block of one colour; transparent uses the three-colour mode with
// every index 3.
std::vector<uint8_t> Dxt1Block(bool transparent)
{
    if (transparent)
        return {0x00, 0x00, 0x1F, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}; // c0 < c1, indices 3
    return {0x1F, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF};     // c0 > c1: index 3 is a colour
}

// A DXT3 block whose 16 alpha nibbles are all a4.
std::vector<uint8_t> Dxt3Block(uint8_t a4)
{
    std::vector<uint8_t> b(16, 0);
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<uint8_t>(a4 | a4 << 4);
    return b;
}

// A DXT5 block with endpoints a0, a1 and every pixel using code.
std::vector<uint8_t> Dxt5Block(uint8_t a0, uint8_t a1, uint32_t code)
{
    std::vector<uint8_t> b(16, 0);
    b[0] = a0;
    b[1] = a1;
    uint64_t codes = 0;
    for (int i = 0; i < 16; ++i)
        codes |= static_cast<uint64_t>(code) << (3 * i);
    for (int i = 0; i < 6; ++i)
        b[2 + i] = static_cast<uint8_t>(codes >> (8 * i));
    return b;
}

// Their formats and levels are checked where the device texture is made.
TEST(ImageDataDDS, SampleFilesKeepTheirTransparentQuadrantInTheMask)
{
    struct
    {
        const char* file;
        uint32_t pitch;
        bool lowerRightOpaque; // the DXT1 writer keeps no alpha
    } cases[] = {{"quadrants_dxt1.dds", 32, true}, {"quadrants_dxt5.dds", 64, false}, {"quadrants_argb.dds", 64, false}};
    for (const auto& c : cases)
    {
        Opened o = Open(testing_support::ReadFileBytes(testing_support::SampleImagePath(c.file)));
        ASSERT_NE(o.data, nullptr) << c.file;
        EXPECT_EQ(o.data->GetWidth(), 16);
        render::HitMask mask;
        mask.Resize(16, 16);
        std::vector<uint8_t> level0(16 * 16 * 4);
        ASSERT_EQ(o.data->Read(c.pitch, 0, level0.data(), &mask, 0), BW_OK) << c.file;
        const bool corners[4] = {mask.GetPixel(0, 0), mask.GetPixel(15, 0), mask.GetPixel(0, 15), mask.GetPixel(15, 15)};
        EXPECT_EQ(std::vector<bool>(corners, corners + 4), (std::vector<bool>{true, true, true, c.lowerRightOpaque}))
            << c.file;
    }
}

TEST(ImageDataDDS, UncompressedRowsGoAtThePitchAndAlphaElevenIsOpaque)
{
    const testing_support::Pixels p = testing_support::MakePixels(
        3, 2, [](uint32_t x, uint32_t y) { return (y == 0 ? (x == 0 ? 0x0A000000u : 0x0B000000u) : 0xFF000000u) | x; });
    Opened o = Open(testing_support::MakeDdsArgb(p));
    ASSERT_NE(o.data, nullptr);
    EXPECT_EQ(o.data->GetCompression(), render::CompressionNone);
    render::HitMask mask;
    mask.Resize(3, 2);
    std::vector<uint32_t> out(8, 0xCDCDCDCDu); // pitch of four words
    ASSERT_EQ(o.data->Read(16, 0, out.data(), &mask, 0), BW_OK);
    EXPECT_EQ(out, (std::vector<uint32_t>{0x0A000000u, 0x0B000001u, 0x0B000002u, 0xCDCDCDCDu, 0xFF000000u, 0xFF000001u,
                                          0xFF000002u, 0xCDCDCDCDu}));
    EXPECT_FALSE(mask.GetPixel(0, 0));
    EXPECT_TRUE(mask.GetPixel(1, 0));
    // A pitch narrower than a row is refused.
    EXPECT_EQ(o.data->Read(8, 0, out.data(), &mask, 0), BW_FAIL);
}

TEST(ImageDataDDS, EachLevelReadsOnlyItsOwnBytes)
{
    const std::vector<uint8_t> file =
        testing_support::ReadFileBytes(testing_support::SampleImagePath("quadrants_dxt5.dds"));
    Opened o = Open(file);
    ASSERT_NE(o.data, nullptr);
    ASSERT_EQ(o.data->GetLevelCount(), 5u);
    // Level sizes of a 16x16 DXT5 chain: 4x4, 2x2, 1x1, 1x1, 1x1 blocks.
    const size_t sizes[5] = {256, 64, 16, 16, 16};
    size_t offset = render::ImageDataDDS::kHeaderSize;
    for (uint32_t level = 0; level < 5; ++level)
    {
        // Exactly the level's size: a read of more would run past it.
        std::vector<uint8_t> bits(sizes[level]);
        const uint32_t pitch = static_cast<uint32_t>(level == 0 ? 64 : level == 1 ? 32 : 16);
        render::HitMask mask;
        mask.Resize(16, 16);
        ASSERT_EQ(o.data->Read(pitch, level, bits.data(), &mask, 0), BW_OK) << level;
        EXPECT_EQ(std::memcmp(bits.data(), file.data() + offset, sizes[level]), 0) << level;
        offset += sizes[level];
    }
    EXPECT_EQ(offset, file.size());
    std::vector<uint8_t> bits(16);
    EXPECT_EQ(o.data->Read(16, 5, bits.data(), nullptr, 0), BW_FAIL);
}

TEST(ImageDataDDS, HeaderProblemsFailTheOpen)
{
    std::vector<uint8_t> good = MakeDdsHeader(4, 4, 1, "DXT1");
    Append(&good, Dxt1Block(false));
    EXPECT_NE(Open(good).data, nullptr);

    std::vector<uint8_t> magic = good;
    magic[3] = 'X';
    EXPECT_EQ(Open(magic).data, nullptr);
    EXPECT_EQ(Open(std::vector<uint8_t>(good.begin(), good.begin() + 100)).data, nullptr);
    EXPECT_EQ(Open(std::vector<uint8_t>(good.begin(), good.begin() + 3)).data, nullptr);
    for (const char* fourCc : {"DXT2", "DXT4", "ATI1", "DX10"})
    {
        std::vector<uint8_t> other = MakeDdsHeader(4, 4, 1, fourCc);
        other.resize(other.size() + 4 * 4 * 16, 0);
        EXPECT_EQ(Open(other).data, nullptr) << fourCc;
    }
    std::vector<uint8_t> empty = MakeDdsHeader(0, 4, 1, "DXT1");
    Append(&empty, Dxt1Block(false));
    EXPECT_EQ(Open(empty).data, nullptr);
}

// A header and `bytes` bytes of data.
std::vector<uint8_t> Sized(uint32_t width, uint32_t height, uint32_t levels, const char* fourCc, size_t bytes)
{
    std::vector<uint8_t> file = MakeDdsHeader(width, height, levels, fourCc);
    file.resize(file.size() + bytes, 0xFF);
    return file;
}

TEST(ImageDataDDS, TheDataMustHoldEveryAnnouncedLevel)
{
    // 4x4 DXT1: levels of 8, 8 and 8 bytes (4x4, 2x2, 1x1 all need one block).
    EXPECT_EQ(Open(Sized(4, 4, 1, "DXT1", 7)).data, nullptr);
    EXPECT_EQ(Open(Sized(4, 4, 3, "DXT1", 16)).data, nullptr);
    EXPECT_EQ(Open(Sized(4, 4, 4, "DXT1", 32)).data, nullptr); // more levels than the size has
    EXPECT_EQ(Open(Sized(3, 3, 1, "", 3 * 3 * 4 - 1)).data, nullptr);
    Opened full = Open(Sized(4, 4, 3, "DXT1", 24 + 100)); // trailing bytes are ignored
    ASSERT_NE(full.data, nullptr);
    EXPECT_EQ(full.data->GetLevelCount(), 3u);
    Opened zero = Open(Sized(4, 4, 0, "DXT1", 8));
    ASSERT_NE(zero.data, nullptr);
    EXPECT_EQ(zero.data->GetLevelCount(), 1u);
}

TEST(ImageDataDDS, OddSizedMaskWalksWholeBlocksPerRow)
{
    // 6x5 DXT3: two blocks per row, two rows of blocks, each block telling
    // its position by its alpha.
    std::vector<uint8_t> file = MakeDdsHeader(6, 5, 1, "DXT3");
    Append(&file, Dxt3Block(0));  // block (0, 0): transparent
    Append(&file, Dxt3Block(15)); // block (1, 0): opaque
    Append(&file, Dxt3Block(15)); // block (0, 1): opaque
    Append(&file, Dxt3Block(0));  // block (1, 1): transparent
    Opened o = Open(file);
    ASSERT_NE(o.data, nullptr);
    render::HitMask mask;
    mask.Resize(6, 5);
    std::vector<uint8_t> bits(64);
    ASSERT_EQ(o.data->Read(32, 0, bits.data(), &mask, 0), BW_OK);
    for (uint32_t y = 0; y < 5; ++y)
    {
        for (uint32_t x = 0; x < 6; ++x)
        {
            const bool opaque = (x >= 4) != (y >= 4);
            EXPECT_EQ(mask.GetPixel(static_cast<int>(x), static_cast<int>(y)), opaque) << x << "," << y;
        }
    }
}

struct BlockAlphaCase
{
    const char* name;
    uint32_t fourCcIndex; // 1 DXT1, 2 DXT3, 3 DXT5
    std::vector<uint8_t> block;
    bool opaque;
};

class DdsBlockAlpha : public testing::TestWithParam<BlockAlphaCase>
{
};

TEST_P(DdsBlockAlpha, PixelsAboveAlphaTenAreOpaque)
{
    const BlockAlphaCase& c = GetParam();
    const char* fourCc[] = {"", "DXT1", "DXT3", "DXT5"};
    std::vector<uint8_t> file = MakeDdsHeader(4, 4, 1, fourCc[c.fourCcIndex]);
    Append(&file, c.block);
    Opened o = Open(file);
    ASSERT_NE(o.data, nullptr);
    render::HitMask mask;
    mask.Resize(4, 4);
    std::vector<uint8_t> bits(c.block.size());
    ASSERT_EQ(o.data->Read(static_cast<uint32_t>(c.block.size()), 0, bits.data(), &mask, 0), BW_OK);
    EXPECT_EQ(mask.GetPixel(0, 0), c.opaque);
    EXPECT_EQ(mask.GetPixel(3, 3), c.opaque);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, DdsBlockAlpha,
    testing::Values(BlockAlphaCase{"Dxt1FourColours", 1, Dxt1Block(false), true},
                    BlockAlphaCase{"Dxt1ThreeColoursIndex3", 1, Dxt1Block(true), false},
                    BlockAlphaCase{"Dxt3Zero", 2, Dxt3Block(0), false},
                    BlockAlphaCase{"Dxt3One", 2, Dxt3Block(1), true}, // 17
                    BlockAlphaCase{"Dxt5EndpointTen", 3, Dxt5Block(10, 0, 0), false},
                    BlockAlphaCase{"Dxt5EndpointEleven", 3, Dxt5Block(11, 0, 0), true},
                    BlockAlphaCase{"Dxt5SixValueCode6IsZero", 3, Dxt5Block(100, 200, 6), false},
                    BlockAlphaCase{"Dxt5SixValueCode7Is255", 3, Dxt5Block(0, 0, 7), true},
                    BlockAlphaCase{"Dxt5EightValueInterpolatedTen", 3, Dxt5Block(70, 0, 7), false},
                    BlockAlphaCase{"Dxt5EightValueNearTop", 3, Dxt5Block(255, 0, 2), true}),
    [](const testing::TestParamInfo<BlockAlphaCase>& info) { return std::string(info.param.name); });

TEST(ImageDataDDS, BlockAlphaDecodingFollowsS3tc)
{
    uint8_t alpha[16];
    render::ImageDataDDS::DecodeBlockAlpha(render::CompressionDxt5, Dxt5Block(70, 0, 7).data(), alpha);
    EXPECT_EQ(alpha[0], 10); // (1 * 70 + 6 * 0) / 7
    render::ImageDataDDS::DecodeBlockAlpha(render::CompressionDxt5, Dxt5Block(0, 50, 5).data(), alpha);
    EXPECT_EQ(alpha[5], 40); // six-value mode: (1 * 0 + 4 * 50) / 5
    render::ImageDataDDS::DecodeBlockAlpha(render::CompressionDxt3, Dxt3Block(15).data(), alpha);
    EXPECT_EQ(alpha[15], 255);
}

} // namespace
