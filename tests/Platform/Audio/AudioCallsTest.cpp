#include "tests/Platform/Audio/NoSoundOutput.h"

#include <string>

namespace
{

std::vector<uint8_t> ShortWav()
{
    return MakeWav(MakeSine(440.0, 44100, 100, 0.5f), 1, 44100, WavSample::S16);
}

TEST(AudioCalls, EveryCallBeforeInitFailsWithTheInitErrorAndStillClosesTheFile)
{
    ASSERT_EQ(audio::GetOutputMixer(), nullptr);
    EXPECT_FALSE(BASS_Start());
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_FALSE(BASS_Pause());
    EXPECT_FALSE(BASS_Free());
    EXPECT_FALSE(BASS_ChannelPlay(1, FALSE));
    EXPECT_EQ(BASS_ChannelIsActive(1), (DWORD)BASS_ACTIVE_STOPPED);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);

    MemoryFile file;
    file.bytes = ShortWav();
    EXPECT_EQ(BASS_StreamCreateFileUser(STREAMFILE_NOBUFFER, 0, &MemoryFile::kProcs, &file), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_EQ(file.closes, 1);
}

TEST(AudioCalls, InitRefusesUnknownDevicesAndRatesOutOfRange)
{
    EXPECT_FALSE(BASS_Init(7, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DEVICE);
    EXPECT_FALSE(BASS_Init(0, 4000, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_EQ(audio::GetOutputMixer(), nullptr);

    ASSERT_TRUE(BASS_Init(0, 0, 0, nullptr, nullptr));
    EXPECT_EQ(audio::GetOutputMixer()->GetRate(), 44100u);
    EXPECT_FALSE(BASS_Init(0, 22050, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
    EXPECT_TRUE(BASS_Free());
}

TEST_F(NoSoundOutput, FreedHandlesFailWithTheHandleErrorAndAreNeverHandedOutAgain)
{
    MemoryFile& file = AddFile(ShortWav());
    HSTREAM stream = Open(file);
    ASSERT_NE(stream, 0u);
    ASSERT_TRUE(BASS_StreamFree(stream));
    EXPECT_EQ(file.closes, 1);
    HSTREAM next = Play(ShortWav());
    EXPECT_NE(next, stream);

    auto refused = [](bool failed, const char* call) {
        EXPECT_TRUE(failed) << call;
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE) << call;
    };
    float volume;
    refused(!BASS_StreamFree(stream), "free");
    refused(!BASS_ChannelPlay(stream, FALSE), "play");
    refused(!BASS_ChannelStop(0), "stop");
    refused(BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED, "is active");
    refused(!BASS_ChannelGetAttribute(stream, BASS_ATTRIB_VOL, &volume), "get attribute");
    EXPECT_EQ(file.closes, 1);

    // A stale handle names nothing in the next output either, and freeing
    // the output closes every stream once.
    ASSERT_TRUE(BASS_Free());
    EXPECT_EQ(mFiles[1]->closes, 1);
    EXPECT_EQ(audio::GetOutputMixer(), nullptr);
    ASSERT_TRUE(BASS_Init(0, kRate, 0, nullptr, nullptr));
    HSTREAM fresh = Play(ShortWav());
    EXPECT_NE(fresh, stream);
    EXPECT_NE(fresh, next);
    EXPECT_FALSE(BASS_ChannelPlay(next, FALSE));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

TEST_F(NoSoundOutput, IncompleteCallbackTablesAndUnknownKindsAreRefusedAndClosed)
{
    EXPECT_EQ(BASS_StreamCreateFileUser(STREAMFILE_NOBUFFER, 0, nullptr, nullptr), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);

    MemoryFile& file = AddFile(ShortWav());
    BASS_FILEPROCS noSeek = MemoryFile::kProcs;
    noSeek.seek = nullptr;
    EXPECT_EQ(BASS_StreamCreateFileUser(STREAMFILE_NOBUFFER, 0, &noSeek, &file), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_EQ(file.closes, 1);
    EXPECT_EQ(BASS_StreamCreateFileUser(1, 0, &MemoryFile::kProcs, &file), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_EQ(file.closes, 2);

    for (std::string text : {std::string(), std::string("ID3\x03 not a wave"),
                             std::string("RIFF\x10\0\0\0AVI LIST", 16), std::string("OggS")})
    {
        SCOPED_TRACE(text);
        ExpectRefused(std::vector<uint8_t>(text.begin(), text.end()), BASS_ERROR_FILEFORM);
    }
}

} // namespace
