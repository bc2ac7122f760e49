#include "tests/Core/Psd/PsdTesting.h"

#include <gtest/gtest.h>

using namespace psdtest;

namespace
{

// --- PackBits -------------------------------------------------------------------

Bytes Rows(std::vector<Bytes> rows)
{
    Writer w;
    for (const Bytes& row : rows)
        w.U16(uint32_t(row.size()));
    for (const Bytes& row : rows)
        w.Raw(row);
    return w.out;
}

TEST(PsdPackBits, LiteralRepeatAndNoOpRuns)
{
    const Bytes input = Rows({{2, 'a', 'b', 'c', 128, 0xFE, 'z'}});
    Bytes out(6, 0);
    EXPECT_EQ(PsdUnpackRows(input.data(), input.size(), 1, out.data(), out.size()), kPsdOk);
    EXPECT_EQ(out, (Bytes{'a', 'b', 'c', 'z', 'z', 'z'}));
}

TEST(PsdPackBits, RowsOfZeroBytesWriteNothing)
{
    const Bytes input = Rows({{}, {0, 7}});
    Bytes out(3, 9);
    EXPECT_EQ(PsdUnpackRows(input.data(), input.size(), 2, out.data(), out.size()), kPsdOk);
    EXPECT_EQ(out, (Bytes{7, 9, 9}));
}

TEST(PsdPackBits, RunsPastTheirRowOrOutputAreCorrupt)
{
    Bytes out(4, 0);
    // A literal of 3 bytes in a row that holds 2 after its header.
    const Bytes literal = Rows({{2, 'a', 'b'}});
    EXPECT_EQ(PsdUnpackRows(literal.data(), literal.size(), 1, out.data(), out.size()),
              kPsdCorruptData);
    // A repeat without its byte.
    const Bytes repeat = Rows({{0xFE}});
    EXPECT_EQ(PsdUnpackRows(repeat.data(), repeat.size(), 1, out.data(), out.size()),
              kPsdCorruptData);
    // Five bytes into four.
    const Bytes tooLong = Rows({{0xFC, 'x'}});
    EXPECT_EQ(PsdUnpackRows(tooLong.data(), tooLong.size(), 1, out.data(), out.size()),
              kPsdCorruptData);
    EXPECT_EQ(out, Bytes(4, 0)); // nothing written past the checks
}

TEST(PsdPackBits, RowTablePastTheInputIsCorrupt)
{
    Bytes out(4, 0);
    const Bytes table = {0, 1};
    EXPECT_EQ(PsdUnpackRows(table.data(), table.size(), 2, out.data(), out.size()),
              kPsdCorruptData);
    const Bytes counts = {0, 9, 0, 'a'};
    EXPECT_EQ(PsdUnpackRows(counts.data(), counts.size(), 1, out.data(), out.size()),
              kPsdCorruptData);
}

// --- zlib -------------------------------------------------------------------------------

TEST(PsdInflate, StreamEndingEarlyLeavesTheRestUntouched)
{
    const Bytes compressed = Deflate(Bytes{1, 2, 3});
    Bytes out(6, 0xEE);
    EXPECT_EQ(PsdInflate(compressed.data(), compressed.size(), out.data(), out.size()), kPsdOk);
    EXPECT_EQ(out, (Bytes{1, 2, 3, 0xEE, 0xEE, 0xEE}));
}

TEST(PsdInflate, StreamLongerThanTheOutputFillsIt)
{
    const Bytes compressed = Deflate(Bytes(100, 4));
    Bytes out(10, 0);
    EXPECT_EQ(PsdInflate(compressed.data(), compressed.size(), out.data(), out.size()), kPsdOk);
    EXPECT_EQ(out, Bytes(10, 4));
}

TEST(PsdInflate, CorruptOrTruncatedStreamsFail)
{
    Bytes compressed = Deflate(Bytes(1000, 4));
    Bytes out(1000, 0);
    Bytes garbage(50, 0x33);
    EXPECT_EQ(PsdInflate(garbage.data(), garbage.size(), out.data(), out.size()),
              kPsdInflateFailed);
    EXPECT_EQ(PsdInflate(compressed.data(), 3, out.data(), out.size()), kPsdInflateFailed);
}

TEST(PsdInflate, SixteenBitPredictionCarriesIntoTheHighByte)
{
    // Deltas 0x00FF, 0x0001 give 0x00FF, 0x0100.
    const Bytes compressed = Deflate(Bytes{0x00, 0xFF, 0x00, 0x01});
    Bytes out(4, 0);
    EXPECT_EQ(PsdInflateWithPrediction(compressed.data(), compressed.size(), out.data(),
                                       out.size(), 2, 16),
              kPsdOk);
    EXPECT_EQ(out, (Bytes{0x00, 0xFF, 0x01, 0x00}));
}

TEST(PsdInflate, EightBitPredictionRestartsEachRowAndEndsOnAPartialRow)
{
    const Bytes compressed = Deflate(Bytes{1, 1, 1, 5, 1, 1, 9, 1});
    Bytes out(8, 0);
    EXPECT_EQ(PsdInflateWithPrediction(compressed.data(), compressed.size(), out.data(),
                                       out.size(), 3, 8),
              kPsdOk);
    EXPECT_EQ(out, (Bytes{1, 2, 3, 5, 6, 7, 9, 10}));
}

// --- Layer channels: every compression at every depth --------------------------------

struct ChannelCase
{
    int depth;
    int compression;
};

class PsdLayerChannels : public testing::TestWithParam<ChannelCase>
{
};

TEST_P(PsdLayerChannels, DecodeToTheirSamples)
{
    const int depth = GetParam().depth;
    Document doc = SmallRgb();
    doc.depth = uint16_t(depth);
    if (depth == 1)
    {
        doc.mode = 0;
        doc.channels = 1;
    }
    doc.composite = std::vector<Bytes>(doc.channels);
    const std::vector<int16_t> ids =
        depth == 1 ? std::vector<int16_t>{0} : std::vector<int16_t>{-1, 0, 1, 2};
    Layer layer = PatternLayer(1, 2, 12, 23, ids, depth, GetParam().compression);
    if (depth != 1)
    {
        layer.mask = MaskBlock(0, 0, 5, 7, 255, 0);
        Channel mask;
        mask.id = -2;
        mask.compression = GetParam().compression;
        mask.samples = MakePlane(7, 5, depth, [](size_t x, size_t y) { return x * 30 + y; });
        layer.channels.push_back(mask);
    }
    doc.layers = {PatternLayer(0, 0, 3, 4, {0, 1, 2}, depth, 0), layer};
    if (depth == 1)
        doc.layers[0] = PatternLayer(0, 0, 3, 4, {0}, depth, 0);

    Loaded loaded = LoadDocument(doc);
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerRecord& record = loaded.Layer(1);
    ASSERT_EQ(record.width, 21);
    ASSERT_EQ(record.height, 11);
    for (int y = 0; y < 11; ++y)
    {
        for (int x = 0; x < 21; ++x)
        {
            const uint32_t pixel = record.pixels[y * 21 + x];
            if (depth == 1)
            {
                const int v = PatternSample(0, size_t(x), size_t(y)) < 128 ? 0 : 255;
                ASSERT_EQ(pixel, PsdMakeArgb(255, v, v, v)) << x << "," << y;
            }
            else
            {
                ASSERT_EQ(pixel, PsdMakeArgb(PatternSample(-1, size_t(x), size_t(y)),
                                             PatternSample(0, size_t(x), size_t(y)),
                                             PatternSample(1, size_t(x), size_t(y)),
                                             PatternSample(2, size_t(x), size_t(y))))
                    << x << "," << y;
            }
        }
    }
    if (depth == 1)
    {
        EXPECT_EQ(record.maskPixels, nullptr);
        return;
    }
    ASSERT_NE(record.maskPixels, nullptr);
    EXPECT_EQ(record.maskPixels[0], 0);
    EXPECT_EQ(record.maskPixels[4 * 7 + 6], 6 * 30 + 4);
}

INSTANTIATE_TEST_SUITE_P(
    CompressionsAndDepths, PsdLayerChannels,
    testing::Values(ChannelCase{8, 0}, ChannelCase{8, 1}, ChannelCase{8, 2}, ChannelCase{8, 3},
                    ChannelCase{16, 0}, ChannelCase{16, 1}, ChannelCase{16, 2},
                    ChannelCase{16, 3}, ChannelCase{1, 0}, ChannelCase{1, 1}, ChannelCase{1, 2},
                    ChannelCase{1, 3}),
    [](const testing::TestParamInfo<ChannelCase>& info) {
        return "Depth" + std::to_string(info.param.depth) + "Compression" +
               std::to_string(info.param.compression);
    });

// A document whose second layer is given; the first is a plain background.
Loaded LoadWithLayer(const Layer& layer, uint16_t mode = 3, uint16_t channels = 3)
{
    Document doc = SmallRgb();
    doc.mode = mode;
    doc.channels = channels;
    doc.composite.clear();
    doc.layers = {PatternLayer(0, 0, 1, 1, {0}, 8, 0, "bg"), layer};
    return LoadDocument(doc);
}

Layer OnePixel(std::vector<std::pair<int16_t, uint8_t>> samples)
{
    Layer layer;
    layer.bottom = 1;
    layer.right = 1;
    for (auto [id, value] : samples)
    {
        Channel channel;
        channel.id = id;
        channel.samples = {value};
        layer.channels.push_back(channel);
    }
    return layer;
}

TEST(PsdLayerChannels, RgbWithTransparencyFirst)
{
    Loaded loaded = LoadWithLayer(OnePixel({{-1, 128}, {0, 10}, {1, 20}, {2, 30}}));
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded.Layer(1).pixels[0], 0x800A141Eu);
}

