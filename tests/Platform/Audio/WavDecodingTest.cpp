#include "tests/Platform/Audio/NoSoundOutput.h"

#include <cmath>
#include <functional>
#include <string>

using testing_support::MakeSine;
using testing_support::MakeWav;
using testing_support::MemoryFile;
using testing_support::WavSample;

namespace
{

struct WavCase
{
    const char* name;
    WavSample type;
    uint32_t channels;
    float tolerance; // one quantisation step of the type
};

class WavDecoding : public NoSoundOutput, public ::testing::WithParamInterface<WavCase>
{
};

TEST_P(WavDecoding, PlaysEverySampleAtTheOutputRateAndThenStops)
{
    const WavCase& c = GetParam();
    const uint32_t frames = 3000;
    // The second channel carries the signal at -0.5, so a swap or a mono mix shows.
    std::vector<float> samples = MakeSine(1000.0, kRate, frames, 0.5f, c.channels, -0.5f);
    MemoryFile& file = AddFile(MakeWav(samples, c.channels, kRate, c.type));
    HSTREAM stream = Open(file);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));

    std::vector<float> out = Pull(frames - 1);
    EXPECT_EQ(BASS_ChannelIsActive(stream), (DWORD)BASS_ACTIVE_PLAYING);
    std::vector<float> last = Pull(1);
    out.insert(out.end(), last.begin(), last.end());
    EXPECT_EQ(BASS_ChannelIsActive(stream), (DWORD)BASS_ACTIVE_STOPPED);

    for (uint32_t i = 0; i < frames; ++i)
    {
        const float left = samples[i * c.channels];
        const float right = c.channels == 2 ? samples[i * 2 + 1] : left;
        ASSERT_NEAR(out[2 * i], left, c.tolerance) << "frame " << i;
        ASSERT_NEAR(out[2 * i + 1], right, c.tolerance) << "frame " << i;
    }
    std::vector<float> after = Pull(100);
    EXPECT_EQ(AudibleFrames(after), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    SampleTypes, WavDecoding,
    ::testing::Values(WavCase{"U8Mono", WavSample::U8, 1, 1.0f / 128}, WavCase{"U8Stereo", WavSample::U8, 2, 1.0f / 128},
                      WavCase{"S16Mono", WavSample::S16, 1, 1.0f / 32768},
                      WavCase{"S16Stereo", WavSample::S16, 2, 1.0f / 32768},
                      WavCase{"S24Stereo", WavSample::S24, 2, 1e-6f}, WavCase{"S32Stereo", WavSample::S32, 2, 1e-6f},
                      WavCase{"F32Stereo", WavSample::F32, 2, 0.0f},
                      WavCase{"ExtensibleS16Mono", WavSample::S16Extensible, 1, 1.0f / 32768}),
    [](const ::testing::TestParamInfo<WavCase>& info) { return std::string(info.param.name); });

// --- Broken headers --------------------------------------------------------

void Set16(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Set32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    Set16(b, at, v & 0xFFFF);
    Set16(b, at + 2, v >> 16);
}

// Offsets in a plain 16-bit file made by MakeWav.
const size_t kFmtSize = 16, kTag = 20, kChannels = 22, kRateAt = 24, kBlockAlign = 32, kBits = 34, kData = 36;

struct BrokenWav
{
    const char* name;
    std::function<void(std::vector<uint8_t>&)> damage;
    int error;
};

class BrokenWavHeader : public NoSoundOutput, public ::testing::WithParamInterface<BrokenWav>
{
};

