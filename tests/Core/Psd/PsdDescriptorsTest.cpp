// Descriptors read straight from bytes: skipping by type, the structures the
// effect and fill readers share, and contour tables. The values of whole
// effect and fill descriptors are compared with psd-tools by PsdInteropTest.

#include "tests/Core/Psd/PsdTesting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

using namespace psdtest;
using namespace psdtest::desc;

namespace
{

// A value followed by a marker, so that a test can tell where skipping stopped.
Bytes WithMarker(const Bytes& value) { return Writer().Raw(value).Key("MARK").out; }
Bytes Typed(const char* type, const Bytes& data) { return Writer().Key(type).Raw(data).out; }
Bytes ClassValue(const std::u16string& name, const std::string& key)
{
    return Writer().Unicode(name).Raw(Key(key)).out;
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

Bytes Reference()
{
    Writer w;
    w.Key("obj ").U32(7).Key("prop").Raw(ClassValue(u"p", "Lyr ")).Raw(Key("Nm  "));
    w.Key("Clss").Raw(ClassValue(u"", "Chnl")).Key("Enmr").Raw(ClassValue(u"", "Lyr ")).Raw(Key("Ordn"));
    w.Raw(Key("Trgt")).Key("rele").Raw(ClassValue(u"", "Lyr ")).U32(3).Key("Idnt").U32(42).Key("indx").U32(2);
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

// A value is passed by whole, up to the marker after it, or stops the
// descriptor with its status.
TEST(PsdSkipItem, EveryTypeIsPassedByWholeOrFails)
{
    const struct { const char* name; Bytes typed; PsdStatus status = kPsdOk; } cases[] = {
        {"alias", Typed("alis", {0, 0, 0, 3, 1, 2, 3})},
        {"rawData", Typed("tdta", {0, 0, 0, 2, 9, 9})},
        {"path", Typed("Pth ", {0, 0, 0, 1, 7})},
        {"text", Text(u"hello")},
        {"globalClass", Typed("GlbC", ClassValue(u"cls", "longClassName"))},
        {"type", Typed("type", ClassValue(u"", "Lyr "))},
        {"object", Object({{"a", Long(1)}, {"Nest", Object({{"deep", Bool(true)}})}})},
        {"globalObject", Typed("GlbO", Body({{"x", Double(1.5)}, {"y", Text(u"why")}}))},
        {"unitFloat", Percent(50)},
        {"unitFloats", UnitFloats(2)},
        {"list", List({Long(1), Text(u"two"), List({Bool(false)}), Color(1, 2, 3)})},
        {"long", Long(-7)},
        {"largeInteger", Typed("comp", {1, 2, 3, 4, 5, 6, 7, 8})},
        {"bool", Bool(true)},
        {"double", Double(2.5)},
        {"enum", Enum("BlnM", "linearBurn")},
        {"reference", Reference()},
        {"objectArray", Writer().Key("ObAr").U32(2).Raw(Body({{"Hrzn", UnitFloats(1)}})).out},
        {"nestedToTheLimit", Nested(kPsdMaxDescriptorDepth)},
        {"unknownType", Typed("what", {1, 2, 3}), kPsdBadDescriptor},
        {"unknownReferenceForm", Typed("obj ", {0, 0, 0, 1, 'h', 'u', 'h', '?', 0, 0, 0, 0}), kPsdBadDescriptor},
        // Fails at the limit without recursing any further.
        {"nestingPastTheLimit", Nested(10000), kPsdBadDescriptor},
        // Four billion items cannot be there: the loop stops where the data does.
        {"hugeCount", Typed("VlLs", {0xFF, 0xFF, 0xFF, 0xFF, 'b', 'o', 'o', 'l', 1}), kPsdShortRead},
    };
    for (const auto& c : cases)
    {
        OpenReader reader(c.status == kPsdOk ? WithMarker(c.typed) : c.typed);
        PsdSkipDescriptorItem(PsdReadU32(reader.get()), reader.get());
        EXPECT_EQ(reader->readStatus, c.status) << c.name;
        EXPECT_EQ(reader->descriptorDepth, 0) << c.name;
        EXPECT_TRUE(c.status != kPsdOk || PsdReadU32(reader.get()) == PsdKey("MARK")) << c.name;
    }
}

// --- Keys, values and structures ------------------------------------------------------------

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
    OpenReader reader(Writer().Raw(Double(std::nan(""))).Raw(Double(1e300)).Raw(Point(-3.7, 12.9)).out);
    int32_t values[4] = {};
    ASSERT_TRUE(PsdReadIntegerItem(reader.get(), PsdReadU32(reader.get()), &values[0]));
    ASSERT_TRUE(PsdReadIntegerItem(reader.get(), PsdReadU32(reader.get()), &values[1]));
    ASSERT_TRUE(PsdReadPointItem(reader.get(), PsdReadU32(reader.get()), &values[2], &values[3]));
    EXPECT_EQ(std::vector<int32_t>(values, values + 4), (std::vector<int32_t>{0, INT32_MAX, -3, 12}));
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

TEST(PsdDescriptorGradient, StopTypesSmoothnessASecondGradientReplacingTheFirstAndStopsPastTheData)
{
    OpenReader reader(WithMarker(
        Writer()
            .Raw(desc::Gradient(u"Sunset",
                                {{255, 0, 0, 0, 50, "UsrS"}, {0, 0, 0, 4096, 25, "FrgC"}, {0, 0, 0, 2048, 50, "BckC"}},
                                {{100, 0, 50}}, 2048.7))
            .Raw(desc::Gradient(u"two", {{4, 5, 6, 0, 50}, {7, 8, 9, 4096, 50}}, {}))
            .out));
    OwnedGradient g;
    ASSERT_TRUE(PsdReadGradientItem(reader.get(), PsdReadU32(reader.get()), &g.value));
    ASSERT_EQ(g.value.colorStopCount, 3);
    EXPECT_EQ(std::vector<int>({g.value.smoothness, g.value.colorStops[0].type, g.value.colorStops[1].type,
                                g.value.colorStops[2].type}),
              std::vector<int>({2048, 2, 0, 1}));
    ASSERT_TRUE(PsdReadGradientItem(reader.get(), PsdReadU32(reader.get()), &g.value));
    EXPECT_EQ(PsdReadU32(reader.get()), PsdKey("MARK"));
    EXPECT_EQ(std::u16string(g.value.name, g.value.name + g.value.nameLength), u"two");
    EXPECT_EQ(g.value.colorStopCount, 2);

    // An object of one item: a stop list claiming a billion stops fails before allocating.
    Writer w;
    w.Key("Objc").Raw(Body({}, "Grdn"));
    w.out.resize(w.out.size() - 4);
    OpenReader billion(w.U32(1).Raw(Key("Clrs")).Key("VlLs").U32(1000000000).out);
    OwnedGradient none;
    PsdReadGradientItem(billion.get(), PsdReadU32(billion.get()), &none.value);
    EXPECT_EQ(billion->readStatus, kPsdShortRead);
    EXPECT_EQ(none.value.colorStopCount, 0);
}

TEST(PsdDescriptorPatternRef, OverlongKeysAndIdentifiersAreCutToTheirFields)
{
    OpenReader reader(
        WithMarker(Object({{std::string(1000, 'k'), Long(1)}, {"Idnt", Text(std::u16string(400, u'x'))}}, "Ptrn")));
    PsdPatternRef pattern = {};
    PsdReadPatternRefItem(reader.get(), PsdReadU32(reader.get()), &pattern);
    EXPECT_EQ(std::string(pattern.identifier), std::string(255, 'x'));
    EXPECT_EQ(PsdReadU32(reader.get()), PsdKey("MARK"));
    PsdFreePatternRef(&pattern);
}

// Contours: the tables of full curves are compared with psd-tools' points.
std::vector<uint8_t> ReadContourTable(const std::vector<ContourPoint>& points, PsdStatus status = kPsdOk)
{
    OpenReader reader(Contour(points, u"Custom"));
    std::vector<uint8_t> table(256);
    PsdIdentityContour(table.data());
    PsdReadContourItem(reader.get(), PsdReadU32(reader.get()), table.data());
    EXPECT_EQ(reader->readStatus, status);
    return table;
}

TEST(PsdContour, EdgesClampConstantsTheIdentityAndTooManyPoints)
{
    std::vector<uint8_t> expected(256, 200), identity(256);
    std::iota(expected.begin() + 64, expected.end(), 0);
    std::iota(identity.begin(), identity.end(), 0);
    // Inputs below the first point take its output.
    const std::vector<uint8_t> table = ReadContourTable({{64, 200}, {255, 255}});
    EXPECT_TRUE(std::equal(table.begin(), table.begin() + 64, expected.begin()));
    EXPECT_EQ(table[255], 255);
    const std::vector<uint8_t> clamped = ReadContourTable({{-500, -20}, {900, 4000}});
    EXPECT_EQ(std::vector<int>({clamped[0], clamped[255]}), std::vector<int>({0, 255}));
    // One point gives a constant; none leaves the identity.
    EXPECT_EQ(ReadContourTable({{100, 42}}), std::vector<uint8_t>(256, 42));
    EXPECT_EQ(ReadContourTable({}), identity);
    std::vector<ContourPoint> points;
    for (int i = 0; i < kPsdMaxContourPoints + 1; ++i)
        points.push_back({double(i % 256), double(i % 256)});
    ReadContourTable(points, kPsdListFull);
}

} // namespace
