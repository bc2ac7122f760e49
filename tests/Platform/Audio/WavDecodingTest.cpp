#include "tests/Platform/Audio/NoSoundOutput.h"

#include <algorithm>
#include <functional>

namespace
{

using WavDecoding = NoSoundOutput;

TEST_F(WavDecoding, EverySampleTypePlaysEverySampleAtTheOutputRateAndThenStops)
{
    // tolerance: one quantisation step of the type.
    const struct
    {
        const char* file;
        uint32_t channels;
        float tolerance;
    } cases[] = {{"u8-1.wav", 1, 1.0f / 128},     {"u8-2.wav", 2, 1.0f / 128},  {"s16-1.wav", 1, 1.0f / 32768},
                 {"s16-2.wav", 2, 1.0f / 32768}, {"s24-2.wav", 2, 1e-6f},      {"s32-2.wav", 2, 1e-6f},
                 {"f32-2.wav", 2, 0.0f},         {"s16x-1.wav", 1, 1.0f / 32768}}; // x: extensible
    const uint32_t frames = 3000;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.file);
        // The second channel carries the signal at -0.5, so a swap or a mono mix shows.
        std::vector<float> samples = MakeSine(1000.0, kRate, frames, 0.5f, c.channels, -0.5f);
        HSTREAM stream = Play(SoundFixture(c.file));
        const std::vector<float> out = Pull(frames);
        EXPECT_TRUE(Stopped(stream));
        for (uint32_t i = 0; i < frames; ++i)
        {
            const float left = samples[i * c.channels];
            ASSERT_NEAR(out[2 * i], left, c.tolerance) << "frame " << i;
            ASSERT_NEAR(out[2 * i + 1], c.channels == 2 ? samples[i * 2 + 1] : left, c.tolerance) << "frame " << i;
        }
        EXPECT_EQ(AudibleFrames(Pull(100)), 0u);
    }
}

// Little-endian fields of 2 and 4 bytes.
void Set(std::vector<uint8_t>& b, size_t at, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
void Set16(std::vector<uint8_t>& b, size_t at, uint32_t v) { Set(b, at, v, 2); }
void Set32(std::vector<uint8_t>& b, size_t at, uint32_t v) { Set(b, at, v, 4); }

// Offsets in a plain 16-bit file.
const size_t kFmtSize = 16, kTag = 20, kChannels = 22, kRateAt = 24, kBlockAlign = 32, kBits = 34, kData = 36;

TEST_F(WavDecoding, BrokenHeadersAreRefusedWithTheirErrorAndTheFileClosedOnce)
{
    using Bytes = std::vector<uint8_t>;
    const std::pair<std::function<void(Bytes&)>, int> cases[] = {
        {[](Bytes& b) { b[0] = 'X'; }, BASS_ERROR_FILEFORM},
        {[](Bytes& b) { std::copy_n("AVI ", 4, b.begin() + 8); }, BASS_ERROR_FILEFORM},
        {[](Bytes& b) { b.clear(); }, BASS_ERROR_FILEFORM},
        {[](Bytes& b) { b.resize(26); }, BASS_ERROR_FILEFORM},    // cut in the format
        {[](Bytes& b) { b.resize(kData); }, BASS_ERROR_FILEFORM}, // no data chunk
        {[](Bytes& b) { Set32(b, kFmtSize, 14); }, BASS_ERROR_FILEFORM},
        {[](Bytes& b) { Set32(b, kFmtSize, 0xFFFFFFF0u); }, BASS_ERROR_FILEFORM},
        {[](Bytes& b) { Set16(b, kChannels, 0); }, BASS_ERROR_FILEFORM},
        {[](Bytes& b) { Set16(b, kChannels, 6); Set16(b, kBlockAlign, 12); }, BASS_ERROR_FORMAT},
        {[](Bytes& b) { Set32(b, kRateAt, 0); }, BASS_ERROR_FILEFORM},
        {[](Bytes& b) { Set32(b, kRateAt, 500); }, BASS_ERROR_FORMAT},
        {[](Bytes& b) { Set16(b, kBits, 12); }, BASS_ERROR_FORMAT},
        {[](Bytes& b) { Set16(b, kTag, 2); }, BASS_ERROR_FORMAT},      // ADPCM
        {[](Bytes& b) { Set16(b, kTag, 3); }, BASS_ERROR_FORMAT},      // 16-bit float
        {[](Bytes& b) { Set16(b, kTag, 0xFFFE); }, BASS_ERROR_FILEFORM}, // extensible, too short
        {[](Bytes& b) { Set16(b, kBlockAlign, 4); }, BASS_ERROR_FILEFORM},
        // The chunks renamed: "data" first, "fmt " second.
        {[](Bytes& b) { std::copy_n("data", 4, b.begin() + 12); std::copy_n("fmt ", 4, b.begin() + kData); },
         BASS_ERROR_FILEFORM},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(&c - cases);
        Bytes bytes = SoundFixture("blip.wav");
        c.first(bytes);
        ExpectRefused(bytes, c.second);
    }
}

TEST_F(WavDecoding, OddChunksAreSkippedBadSamplesTamedAndShortDataOrAFailedReadEndTheStreamQuietly)
{
    // An odd-sized chunk before the format, with its pad byte; not a number
    // and overload reach the output tamed.
    Play(SoundFixture("odd-chunk.wav")); // NaN, 4, -4, 0.25
    EXPECT_EQ(Left(Pull(4)), (std::vector<float>{0.0f, 1.0f, -1.0f, 0.25f}));

    std::vector<uint8_t> bytes = SoundFixture("half.wav"); // 20000 frames of 0.5
    Set32(bytes, kData + 4, 0x7FFFFFF0u);                   // claims far more than is there
    bytes.resize(bytes.size() - 401);                       // and the last 200.5 frames are gone
    HSTREAM stream = Play(bytes);
    EXPECT_EQ(AudibleFrames(Pull(21000)), 19799u);
    EXPECT_TRUE(Stopped(stream));
    EXPECT_FALSE(mFiles.back()->seekPastEnd);

    stream = Open(SoundFixture("half.wav"));
    mFiles.back()->failReadsAt = 20000; // about halfway through the data
    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE)) << BASS_ErrorGetCode();
    std::vector<float> out = Pull(30000);
    const size_t audible = AudibleFrames(out);
    EXPECT_GT(audible, 5000u);
    EXPECT_LT(audible, 10000u);
    for (size_t i = 0; i < audible; ++i)
        ASSERT_EQ(out[2 * i], 0.5f);
    EXPECT_TRUE(Stopped(stream));
}

} // namespace
