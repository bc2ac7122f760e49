#include "tests/Platform/Audio/NoSoundOutput.h"

#include <string>

using testing_support::MakeSine;
using testing_support::MakeWav;
using testing_support::MemoryFile;
using testing_support::WavSample;

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
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
    EXPECT_EQ(audio::GetOutputMixer()->GetRate(), 44100u);
    EXPECT_FALSE(BASS_Init(0, 22050, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
    EXPECT_TRUE(BASS_Free());
}

TEST_F(NoSoundOutput, UnknownHandlesFailWithTheHandleError)
{
    MemoryFile& file = AddFile(ShortWav());
    HSTREAM stream = Open(file);
    ASSERT_NE(stream, 0u);
    ASSERT_TRUE(BASS_StreamFree(stream));
    EXPECT_EQ(file.closes, 1);

    EXPECT_FALSE(BASS_StreamFree(stream));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_FALSE(BASS_ChannelPlay(stream, FALSE));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_FALSE(BASS_ChannelStop(0));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_EQ(BASS_ChannelIsActive(stream), (DWORD)BASS_ACTIVE_STOPPED);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    float volume;
    EXPECT_FALSE(BASS_ChannelGetAttribute(stream, BASS_ATTRIB_VOL, &volume));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_EQ(file.closes, 1);
}

TEST_F(NoSoundOutput, HandlesAreNeverHandedOutTwice)
{
    MemoryFile& a = AddFile(ShortWav());
    MemoryFile& b = AddFile(ShortWav());
    HSTREAM first = Open(a);
    ASSERT_TRUE(BASS_StreamFree(first));
    HSTREAM second = Open(b);
    EXPECT_NE(second, 0u);
    EXPECT_NE(second, first);
}

TEST_F(NoSoundOutput, IncompleteCallbackTablesAreRefusedAndClosed)
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
}

TEST_F(NoSoundOutput, FilesOfNoKnownKindAreRefused)
{
    const std::string riffAvi("RIFF\x10\0\0\0AVI LIST", 16);
    for (const std::string& text : {std::string(), std::string("ID3\x03 not a wave"), riffAvi, std::string("OggS")})
    {
        MemoryFile& file = AddFile(std::vector<uint8_t>(text.begin(), text.end()));
        EXPECT_EQ(Open(file), 0u) << text;
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM) << text;
        EXPECT_EQ(file.closes, 1);
    }
}

TEST_F(NoSoundOutput, FreeClosesEveryStreamOnceAndForgetsThem)
{
    MemoryFile& a = AddFile(ShortWav());
    MemoryFile& b = AddFile(ShortWav());
    HSTREAM first = Open(a);
    ASSERT_NE(Open(b), 0u);
    BASS_ChannelPlay(first, FALSE);
    ASSERT_TRUE(BASS_Free());
    EXPECT_EQ(a.closes, 1);
    EXPECT_EQ(b.closes, 1);
    EXPECT_EQ(audio::GetOutputMixer(), nullptr);

    // A stale handle names nothing in the next output either.
    ASSERT_TRUE(BASS_Init(0, kRate, 0, nullptr, nullptr));
    MemoryFile& c = AddFile(ShortWav());
    HSTREAM fresh = Open(c);
    EXPECT_NE(fresh, first);
    EXPECT_FALSE(BASS_ChannelPlay(first, FALSE));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

} // namespace