TEST_P(BrokenWavHeader, IsRefusedWithItsErrorAndTheFileClosedOnce)
{
    std::vector<uint8_t> bytes = MakeWav(MakeSine(440.0, kRate, 64, 0.5f), 1, kRate, WavSample::S16);
    GetParam().damage(bytes);
    MemoryFile& file = AddFile(bytes);
    EXPECT_EQ(Open(file), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), GetParam().error);
    EXPECT_EQ(file.closes, 1);
    EXPECT_FALSE(file.seekPastEnd);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, BrokenWavHeader,
    ::testing::Values(
        BrokenWav{"NotRiff", [](std::vector<uint8_t>& b) { b[0] = 'X'; }, BASS_ERROR_FILEFORM},
        BrokenWav{"Empty", [](std::vector<uint8_t>& b) { b.clear(); }, BASS_ERROR_FILEFORM},
        BrokenWav{"CutInTheFormat", [](std::vector<uint8_t>& b) { b.resize(26); }, BASS_ERROR_FILEFORM},
        BrokenWav{"NoDataChunk", [](std::vector<uint8_t>& b) { b.resize(kData); }, BASS_ERROR_FILEFORM},
        BrokenWav{"FormatTooShort", [](std::vector<uint8_t>& b) { Set32(b, kFmtSize, 14); }, BASS_ERROR_FILEFORM},
        BrokenWav{"FormatPastTheEnd", [](std::vector<uint8_t>& b) { Set32(b, kFmtSize, 0xFFFFFFF0u); },
                  BASS_ERROR_FILEFORM},
        BrokenWav{"NoChannels", [](std::vector<uint8_t>& b) { Set16(b, kChannels, 0); }, BASS_ERROR_FILEFORM},
        BrokenWav{"SixChannels",
                  [](std::vector<uint8_t>& b) {
                      Set16(b, kChannels, 6);
                      Set16(b, kBlockAlign, 12);
                  },
                  BASS_ERROR_FORMAT},
        BrokenWav{"RateZero", [](std::vector<uint8_t>& b) { Set32(b, kRateAt, 0); }, BASS_ERROR_FILEFORM},
        BrokenWav{"RateTooLow", [](std::vector<uint8_t>& b) { Set32(b, kRateAt, 500); }, BASS_ERROR_FORMAT},
        BrokenWav{"TwelveBits", [](std::vector<uint8_t>& b) { Set16(b, kBits, 12); }, BASS_ERROR_FORMAT},
        BrokenWav{"Adpcm", [](std::vector<uint8_t>& b) { Set16(b, kTag, 2); }, BASS_ERROR_FORMAT},
        BrokenWav{"Float16", [](std::vector<uint8_t>& b) { Set16(b, kTag, 3); }, BASS_ERROR_FORMAT},
        BrokenWav{"ExtensibleTooShort", [](std::vector<uint8_t>& b) { Set16(b, kTag, 0xFFFE); },
                  BASS_ERROR_FILEFORM},
        BrokenWav{"BlockAlignWrong", [](std::vector<uint8_t>& b) { Set16(b, kBlockAlign, 4); }, BASS_ERROR_FILEFORM},
        BrokenWav{"DataBeforeFormat",
                  [](std::vector<uint8_t>& b) {
                      // Rename the chunks: "data" first, "fmt " second.
                      std::copy_n("data", 4, b.begin() + 12);
                      std::copy_n("fmt ", 4, b.begin() + kData);
                  },
                  BASS_ERROR_FILEFORM}),
    [](const ::testing::TestParamInfo<BrokenWav>& info) { return std::string(info.param.name); });

// --- Layout the reader must cope with ----------------------------------------

TEST_F(NoSoundOutput, WavSkipsOddSizedChunksWithTheirPadByte)
{
    const std::vector<uint8_t> list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    std::vector<float> samples = MakeSine(440.0, kRate, 500, 0.5f);
    MemoryFile& file = AddFile(MakeWav(samples, 1, kRate, WavSample::F32, list));
    HSTREAM stream = Open(file);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    BASS_ChannelPlay(stream, FALSE);
    std::vector<float> out = Left(Pull(500));
    EXPECT_EQ(out, samples);
}

TEST_F(NoSoundOutput, WavDataLongerThanTheFilePlaysWhatIsThere)
{
    std::vector<float> samples(1000, 0.25f);
    std::vector<uint8_t> bytes = MakeWav(samples, 1, kRate, WavSample::S16);
    Set32(bytes, kData + 4, 0x7FFFFFF0u); // claims far more than is there
    bytes.resize(bytes.size() - 401);     // and the last 200.5 frames are gone
    MemoryFile& file = AddFile(bytes);
    HSTREAM stream = Open(file);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    BASS_ChannelPlay(stream, FALSE);
    std::vector<float> out = Pull(2000);
    EXPECT_EQ(AudibleFrames(out), 799u);
    EXPECT_EQ(BASS_ChannelIsActive(stream), (DWORD)BASS_ACTIVE_STOPPED);
    EXPECT_FALSE(file.seekPastEnd);
}

TEST_F(NoSoundOutput, WavReadFailureMidwayEndsTheStreamQuietly)
{
    std::vector<float> samples(20000, 0.5f);
    MemoryFile& file = AddFile(MakeWav(samples, 1, kRate, WavSample::S16));
    file.failReadsAt = 20000; // about halfway through the data
    HSTREAM stream = Open(file);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    BASS_ChannelPlay(stream, FALSE);
    std::vector<float> out = Pull(30000);
    size_t audible = AudibleFrames(out);
    EXPECT_GT(audible, 5000u);
    EXPECT_LT(audible, 10000u);
    for (size_t i = 0; i < audible; ++i)
        ASSERT_EQ(out[2 * i], 0.5f);
    EXPECT_EQ(BASS_ChannelIsActive(stream), (DWORD)BASS_ACTIVE_STOPPED);
}

TEST_F(NoSoundOutput, WavFloatNotANumberAndOverloadReachTheOutputTamed)
{
    const float nan = std::nanf("");
    std::vector<float> samples = {nan, 4.0f, -4.0f, 0.25f};
    MemoryFile& file = AddFile(MakeWav(samples, 1, kRate, WavSample::F32));
    HSTREAM stream = Open(file);
    ASSERT_NE(stream, 0u);
    BASS_ChannelPlay(stream, FALSE);
    std::vector<float> out = Left(Pull(4));
    EXPECT_EQ(out, (std::vector<float>{0.0f, 1.0f, -1.0f, 0.25f}));
}

} // namespace
