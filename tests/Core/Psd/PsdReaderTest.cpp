#include "tests/Core/Psd/PsdTesting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace psdtest;

namespace
{

TEST(PsdReader, RefusalsLeaveOrNullTheOutPointerAndSuccessClosesTheInput)
{
    PsdContext* sentinel = reinterpret_cast<PsdContext*>(0x1234);
    PsdContext* out = sentinel;
    EXPECT_EQ(PsdLoadDocument("/nonexistent/file.psd", &out), kPsdCannotOpen);
    EXPECT_EQ(PsdLoadDocument(nullptr, &out), kPsdCannotOpen);
    EXPECT_EQ(out, sentinel);
    EXPECT_EQ(PsdLoadDocument("x.psd", nullptr), kPsdNullArgument);
    EXPECT_EQ(PsdFreeDocument(nullptr), kPsdNullArgument);

    // A failure frees the context and nulls the pointer.
    EXPECT_EQ(LoadBytes({}).status, kPsdShortRead);
    Bytes data = WriteDocument(SmallRgb());
    data.resize(40); // header and part of the resources
    MemoryFile file(data);
    EXPECT_EQ(PsdLoadDocument(file.Path(), &out), kPsdShortRead);
    EXPECT_EQ(out, nullptr);

    Loaded loaded = LoadDocument(SmallRgb());
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded->file, nullptr);
    EXPECT_EQ(loaded->buffer, nullptr);
}

// Random reads and skips of every size against the bytes they must deliver;
// negative counts and skips past the end mark a short read.
TEST(PsdReader, BufferedReadsAndSkipsDeliverTheFileInOrder)
{
    std::mt19937 random(7);
    Bytes data(50000);
    for (uint8_t& byte : data)
        byte = uint8_t(random());
    OpenReader reader(data);
    for (int64_t position = 0; position < int64_t(data.size());)
    {
        const int64_t sizes[] = {1, 3, 4095, 4096, 4097, 9000};
        const int64_t n = sizes[random() % 6];
        const int64_t expected = std::min<int64_t>(n, int64_t(data.size()) - position);
        Bytes got = Bytes(size_t(n));
        if (random() % 2)
        {
            ASSERT_EQ(PsdReadBytes(reader.get(), got.data(), n), expected);
            ASSERT_TRUE(std::equal(got.begin(), got.begin() + expected, data.begin() + position));
        }
        else
            ASSERT_EQ(PsdSkipBytes(reader.get(), n), expected);
        position += expected;
        ASSERT_EQ(reader->consumed, position);
        EXPECT_EQ(reader->readStatus, expected < n ? kPsdShortRead : kPsdOk);
    }

    OpenReader negative(Bytes(100, 1)), skipping(Bytes(100, 1));
    uint8_t byte = 0;
    EXPECT_EQ(PsdReadBytes(negative.get(), &byte, -5), 0);
    EXPECT_EQ(PsdSkipBytes(skipping.get(), 1 << 20), 100);
    EXPECT_EQ(negative->consumed, 0);
    EXPECT_EQ(skipping->consumed, 100);
    EXPECT_TRUE(negative->readStatus == kPsdShortRead && skipping->readStatus == kPsdShortRead);
}

TEST(PsdReader, BlocksConfineReadsAndEndAtTheirDeclaredLength)
{
    Bytes data(64);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = uint8_t(i);
    OpenReader reader(data);
    PsdReadU8(reader.get());
    PsdBlock block, inner;
    PsdBeginBlock(reader.get(), 10, 0, &block);
    EXPECT_EQ(PsdBytesLeft(reader.get()), 10);
    EXPECT_EQ(PsdReadU32(reader.get()), 0x01020304u);
    EXPECT_EQ(reader->readStatus, kPsdOk);
    // Reading past the block delivers what it holds and marks an overrun.
    uint8_t bytes[16] = {};
    EXPECT_EQ(PsdReadBytes(reader.get(), bytes, 16), 6);
    EXPECT_EQ(reader->readStatus, kPsdBlockOverrun);
    PsdEndBlock(reader.get(), &block);
    EXPECT_EQ(reader->consumed, 11);
    EXPECT_EQ(PsdReadU8(reader.get()), 11);

    // The end is reached even when little was read.
    OpenReader little(Bytes(64, 0));
    PsdBeginBlock(little.get(), 20, 0, &block);
    PsdReadU16(little.get());
    PsdEndBlock(little.get(), &block);
    EXPECT_EQ(little->consumed, 20);
    EXPECT_EQ(little->readStatus, kPsdOk);

    // A block past its outer block or the file is cut.
    OpenReader nested(Bytes(64, 0));
    PsdBeginBlock(nested.get(), 10, 0, &block);
    PsdBeginBlock(nested.get(), 20, 0, &inner);
    EXPECT_EQ(nested->readStatus, kPsdBlockOverrun);
    EXPECT_EQ(PsdBytesLeft(nested.get()), 10);
    PsdEndBlock(nested.get(), &inner);
    PsdEndBlock(nested.get(), &block);
    EXPECT_EQ(nested->consumed, 10);
    OpenReader shorter(Bytes(8, 0));
    PsdBeginBlock(shorter.get(), 100, 0, &block);
    EXPECT_EQ(shorter->readStatus, kPsdShortRead);
    PsdEndBlock(shorter.get(), &block);
    EXPECT_EQ(shorter->consumed, 8);

    // A pad byte missing at the end of the outer block is no overrun.
    OpenReader padded(Bytes(16, 0));
    PsdBeginBlock(padded.get(), 5, 0, &block);
    PsdBeginBlock(padded.get(), 5, 1, &inner);
    PsdEndBlock(padded.get(), &inner);
    PsdEndBlock(padded.get(), &block);
    EXPECT_EQ(padded->readStatus, kPsdOk);
    EXPECT_EQ(padded->consumed, 5);
}

