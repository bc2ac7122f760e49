// Descriptors read straight from bytes: skipping by type, the structures the
// effect and fill readers share, and contour tables. The values of whole
// effect and fill descriptors are compared with psd-tools by PsdInteropTest.

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

// Descriptors nested `depth` deep, objects and lists in turn, around a long.
// Neither has a length, so the heads can simply be laid end to end.
Bytes Nested(int depth)
{
    const Bytes object = Object({{"in", {}}}), list = List({Bytes()});
    Bytes value;
    for (int i = depth - 1; i >= 0; --i)
        value.insert(value.end(), (i % 2 ? list : object).begin(), (i % 2 ? list : object).end());
    const Bytes inner = Long(1);
    value.insert(value.end(), inner.begin(), inner.end());
    return value;
}

// --- Skipping by type -----------------------------------------------------------------

struct SkipCase
{
    const char* name;
    Bytes typed;
    PsdStatus status = kPsdOk;
};

void PrintTo(const SkipCase& c, std::ostream* os) { *os << c.name; }

class PsdSkipItem : public ::testing::TestWithParam<SkipCase>
{
};

// A value is passed by whole, up to the marker after it, or stops the
// descriptor with its status.
TEST_P(PsdSkipItem, ConsumesTheWholeValueOrFails)
{
    OpenReader reader(GetParam().status == kPsdOk ? WithMarker(GetParam().typed) : GetParam().typed);
    PsdSkipDescriptorItem(PsdReadU32(reader.get()), reader.get());
    EXPECT_EQ(reader->readStatus, GetParam().status);
    EXPECT_EQ(reader->descriptorDepth, 0);
    if (GetParam().status == kPsdOk)
    {
        EXPECT_EQ(PsdReadU32(reader.get()), PsdKey("MARK")) << "stopped at " << reader->consumed - 4;
    }
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

Bytes UnitFloats(uint32_t count)
{
    Writer w;
    w.Key("UnFl").Key("#Pxl").U32(count);
    for (uint32_t i = 0; i < count; ++i)
        w.F64(i);
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
        SkipCase{"globalObject", Typed("GlbO", Body({{"x", Double(1.5)}, {"y", Text(u"why")}}))},
        SkipCase{"unitFloat", Percent(50)},
        SkipCase{"unitFloats", UnitFloats(2)},
        SkipCase{"list", List({Long(1), Text(u"two"), List({Bool(false)}), Color(1, 2, 3)})},
        SkipCase{"long", Long(-7)},
        SkipCase{"largeInteger", Typed("comp", {1, 2, 3, 4, 5, 6, 7, 8})},
        SkipCase{"bool", Bool(true)},
        SkipCase{"double", Double(2.5)},
        SkipCase{"enum", Enum("BlnM", "linearBurn")},
        SkipCase{"reference", Reference()},
        SkipCase{"objectArray", [] {
                     Writer w;
                     w.Key("ObAr").U32(2).Raw(Body({{"Hrzn", UnitFloats(1)}}));
                     return w.out;
                 }()},
        SkipCase{"nestedToTheLimit", Nested(kPsdMaxDescriptorDepth)},
        SkipCase{"unknownType", Typed("what", {1, 2, 3}), kPsdBadDescriptor},
        SkipCase{"unknownReferenceForm", Typed("obj ", {0, 0, 0, 1, 'h', 'u', 'h', '?', 0, 0, 0, 0}), kPsdBadDescriptor},
        // Fails at the limit without recursing any further.
        SkipCase{"nestingPastTheLimit", Nested(10000), kPsdBadDescriptor},
        // Four billion items cannot be there: the loop stops where the data does.
        SkipCase{"hugeCount", Typed("VlLs", {0xFF, 0xFF, 0xFF, 0xFF, 'b', 'o', 'o', 'l', 1}), kPsdShortRead}),
    [](const ::testing::TestParamInfo<SkipCase>& info) { return std::string(info.param.name); });

// --- Keys, values and structures ------------------------------------------------------------

