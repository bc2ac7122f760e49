#include "tests/Core/Psd/PsdTesting.h"

#include <gtest/gtest.h>

using namespace psdtest;

namespace
{

// --- File header -------------------------------------------------------------

TEST(PsdHeader, BadFieldsAndAShortHeaderAreRefusedWithTheirStatus)
{
    const struct
    {
        const char* what;
        size_t offset; // of the big-endian field to change
        int bytes;     // its width
        uint32_t value;
        PsdStatus status;
    } cases[] = {{"signature", 0, 4, 0x38425058, kPsdBadSignature},
                 {"big document version", 4, 2, 2, kPsdBadVersion},
                 {"depth 32", 22, 2, 32, kPsdBadDepth},
                 {"depth 0", 22, 2, 0, kPsdBadDepth},
                 {"mode 5", 24, 2, 5, kPsdBadColorMode},
                 {"mode 6", 24, 2, 6, kPsdBadColorMode},
                 {"width 0", 18, 4, 0, kPsdLimitExceeded},
                 {"height past the limit", 14, 4, 30001, kPsdLimitExceeded},
                 {"RGB with two channels", 12, 2, 2, kPsdLimitExceeded},
                 {"57 channels", 12, 2, 57, kPsdLimitExceeded}};
    for (const auto& c : cases)
    {
        Bytes data = WriteDocument(SmallRgb());
        for (int i = 0; i < c.bytes; ++i)
            data[c.offset + size_t(i)] = uint8_t(c.value >> (8 * (c.bytes - 1 - i)));
        EXPECT_EQ(LoadBytes(data).status, c.status) << c.what;
    }
    Bytes data = WriteDocument(SmallRgb());
    data.resize(25);
    EXPECT_EQ(LoadBytes(data).status, kPsdShortRead);
    // With the header-only option, the header is all it reads.
    data = WriteDocument(SmallRgb());
    data.resize(26);
    Loaded header = LoadBytes(data, 1);
    ASSERT_EQ(header.status, kPsdOk);
    EXPECT_EQ(header->width, 4u);
    EXPECT_EQ(header->channelCount, 3);
    EXPECT_EQ(header->layerCount, 0);
}

// --- Colour-mode data ----------------------------------------------------------

TEST(PsdColorModeData, IndexedPaletteStopsAt256Entries)
{
    Document doc = SmallRgb();
    doc.mode = 2;
    doc.channels = 1;
    doc.colorModeData = Bytes(3 * 300 + 2, 7);
    Loaded loaded = LoadDocument(doc);
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded->paletteCount, 256u);
}

// --- Image resources ---------------------------------------------------------------

Bytes U32Data(uint32_t value)
{
    Writer w;
    w.U32(value);
    return w.out;
}

TEST(PsdResources, ValuesAreReadAndNamesAndOddLengthsSkippedToTheirPadding)
{
    // Names of length 0, 1 and 2 and data of length 5 (stored as 6).
    Document doc = SmallRgb();
    Writer resolution, display;
    resolution.U32(72 << 16 | 0x8000).U16(1).U16(2).U32(300 << 16).U16(2).U16(5);
    display.U16(0).U16(0xFF00).U16(0x8000).U16(0).U16(0).U16(50).U8(1).U8(0);
    doc.resources.push_back(Resource{1005, "", resolution.out});
    doc.resources.push_back(Resource{1007, "", display.out});
    doc.resources.push_back(Resource{1034, "", Bytes{0, 1}});
    doc.resources.push_back(Resource{1042, "", Bytes{0, 9}});
    doc.resources.push_back(Resource{1000, "a", Bytes{1, 2, 3, 4, 5}});
    doc.resources.push_back(Resource{1037, "ab", U32Data(11)});
    doc.resources.push_back(Resource{1049, "abc", U32Data(12)});
    Writer caption, version, groups;
    caption.U8(5).Raw("hello", 5);
    version.U32(1).U8(1).Unicode(u"Writer").Unicode(u"Reader").U32(3);
    groups.U16(4).U16(5).U16(6);
    doc.resources.push_back(Resource{1008, "", caption.out});
    doc.resources.push_back(Resource{1057, "", version.out});
    doc.resources.push_back(Resource{1026, "", groups.out});
    Loaded loaded = LoadDocument(doc);
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded->horizontalResolution, 72.5f);
    EXPECT_EQ(loaded->widthUnit, 2);
    EXPECT_EQ(loaded->verticalResolution, 300.0f);
    EXPECT_EQ(loaded->heightUnit, 5);
    EXPECT_EQ(loaded->displayColor, 0xFFFF8000u);
    EXPECT_EQ(loaded->displayOpacity, 50);
    EXPECT_EQ(loaded->displayKind, 1);
    EXPECT_EQ(loaded->protectedDocument, 1);
    EXPECT_EQ(loaded->resource1042, 9);
    EXPECT_EQ(loaded->globalAngle, 11);
    EXPECT_EQ(loaded->globalAltitude, 12);
    EXPECT_STREQ(loaded->caption, "hello");
    EXPECT_TRUE(loaded->hasRealMergedData);
    ASSERT_EQ(loaded->writerNameLength, 6u);
    EXPECT_EQ(loaded->writerName[0], u'W');
    EXPECT_EQ(loaded->readerNameLength, 6u);
    EXPECT_EQ(loaded->fileVersion, 3u);
    ASSERT_EQ(loaded->layerGroupCount, 3u);
    EXPECT_EQ(loaded->layerGroups[2], 6);
}

