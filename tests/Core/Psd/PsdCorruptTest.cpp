// Every committed fixture (the writer's own documents among them), cut short
// and with lengths and counts overwritten, must load into a status and never
// crash (the suite runs under AddressSanitizer). Small files are tried at
// every byte; bigger ones at an even spread whose phase differs from one
// change to the next, so that together the five changes still meet every
// byte of files up to five times the budget (fuzz_Psd goes on from there).

#include "tests/Core/Psd/PsdTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace psdtest;

namespace
{

struct Sample { std::string name; Bytes data; };

std::vector<Sample> AllSamples()
{
    std::vector<Sample> samples;
    const std::string folder = std::string(BW_SOURCE_DIR) + "/tests/Core/Psd/fixtures";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (entry.path().extension() == ".psd")
            samples.push_back({entry.path().filename().string(), LoadFile(entry.path().string())});
    return samples;
}

// Offsets to try in a file: every one up to `budget`, else an even spread of
// about that many starting at `phase`.
std::vector<size_t> Offsets(size_t size, size_t budget, size_t phase = 0)
{
    std::vector<size_t> offsets;
    const size_t step = std::max<size_t>(1, size / budget);
    for (size_t at = phase % step; at < size; at += step)
        offsets.push_back(at);
    return offsets;
}

// The composite's compression word sits right after the layer section.
int CompositeCompression(const Bytes& data)
{
    Loaded loaded = LoadBytes(data);
    if (loaded.status != kPsdOk)
        return -1;
    // Re-walk the four length-prefixed sections after the header.
    size_t at = 26;
    for (int section = 0; section < 3 && at + 4 <= data.size(); ++section)
        at += 4 + (size_t(data[at]) << 24 | size_t(data[at + 1]) << 16 |
                   size_t(data[at + 2]) << 8 | data[at + 3]);
    return at + 2 <= data.size() ? data[at] << 8 | data[at + 1] : -1;
}

TEST(PsdCorrupt, EveryTruncationFails)
{
    for (const Sample& sample : AllSamples())
    {
        SCOPED_TRACE(sample.name);
        Loaded whole = LoadBytes(sample.data);
        ASSERT_EQ(whole.status, kPsdOk);
        const size_t pixels = size_t(whole->width) * whole->height;
        const bool zipped = CompositeCompression(sample.data) >= 2;
        for (size_t cut : Offsets(sample.data.size(), 400))
        {
            const Bytes truncated(sample.data.begin(), sample.data.begin() + long(cut));
            Loaded loaded = LoadBytes(truncated);
            // A zlib stream may have given all its pixels before its last
            // bytes (end code and checksum); cut there, nothing is lost.
            if (zipped && loaded.status == kPsdOk &&
                std::equal(loaded->composite, loaded->composite + pixels, whole->composite))
                continue;
            EXPECT_LT(loaded.status, 0) << "cut at " << cut;
        }
    }
}

// Lengths and counts overwritten with large values, or one more or one less
// than written, which shifts everything after them.
TEST(PsdCorrupt, ChangedFieldsNeverCrash)
{
    const uint32_t values[] = {0xFFFFFFFF, 0x80000000, 0x00010000, 1, 0xFF};
    for (const Sample& sample : AllSamples())
    {
        SCOPED_TRACE(sample.name);
        size_t failures = 0, loads = 0;
        for (size_t v = 0; v < 5; ++v)
            for (size_t at : Offsets(sample.data.size(), 250, v))
            {
                Bytes changed = sample.data;
                for (size_t i = 0; i < 4 && at + i < changed.size() && v < 3; ++i)
                    changed[at + i] = uint8_t(values[v] >> (24 - 8 * i));
                changed[at] = uint8_t(v < 3 ? changed[at] : changed[at] + values[v]);
                const PsdStatus status = LoadBytes(changed).status;
                EXPECT_LE(status, 0);
                failures += status < 0 && v < 3;
                ++loads;
            }
        // Most large values break the structure; pixel bytes do not.
        EXPECT_GT(failures, 0u) << "of " << loads;
    }
}

} // namespace
