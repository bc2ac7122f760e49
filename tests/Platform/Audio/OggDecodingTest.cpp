#include "tests/Platform/Audio/NoSoundOutput.h"

#include <cmath>

namespace
{

using OggDecoding = NoSoundOutput;

TEST_F(OggDecoding, SinesComeOutAsWrittenAtEitherRateMonoOnBothSides)
{
    // longer: frames the output may run past the source's length.
    struct Case
    {
        const char* file;
        double frequency;
        uint32_t rate, frames, channels;
        float rightScale;
        size_t longer;
    };
    // At the output rate the decoder trims the last packet to the written length.
    for (const Case& c : {Case{"sine440.ogg", 440.0, kRate, 44100, 1, 1.0f, 0},
                          Case{"sine300-22050.ogg", 300.0, 22050, 11025, 1, 1.0f, 100},
                          Case{"sine1000-stereo.ogg", 1000.0, kRate, 22050, 2, 0.25f, 0}})
    {
        SCOPED_TRACE(c.file);
        HSTREAM stream = Play(SoundFixture(c.file));
        const uint32_t length = c.frames * (kRate / c.rate);
        std::vector<float> out = Pull(length + 1000);
        // Lossy, but a wrong frequency, level, rate or channel is far off:
        // the root mean square of the difference stays small.
        const std::vector<float> sine = MakeSine(c.frequency, kRate, length, 0.5f, 2, c.rightScale);
        double sum = 0.0;
        for (size_t i = 0; i < sine.size(); ++i)
            sum += (static_cast<double>(out[i]) - sine[i]) * (static_cast<double>(out[i]) - sine[i]);
        EXPECT_LT(std::sqrt(sum / static_cast<double>(sine.size())), 0.01);
        EXPECT_LE(AudibleFrames(out), length + c.longer);
        EXPECT_GT(AudibleFrames(out), length - 100);
        EXPECT_TRUE(Stopped(stream));
    }
}

} // namespace
