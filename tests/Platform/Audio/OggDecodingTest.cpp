#include "tests/Platform/Audio/NoSoundOutput.h"

#include <cmath>
#include <fstream>
#include <iterator>

using testing_support::MakeOgg;
using testing_support::MakeSine;
using testing_support::MemoryFile;

namespace
{

double Rms(const std::vector<float>& v, size_t from, size_t to)
{
    double sum = 0.0;
    for (size_t i = from; i < to; ++i)
        sum += static_cast<double>(v[i]) * v[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

// Rising zero crossings per second.
double Frequency(const std::vector<float>& v, size_t from, size_t to, uint32_t rate)
{
    size_t first = 0, last = 0, count = 0;
    for (size_t i = from + 1; i < to; ++i)
        if (v[i - 1] < 0.0f && v[i] >= 0.0f)
        {
            if (count == 0)
                first = i;
            last = i;
            ++count;
        }
    return count < 2 ? 0.0 : static_cast<double>(count - 1) * rate / static_cast<double>(last - first);
}

// Noise needs many pages, where a sine fits in one or two.
std::vector<float> Noise(uint32_t frames)
{
    std::vector<float> v(frames);
    uint32_t x = 12345;
    for (float& s : v)
    {
        x = x * 1103515245u + 12345u;
        s = static_cast<float>((x >> 16) & 0x7FFF) / 32768.0f - 0.5f;
    }
    return v;
}

// Bytes of the pages before the first audio page (those with granule
// position 0 hold the headers).
size_t HeaderBytes(const std::vector<uint8_t>& ogg)
{
    size_t at = 0;
    while (at + 27 <= ogg.size())
    {
        uint64_t granule = 0;
        for (int i = 0; i < 8; ++i)
            granule |= static_cast<uint64_t>(ogg[at + 6 + i]) << (8 * i);
        if (granule != 0)
            break;
        const size_t segments = ogg[at + 26];
        size_t body = 0;
        for (size_t i = 0; i < segments; ++i)
            body += ogg[at + 27 + i];
        at += 27 + segments + body;
    }
    return at;
}

class OggDecoding : public NoSoundOutput
{
protected:
    HSTREAM OpenOgg(const std::vector<float>& samples, uint32_t channels, uint32_t rate, DWORD flags = 0)
    {
        MemoryFile& file = AddFile(MakeOgg(samples, channels, rate));
        mFile = &file;
        return Open(file, flags);
    }

    MemoryFile* mFile = nullptr;
};

TEST_F(OggDecoding, MonoSineKeepsItsFrequencyLevelAndLength)
{
    const uint32_t frames = 44100;
    HSTREAM stream = OpenOgg(MakeSine(440.0, kRate, frames, 0.5f), 1, kRate);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));

    std::vector<float> out = Pull(frames + 1000);
    std::vector<float> left = Left(out);
    EXPECT_NEAR(Frequency(left, 1000, frames - 1000, kRate), 440.0, 1.0);
    EXPECT_NEAR(Rms(left, 1000, frames - 1000), 0.5 / std::sqrt(2.0), 0.01);
    EXPECT_EQ(Left(out), Right(out)); // mono goes to both sides
    // The decoder trims the last packet to the written length.
    EXPECT_LE(AudibleFrames(out), frames);
    EXPECT_GT(AudibleFrames(out), frames - 50);
    EXPECT_EQ(BASS_ChannelIsActive(stream), (DWORD)BASS_ACTIVE_STOPPED);
}

TEST_F(OggDecoding, StereoKeepsItsChannelsApart)
{
    const uint32_t frames = 22050;
    // Right is the left at a quarter of its level.
    HSTREAM stream = OpenOgg(MakeSine(1000.0, kRate, frames, 0.8f, 2, 0.25f), 2, kRate);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    BASS_ChannelPlay(stream, FALSE);
    std::vector<float> out = Pull(frames);
    const double left = Rms(Left(out), 1000, frames - 1000);
    const double right = Rms(Right(out), 1000, frames - 1000);
    EXPECT_NEAR(left, 0.8 / std::sqrt(2.0), 0.02);
    EXPECT_NEAR(right / left, 0.25, 0.02);
}

TEST_F(OggDecoding, HalfRateSourceIsStretchedToTheOutputRate)
{
    const uint32_t frames = 11025; // half a second at 22050 Hz
    HSTREAM stream = OpenOgg(MakeSine(300.0, 22050, frames, 0.5f), 1, 22050);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    BASS_ChannelPlay(stream, FALSE);
    std::vector<float> left = Left(Pull(2 * frames + 1000));
    EXPECT_NEAR(Frequency(left, 1000, 2 * frames - 1000, kRate), 300.0, 1.0);
    size_t audible = 0;
    for (size_t i = 0; i < left.size(); ++i)
        if (left[i] != 0.0f)
            audible = i + 1;
    EXPECT_NEAR(static_cast<double>(audible), 2.0 * frames, 100.0);
}

TEST_F(OggDecoding, ReadsThroughCallbacksSeekingOnlyInsideTheFile)
{
    HSTREAM stream = OpenOgg(MakeSine(440.0, kRate, 20000, 0.5f), 1, kRate);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    BASS_ChannelPlay(stream, FALSE);
    std::vector<float> first = Left(Pull(20000));
    ASSERT_FALSE(mFile->seeks.empty());
    EXPECT_FALSE(mFile->seekPastEnd);
    EXPECT_GT(mFile->reads, 0);

    // Restart seeks back and plays the same samples again.
    const size_t seeksBefore = mFile->seeks.size();
    ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
    std::vector<float> second = Left(Pull(20000));
    EXPECT_GT(mFile->seeks.size(), seeksBefore);
    EXPECT_EQ(first, second);
    EXPECT_EQ(mFile->closes, 0);
    BASS_StreamFree(stream);
    EXPECT_EQ(mFile->closes, 1);
}

TEST_F(OggDecoding, LoopingStreamStartsAgainAtItsEnd)
{
    const uint32_t frames = 5000;
    HSTREAM stream = OpenOgg(MakeSine(441.0, kRate, frames, 0.5f), 1, kRate, BASS_SAMPLE_LOOP);
    ASSERT_NE(stream, 0u);
    BASS_ChannelPlay(stream, FALSE);
    std::vector<float> once = Left(Pull(frames));
    std::vector<float> again = Left(Pull(frames));
    EXPECT_EQ(once, again);
    EXPECT_EQ(BASS_ChannelIsActive(stream), (DWORD)BASS_ACTIVE_PLAYING);
}

TEST_F(OggDecoding, TruncatedFilePlaysItsFirstPartAndEnds)
{
    std::vector<uint8_t> bytes = MakeOgg(Noise(44100), 1, kRate);
    const size_t headers = HeaderBytes(bytes);
    ASSERT_GT(headers, 0u);
    bytes.resize(headers + (bytes.size() - headers) / 2);
    MemoryFile& file = AddFile(bytes);
    HSTREAM stream = Open(file);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    BASS_ChannelPlay(stream, FALSE);
    std::vector<float> out = Pull(44100);
    EXPECT_GT(AudibleFrames(out), 10000u);
    EXPECT_LT(AudibleFrames(out), 40000u);
    EXPECT_EQ(BASS_ChannelIsActive(stream), (DWORD)BASS_ACTIVE_STOPPED);
}

TEST_F(OggDecoding, DamagedDataPlaysOnOrEndsWithoutHarm)
{
    std::vector<uint8_t> bytes = MakeOgg(Noise(44100), 1, kRate);
    // Scribble over the audio pages, leaving the headers.
    const size_t headers = HeaderBytes(bytes);
    ASSERT_GT(headers, 0u);
    for (size_t i = headers + 50; i < bytes.size(); i += 97)
        bytes[i] ^= 0x5A;
    MemoryFile& file = AddFile(bytes);
    HSTREAM stream = Open(file);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    BASS_ChannelPlay(stream, FALSE);
    std::vector<float> out = Pull(50000);
    for (float v : out)
        ASSERT_TRUE(v >= -1.0f && v <= 1.0f);
}

TEST_F(OggDecoding, BundledMusicTrackPlaysToItsEnd)
{
    std::ifstream in(BW_SOURCE_DIR "/data/music/track01.ogg", std::ios::binary);
    ASSERT_TRUE(in.good());
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_LT(bytes.size(), 100u * 1024);
    MemoryFile& file = AddFile(bytes);
    HSTREAM stream = Open(file);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    BASS_ChannelPlay(stream, FALSE);
    std::vector<float> out = Pull(8 * kRate);
    EXPECT_GT(AudibleFrames(out), 6 * kRate);
    EXPECT_GT(Rms(Left(out), 0, 6 * kRate), 0.05);
    EXPECT_EQ(BASS_ChannelIsActive(stream), (DWORD)BASS_ACTIVE_STOPPED);
}

struct BrokenOgg
{
    const char* name;
    size_t keep; // bytes kept of a good file, or 0 for the whole
    size_t scribbleFrom;
};

class BrokenOggHeader : public OggDecoding, public ::testing::WithParamInterface<BrokenOgg>
{
};

TEST_P(BrokenOggHeader, IsRefusedAsNotAFileThisLayerCanDecode)
{
    std::vector<uint8_t> bytes = MakeOgg(MakeSine(440.0, kRate, 4410, 0.5f), 1, kRate);
    if (GetParam().keep)
        bytes.resize(GetParam().keep);
    for (size_t i = GetParam().scribbleFrom; i < bytes.size() && i < 200; ++i)
        bytes[i] = static_cast<uint8_t>(i * 7);
    MemoryFile& file = AddFile(bytes);
    EXPECT_EQ(Open(file), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
    EXPECT_EQ(file.closes, 1);
}

INSTANTIATE_TEST_SUITE_P(Headers, BrokenOggHeader,
                         ::testing::Values(BrokenOgg{"MagicOnly", 4, 1000}, BrokenOgg{"CutInTheFirstPage", 40, 1000},
                                           BrokenOgg{"FirstPageScribbled", 0, 28}),
                         [](const ::testing::TestParamInfo<BrokenOgg>& info) { return std::string(info.param.name); });

} // namespace
