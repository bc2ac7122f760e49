#include "tests/Core/Psd/PsdTesting.h"

#include <gtest/gtest.h>

using namespace psdtest;

namespace
{

// --- File header and colour-mode data --------------------------------------------------

TEST(PsdHeader, BadFieldsAndAShortHeaderAreRefusedWithTheirStatus)
{
    // The big-endian field to change: its offset, width and value. Signature,
    // version 2, depths 32 and 0, modes 5 and 6, width 0, height past the
    // limit, RGB with two channels, 57 channels.
    const struct { size_t offset; int bytes; uint32_t value; PsdStatus status; } cases[] = {
        {0, 4, 0x38425058, kPsdBadSignature}, {4, 2, 2, kPsdBadVersion},      {22, 2, 32, kPsdBadDepth},
        {22, 2, 0, kPsdBadDepth},             {24, 2, 5, kPsdBadColorMode},   {24, 2, 6, kPsdBadColorMode},
        {18, 4, 0, kPsdLimitExceeded},        {14, 4, 30001, kPsdLimitExceeded}, {12, 2, 2, kPsdLimitExceeded},
        {12, 2, 57, kPsdLimitExceeded}};
    const Bytes data = WriteDocument(SmallRgb());
    for (const auto& c : cases)
    {
        Bytes changed = data;
        for (int i = 0; i < c.bytes; ++i)
            changed[c.offset + size_t(i)] = uint8_t(c.value >> (8 * (c.bytes - 1 - i)));
        EXPECT_EQ(LoadBytes(changed).status, c.status) << c.offset << " " << c.value;
    }
    EXPECT_EQ(LoadBytes(Bytes(data.begin(), data.begin() + 25)).status, kPsdShortRead);
    // With the header-only option, the header is all it reads.
    Loaded header = LoadBytes(Bytes(data.begin(), data.begin() + 26), 1);
    ASSERT_EQ(header.status, kPsdOk);
    EXPECT_EQ(std::vector<int64_t>({header->width, header->channelCount, header->layerCount}),
              std::vector<int64_t>({4, 3, 0}));

    Document indexed = SmallRgb();
    indexed.mode = 2;
    indexed.channels = 1;
    indexed.colorModeData = Bytes(3 * 300 + 2, 7);
    Loaded palette = LoadDocument(indexed);
    ASSERT_EQ(palette.status, kPsdOk);
    EXPECT_EQ(palette->paletteCount, 256u);
}

// --- Image resources ---------------------------------------------------------------

Bytes U32Data(uint32_t value) { return Writer().U32(value).out; }

TEST(PsdResources, ValuesAreReadAndNamesAndOddLengthsSkippedToTheirPadding)
{
    // Names of length 0, 1 and 2 and data of length 5 (stored as 6).
    Loaded loaded = LoadCase("resources");
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(std::vector<float>({loaded->horizontalResolution, loaded->verticalResolution}),
              std::vector<float>({72.5f, 300.0f}));
    EXPECT_EQ(loaded->displayColor, 0xFFFF8000u);
    EXPECT_EQ(std::vector<int64_t>({loaded->widthUnit, loaded->heightUnit, loaded->displayOpacity, loaded->displayKind,
                                    loaded->protectedDocument, loaded->resource1042, loaded->globalAngle,
                                    loaded->globalAltitude, loaded->hasRealMergedData, loaded->writerNameLength,
                                    loaded->readerNameLength, loaded->fileVersion, loaded->layerGroupCount}),
              std::vector<int64_t>({2, 5, 50, 1, 1, 9, 11, 12, 1, 6, 6, 3, 3}));
    EXPECT_STREQ(loaded->caption, "hello");
    EXPECT_EQ(loaded->writerName[0], u'W');
    EXPECT_EQ(loaded->layerGroups[2], 6);
}

TEST(PsdResources, ShortResourcesGiveWhatTheyHoldBrokenOnesFail)
{
    // A one-byte copyright flag, half a u16, a thumbnail header cut short,
    // a writer name past its resource.
    Loaded loaded = LoadCase("short_resources");
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded->protectedDocument, 1);
    EXPECT_EQ(loaded->targetLayer, 0);
    EXPECT_EQ(loaded->horizontalResolution, 72.0f);
    EXPECT_EQ(loaded->horizontalResolutionUnit, 1);
    EXPECT_EQ(loaded->verticalResolution, 0.0f);
    EXPECT_EQ(loaded->thumbnailPixels, nullptr);
    EXPECT_FALSE(loaded->hasVersionInfo);
    EXPECT_EQ(loaded->globalAngle, 3);

    const Bytes data = Fixture("cases/short_resources.psd");
    EXPECT_EQ(LoadBytes(Patched(data, 26 + 4 + 4, 'X')).status, kPsdBadResourceSignature); // its "8BIM"
    // The first data length, after "8BIM", id and a 2-byte name, past the section.
    EXPECT_EQ(LoadBytes(Patched(data, 26 + 4 + 4 + 4 + 2 + 2, 0x40)).status, kPsdBlockOverrun);
}

