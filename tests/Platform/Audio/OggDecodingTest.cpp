#include "tests/Platform/Audio/NoSoundOutput.h"

#include <cmath>

namespace
{

// Root mean square of the difference over the first frames of the two.
double RmsDifference(const std::vector<float>& a, const std::vector<float>& b)
{
    double sum = 0.0;
    for (size_t i = 0; i < b.size(); ++i)
        sum += (static_cast<double>(a[i]) - b[i]) * (static_cast<double>(a[i]) - b[i]);
    return std::sqrt(sum / static_cast<double>(b.size()));
}

using OggDecoding = NoSoundOutput;

TEST_F(OggDecoding, SinesComeOutAsWrittenAtEitherRateMonoOnBothSides)
{
    struct Case
    {
        double frequency;
        uint32_t rate;
        uint32_t frames;
        uint32_t channels;
        float rightScale;
        size_t longer; // frames the output may run past the source's length
    };
    // At the output rate the decoder trims the last packet to the written length.
    for (const Case& c : {Case{440.0, kRate, 44100, 1, 1.0f, 0}, Case{300.0, 22050, 11025, 1, 1.0f, 100},
                          Case{1000.0, kRate, 22050, 2, 0.25f, 0}})
    {
        SCOPED_TRACE(c.frequency);
        HSTREAM stream = Play(MakeOgg(MakeSine(c.frequency, c.rate, c.frames, 0.5f, c.channels, c.rightScale),
                                      c.channels, c.rate));
        const uint32_t length = c.frames * (kRate / c.rate);
        std::vector<float> out = Pull(length + 1000);
        // Lossy, but a wrong frequency, level, rate or channel is far off.
        EXPECT_LT(RmsDifference(out, MakeSine(c.frequency, kRate, length, 0.5f, 2, c.rightScale)), 0.01);
        EXPECT_LE(AudibleFrames(out), length + c.longer);
        EXPECT_GT(AudibleFrames(out), length - 100);
        EXPECT_TRUE(Stopped(stream));
    }
}

TEST_F(OggDecoding, BrokenHeadersAreRefusedAsNotAFileThisLayerCanDecode)
{
    struct Case
    {
        const char* name;
        size_t keep; // bytes kept of a good file, or 0 for the whole
        size_t scribbleFrom;
    };
    for (const Case& c : {Case{"magic only", 4, 1000}, Case{"cut in the first page", 40, 1000},
                          Case{"first page scribbled", 0, 28}})
    {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes = MakeOgg(MakeSine(440.0, kRate, 4410, 0.5f), 1, kRate);
        if (c.keep)
            bytes.resize(c.keep);
        for (size_t i = c.scribbleFrom; i < bytes.size() && i < 200; ++i)
            bytes[i] = static_cast<uint8_t>(i * 7);
        ExpectRefused(bytes, BASS_ERROR_FILEFORM);
    }
}

} // namespace
