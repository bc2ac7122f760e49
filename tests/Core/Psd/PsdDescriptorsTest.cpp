// Descriptors read straight from bytes: skipping by type, the structures the
// effect and fill readers share, and contour tables.

#include "tests/Core/Psd/PsdTesting.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace psdtest;
using namespace psdtest::desc;

namespace
{

// A value followed by a marker, so that a test can tell where skipping stopped.
Bytes WithMarker(const Bytes& value)
{
    Writer w;
    w.Raw(value).Key("MARK");
    return w.out;
}

// Skips one typed value (its type code first) and says whether the marker
// after it comes next.
::testing::AssertionResult SkipsExactly(const Bytes& typed)
{
    OpenReader reader(WithMarker(typed));
    const uint32_t type = PsdReadU32(reader.get());
    PsdSkipDescriptorItem(type, reader.get());
    if (reader->readStatus != kPsdOk)
        return ::testing::AssertionFailure() << "status " << reader->readStatus;
    const uint32_t marker = PsdReadU32(reader.get());
    if (marker != PsdKey("MARK"))
        return ::testing::AssertionFailure() << "stopped at " << reader->consumed - 4;
    return ::testing::AssertionSuccess();
}

Bytes Typed(const char* type, const Bytes& data)
{
    Writer w;
    w.Key(type).Raw(data);
    return w.out;
}

Bytes ClassValue(const std::u16string& name, const std::string& key)
{
    Writer w;
    w.Unicode(name).Raw(Key(key));
    return w.out;
}

// --- Skipping by type -----------------------------------------------------------------

struct SkipCase
{
    const char* name;
    Bytes typed;
};

class PsdSkipItem : public ::testing::TestWithParam<SkipCase>
{
};

TEST_P(PsdSkipItem, ConsumesTheWholeValue)
{
    EXPECT_TRUE(SkipsExactly(GetParam().typed));
}

Bytes Reference()
{
    Writer w;
    w.Key("obj ").U32(7);
    w.Key("prop").Raw(ClassValue(u"p", "Lyr ")).Raw(Key("Nm  "));
    w.Key("Clss").Raw(ClassValue(u"", "Chnl"));
    w.Key("Enmr").Raw(ClassValue(u"", "Lyr ")).Raw(Key("Ordn")).Raw(Key("Trgt"));
    w.Key("rele").Raw(ClassValue(u"", "Lyr ")).U32(3);
    w.Key("Idnt").U32(42);
    w.Key("indx").U32(2);
    w.Key("name").Unicode(u"layer");
    return w.out;
}

INSTANTIATE_TEST_SUITE_P(
    EveryType, PsdSkipItem,
    ::testing::Values(
        SkipCase{"alias", Typed("alis", {0, 0, 0, 3, 1, 2, 3})},
        SkipCase{"rawData", Typed("tdta", {0, 0, 0, 2, 9, 9})},
        SkipCase{"path", Typed("Pth ", {0, 0, 0, 1, 7})},
        SkipCase{"text", Text(u"hello")},
        SkipCase{"globalClass", Typed("GlbC", ClassValue(u"cls", "longClassName"))},
        SkipCase{"type", Typed("type", ClassValue(u"", "Lyr "))},
        SkipCase{"object", Object({{"a", Long(1)}, {"Nest", Object({{"deep", Bool(true)}})}})},
        SkipCase{"globalObject",
                 Typed("GlbO", Body({{"x", Double(1.5)}, {"y", Text(u"why")}}))},
        SkipCase{"unitFloat", Percent(50)},
        SkipCase{"unitFloats", Typed("UnFl", {'#', 'P', 'x', 'l', 0, 0, 0, 2, 1, 2, 3, 4,
                                              5, 6, 7, 8, 1, 2, 3, 4, 5, 6, 7, 8})},
        SkipCase{"list", List({Long(1), Text(u"two"), List({Bool(false)}), Color(1, 2, 3)})},
        SkipCase{"long", Long(-7)},
        SkipCase{"largeInteger", Typed("comp", {1, 2, 3, 4, 5, 6, 7, 8})},
        SkipCase{"bool", Bool(true)},
        SkipCase{"double", Double(2.5)},
        SkipCase{"enum", Enum("BlnM", "linearBurn")},
        SkipCase{"reference", Reference()},
        SkipCase{"objectArray", [] {
                     Writer w;
                     w.Key("ObAr").U32(2).Raw(Body({{"Hrzn", Typed("UnFl", {'#', 'P', 'x', 'l', 0,
                                                                               0, 0, 1, 0, 0, 0, 0,
                                                                               0, 0, 0, 0})}}));
                     return w.out;
                 }()}),
    [](const ::testing::TestParamInfo<SkipCase>& info) { return std::string(info.param.name); });

TEST(PsdDescriptorSkip, UnknownTypeStopsTheDescriptor)
{
    OpenReader reader(WithMarker(Typed("what", {1, 2, 3})));
    PsdSkipDescriptorItem(PsdReadU32(reader.get()), reader.get());
    EXPECT_EQ(reader->readStatus, kPsdBadDescriptor);
}

TEST(PsdDescriptorSkip, UnknownReferenceFormStopsTheDescriptor)
{
    Writer w;
    w.Key("obj ").U32(1).Key("huh?").U32(0);
    OpenReader reader(w.out);
    PsdSkipDescriptorItem(PsdReadU32(reader.get()), reader.get());
    EXPECT_EQ(reader->readStatus, kPsdBadDescriptor);
}

// Descriptors nested `depth` deep, each holding the next.
Bytes Nested(int depth)
{
    Bytes value = Long(1);
    for (int i = 0; i < depth; ++i)
        value = (i % 2) ? List({value}) : Object({{"in", value}});
    return value;
}

TEST(PsdDescriptorSkip, NestingUpToTheLimitIsSkipped)
{
    EXPECT_TRUE(SkipsExactly(Nested(kPsdMaxDescriptorDepth)));
}

TEST(PsdDescriptorSkip, NestingPastTheLimitFailsWithoutRecursingFurther)
{
    OpenReader reader(WithMarker(Nested(10000)));
    PsdSkipDescriptorItem(PsdReadU32(reader.get()), reader.get());
    EXPECT_EQ(reader->readStatus, kPsdBadDescriptor);
    EXPECT_EQ(reader->descriptorDepth, 0);
}

TEST(PsdDescriptorSkip, HugeCountsEndAtTheEndOfTheData)
{
    // Four billion items that each take at least a few bytes cannot be
    // there: the loop stops where the data does.
    Writer list;
    list.Key("VlLs").U32(0xFFFFFFFF).Key("bool").U8(1);
    OpenReader reader(list.out);
    PsdSkipDescriptorItem(PsdReadU32(reader.get()), reader.get());
    EXPECT_EQ(reader->readStatus, kPsdShortRead);
}

// --- Keys, values and structures ------------------------------------------------------------

TEST(PsdDescriptorKeys, TextAndCodeKeysCompareAsWholeStrings)
{
    Writer w;
    w.Raw(Key("layerConceals")).Raw(Key("Clr ")).Raw(Key("layerConcealsX"));
    OpenReader reader(w.out);
    PsdDescriptorKey key;
    PsdReadDescriptorKey(reader.get(), &key);
    EXPECT_TRUE(PsdKeyIs(&key, "layerConceals"));
    PsdReadDescriptorKey(reader.get(), &key);
    EXPECT_TRUE(PsdKeyIs(&key, "Clr "));
    EXPECT_FALSE(PsdKeyIs(&key, "Clr"));
    PsdReadDescriptorKey(reader.get(), &key);
    EXPECT_FALSE(PsdKeyIs(&key, "layerConceals"));
}

TEST(PsdDescriptorKeys, OverlongKeysAreReadWholeAndMatchNothing)
{
    const std::string longKey(1000, 'k');
    OpenReader reader(WithMarker(Key(longKey)));
    PsdDescriptorKey key;
    PsdReadDescriptorKey(reader.get(), &key);
    EXPECT_EQ(key.length, 1000u);
    EXPECT_EQ(PsdReadU32(reader.get()), PsdKey("MARK"));
}

struct EnumCase
{
    const char* key;
    int32_t mode;
};

class PsdBlendModeEnum : public ::testing::TestWithParam<EnumCase>
{
};

TEST_P(PsdBlendModeEnum, MapsToTheLayerBlendNumbers)
{
    OpenReader reader(Key(GetParam().key));
    EXPECT_EQ(PsdReadBlendModeEnum(reader.get()), GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(Keys, PsdBlendModeEnum,
                         ::testing::Values(EnumCase{"Nrml", 0}, EnumCase{"Dslv", 1},
                                           EnumCase{"Mltp", 3}, EnumCase{"CBrn", 4},
                                           EnumCase{"linearBurn", 5}, EnumCase{"Scrn", 7},
                                           EnumCase{"CDdg", 8}, EnumCase{"linearDodge", 9},
                                           EnumCase{"Ovrl", 10}, EnumCase{"vividLight", 13},
                                           EnumCase{"linearLight", 14}, EnumCase{"pinLight", 15},
                                           EnumCase{"hardMix", 16}, EnumCase{"Dfrn", 17},
                                           EnumCase{"Xclu", 18}, EnumCase{"H   ", 19},
                                           EnumCase{"Strt", 20}, EnumCase{"Clr ", 21},
                                           EnumCase{"Lmns", 22}, EnumCase{"Nrm", 0},
                                           EnumCase{"darkerColor", 0}, EnumCase{"Xyzw", 0}));

TEST(PsdDescriptorEnums, TechniqueAndGradientStyle)
{
    Writer w;
    w.Raw(Key("PrBL")).Raw(Key("Slmt")).Raw(Key("what")).Raw(Key("Rflc")).Raw(Key("Dmnd"));
    OpenReader reader(w.out);
    EXPECT_EQ(PsdReadTechniqueEnum(reader.get()), 1);
    EXPECT_EQ(PsdReadTechniqueEnum(reader.get()), 2);
    EXPECT_EQ(PsdReadTechniqueEnum(reader.get()), 0);
    EXPECT_EQ(PsdReadGradientStyleEnum(reader.get()), 3);
    EXPECT_EQ(PsdReadGradientStyleEnum(reader.get()), 4);
}

TEST(PsdDescriptorValues, OpacityPercentagesRoundAndClamp)
{
    const std::pair<double, int> cases[] = {{75, 191}, {100, 255}, {150, 255}, {-20, 0},
                                            {0, 0},    {50, 127}};
    for (const auto& [percent, opacity] : cases)
    {
        OpenReader reader(Percent(percent));
        uint8_t value = 7;
        ASSERT_TRUE(PsdReadOpacityItem(reader.get(), PsdReadU32(reader.get()), &value));
        EXPECT_EQ(value, opacity) << percent;
    }
}

TEST(PsdDescriptorValues, AnItemOfAnotherTypeIsSkippedAndLeavesTheTarget)
{
    OpenReader reader(WithMarker(Text(u"not a bool")));
    bool value = true;
    EXPECT_FALSE(PsdReadBoolItem(reader.get(), PsdReadU32(reader.get()), &value));
    EXPECT_TRUE(value);
    EXPECT_EQ(PsdReadU32(reader.get()), PsdKey("MARK"));
}

TEST(PsdDescriptorValues, NotANumberAndHugeValuesBecomeSafeIntegers)
{
    Writer w;
    w.Raw(Double(std::nan(""))).Raw(Double(1e300)).Raw(Double(-1e300)).Raw(Double(-2.9));
    OpenReader reader(w.out);
    int32_t values[4] = {};
    for (int32_t& value : values)
        ASSERT_TRUE(PsdReadIntegerItem(reader.get(), PsdReadU32(reader.get()), &value));
    EXPECT_EQ(values[0], 0);
    EXPECT_EQ(values[1], INT32_MAX);
    EXPECT_EQ(values[2], INT32_MIN);
    EXPECT_EQ(values[3], -2);
}

TEST(PsdDescriptorColor, ClassicAndFloatKeysGiveOpaqueRgb)
{
    Writer w;
    w.Raw(Body({{"Rd  ", Double(255)}, {"Grn ", Double(128.9)}, {"Bl  ", Double(3)}}, "RGBC"));
    w.Raw(Body({{"redFloat", Double(1.0)}, {"greenFloat", Double(0.5)}, {"blueFloat", Double(0)}},
               "RGBC"));
    // Out of range and in another order, with an item the colour does not use.
    w.Raw(Body({{"Bl  ", Double(300)}, {"Bk  ", Text(u"book")}, {"Rd  ", Double(-4)}}, "RGBC"));
    OpenReader reader(w.out);
    EXPECT_EQ(PsdReadColorDescriptor(reader.get()), 0xFFFF8003u);
    EXPECT_EQ(PsdReadColorDescriptor(reader.get()), 0xFFFF7F00u);
    EXPECT_EQ(PsdReadColorDescriptor(reader.get()), 0xFF0000FFu);
    EXPECT_EQ(reader->readStatus, kPsdOk);
}

struct OwnedGradient
{
    PsdGradient value = {};
    ~OwnedGradient() { PsdFreeGradient(&value); }
};

TEST(PsdDescriptorGradient, ReadsNameSmoothnessAndBothStopLists)
{
    const Bytes gradient =
        desc::Gradient(u"Sunset", {{255, 0, 0, 0, 50, "UsrS"}, {0, 0, 0, 4096, 25, "FrgC"},
                                   {0, 0, 0, 2048, 50, "BckC"}},
                       {{100, 0, 50}, {30, 4096, 60}}, 2048.7);
    OpenReader reader(WithMarker(gradient));
    OwnedGradient g;
    ASSERT_TRUE(PsdReadGradientItem(reader.get(), PsdReadU32(reader.get()), &g.value));
    EXPECT_EQ(reader->readStatus, kPsdOk);
    EXPECT_EQ(PsdReadU32(reader.get()), PsdKey("MARK"));
    EXPECT_EQ(std::u16string(g.value.name, g.value.name + g.value.nameLength), u"Sunset");
    EXPECT_EQ(g.value.smoothness, 2048);
    ASSERT_EQ(g.value.colorStopCount, 3);
    EXPECT_EQ(g.value.colorStops[0].color, 0xFFFF0000u);
    EXPECT_EQ(g.value.colorStops[0].type, 2);
    EXPECT_EQ(g.value.colorStops[1].type, 0);
    EXPECT_EQ(g.value.colorStops[1].location, 4096u);
    EXPECT_EQ(g.value.colorStops[1].midpoint, 25u);
    EXPECT_EQ(g.value.colorStops[2].type, 1);
    ASSERT_EQ(g.value.transparencyStopCount, 2);
    EXPECT_EQ(g.value.transparencyStops[0].opacity, 100);
    EXPECT_EQ(g.value.transparencyStops[1].opacity, 30);
    EXPECT_EQ(g.value.transparencyStops[1].location, 4096u);
    EXPECT_EQ(g.value.transparencyStops[1].midpoint, 60u);
}

TEST(PsdDescriptorGradient, AStopCountPastTheDataFailsBeforeAllocating)
{
    Writer w;
    w.Key("Objc").Raw(Body({}, "Grdn"));
    // Patch the item count to one, then a stop list claiming a billion stops.
    w.out.resize(w.out.size() - 4);
    w.U32(1).Raw(Key("Clrs")).Key("VlLs").U32(1000000000);
    OpenReader reader(w.out);
    OwnedGradient g;
    PsdReadGradientItem(reader.get(), PsdReadU32(reader.get()), &g.value);
    EXPECT_EQ(reader->readStatus, kPsdShortRead);
    EXPECT_EQ(g.value.colorStopCount, 0);
}

TEST(PsdDescriptorGradient, ASecondGradientReplacesTheFirst)
{
    Writer w;
    w.Raw(desc::Gradient(u"one", {{1, 2, 3, 0, 50}}, {}));
    w.Raw(desc::Gradient(u"two", {{4, 5, 6, 0, 50}, {7, 8, 9, 4096, 50}}, {}));
    OpenReader reader(w.out);
    OwnedGradient g;
    PsdReadGradientItem(reader.get(), PsdReadU32(reader.get()), &g.value);
    PsdReadGradientItem(reader.get(), PsdReadU32(reader.get()), &g.value);
    EXPECT_EQ(std::u16string(g.value.name, g.value.name + g.value.nameLength), u"two");
    EXPECT_EQ(g.value.colorStopCount, 2);
}

TEST(PsdDescriptorPatternRef, ReadsTheNameAsUnitsAndTheIdentifierAsBytes)
{
    OpenReader reader(WithMarker(PatternRef(u"Bricks", u"b1-4f")));
    PsdPatternRef pattern = {};
    ASSERT_TRUE(PsdReadPatternRefItem(reader.get(), PsdReadU32(reader.get()), &pattern));
    EXPECT_EQ(std::u16string(pattern.name, pattern.name + pattern.nameLength), u"Bricks");
    EXPECT_STREQ(pattern.identifier, "b1-4f");
    EXPECT_EQ(PsdReadU32(reader.get()), PsdKey("MARK"));
    PsdFreePatternRef(&pattern);
}

TEST(PsdDescriptorPatternRef, AnOverlongIdentifierIsCutToTheField)
{
    const std::u16string id(400, u'x');
    OpenReader reader(WithMarker(PatternRef(u"", id)));
    PsdPatternRef pattern = {};
    PsdReadPatternRefItem(reader.get(), PsdReadU32(reader.get()), &pattern);
    EXPECT_EQ(std::string(pattern.identifier), std::string(255, 'x'));
    EXPECT_EQ(PsdReadU32(reader.get()), PsdKey("MARK"));
    PsdFreePatternRef(&pattern);
}

TEST(PsdDescriptorPoint, ReadsBothCoordinatesTruncated)
{
    OpenReader reader(Point(-3.7, 12.9));
    int32_t x = 0, y = 0;
    ASSERT_TRUE(PsdReadPointItem(reader.get(), PsdReadU32(reader.get()), &x, &y));
    EXPECT_EQ(x, -3);
    EXPECT_EQ(y, 12);
}

// --- Contours -------------------------------------------------------------------------------

std::vector<uint8_t> ReadContourTable(const std::vector<ContourPoint>& points)
{
    OpenReader reader(Contour(points, u"Custom"));
    std::vector<uint8_t> table(256, 0xEE);
    PsdReadContourItem(reader.get(), PsdReadU32(reader.get()), table.data());
    EXPECT_EQ(reader->readStatus, kPsdOk);
    return table;
}

TEST(PsdContour, TwoPointsUpGiveTheIdentity)
{
    const std::vector<uint8_t> table = ReadContourTable({{0, 0}, {255, 255}});
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(table[size_t(i)], i);
}

TEST(PsdContour, TwoPointsDownGiveTheInverse)
{
    const std::vector<uint8_t> table = ReadContourTable({{0, 255}, {255, 0}});
    for (int i = 0; i < 256; ++i)
        EXPECT_NEAR(table[size_t(i)], 255 - i, 1) << i;
}

TEST(PsdContour, InputsBelowTheFirstPointTakeItsOutput)
{
    const std::vector<uint8_t> table = ReadContourTable({{64, 200}, {255, 255}});
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(table[size_t(i)], 200);
    EXPECT_EQ(table[255], 255);
}

TEST(PsdContour, ACornerKeepsTheNeighbouringSegmentsStraight)
{
    // A peak: with a corner in the middle both halves are straight lines; a
    // smooth peak overshoots them.
    const std::vector<uint8_t> corner = ReadContourTable({{0, 0}, {128, 255, true}, {255, 0}});
    const std::vector<uint8_t> smooth = ReadContourTable({{0, 0}, {128, 255}, {255, 0}});
    EXPECT_NEAR(corner[64], 128, 2);
    EXPECT_NEAR(corner[192], 127, 3);
    EXPECT_GT(smooth[64], corner[64] + 10);
}

TEST(PsdContour, LevelsOutsideTheTableAreClamped)
{
    const std::vector<uint8_t> table = ReadContourTable({{-500, -20}, {900, 4000}});
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[255], 255);
}

TEST(PsdContour, OnePointGivesAConstantAndNoneLeavesTheIdentity)
{
    const std::vector<uint8_t> one = ReadContourTable({{100, 42}});
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(one[size_t(i)], 42);
    const std::vector<uint8_t> none = ReadContourTable({});
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(none[size_t(i)], i);
}

TEST(PsdContour, MorePointsThanTheTableTakesAreRefused)
{
    std::vector<ContourPoint> points;
    for (int i = 0; i < kPsdMaxContourPoints + 1; ++i)
        points.push_back({double(i % 256), double(i % 256)});
    OpenReader reader(Contour(points));
    uint8_t table[256];
    PsdIdentityContour(table);
    PsdReadContourItem(reader.get(), PsdReadU32(reader.get()), table);
    EXPECT_EQ(reader->readStatus, kPsdListFull);
}

} // namespace
