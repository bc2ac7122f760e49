// Documents written by ImageMagick, GIMP and the tests' own writer, read by
// this reader and compared with what psd-tools read from the same files
// (scripts/psd-expected.py wrote the .expected files beside them).

#include "tests/Core/Psd/PsdTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <zlib.h>

using namespace psdtest;

namespace
{

const std::string kFixtures = std::string(BW_SOURCE_DIR) + "/tests/Core/Psd/fixtures";

std::vector<std::string> FixtureNames()
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(kFixtures, error))
        if (entry.path().extension() == ".psd")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Crc(const void* data, size_t size)
{
    if (!data || size == 0)
        return "-";
    char text[16];
    std::snprintf(text, sizeof text, "%08lx",
                  crc32(0, static_cast<const Bytef*>(data), uInt(size)) & 0xFFFFFFFFul);
    return text;
}

std::string Hex(const char* text)
{
    std::string out;
    char digits[4];
    for (const char* p = text; *p; ++p)
    {
        std::snprintf(digits, sizeof digits, "%02x", uint8_t(*p));
        out += digits;
    }
    return out.empty() ? "-" : out;
}

// One "layer" line of an expected file: its words after "layer <index>" as
// name -> value, and the mask's words.
struct ExpectedLayer
{
    std::map<std::string, std::string> fields;
    std::vector<std::string> rect, mask;
};

struct Expected
{
    std::vector<int> header;
    int alpha = 0;
    int layers = 0;
    std::vector<ExpectedLayer> records;
    std::string composite;
};

Expected ReadExpected(const std::string& path)
{
    Expected expected;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
    {
        std::istringstream words(line);
        std::string word;
        words >> word;
        if (word == "header")
        {
            int value;
            while (words >> value)
                expected.header.push_back(value);
        }
        else if (word == "alpha")
            words >> expected.alpha;
        else if (word == "layers")
            words >> expected.layers;
        else if (word == "composite")
            words >> expected.composite;
        else if (word == "layer")
        {
            ExpectedLayer layer;
            int index;
            words >> index;
            std::string key;
            while (words >> key)
            {
                if (key == "rect")
                {
                    layer.rect.resize(4);
                    for (auto& v : layer.rect)
                        words >> v;
                }
                else if (key == "mask")
                {
                    std::string first;
                    words >> first;
                    layer.mask.push_back(first);
                    if (first != "-")
                        for (int i = 0; i < 5; ++i)
                        {
                            std::string v;
                            words >> v;
                            layer.mask.push_back(v);
                        }
                }
                else
                {
                    words >> layer.fields[key];
                }
            }
            expected.records.push_back(layer);
        }
    }
    return expected;
}

class PsdInterop : public testing::TestWithParam<std::string>
{
};

TEST_P(PsdInterop, ReadsWhatPsdToolsReads)
{
    const std::string base = kFixtures + "/" + GetParam();
    const Expected expected = ReadExpected(base + ".expected");
    ASSERT_EQ(expected.header.size(), 5u) << "no expected values for " << GetParam();

    PsdContext* context = nullptr;
    ASSERT_EQ(PsdLoadDocument((base + ".psd").c_str(), &context), kPsdOk);
    Loaded loaded;
    loaded.context = context;

    EXPECT_EQ(int(context->width), expected.header[0]);
    EXPECT_EQ(int(context->height), expected.header[1]);
    EXPECT_EQ(int(context->channelCount), expected.header[2]);
    EXPECT_EQ(int(context->depth), expected.header[3]);
    EXPECT_EQ(int(context->colorMode), expected.header[4]);
    EXPECT_EQ(int(context->alphaChannelCount), expected.alpha);

    const size_t pixels = size_t(context->width) * context->height;
    EXPECT_EQ(Crc(context->composite, pixels * 4), expected.composite);

    if (expected.layers == 0)
    {
        // A flattened document reads as one layer holding the merged image.
        ASSERT_EQ(context->layerCount, 1);
        EXPECT_EQ(Crc(context->layers[0].pixels, pixels * 4), expected.composite);
        return;
    }
    ASSERT_EQ(context->layerCount, expected.layers);
    for (int i = 0; i < context->layerCount; ++i)
    {
        SCOPED_TRACE("layer " + std::to_string(i));
        const PsdLayerRecord& record = context->layers[i];
        const ExpectedLayer& want = expected.records[size_t(i)];
        auto field = [&](const char* key) { return want.fields.at(key); };
        EXPECT_EQ(std::to_string(record.kind), field("kind"));
        const int folder = record.folder ? int(record.folder - context->layers) : -1;
        EXPECT_EQ(std::to_string(folder), field("folder"));
        EXPECT_EQ(std::to_string(record.top), want.rect[0]);
        EXPECT_EQ(std::to_string(record.left), want.rect[1]);
        EXPECT_EQ(std::to_string(record.bottom), want.rect[2]);
        EXPECT_EQ(std::to_string(record.right), want.rect[3]);
        EXPECT_EQ(std::to_string(record.opacity), field("opacity"));
        EXPECT_EQ(std::to_string(record.blendMode), field("blend"));
        EXPECT_EQ(record.visible ? "1" : "0", field("visible"));
        EXPECT_EQ(record.clipping ? "1" : "0", field("clipping"));
        EXPECT_EQ(Hex(record.name), field("name"));
        EXPECT_EQ(Crc(record.pixels, size_t(record.width) * record.height * 4), field("pixels"));
        if (want.mask[0] == "-")
            continue;
        EXPECT_EQ(std::to_string(record.maskTop), want.mask[0]);
        EXPECT_EQ(std::to_string(record.maskLeft), want.mask[1]);
        EXPECT_EQ(std::to_string(record.maskBottom), want.mask[2]);
        EXPECT_EQ(std::to_string(record.maskRight), want.mask[3]);
        EXPECT_EQ(std::to_string(record.maskDefaultColor), want.mask[4]);
        EXPECT_EQ(Crc(record.maskPixels, size_t(record.maskWidth) * record.maskHeight), want.mask[5]);
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, PsdInterop, testing::ValuesIn(FixtureNames()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(PsdInterop);

TEST(PsdInterop, FixturesFromThreeWritersArePresent)
{
    const std::vector<std::string> names = FixtureNames();
    for (const char* prefix : {"im_", "gimp_", "w_"})
        EXPECT_TRUE(std::any_of(names.begin(), names.end(),
                                [&](const std::string& n) { return n.rfind(prefix, 0) == 0; }))
            << "no fixture from " << prefix;
}

} // namespace