TEST(PsdDescriptorKeys, TextAndCodeKeysCompareAsWholeStringsAndOverlongOnesMatchNothing)
{
    Writer w;
    w.Raw(Key("layerConceals")).Raw(Key("Clr ")).Raw(Key("layerConcealsX")).Raw(Key(std::string(1000, 'k')));
    OpenReader reader(WithMarker(w.out));
    PsdDescriptorKey key;
    PsdReadDescriptorKey(reader.get(), &key);
    EXPECT_TRUE(PsdKeyIs(&key, "layerConceals"));
    PsdReadDescriptorKey(reader.get(), &key);
    EXPECT_TRUE(PsdKeyIs(&key, "Clr "));
    EXPECT_FALSE(PsdKeyIs(&key, "Clr"));
    PsdReadDescriptorKey(reader.get(), &key);
    EXPECT_FALSE(PsdKeyIs(&key, "layerConceals"));
    PsdReadDescriptorKey(reader.get(), &key);
    EXPECT_EQ(key.length, 1000u);
    EXPECT_EQ(PsdReadU32(reader.get()), PsdKey("MARK"));
}

TEST(PsdDescriptorEnums, CodesAndTextKeysMapAndOthersGiveZero)
{
    const std::pair<const char*, int32_t> blends[] = {{"Mltp", 3},     {"linearBurn", 5}, {"H   ", 19},
                                                      {"Lmns", 22},    {"Nrm", 0},        {"darkerColor", 0},
                                                      {"Xyzw", 0}};
    for (const auto& [key, mode] : blends)
    {
        OpenReader reader(Key(key));
        EXPECT_EQ(PsdReadBlendModeEnum(reader.get()), mode) << key;
    }
    Writer w;
    w.Raw(Key("Slmt")).Raw(Key("what")).Raw(Key("Dmnd")).Raw(Key("what"));
    OpenReader reader(w.out);
    EXPECT_EQ(PsdReadTechniqueEnum(reader.get()), 2);
    EXPECT_EQ(PsdReadTechniqueEnum(reader.get()), 0);
    EXPECT_EQ(PsdReadGradientStyleEnum(reader.get()), 4);
    EXPECT_EQ(PsdReadGradientStyleEnum(reader.get()), 0);
}

TEST(PsdDescriptorValues, OpacitiesRoundAndClampAndNumbersBecomeSafeIntegersTruncatedTowardZero)
{
    const std::pair<double, int> opacities[] = {{75, 191}, {100, 255}, {150, 255}, {-20, 0}, {0, 0}, {50, 127}};
    for (const auto& [percent, opacity] : opacities)
    {
        OpenReader reader(Percent(percent));
        uint8_t value = 7;
        ASSERT_TRUE(PsdReadOpacityItem(reader.get(), PsdReadU32(reader.get()), &value));
        EXPECT_EQ(value, opacity) << percent;
    }

    Writer w;
    w.Raw(Double(std::nan(""))).Raw(Double(1e300)).Raw(Point(-3.7, 12.9));
    OpenReader reader(w.out);
    int32_t values[4] = {};
    ASSERT_TRUE(PsdReadIntegerItem(reader.get(), PsdReadU32(reader.get()), &values[0]));
    ASSERT_TRUE(PsdReadIntegerItem(reader.get(), PsdReadU32(reader.get()), &values[1]));
    ASSERT_TRUE(PsdReadPointItem(reader.get(), PsdReadU32(reader.get()), &values[2], &values[3]));
    EXPECT_EQ(std::vector<int32_t>(values, values + 4), (std::vector<int32_t>{0, INT32_MAX, -3, 12}));
}

TEST(PsdDescriptorValues, AnItemOfAnotherTypeIsSkippedAndLeavesTheTarget)
{
    // Each reader is given a text; it must pass it by and write nothing.
    using Read = bool (*)(PsdContext*, uint32_t, int32_t*);
    const Read readers[] = {
        [](PsdContext* c, uint32_t t, int32_t* v) { return PsdReadIntegerItem(c, t, v); },
        [](PsdContext* c, uint32_t t, int32_t* v) { return PsdReadBlendModeItem(c, t, v); },
        [](PsdContext* c, uint32_t t, int32_t* v) { return PsdReadTechniqueItem(c, t, v); },
        [](PsdContext* c, uint32_t t, int32_t* v) { return PsdReadGradientStyleItem(c, t, v); },
        [](PsdContext* c, uint32_t t, int32_t* v) { return PsdReadPointItem(c, t, v, v); },
        [](PsdContext* c, uint32_t t, int32_t* v) { return PsdReadColorItem(c, t, reinterpret_cast<uint32_t*>(v)); },
        [](PsdContext* c, uint32_t t, int32_t* v) { return PsdReadBoolItem(c, t, reinterpret_cast<bool*>(v)); },
        [](PsdContext* c, uint32_t t, int32_t* v) { return PsdReadOpacityItem(c, t, reinterpret_cast<uint8_t*>(v)); },
    };
    for (size_t i = 0; i < std::size(readers); ++i)
    {
        OpenReader reader(WithMarker(Text(u"not a value")));
        int32_t value = 0x01010101;
        EXPECT_FALSE(readers[i](reader.get(), PsdReadU32(reader.get()), &value)) << i;
        EXPECT_EQ(value, 0x01010101) << i;
        EXPECT_EQ(PsdReadU32(reader.get()), PsdKey("MARK")) << i;
    }
}

