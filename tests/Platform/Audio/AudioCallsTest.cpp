#include "tests/Platform/Audio/NoSoundOutput.h"


using testing_support::UseAudioDriver;

namespace
{

TEST(AudioCalls, CallsBeforeInitAndBadInitsFailWithTheirErrorsAndAFileHandedOverIsStillClosed)
{
    ASSERT_EQ(audio::GetOutputMixer(), nullptr);
    ExpectFailed(!BASS_Pause(), BASS_ERROR_INIT, "pause");
    ExpectFailed(!BASS_ChannelPlay(1, FALSE), BASS_ERROR_INIT, "play");
    MemoryFile file;
    file.bytes = SoundFixture("blip.wav");
    ExpectFailed(!BASS_StreamCreateFileUser(STREAMFILE_NOBUFFER, 0, &MemoryFile::kProcs, &file), BASS_ERROR_INIT,
                 "stream");
    EXPECT_EQ(file.closes, 1);

    UseAudioDriver("no-such-driver");
    ExpectFailed(!BASS_Init(-1, 44100, 0, nullptr, nullptr), BASS_ERROR_DRIVER, "missing driver");
    UseAudioDriver("dummy");
    ExpectFailed(!BASS_Init(7, 44100, 0, nullptr, nullptr), BASS_ERROR_DEVICE, "device 7");
    ExpectFailed(!BASS_Init(0, 4000, 0, nullptr, nullptr), BASS_ERROR_ILLPARAM, "4000 Hz");
    EXPECT_EQ(audio::GetOutputMixer(), nullptr);
    ASSERT_TRUE(BASS_Init(0, 0, 0, nullptr, nullptr));
    EXPECT_EQ(audio::GetOutputMixer()->GetRate(), 44100u);
    ExpectFailed(!BASS_Init(0, 22050, 0, nullptr, nullptr), BASS_ERROR_ALREADY, "twice");
    EXPECT_TRUE(BASS_Free());
}

TEST_F(NoSoundOutput, FreedHandlesFailWithTheHandleErrorAndAreNeverHandedOutAgainAndIncompleteCallsAreRefused)
{
    HSTREAM stream = Open(SoundFixture("blip.wav"));
    MemoryFile& file = *mFiles.back();
    ASSERT_NE(stream, 0u);
    ASSERT_TRUE(BASS_StreamFree(stream));
    EXPECT_EQ(file.closes, 1);
    HSTREAM next = Play(SoundFixture("blip.wav"));
    EXPECT_NE(next, stream);
    float volume;
    ExpectFailed(!BASS_StreamFree(stream), BASS_ERROR_HANDLE, "free");
    ExpectFailed(!BASS_ChannelPlay(stream, FALSE), BASS_ERROR_HANDLE, "play");
    ExpectFailed(!BASS_ChannelStop(0), BASS_ERROR_HANDLE, "stop");
    ExpectFailed(BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED, BASS_ERROR_HANDLE, "is active");
    ExpectFailed(!BASS_ChannelGetAttribute(stream, BASS_ATTRIB_VOL, &volume), BASS_ERROR_HANDLE, "attribute");
    EXPECT_EQ(file.closes, 1);
    // Incomplete callback tables are refused, and the file closed.
    BASS_FILEPROCS noSeek = MemoryFile::kProcs;
    noSeek.seek = nullptr;
    ExpectFailed(!BASS_StreamCreateFileUser(STREAMFILE_NOBUFFER, 0, nullptr, nullptr), BASS_ERROR_ILLPARAM, "null");
    ExpectFailed(!BASS_StreamCreateFileUser(STREAMFILE_NOBUFFER, 0, &noSeek, &file), BASS_ERROR_ILLPARAM, "no seek");
    ExpectFailed(!BASS_StreamCreateFileUser(1, 0, &MemoryFile::kProcs, &file), BASS_ERROR_ILLPARAM, "buffered");
    EXPECT_EQ(file.closes, 3);

    // A stale handle names nothing in the next output either, and freeing
    // the output closes every stream once.
    ASSERT_TRUE(BASS_Free());
    EXPECT_EQ(mFiles[1]->closes, 1);
    ASSERT_TRUE(BASS_Init(0, kRate, 0, nullptr, nullptr));
    HSTREAM fresh = Play(SoundFixture("blip.wav"));
    EXPECT_NE(fresh, stream);
    EXPECT_NE(fresh, next);
    ExpectFailed(!BASS_ChannelPlay(next, FALSE), BASS_ERROR_HANDLE, "stale play");
}

} // namespace
