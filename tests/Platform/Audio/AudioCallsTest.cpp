#include "tests/Platform/Audio/NoSoundOutput.h"

#include "tests/Support/TempFolder.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

using testing_support::UseAudioDriver;

namespace
{

std::vector<uint8_t> ShortWav()
{
    return MakeWav(MakeSine(440.0, 44100, 100, 0.5f), 1, 44100, WavSample::S16);
}

// The call failed and left that error.
void ExpectFailed(bool failed, int error, const char* call)
{
    EXPECT_TRUE(failed) << call;
    EXPECT_EQ(BASS_ErrorGetCode(), error) << call;
}

TEST(AudioCalls, CallsBeforeInitAndBadInitsFailWithTheirErrorsAndAFileHandedOverIsStillClosed)
{
    ASSERT_EQ(audio::GetOutputMixer(), nullptr);
    ExpectFailed(!BASS_Start(), BASS_ERROR_INIT, "start");
    ExpectFailed(!BASS_Pause(), BASS_ERROR_INIT, "pause");
    ExpectFailed(!BASS_Free(), BASS_ERROR_INIT, "free");
    ExpectFailed(!BASS_ChannelPlay(1, FALSE), BASS_ERROR_INIT, "play");
    ExpectFailed(BASS_ChannelIsActive(1) == BASS_ACTIVE_STOPPED, BASS_ERROR_INIT, "is active");
    MemoryFile file;
    file.bytes = ShortWav();
    ExpectFailed(!BASS_StreamCreateFileUser(STREAMFILE_NOBUFFER, 0, &MemoryFile::kProcs, &file), BASS_ERROR_INIT,
                 "stream");
    EXPECT_EQ(file.closes, 1);

    ExpectFailed(!BASS_Init(7, 44100, 0, nullptr, nullptr), BASS_ERROR_DEVICE, "device 7");
    ExpectFailed(!BASS_Init(0, 4000, 0, nullptr, nullptr), BASS_ERROR_ILLPARAM, "4000 Hz");
    EXPECT_EQ(audio::GetOutputMixer(), nullptr);
    ASSERT_TRUE(BASS_Init(0, 0, 0, nullptr, nullptr));
    EXPECT_EQ(audio::GetOutputMixer()->GetRate(), 44100u);
    ExpectFailed(!BASS_Init(0, 22050, 0, nullptr, nullptr), BASS_ERROR_ALREADY, "twice");
    EXPECT_TRUE(BASS_Free());
}

TEST_F(NoSoundOutput, FreedHandlesFailWithTheHandleErrorAndAreNeverHandedOutAgain)
{
    HSTREAM stream = Open(ShortWav());
    MemoryFile& file = *mFiles.back();
    ASSERT_NE(stream, 0u);
    ASSERT_TRUE(BASS_StreamFree(stream));
    EXPECT_EQ(file.closes, 1);
    HSTREAM next = Play(ShortWav());
    EXPECT_NE(next, stream);
    float volume;
    ExpectFailed(!BASS_StreamFree(stream), BASS_ERROR_HANDLE, "free");
    ExpectFailed(!BASS_ChannelPlay(stream, FALSE), BASS_ERROR_HANDLE, "play");
    ExpectFailed(!BASS_ChannelStop(0), BASS_ERROR_HANDLE, "stop");
    ExpectFailed(BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED, BASS_ERROR_HANDLE, "is active");
    ExpectFailed(!BASS_ChannelGetAttribute(stream, BASS_ATTRIB_VOL, &volume), BASS_ERROR_HANDLE, "attribute");
    EXPECT_EQ(file.closes, 1);

    // A stale handle names nothing in the next output either, and freeing
    // the output closes every stream once.
    ASSERT_TRUE(BASS_Free());
    EXPECT_EQ(mFiles[1]->closes, 1);
    ASSERT_TRUE(BASS_Init(0, kRate, 0, nullptr, nullptr));
    HSTREAM fresh = Play(ShortWav());
    EXPECT_NE(fresh, stream);
    EXPECT_NE(fresh, next);
    ExpectFailed(!BASS_ChannelPlay(next, FALSE), BASS_ERROR_HANDLE, "stale play");
}

TEST_F(NoSoundOutput, IncompleteCallbackTablesAndUnknownKindsAreRefusedAndClosed)
{
    ExpectFailed(!BASS_StreamCreateFileUser(STREAMFILE_NOBUFFER, 0, nullptr, nullptr), BASS_ERROR_ILLPARAM, "null");
    MemoryFile file;
    file.bytes = ShortWav();
    BASS_FILEPROCS noSeek = MemoryFile::kProcs;
    noSeek.seek = nullptr;
    ExpectFailed(!BASS_StreamCreateFileUser(STREAMFILE_NOBUFFER, 0, &noSeek, &file), BASS_ERROR_ILLPARAM, "no seek");
    ExpectFailed(!BASS_StreamCreateFileUser(1, 0, &MemoryFile::kProcs, &file), BASS_ERROR_ILLPARAM, "buffered");
    EXPECT_EQ(file.closes, 2);

    for (std::string text : {std::string(), std::string("ID3\x03 not a wave"),
                             std::string("RIFF\x10\0\0\0AVI LIST", 16), std::string("OggS")})
    {
        SCOPED_TRACE(text);
        ExpectRefused(std::vector<uint8_t>(text.begin(), text.end()), BASS_ERROR_FILEFORM);
    }
}

// The output through real SDL drivers, on their own threads: a missing one
// fails; the disk one records silence until the stream starts, then the
// stream's level without a gap.
TEST_F(NoSoundOutput, RealDriversFailCleanlyOrRecordTheMix)
{
    BASS_Free();
    UseAudioDriver("no-such-driver");
    ExpectFailed(!BASS_Init(-1, 44100, 0, nullptr, nullptr), BASS_ERROR_DRIVER, "missing driver");
    EXPECT_EQ(audio::GetOutputMixer(), nullptr);

    testing_support::TempFolder folder;
    const std::string path = folder.Path() + "mix.raw";
    UseAudioDriver("disk");
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "1", 1);
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
    Play(MakeWav(std::vector<float>(4410, 0.25f), 1, 44100, WavSample::F32), BASS_SAMPLE_LOOP);
    // Up to twenty seconds for a second and a half of the mix.
    for (int i = 0; i < 2000 && testing_support::ReadFile(path).size() < 512 * 1024; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(BASS_Free());
    EXPECT_EQ(mFiles.back()->closes, 1);
    UseAudioDriver("dummy");

    const std::string bytes = testing_support::ReadFile(path);
    std::vector<float> samples(bytes.size() / sizeof(float));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
    const auto start = std::find_if(samples.begin(), samples.end(), [](float v) { return v != 0.0f; });
    EXPECT_GT(samples.end() - start, 2 * 44100);
    EXPECT_EQ(std::count(start, samples.end(), 0.25f), samples.end() - start);
}

} // namespace