TEST(PsdLayerChannels, MissingChannelsReadAsZeroAndOpaque)
{
    Loaded loaded = LoadWithLayer(OnePixel({{2, 30}, {0, 10}}));
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded.Layer(1).pixels[0], 0xFF0A001Eu);

    Layer none;
    none.bottom = 2;
    none.right = 2;
    Loaded empty = LoadWithLayer(none);
    ASSERT_EQ(empty.status, kPsdOk);
    EXPECT_EQ(empty.Layer(1).pixels[3], 0xFF000000u);
}

TEST(PsdLayerChannels, OfTwoChannelsWithOneIdTheLastCounts)
{
    Loaded loaded = LoadWithLayer(OnePixel({{0, 10}, {0, 99}, {1, 20}, {2, 30}}));
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded.Layer(1).pixels[0], 0xFF63141Eu);
}

TEST(PsdLayerChannels, EmptyLayerSkipsItsChannelData)
{
    Layer layer;
    Channel channel;
    channel.id = 0;
    channel.compression = 1;
    channel.useEncoded = true;
    channel.encoded = {0, 0, 0, 0};
    layer.channels = {channel, channel};
    layer.name = "empty";
    Document doc = SmallRgb();
    doc.layers = {PatternLayer(0, 0, 1, 1, {0}, 8, 0, "bg"), layer,
                  PatternLayer(0, 0, 1, 1, {0, 1, 2}, 8, 0, "after")};
    Loaded loaded = LoadDocument(doc);
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded.Layer(1).pixels, nullptr);
    EXPECT_EQ(loaded.Layer(2).pixels[0],
              PsdMakeRgb(PatternSample(0, 0, 0), PatternSample(1, 0, 0), PatternSample(2, 0, 0)));
}

