// Channel data: the decoders, layer channels, the layer converters and the
// colour helpers. The pixels of every fixture (every compression at 8 and 16
// bits, ZIP with prediction of both, 1-bit raw and RLE, masks) are compared
// with psd-tools by PsdInteropTest.

#include "tests/Core/Psd/PsdTesting.h"

#include <gtest/gtest.h>

using namespace psdtest;

namespace
{

Bytes Rows(std::vector<Bytes> rows)
{
    Writer w;
    for (const Bytes& row : rows)
        w.U16(uint32_t(row.size()));
    for (const Bytes& row : rows)
        w.Raw(row);
    return w.out;
}

TEST(PsdPackBits, RunsStayInsideTheirRowTheInputAndTheOutput)
{
    // `out`: what the output holds afterwards, its size the room given.
    const struct { const char* what; Bytes input; int rows; Bytes out; PsdStatus status; } cases[] = {
        {"literal, repeat and no-op", Rows({{2, 'a', 'b', 'c', 128, 0xFE, 'z'}}), 1, {'a', 'b', 'c', 'z', 'z', 'z'},
         kPsdOk},
        {"rows of zero bytes", Rows({{}, {0, 7}}), 2, {7, 9, 9}, kPsdOk},
        {"literal past its row", Rows({{2, 'a', 'b'}}), 1, {9, 9, 9, 9}, kPsdCorruptData},
        {"repeat without its byte", Rows({{0xFE}}), 1, {9, 9, 9, 9}, kPsdCorruptData},
        {"five bytes into four", Rows({{0xFC, 'x'}}), 1, {9, 9, 9, 9}, kPsdCorruptData},
        {"row table past the input", {0, 1}, 2, {9, 9, 9, 9}, kPsdCorruptData},
        {"row past the input", {0, 9, 0, 'a'}, 1, {9, 9, 9, 9}, kPsdCorruptData},
    };
    for (const auto& c : cases)
    {
        Bytes out(c.out.size(), 9);
        EXPECT_EQ(PsdUnpackRows(c.input.data(), c.input.size(), c.rows, out.data(), out.size()), c.status) << c.what;
        EXPECT_EQ(out, c.out) << c.what;
    }
}

// --- Layer channels ----------------------------------------------------------------------

Layer OnePixel(std::vector<std::pair<int16_t, uint8_t>> samples)
{
    Layer layer;
    layer.bottom = layer.right = 1;
    for (auto [id, value] : samples)
    {
        layer.channels.emplace_back().id = id;
        layer.channels.back().samples = {value};
    }
    return layer;
}

Layer Encoded(int compression, const Bytes& encoded, int32_t size = 2)
{
    Layer layer = PatternLayer(0, 0, 1, 1, {0}, 8, 0);
    layer.bottom = layer.right = size;
    layer.channels[0].compression = compression;
    layer.channels[0].useEncoded = true;
    layer.channels[0].encoded = encoded;
    return layer;
}

// A 1-bit document of a one-pixel background and the given layer.
Loaded LoadBitmap(const Layer& layer)
{
    Document doc = SmallRgb();
    doc.mode = 0;
    doc.depth = 1;
    doc.channels = 1;
    doc.layers = {PatternLayer(0, 0, 1, 1, {0}, 1, 0), layer};
    return LoadDocument(doc);
}

// No fixture has ZIP channels at depth 1, whose slot is a bit per pixel: a
// stream of a byte per pixel must not run into the next channel or past the buffer.
TEST(PsdLayerChannels, ZipAtOneBitDecodesAndStaysInItsSlot)
{
    for (int compression : {2, 3})
    {
        Loaded loaded = LoadBitmap(PatternLayer(1, 2, 12, 23, {0}, 1, compression));
        ASSERT_EQ(loaded.status, kPsdOk);
        for (size_t i = 0; i < 21 * 11; ++i)
        {
            const int v = PatternSample(0, i % 21, i / 21) < 128 ? 0 : 255;
            ASSERT_EQ(loaded.Layer(1).pixels[i], PsdMakeArgb(255, v, v, v)) << i;
        }
    }
    Layer wide = PatternLayer(0, 0, 16, 16, {0}, 1, 2);
    wide.channels[0].useEncoded = true;
    wide.channels[0].encoded = Deflate(Bytes(256, 0xFF));
    Loaded loaded = LoadBitmap(wide);
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded.Layer(1).pixels[255], 0xFF000000u);
}