TEST(PsdResources, ShortResourcesGiveWhatTheyHoldBrokenOnesFail)
{
    Writer oversized;
    oversized.U32(1).U8(1).U32(0x40000000).U16('x');
    Document doc = SmallRgb();
    doc.resources = {Resource{1034, "", Bytes{1}},          // Photoshop's one-byte copyright flag
                     Resource{1024, "", Bytes{5}},          // half a u16
                     Resource{1005, "", Bytes{0, 72, 0, 0, 0, 1}},
                     Resource{1036, "", Bytes(10, 0)},      // a thumbnail header cut short
                     Resource{1057, "", oversized.out},     // a writer name past its resource
                     Resource{1037, "", U32Data(3)}};
    Loaded loaded = LoadDocument(doc);
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded->protectedDocument, 1);
    EXPECT_EQ(loaded->targetLayer, 0);
    EXPECT_EQ(loaded->horizontalResolution, 72.0f);
    EXPECT_EQ(loaded->horizontalResolutionUnit, 1);
    EXPECT_EQ(loaded->verticalResolution, 0.0f);
    EXPECT_EQ(loaded->thumbnailPixels, nullptr);
    EXPECT_FALSE(loaded->hasVersionInfo);
    EXPECT_EQ(loaded->globalAngle, 3);

    const Bytes data = WriteDocument(doc);
    EXPECT_EQ(LoadBytes(Patched(data, 26 + 4 + 4, 'X')).status, kPsdBadResourceSignature); // its "8BIM"
    // The first data length, after "8BIM", id and a 2-byte name, past the section.
    EXPECT_EQ(LoadBytes(Patched(data, 26 + 4 + 4 + 4 + 2 + 2, 0x40)).status, kPsdBlockOverrun);
}

TEST(PsdResources, AlphaNamesNeverTakeTheModesChannels)
{
    // Four names in a 4-channel RGB document leave room for only one.
    Document doc = SmallRgb();
    doc.channels = 4;
    Writer names;
    names.Pascal("A", 1).Pascal("B", 1).Pascal("C", 1).Pascal("D", 1);
    doc.resources.push_back(Resource{1006, "", names.out});
    Loaded loaded = LoadDocument(doc);
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded->alphaChannelCount, 1);
    EXPECT_EQ(loaded->colorChannelCount, 3);
    EXPECT_STREQ(loaded->alphaChannels[0].name, "A");
    EXPECT_TRUE(loaded->hasAlphaChannels);
}