TEST(PsdLayerChannels, RawChannelShorterThanItsLayerIsCorrupt)
{
    Layer layer = PatternLayer(0, 0, 4, 4, {0, 1, 2}, 8, 0);
    layer.channels[1].samples.resize(10);
    EXPECT_EQ(LoadWithLayer(layer).status, kPsdCorruptData);
}

TEST(PsdLayerChannels, RleRowsOfZeroBytesLeaveZeros)
{
    Layer layer = PatternLayer(0, 0, 2, 3, {0, 1, 2}, 8, 0);
    layer.channels[1].compression = 1;
    layer.channels[1].useEncoded = true;
    layer.channels[1].encoded = {0, 0, 0, 0};
    Loaded loaded = LoadWithLayer(layer);
    ASSERT_EQ(loaded.status, kPsdOk);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ((loaded.Layer(1).pixels[i] >> 8) & 0xFF, 0u);
}

TEST(PsdLayerChannels, ShortZipStreamLeavesZerosNotEarlierLayersBytes)
{
    // The first layer fills the decode buffer; the second's stream gives
    // only its first row.
    Layer full = PatternLayer(0, 0, 4, 4, {0, 1, 2}, 8, 0);
    Layer shorter = PatternLayer(0, 0, 4, 4, {0, 1, 2}, 8, 2);
    shorter.channels[0].useEncoded = true;
    shorter.channels[0].encoded = Deflate(Bytes{1, 2, 3, 4});
    Document doc = SmallRgb();
    doc.layers = {full, shorter};
    Loaded loaded = LoadDocument(doc);
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ((loaded.Layer(1).pixels[3] >> 16) & 0xFF, 4u);
    for (int i = 4; i < 16; ++i)
        EXPECT_EQ((loaded.Layer(1).pixels[i] >> 16) & 0xFF, 0u) << i;
}