TEST(PsdDescriptorColor, ClassicAndFloatKeysGiveOpaqueRgb)
{
    Writer w;
    w.Raw(Body({{"Rd  ", Double(255)}, {"Grn ", Double(128.9)}, {"Bl  ", Double(3)}}, "RGBC"));
    w.Raw(Body({{"redFloat", Double(1.0)}, {"greenFloat", Double(0.5)}, {"blueFloat", Double(0)}}, "RGBC"));
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

TEST(PsdDescriptorGradient, StopTypesTruncatedSmoothnessAndASecondGradientReplacingTheFirst)
{
    Writer w;
    w.Raw(desc::Gradient(u"Sunset",
                         {{255, 0, 0, 0, 50, "UsrS"}, {0, 0, 0, 4096, 25, "FrgC"}, {0, 0, 0, 2048, 50, "BckC"}},
                         {{100, 0, 50}}, 2048.7));
    w.Raw(desc::Gradient(u"two", {{4, 5, 6, 0, 50}, {7, 8, 9, 4096, 50}}, {}));
    OpenReader reader(WithMarker(w.out));
    OwnedGradient g;
    ASSERT_TRUE(PsdReadGradientItem(reader.get(), PsdReadU32(reader.get()), &g.value));
    EXPECT_EQ(g.value.smoothness, 2048);
    ASSERT_EQ(g.value.colorStopCount, 3);
    EXPECT_EQ(g.value.colorStops[0].type, 2);
    EXPECT_EQ(g.value.colorStops[1].type, 0);
    EXPECT_EQ(g.value.colorStops[2].type, 1);
    ASSERT_TRUE(PsdReadGradientItem(reader.get(), PsdReadU32(reader.get()), &g.value));
    EXPECT_EQ(PsdReadU32(reader.get()), PsdKey("MARK"));
    EXPECT_EQ(std::u16string(g.value.name, g.value.name + g.value.nameLength), u"two");
    EXPECT_EQ(g.value.colorStopCount, 2);
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

TEST(PsdDescriptorPatternRef, AnOverlongIdentifierIsCutToTheField)
{
    OpenReader reader(WithMarker(PatternRef(u"", std::u16string(400, u'x'))));
    PsdPatternRef pattern = {};
    PsdReadPatternRefItem(reader.get(), PsdReadU32(reader.get()), &pattern);
    EXPECT_EQ(std::string(pattern.identifier), std::string(255, 'x'));
    EXPECT_EQ(PsdReadU32(reader.get()), PsdKey("MARK"));
    PsdFreePatternRef(&pattern);
}

// --- Contours (the tables of full curves are compared with psd-tools' points) ------------------

std::vector<uint8_t> ReadContourTable(const std::vector<ContourPoint>& points)
{
    OpenReader reader(Contour(points, u"Custom"));
    std::vector<uint8_t> table(256, 0xEE);
    PsdReadContourItem(reader.get(), PsdReadU32(reader.get()), table.data());
    EXPECT_EQ(reader->readStatus, kPsdOk);
    return table;
}

TEST(PsdContour, EdgesClampConstantsAndTheIdentity)
{
    // Inputs below the first point take its output.
    const std::vector<uint8_t> table = ReadContourTable({{64, 200}, {255, 255}});
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(table[size_t(i)], 200);
    EXPECT_EQ(table[255], 255);
    const std::vector<uint8_t> clamped = ReadContourTable({{-500, -20}, {900, 4000}});
    EXPECT_EQ(clamped[0], 0);
    EXPECT_EQ(clamped[255], 255);
    // One point gives a constant; none leaves the identity.
    const std::vector<uint8_t> one = ReadContourTable({{100, 42}});
    const std::vector<uint8_t> none = ReadContourTable({});
    for (int i = 0; i < 256; ++i)
    {
        EXPECT_EQ(one[size_t(i)], 42);
        EXPECT_EQ(none[size_t(i)], i);
    }
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