TEST(PsdResources, LaterAlphaResourcesAreBoundedByTheFirstCount)
{
    Document doc = SmallRgb();
    doc.channels = 4;
    Writer names, unicode, ids;
    names.Pascal("A", 1);
    unicode.Unicode(u"Alpha").Unicode(u"Beta").Unicode(u"Gamma");
    ids.U32(10).U32(11).U32(12);
    doc.resources = {Resource{1006, "", names.out}, Resource{1045, "", unicode.out}, Resource{1053, "", ids.out}};
    Loaded loaded = LoadDocument(doc);
    ASSERT_EQ(loaded.status, kPsdOk);
    ASSERT_EQ(loaded->alphaChannelCount, 1);
    const PsdAlphaChannel& alpha = loaded->alphaChannels[0];
    ASSERT_EQ(alpha.unicodeNameLength, 5u);
    EXPECT_EQ(alpha.unicodeName[4], u'a');
    EXPECT_EQ(alpha.identifier, 10u);

    // Identifiers alone count when they come first.
    Document first = SmallRgb();
    first.channels = 5;
    Writer two;
    two.U32(7).U32(8);
    first.resources.push_back(Resource{1053, "", two.out});
    Loaded counted = LoadDocument(first);
    ASSERT_EQ(counted.status, kPsdOk);
    ASSERT_EQ(counted->alphaChannelCount, 2);
    EXPECT_EQ(counted->alphaChannels[1].identifier, 8u);
}

// --- Thumbnails ------------------------------------------------------------------------

TEST(PsdThumbnail, EveryColourSpaceDecodesToOpaquePixelsOfItsSize)
{
    const std::pair<int, bool> cases[] = {{3, true}, {1, true}, {4, true}, {4, false}}; // components, Adobe marker
    for (const auto& [components, adobe] : cases)
    {
        SCOPED_TRACE(components + adobe);
        Document doc = SmallRgb();
        doc.resources.push_back(ThumbnailResource(20, 10, MakeJpeg(20, 10, components, adobe)));
        Loaded loaded = LoadDocument(doc);
        ASSERT_EQ(loaded.status, kPsdOk);
        EXPECT_TRUE(loaded->hasThumbnail);
        ASSERT_NE(loaded->thumbnailPixels, nullptr);
        EXPECT_EQ(loaded->thumbnailWidth, 20u);
        for (int i = 0; i < 200; ++i)
            ASSERT_EQ(loaded->thumbnailPixels[i] >> 24, 0xFFu);
        const uint32_t first = loaded->thumbnailPixels[0];
        EXPECT_NE(first, loaded->thumbnailPixels[19]); // a gradient, not a blank
        EXPECT_TRUE(components != 1 || (first & 0xFF) == ((first >> 8) & 0xFF));
    }
}

TEST(PsdThumbnail, RgbJpegKeepsItsColours)
{
    // One pixel per column of a 2x1 JPEG would be smeared; a flat one is not.
    Document doc = SmallRgb();
    const Bytes jpeg = MakeJpeg(16, 8, 3);
    doc.resources.push_back(ThumbnailResource(16, 8, jpeg));
    doc.resources.push_back(ThumbnailResource(16, 8, jpeg, 1033));
    Loaded loaded = LoadDocument(doc);
    ASSERT_EQ(loaded.status, kPsdOk);
    // The later, old-style resource replaced the first, its red and blue swapped.
    Document modern = SmallRgb();
    modern.resources.push_back(ThumbnailResource(16, 8, jpeg));
    Loaded reference = LoadDocument(modern);
    ASSERT_EQ(reference.status, kPsdOk);
    for (int i = 0; i < 16 * 8; ++i)
    {
        const uint32_t a = reference->thumbnailPixels[i], b = loaded->thumbnailPixels[i];
        ASSERT_EQ(a & 0xFF00FF00, b & 0xFF00FF00);
        ASSERT_EQ((a >> 16) & 0xFF, b & 0xFF);
    }
}

TEST(PsdThumbnail, ThumbnailsLeftUndecodedDoNotFailTheDocument)
{
    const Bytes jpeg = MakeJpeg(16, 8, 3);
    Resource farSize = ThumbnailResource(16, 8, jpeg);
    farSize.data[20] = 0x7F; // the compressed size's high byte
    const Resource cases[] = {
        ThumbnailResource(16, 8, Bytes(jpeg.begin(), jpeg.begin() + long(jpeg.size() / 2))), // cut mid-stream
        ThumbnailResource(16, 8, Bytes(64, 0x55)),
        ThumbnailResource(17, 8, jpeg), // its size disagrees with the JPEG's
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