TEST(PsdReader, PrimitivesReadBigEndianAndGiveZeroPastTheEnd)
{
    // RGB (0x80FF, 0x1000, 0xFF00): high bytes 0x80, 0x10, 0xFF, the first
    // and last taken as negative; colour space 3 is unknown.
    OpenReader reader(Writer().U16(0xABCD).U32(0x01020304).F64(-2.5).Key("pass").Key("fsub").U16(0).U16(0x80FF)
                          .U16(0x1000).U16(0xFF00).U16(0).U16(3).Zeros(8).U8(0x80).out);
    EXPECT_EQ(PsdReadU16(reader.get()), 0xABCD);
    EXPECT_EQ(PsdReadU32(reader.get()), 0x01020304u);
    EXPECT_EQ(PsdReadF64(reader.get()), -2.5);
    EXPECT_EQ(PsdReadBlendModeKey(reader.get()), 23);
    EXPECT_EQ(PsdReadBlendModeKey(reader.get()), 0);
    EXPECT_EQ(PsdReadColor(reader.get()), 0xFF8010FFu);
    EXPECT_EQ(PsdReadColor(reader.get()), 0x00FFFFFFu);
    EXPECT_TRUE(PsdReadBool(reader.get()));
    EXPECT_EQ(PsdReadU32(reader.get()), 0u);
    EXPECT_EQ(PsdReadF64(reader.get()), 0.0);
    EXPECT_FALSE(PsdReadBool(reader.get()));
    EXPECT_EQ(reader->readStatus, kPsdShortRead);

    // Doubles become integers without undefined conversions.
    const std::pair<double, int32_t> doubles[] = {{12.9, 12}, {-12.9, -12}, {std::nan(""), 0},
                                                  {1e300, INT32_MAX}, {-1e300, INT32_MIN}};
    for (const auto& [value, integer] : doubles)
        EXPECT_EQ(PsdDoubleToInt(value), integer) << value;
}

TEST(PsdReader, UnicodeNamesAndGlobalMasksKeepToTheirBlocks)
{
    OpenReader reader(Writer().U32(1000).U16('a').Zeros(10).out);
    PsdBlock block;
    PsdBeginBlock(reader.get(), 6, 0, &block);
    PsdLayerRecord record = {};
    EXPECT_EQ(PsdReadUnicodeName(reader.get(), &record), kPsdBlockOverrun);
    EXPECT_EQ(record.unicodeName, nullptr);
    EXPECT_EQ(record.unicodeNameLength, 0u);
    PsdEndBlock(reader.get(), &block);

    OpenReader nothing(Writer().U32(0).U32(0xDEADBEEF).out);
    EXPECT_EQ(PsdReadGlobalLayerMask(nothing.get()), kPsdOk);
    EXPECT_EQ(nothing->consumed, 4);
    OpenReader mask(Writer().U32(20).U16(0).U16(0xFF00).U16(0).U16(0).U16(0).U16(50).U8(1).Zeros(7).U32(0xCAFE).out);
    EXPECT_EQ(PsdReadGlobalLayerMask(mask.get()), kPsdOk);
    EXPECT_EQ(mask->globalMaskColor, 0xFFFF0000u);
    EXPECT_EQ(std::vector<int>({mask->globalMaskOpacity, mask->globalMaskKind}), std::vector<int>({50, 1}));
    EXPECT_EQ(PsdReadU32(mask.get()), 0xCAFEu);
    OpenReader overrun(Writer().U32(6).Zeros(20).out);
    PsdReadGlobalLayerMask(overrun.get());
    EXPECT_EQ(overrun->readStatus, kPsdBlockOverrun);
    EXPECT_EQ(overrun->consumed, 10);
}

} // namespace
