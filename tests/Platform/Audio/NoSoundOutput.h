#pragma once

// The no-sound device, pulled by hand: every mixed frame is the test's.

#include "Platform/Audio/Audio.h"
#include "Platform/Audio/AudioOutput.h"
#include "Platform/Audio/Mixer.h"
#include "tests/Support/SoundFiles.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

class NoSoundOutput : public ::testing::Test
{
protected:
    static const uint32_t kRate = 44100;

    void SetUp() override
    {
        ASSERT_TRUE(BASS_Init(0, kRate, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
    }
    void TearDown() override { BASS_Free(); }

    // Keeps the file alive for the stream's life (files are freed last).
    testing_support::MemoryFile& AddFile(std::vector<uint8_t> bytes)
    {
        mFiles.emplace_back(new testing_support::MemoryFile);
        mFiles.back()->bytes = std::move(bytes);
        return *mFiles.back();
    }

    HSTREAM Open(testing_support::MemoryFile& file, DWORD flags = 0)
    {
        return BASS_StreamCreateFileUser(STREAMFILE_NOBUFFER, flags, &testing_support::MemoryFile::kProcs, &file);
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

    static std::vector<float> Right(const std::vector<float>& stereo)
    {
        std::vector<float> out;
        for (size_t i = 1; i < stereo.size(); i += 2)
            out.push_back(stereo[i]);
        return out;
    }

    // Frames until the output falls silent for good (the last non-zero
    // frame's index plus one).
    static size_t AudibleFrames(const std::vector<float>& stereo)
    {
        for (size_t i = stereo.size(); i > 0; --i)
            if (stereo[i - 1] != 0.0f)
                return (i - 1) / 2 + 1;
        return 0;
    }

    std::vector<std::unique_ptr<testing_support::MemoryFile>> mFiles;
};