TEST(PsdLayerChannels, ZipStreamForADeeperChannelStaysInItsSlot)
{
    // A 1-bit layer's slot is a bit per pixel; a stream of a byte per pixel
    // must not run into the next channel or past the buffer.
    Document doc = SmallRgb();
    doc.mode = 0;
    doc.depth = 1;
    doc.channels = 1;
    doc.composite.clear();
    Layer layer = PatternLayer(0, 0, 16, 16, {0}, 1, 2);
    layer.channels[0].useEncoded = true;
    layer.channels[0].encoded = Deflate(Bytes(256, 0xFF));
    doc.layers = {PatternLayer(0, 0, 1, 1, {0}, 1, 0), layer};
    Loaded loaded = LoadDocument(doc);
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded.Layer(1).pixels[255], 0xFF000000u);
}

TEST(PsdLayerChannels, MaskRectangleWithoutAMaskChannelMakesNoMask)
{
    Layer layer = PatternLayer(0, 0, 2, 2, {0, 1, 2}, 8, 0);
    layer.mask = MaskBlock(0, 0, 3, 3);
    Loaded loaded = LoadWithLayer(layer);
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded.Layer(1).maskPixels, nullptr);
    EXPECT_EQ(loaded.Layer(1).maskWidth, 3);
}

TEST(PsdLayerChannels, UnknownCompressionFails)
{
    Layer layer = PatternLayer(0, 0, 2, 2, {0}, 8, 0);
    layer.channels[0].compression = 9;
    layer.channels[0].useEncoded = true;
    layer.channels[0].encoded = Bytes(4, 0);
    EXPECT_EQ(LoadWithLayer(layer).status, kPsdBadCompression);
}

TEST(PsdLayerChannels, CorruptZipFails)
{
    Layer layer = PatternLayer(0, 0, 2, 2, {0}, 8, 2);
    layer.channels[0].useEncoded = true;
    layer.channels[0].encoded = Bytes(6, 0x42);
    EXPECT_EQ(LoadWithLayer(layer).status, kPsdInflateFailed);
}

TEST(PsdLayerChannels, ChannelDataPastItsLayerInfoFails)
{
    Layer layer = PatternLayer(0, 0, 2, 2, {0}, 8, 0);
    layer.channels[0].overrideLength = true;
    layer.channels[0].length = 100000;
    EXPECT_LT(LoadWithLayer(layer).status, 0);
}

TEST(PsdLayerChannels, LayerClaimingMoreThanItsDataCanHoldIsCorrupt)
{
    // 20000 x 20000 pixels from a few bytes of zlib.
    Layer layer = PatternLayer(0, 0, 1, 1, {0}, 8, 2);
    layer.bottom = 20000;
    layer.right = 20000;
    layer.channels[0].useEncoded = true;
    layer.channels[0].encoded = Deflate(Bytes(64, 0));
    EXPECT_EQ(LoadWithLayer(layer).status, kPsdCorruptData);
}

TEST(PsdLayerChannels, LayerPastTheSizeLimitIsRefused)
{
    Layer layer = PatternLayer(0, 0, 1, 1, {0}, 8, 0);
    layer.right = 70000;
    EXPECT_EQ(LoadWithLayer(layer).status, kPsdLimitExceeded);
    Layer inverted = PatternLayer(0, 0, 1, 1, {0}, 8, 0);
    inverted.left = 5;
    EXPECT_EQ(LoadWithLayer(inverted).status, kPsdLimitExceeded);
}

// --- Layer converters by colour mode ---------------------------------------------------

struct ModeCase
{
    const char* what;
    uint16_t mode;
    uint16_t channels;
    std::vector<std::pair<int16_t, uint8_t>> samples;
    uint32_t pixel;
};

class PsdLayerModes : public testing::TestWithParam<ModeCase>
{
};