// Alpha names never take the mode's channels, and later alpha resources are
// bounded by the first count; identifiers alone count when they come first.
TEST(PsdResources, AlphaResourcesAreBoundedByTheChannels)
{
    // Four channels: names A to D, Unicode names and identifiers of three.
    Loaded loaded = LoadCase("alpha_names");
    ASSERT_EQ(loaded.status, kPsdOk);
    ASSERT_EQ(loaded->alphaChannelCount, 1);
    EXPECT_EQ(loaded->colorChannelCount, 3);
    const PsdAlphaChannel& alpha = loaded->alphaChannels[0];
    EXPECT_STREQ(alpha.name, "A");
    EXPECT_EQ(std::u16string(alpha.unicodeName, alpha.unicodeName + alpha.unicodeNameLength), u"Alpha");
    EXPECT_EQ(alpha.identifier, 10u);

    Loaded counted = LoadCase("alpha_ids"); // five channels, the identifiers 7 and 8
    ASSERT_EQ(counted.status, kPsdOk);
    ASSERT_EQ(counted->alphaChannelCount, 2);
    EXPECT_EQ(counted->alphaChannels[1].identifier, 8u);
}

// --- Thumbnails ------------------------------------------------------------------------

TEST(PsdThumbnail, EveryColourSpaceDecodesToOpaquePixelsOfItsSizeAndTheOldFormSwapsRedAndBlue)
{
    for (const char* name : {"rgb", "grey", "cmyk", "cmyk_plain"}) // the plain CMYK without the Adobe marker
    {
        SCOPED_TRACE(name);
        Document doc = SmallRgb();
        doc.resources.push_back(ThumbnailResource(20, 10, Fixture("thumb_" + std::string(name) + ".jpg")));
        Loaded loaded = LoadDocument(doc);
        ASSERT_EQ(loaded.status, kPsdOk);
        ASSERT_NE(loaded->thumbnailPixels, nullptr);
        EXPECT_EQ(loaded->thumbnailWidth, 20u);
        for (int i = 0; i < 200; ++i)
            ASSERT_EQ(loaded->thumbnailPixels[i] >> 24, 0xFFu);
        const uint32_t first = loaded->thumbnailPixels[0];
        EXPECT_NE(first, loaded->thumbnailPixels[19]); // a gradient, not a blank
        EXPECT_TRUE(name != std::string("grey") || (first & 0xFF) == ((first >> 8) & 0xFF));
    }

    // A later, old-style resource replaces the first, its red and blue swapped.
    const Bytes jpeg = Fixture("thumb_rgb.jpg");
    Document doc = SmallRgb();
    doc.resources = {ThumbnailResource(20, 10, jpeg)};
    Loaded reference = LoadDocument(doc);
    doc.resources.push_back(ThumbnailResource(20, 10, jpeg, 1033));
    Loaded loaded = LoadDocument(doc);
    ASSERT_EQ(reference.status, kPsdOk);
    ASSERT_EQ(loaded.status, kPsdOk);
    for (int i = 0; i < 20 * 10; ++i)
    {
        const uint32_t a = reference->thumbnailPixels[i], b = loaded->thumbnailPixels[i];
        ASSERT_EQ(a & 0xFF00FF00, b & 0xFF00FF00);
        ASSERT_EQ((a >> 16) & 0xFF, b & 0xFF);
    }
}

TEST(PsdThumbnail, ThumbnailsLeftUndecodedDoNotFailTheDocument)
{
    const Bytes jpeg = Fixture("thumb_rgb.jpg");
    Resource farSize = ThumbnailResource(20, 10, jpeg);
    farSize.data[20] = 0x7F; // the compressed size's high byte
    const Resource cases[] = {
        ThumbnailResource(20, 10, Bytes(jpeg.begin(), jpeg.begin() + long(jpeg.size() / 2))), // cut mid-stream
        ThumbnailResource(20, 10, Bytes(64, 0x55)),
        ThumbnailResource(21, 10, jpeg), // its size disagrees with the JPEG's
        farSize,
        ThumbnailResource(4, 2, Bytes(24, 9), 1036, 0), // the raw format is skipped
    };
    for (const Resource& thumbnail : cases)
    {
        Document doc = SmallRgb();
        doc.resources = {thumbnail, Resource{1037, "", U32Data(99)}};
        Loaded loaded = LoadDocument(doc);
        ASSERT_EQ(loaded.status, kPsdOk);
        EXPECT_TRUE(loaded->hasThumbnail);
        EXPECT_EQ(loaded->thumbnailPixels, nullptr);
        EXPECT_EQ(loaded->globalAngle, 99); // the next resource is still read
    }
}

} // namespace