TEST(PsdLayerChannels, MissingChannelsReadAsZeroAndOpaqueAndTheLastOfTwinsCounts)
{
    // A mask rectangle without a mask channel makes no mask.
    Loaded loaded = LoadCase("missing_channels");
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded.Layer(1).pixels[0], 0xFF0A001Eu);
    EXPECT_EQ(loaded.Layer(2).pixels[3], 0xFF000000u);
    EXPECT_EQ(loaded.Layer(3).pixels[0], 0xFF63141Eu);
    EXPECT_EQ(loaded.Layer(4).maskPixels, nullptr);
    EXPECT_EQ(loaded.Layer(4).maskWidth, 3);
}

TEST(PsdLayerChannels, EmptyInvertedAndChannelLessLayersSkipTheirData)
{
    // The first layer to decode has no channels, and so no decode buffer yet;
    // Photoshop writes (0, 0, -1, 0) for some fill layers, masks get the same rule.
    Loaded loaded = LoadCase("empty_layers");
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded.Layer(0).pixels[0], 0xFF000000u);
    EXPECT_EQ(loaded.Layer(1).pixels, nullptr);
    const PsdLayerRecord& r = loaded.Layer(2);
    EXPECT_EQ(std::vector<int32_t>({r.bottom, r.width, r.height, r.maskWidth, r.maskHeight}),
              std::vector<int32_t>({-1, 0, 0, 0, 0}));
    EXPECT_EQ(r.pixels, nullptr);
    EXPECT_EQ(loaded.Layer(3).pixels[0],
              PsdMakeRgb(PatternSample(0, 0, 0), PatternSample(1, 0, 0), PatternSample(2, 0, 0)));
}

// The budget counts the bytes alive at once: decode buffers freed and
// regrown, the merged image's input and each pattern channel's input are
// credited back, so about twenty full-canvas 4000 x 3000 layers fit.
TEST(PsdLayerChannels, TheMemoryBudgetKeepsOnlyWhatStaysAlive)
{
    Document doc = SmallRgb();
    doc.width = doc.height = 256;
    doc.compression = 1;
    uint64_t alive = uint64_t(doc.width) * doc.height * 4 + 64 * 64 * 4;
    for (int32_t side : {64, 128, 256})
    {
        doc.layers.push_back(PatternLayer(0, 0, side, side, {-1, 0, 1, 2}, 8, 1));
        alive += uint64_t(side) * side * 4;
    }
    PatternImage pattern;
    pattern.width = pattern.height = 64;
    pattern.compression = 1;
    pattern.channels.assign(3, MakePlane(64, 64, 8, [](size_t x, size_t) { return x; }));
    doc.sectionBlocks.push_back(TaggedBlock{"Patt", PatternRecord(pattern)});
    Loaded loaded = LoadDocument(doc);
    ASSERT_EQ(loaded.status, kPsdOk);
    ASSERT_EQ(loaded->patternCount, 1);
    // Besides the pixels: the context, the records and their small arrays.
    EXPECT_LT(loaded->allocated - alive, 32 * 1024u);
}

TEST(PsdLayerChannels, RowsOfZeroBytesAndShortStreamsLeaveZerosNotEarlierLayersBytes)
{
    // The first layer fills the decode buffers; the second's RLE rows hold
    // nothing and its stream gives only its first row.
    Loaded loaded = LoadCase("zero_rows");
    ASSERT_EQ(loaded.status, kPsdOk);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(loaded.Layer(1).pixels[i] & 0xFFFF00, i < 4 ? uint32_t(i + 1) << 16 : 0u) << i;
}

