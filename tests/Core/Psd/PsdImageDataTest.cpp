#include "tests/Core/Psd/PsdTesting.h"

#include <gtest/gtest.h>

using namespace psdtest;

namespace
{

// A flattened document whose merged planes hold one value each everywhere.
Document Flat(uint16_t mode, uint16_t depth, std::vector<uint8_t> values, int compression = 0)
{
    Document doc;
    doc.mode = mode;
    doc.depth = depth;
    doc.channels = uint16_t(values.size());
    doc.width = 5;
    doc.height = 3;
    doc.compression = compression;
    doc.layerSection = false;
    for (uint8_t v : values)
        doc.composite.push_back(MakePlane(5, 3, depth, [v](size_t, size_t) { return v; }));
    return doc;
}

// The pairs and alpha channels the fixtures' merged images leave out convert
// alike from every compression; the merged transparency follows the colours.
TEST(PsdMerged, ConvertsEveryCompressionAlike)
{
    const struct { uint16_t mode, depth; std::vector<uint8_t> values; uint32_t pixel; } cases[] = {
        {3, 16, {10, 20, 30}, 0xFF0A141E},         {3, 8, {10, 20, 30, 40}, 0x280A141E},
        {1, 16, {90, 7}, 0x075A5A5A},              {0, 1, {255}, 0xFFFFFFFF},
        {4, 8, {255, 255, 255, 255}, 0xFFFFFFFF},  {4, 16, {0, 0, 0, 0, 9}, 0x09000000},
        {7, 8, {255, 255, 255, 0}, 0xFF000000},    {9, 16, {0, 128, 128, 50}, 0x32000000},
        // Pairs the usual converters leave out convert by the same rules.
        {1, 1, {0}, 0xFF000000},                   {0, 8, {200}, 0xFFC8C8C8},
    };
    for (const auto& c : cases)
        for (int compression = 0; compression < 4; ++compression)
        {
            Loaded loaded = LoadDocument(Flat(c.mode, c.depth, c.values, compression));
            ASSERT_EQ(loaded.status, kPsdOk) << c.mode << " " << c.depth << " " << compression;
            EXPECT_EQ(std::vector<uint32_t>(loaded->composite, loaded->composite + 15),
                      std::vector<uint32_t>(15, c.pixel))
                << c.mode << " " << c.depth << " " << compression;
        }
}

TEST(PsdMergedIndexed, CountAndTransparentIndexOnlyWhenGivenAndNoColourPastThePalette)
{
    Bytes table(768, 0);
    table[7] = 1;
    table[256 + 7] = 2;
    table[512 + 7] = 3;
    const struct { const char* what; Bytes palette; std::vector<Resource> resources; uint32_t pixel; } cases[] = {
        {"no resources", table, {}, 0xFF010203u},
        {"a count", table, {{1046, "", {0, 8}}}, 0xFF010203u},
        {"a transparent index", table, {{1046, "", {0, 8}}, {1047, "", {0, 7}}}, 0x00FFFFFFu},
        {"a count that leaves the index out", table, {{1046, "", {0, 7}}}, 0x00FFFFFFu},
        {"a short palette", Bytes(3 * 4, 9), {{1046, "", {0, 200}}}, 0x00FFFFFFu},
    };
    for (const auto& c : cases)
    {
        Document doc = Flat(2, 8, {7});
        doc.colorModeData = c.palette;
        doc.resources = c.resources;
        Loaded loaded = LoadDocument(doc);
        ASSERT_EQ(loaded.status, kPsdOk) << c.what;
        EXPECT_EQ(loaded->composite[0], c.pixel) << c.what;
    }
}

TEST(PsdMerged, FlattenedDocumentGetsOneLayerOfTheWholeImage)
{
    Loaded loaded = LoadDocument(Flat(3, 8, {1, 2, 3, 4}));
    ASSERT_EQ(loaded.status, kPsdOk);
    ASSERT_EQ(loaded->layerCount, 1);
    const PsdLayerRecord& r = loaded.Layer(0);
    EXPECT_EQ(std::vector<int32_t>({r.kind, r.right, r.bottom, r.opacity, r.visible, r.channelCount}),
              std::vector<int32_t>({kPsdLayerNormal, 5, 3, 255, 1, 4}));
    // Numbered as the merged image takes them: the transparency last.
    EXPECT_EQ(std::vector<int>({r.channels[0].id, r.channels[1].id, r.channels[2].id, r.channels[3].id}),
              std::vector<int>({0, 1, 2, -1}));
    ASSERT_EQ(r.channelRangeCount, 4u);
    EXPECT_EQ(r.sourceWhiteRanges[3], 65535);
    EXPECT_TRUE(std::equal(r.pixels, r.pixels + 15, loaded->composite));
}

TEST(PsdMerged, AlphaChannelsAreCopiedByteForSample)
{
    for (uint16_t depth : {8, 16})
    {
        Document doc = Flat(3, depth, {1, 2, 3, 44, 55});
        doc.resources.push_back(Resource{1006, "", Writer().Pascal("A", 1).Pascal("B", 1).out});
        Loaded loaded = LoadDocument(doc);
        ASSERT_EQ(loaded.status, kPsdOk);
        ASSERT_EQ(loaded->alphaChannelCount, 2);
        EXPECT_EQ(loaded->alphaChannels[0].data[14], 44);
        EXPECT_EQ(loaded->alphaChannels[1].data[0], 55);
        // Named alpha channels are not the merged transparency.
        EXPECT_EQ(loaded->composite[0], 0xFF010203u);
    }
}

TEST(PsdMerged, FailuresOfTheMergedData)
{
    Bytes raw = WriteDocument(Flat(3, 8, {1, 2, 3}));
    raw.pop_back();
    EXPECT_EQ(LoadBytes(raw).status, kPsdShortRead);
    // The compression word before 45 raw bytes.
    EXPECT_EQ(LoadBytes(Patched(WriteDocument(Flat(3, 8, {1, 2, 3})), raw.size() - 45, 4)).status,
              kPsdBadCompression);
    // A row of 2 bytes claims 128 literal ones.
    Bytes rows = WriteDocument(Flat(3, 8, {1, 2, 3}, 1));
    EXPECT_EQ(LoadBytes(Patched(rows, rows.size() - 2 * 4, 0x7F)).status, kPsdCorruptData);
    Bytes zip = WriteDocument(Flat(3, 8, {1, 2, 3}, 2));
    zip[zip.size() - 5] ^= 0xFF;
    EXPECT_LT(LoadBytes(zip).status, 0);

    // 30000 x 30000 x 3 bytes cannot come from a few bytes of zlib; from this
    // much they could, but not within the memory budget.
    Bytes huge = WriteDocument(Flat(3, 8, {1, 2, 3}, 2));
    PutU32(huge, 14, 30000);
    PutU32(huge, 18, 30000);
    EXPECT_EQ(LoadBytes(huge).status, kPsdCorruptData);
    huge.resize(huge.size() + 2500000, 0x55);
    EXPECT_EQ(LoadBytes(huge).status, kPsdLimitExceeded);
}

} // namespace