TEST_P(PsdLayerModes, ConvertByTheirRules)
{
    const ModeCase& c = GetParam();
    Document doc = SmallRgb();
    doc.mode = c.mode;
    doc.channels = c.channels;
    doc.composite.clear();
    if (c.mode == 2)
    {
        Bytes table(768, 0);
        table[3] = 200;
        table[256 + 3] = 100;
        table[512 + 3] = 50;
        doc.colorModeData = table;
        Writer count;
        count.U16(4);
        doc.resources.push_back(Resource{1046, "", count.out});
    }
    doc.layers = {PatternLayer(0, 0, 1, 1, {0}, 8, 0, "bg"), OnePixel(c.samples)};
    Loaded loaded = LoadDocument(doc);
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded.Layer(1).pixels[0], c.pixel);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, PsdLayerModes,
    testing::Values(
        ModeCase{"Gray", 1, 1, {{0, 77}}, 0xFF4D4D4D},
        ModeCase{"GrayWithAlpha", 1, 1, {{-1, 9}, {0, 77}}, 0x094D4D4D},
        ModeCase{"Duotone", 8, 1, {{0, 3}}, 0xFF030303},
        ModeCase{"Indexed", 2, 1, {{0, 3}}, 0xFFC86432},
        ModeCase{"IndexedPastTheCount", 2, 1, {{0, 4}}, 0x00FFFFFF},
        // All ink (stored inverted as 0) is black.
        ModeCase{"CmykAllInk", 4, 4, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}, 0xFF000000},
        ModeCase{"CmykNoInk", 4, 4, {{0, 255}, {1, 255}, {2, 255}, {3, 255}}, 0xFFFFFFFF},
        ModeCase{"CmykWithAlpha", 4, 4, {{-1, 100}, {0, 255}, {1, 255}, {2, 255}, {3, 255}},
                 0x64FFFFFF},
        ModeCase{"Multichannel", 7, 3, {{0, 255}, {1, 0}, {2, 255}}, 0xFFFF01FF},
        ModeCase{"MultichannelAlphaIsTheFourthInk", 7, 3,
                 {{-1, 0}, {0, 255}, {1, 255}, {2, 255}}, 0xFF000000},
        ModeCase{"LabBlack", 9, 3, {{0, 0}, {1, 128}, {2, 128}}, 0xFF000000},
        ModeCase{"LabWhite", 9, 3, {{0, 255}, {1, 128}, {2, 128}}, 0xFFFDFDFD}),
    [](const testing::TestParamInfo<ModeCase>& info) { return info.param.what; });

// --- Colour helpers ---------------------------------------------------------------------------

TEST(PsdColor, FillWritesEveryEntry)
{
    std::vector<uint32_t> values(37, 0);
    PsdFillArgb(values.data(), 0x12345678, values.size());
    for (uint32_t v : values)
        EXPECT_EQ(v, 0x12345678u);
}

TEST(PsdColor, ComponentsOutsideAByteKeepTheirLowByte)
{
    EXPECT_EQ(PsdMakeArgb(-1, -128, 256 + 7, 300), 0xFF80072Cu);
}

TEST(PsdColor, UnknownColourSpaceIsTransparentWhite)
{
    const int16_t components[4] = {1, 2, 3, 4};
    uint32_t out = 0;
    EXPECT_EQ(PsdColorToArgb(&out, 3, components), kPsdUnknownColorSpace);
    EXPECT_EQ(out, 0x00FFFFFFu);
}

TEST(PsdColor, ColourRecordSpaces)
{
    uint32_t out = 0;
    const int16_t rgb[4] = {255, 128, 0, 0};
    EXPECT_EQ(PsdColorToArgb(&out, 0, rgb), kPsdOk);
    EXPECT_EQ(out, 0xFFFF8000u);
    const int16_t cmyk[4] = {0, 0, 0, 100};
    EXPECT_EQ(PsdColorToArgb(&out, 2, cmyk), kPsdOk);
    EXPECT_EQ(out, 0xFF000000u);
    const int16_t lab[4] = {100, 0, 0, 0};
    EXPECT_EQ(PsdColorToArgb(&out, 7, lab), kPsdOk);
    EXPECT_EQ(out, 0xFFFFFFFFu);
}

TEST(PsdColor, HueWrapsAroundTheCircle)
{
    // Blue is computed with hue 30 - 120 = -90, that is 270: the low value m1.
    const uint32_t color = PsdHslToArgb(255, 30, 1.0, 0.5);
    EXPECT_EQ(color & 0xFF, 0u);
    EXPECT_EQ(color >> 16 & 0xFF, 255u);
    EXPECT_EQ(PsdHueToChannel(-90, 0.25, 1.0), PsdHueToChannel(270, 0.25, 1.0));
}

TEST(PsdColor, ConversionsClampInsteadOfOverflowing)
{
    // Lightness above 1 would give 255 * 2.
    EXPECT_EQ(PsdHslToArgb(255, 0, 0.0, 2.0), 0xFFFFFFFFu);
    EXPECT_EQ(PsdXyzToArgb(255, 1000.0, 1000.0, 1000.0), 0xFFFFFFFFu);
    EXPECT_EQ(PsdXyzToArgb(255, -50.0, -50.0, -50.0), 0xFF000000u);
    EXPECT_EQ(PsdCmykFloatToRgb(-1.0, 2.0, 0.5, 0.0) & 0xFFFFFF, 0xFF007Fu);
}

} // namespace