TEST(PsdLayerChannels, BadChannelDataFailsTheLoad)
{
    Layer cut = PatternLayer(0, 0, 4, 4, {0, 1, 2}, 8, 0), past = PatternLayer(0, 0, 2, 2, {0}, 8, 0),
          wide = PatternLayer(0, 0, 1, 1, {0}, 8, 0);
    cut.channels[1].samples.resize(10);
    past.channels[0].overrideLength = true;
    past.channels[0].length = 100000;
    wide.right = 70000;
    const std::pair<Layer, PsdStatus> cases[] = {
        {cut, kPsdCorruptData},
        {Encoded(9, Bytes(4, 0)), kPsdBadCompression},
        {Encoded(2, Bytes(6, 0x42)), kPsdInflateFailed},
        {past, kPsdBlockOverrun},
        // 20000 x 20000 pixels from a few bytes of zlib.
        {Encoded(2, Deflate(Bytes(64, 0)), 20000), kPsdCorruptData},
        {wide, kPsdLimitExceeded},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(LoadLayers({cases[i].first}).status, cases[i].second) << i;
}

TEST(PsdLayerModes, DuotoneReadsAsGreyAndAnIndexPastTheCountAsNoColour)
{
    Bytes table(768, 0);
    table[3] = 200;
    table[256 + 3] = 100;
    table[512 + 3] = 50;
    const struct { uint16_t mode; uint8_t sample; uint32_t pixel; } cases[] = {
        {8, 3, 0xFF030303}, {2, 3, 0xFFC86432}, {2, 4, 0x00FFFFFF}};
    for (const auto& c : cases)
    {
        Document doc = SmallRgb();
        doc.mode = c.mode;
        doc.channels = 1;
        doc.colorModeData = c.mode == 2 ? table : Bytes();
        doc.resources.push_back(Resource{1046, "", Bytes{0, 4}});
        doc.layers = {PatternLayer(0, 0, 1, 1, {0}, 8, 0, "bg"), OnePixel({{0, c.sample}})};
        Loaded loaded = LoadDocument(doc);
        ASSERT_EQ(loaded.status, kPsdOk);
        EXPECT_EQ(loaded.Layer(1).pixels[0], c.pixel) << c.mode << " " << int(c.sample);
    }
}

TEST(PsdColor, SpacesClampingAndTheHueCircle)
{
    const struct { int16_t space; int16_t components[4]; PsdStatus status; uint32_t argb; } cases[] = {
        {0, {255, 128, 0, 0}, kPsdOk, 0xFFFF8000u},
        {2, {0, 0, 0, 100}, kPsdOk, 0xFF000000u},
        {7, {100, 0, 0, 0}, kPsdOk, 0xFFFFFFFFu},
        {3, {1, 2, 3, 4}, kPsdUnknownColorSpace, 0x00FFFFFFu}};
    for (const auto& c : cases)
    {
        uint32_t out = 0;
        EXPECT_EQ(PsdColorToArgb(&out, c.space, c.components), c.status) << c.space;
        EXPECT_EQ(out, c.argb) << c.space;
    }
    // Blue is computed with hue 30 - 120 = -90, that is 270: the low value m1.
    EXPECT_EQ(PsdHslToArgb(255, 30, 1.0, 0.5) & 0xFF00FF, 0xFF0000u);
    EXPECT_EQ(PsdHueToChannel(-90, 0.25, 1.0), PsdHueToChannel(270, 0.25, 1.0));
    EXPECT_EQ(PsdMakeArgb(-1, -128, 256 + 7, 300), 0xFF80072Cu); // low bytes only
    // Lightness above 1 would give 255 * 2.
    EXPECT_EQ(PsdHslToArgb(255, 0, 0.0, 2.0), 0xFFFFFFFFu);
    EXPECT_EQ(PsdXyzToArgb(255, 1000.0, 1000.0, 1000.0), 0xFFFFFFFFu);
    EXPECT_EQ(PsdXyzToArgb(255, -50.0, -50.0, -50.0), 0xFF000000u);
    EXPECT_EQ(PsdCmykFloatToRgb(-1.0, 2.0, 0.5, 0.0) & 0xFFFFFF, 0xFF007Fu);
}

} // namespace
