#pragma once

// The no-sound device, pulled by hand: every mixed frame is the test's.

#include "Platform/Audio/Audio.h"
#include "Platform/Audio/AudioOutput.h"
#include "Platform/Audio/Mixer.h"
#include "tests/Support/SoundFiles.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using testing_support::FloatWav;
using testing_support::MakeSine;
using testing_support::MemoryFile;
using testing_support::SoundFixture;

// The call failed and left that error.
inline void ExpectFailed(bool failed, int error, const char* call)
{
    EXPECT_TRUE(failed) << call;
    EXPECT_EQ(BASS_ErrorGetCode(), error) << call;
}

class NoSoundOutput : public ::testing::Test
{
protected:
    static constexpr uint32_t kRate = 44100;

    void SetUp() override { ASSERT_TRUE(BASS_Init(0, kRate, 0, nullptr, nullptr)) << BASS_ErrorGetCode(); }
    void TearDown() override { BASS_Free(); }

    // The bytes as a file that lives as long as the test (files are freed
    // last), opened as a stream.
    HSTREAM Open(std::vector<uint8_t> bytes, DWORD flags = 0)
    {
        mFiles.emplace_back(new MemoryFile);
        mFiles.back()->bytes = std::move(bytes);
        return BASS_StreamCreateFileUser(STREAMFILE_NOBUFFER, flags, &MemoryFile::kProcs, mFiles.back().get());
    }

    // Opens the bytes and starts playing them.
    HSTREAM Play(std::vector<uint8_t> bytes, DWORD flags = 0)
    {
        HSTREAM stream = Open(std::move(bytes), flags);
        EXPECT_NE(stream, 0u) << BASS_ErrorGetCode();
        EXPECT_TRUE(BASS_ChannelPlay(stream, FALSE));
        return stream;
    }

    // Opening the bytes fails with the error, and the file is closed once.
    void ExpectRefused(std::vector<uint8_t> bytes, int error)
    {
        EXPECT_EQ(Open(std::move(bytes)), 0u);
        EXPECT_EQ(BASS_ErrorGetCode(), error);
        EXPECT_EQ(mFiles.back()->closes, 1);
        EXPECT_FALSE(mFiles.back()->seekPastEnd);
    }

    // frames interleaved stereo frames of the output.
    static std::vector<float> Pull(uint32_t frames)
    {
        std::vector<float> out(static_cast<size_t>(frames) * 2);
        audio::GetOutputMixer()->Mix(out.data(), frames);
        return out;
    }

    static std::vector<float> Left(const std::vector<float>& stereo)
    {
        std::vector<float> out;
        for (size_t i = 0; i < stereo.size(); i += 2)
            out.push_back(stereo[i]);
        return out;
    }

    // Frames until the output falls silent for good.
    static size_t AudibleFrames(const std::vector<float>& stereo)
    {
        size_t i = stereo.size();
        while (i > 0 && stereo[i - 1] == 0.0f)
            --i;
        return (i + 1) / 2;
    }

    static bool Stopped(HSTREAM stream) { return BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED; }

    std::vector<std::unique_ptr<MemoryFile>> mFiles;
};
