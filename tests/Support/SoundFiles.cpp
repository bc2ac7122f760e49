#include "tests/Support/SoundFiles.h"

#include <SDL.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace testing_support
{
namespace
{

// Little-endian, the low bytes of value.
void Put(std::vector<uint8_t>& out, uint32_t value, uint32_t bytes)
{
    for (uint32_t i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void Put(std::vector<uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

MemoryFile& File(void* user)
{
    return *static_cast<MemoryFile*>(user);
}

DWORD CALLBACK Read(void* buffer, DWORD length, void* user)
{
    MemoryFile& file = File(user);
    if (file.position + length > file.failReadsAt)
        return static_cast<DWORD>(-1);
    const uint64_t at = std::min<uint64_t>(file.position, file.bytes.size());
    const DWORD n = static_cast<DWORD>(std::min<uint64_t>(length, file.bytes.size() - at));
    std::copy_n(file.bytes.begin() + static_cast<long>(at), n, static_cast<uint8_t*>(buffer));
    file.position += n;
    return n;
}

BOOL CALLBACK Seek(QWORD offset, void* user)
{
    MemoryFile& file = File(user);
    file.seekPastEnd = file.seekPastEnd || offset > file.bytes.size();
    file.position = std::min<QWORD>(offset, file.bytes.size());
    return offset <= file.bytes.size();
}

} // namespace

const BASS_FILEPROCS MemoryFile::kProcs = {[](void* user) { ++File(user).closes; },
                                           [](void* user) -> QWORD { return File(user).bytes.size(); }, Read, Seek};

void UseAudioDriver(const char* name)
{
    // The driver is picked when SDL's audio starts.
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    setenv("SDL_AUDIODRIVER", name, 1);
}

std::vector<float> MakeSine(double frequency, uint32_t rate, uint32_t frames, float amplitude, uint32_t channels,
                            float channelScale)
{
    std::vector<float> out;
    for (uint32_t i = 0; i < frames; ++i)
    {
        const float v = static_cast<float>(amplitude * std::sin(2.0 * M_PI * frequency * i / rate));
        out.push_back(v);
        out.insert(out.end(), channels - 1, v * channelScale);
    }
    return out;
}

std::vector<uint8_t> MakeWav(const std::vector<float>& samples, uint32_t channels, uint32_t rate, WavSample type,
                             const std::vector<uint8_t>& extraChunk)
{
    const uint32_t bits = type == WavSample::U8 ? 8 : type == WavSample::S24 ? 24
                          : type == WavSample::S32 || type == WavSample::F32 ? 32 : 16;
    const uint32_t tag = type == WavSample::F32 ? 3 : type == WavSample::S16Extensible ? 0xFFFE : 1;
    std::vector<uint8_t> data;
    for (float v : samples)
    {
        uint32_t word;
        if (type == WavSample::F32)
            std::memcpy(&word, &v, 4);
        else
        {
            // Rounded to the nearest step; 8-bit samples are unsigned.
            const double full = std::ldexp(1.0, static_cast<int>(bits) - 1);
            const double s = std::clamp(std::floor(std::clamp(v, -1.0f, 1.0f) * full + 0.5), -full, full - 1);
            word = static_cast<uint32_t>(static_cast<int64_t>(s) + (bits == 8 ? 128 : 0));
        }
        Put(data, word, bits / 8);
    }

    // The format chunk; the extensible one ends with its size, the bits and
    // the channel mask, and the PCM sub-format's GUID.
    std::vector<uint8_t> fmt;
    const uint32_t align = channels * bits / 8;
    using Field = std::pair<uint32_t, uint32_t>; // value, bytes
    std::vector<Field> fields = {{tag, 2}, {channels, 2}, {rate, 4}, {rate * align, 4}, {align, 2}, {bits, 2}};
    if (type == WavSample::S16Extensible)
        fields.insert(fields.end(), {{22, 2}, {bits, 2}, {channels == 1 ? 0x4u : 0x3u, 4}, {0x00000001, 4},
                                     {0x00100000, 4}, {0xAA000080, 4}, {0x719B3800, 4}});
    for (const Field& field : fields)
        Put(fmt, field.first, field.second);

    std::vector<uint8_t> out;
    Put(out, "RIFF");
    Put(out, 0, 4); // patched below
    Put(out, "WAVE");
    out.insert(out.end(), extraChunk.begin(), extraChunk.end());
    for (const std::vector<uint8_t>* chunk : {&fmt, &data})
    {
        Put(out, chunk == &fmt ? "fmt " : "data");
        Put(out, static_cast<uint32_t>(chunk->size()), 4);
        out.insert(out.end(), chunk->begin(), chunk->end());
    }
    if (data.size() & 1)
        out.push_back(0);
    const uint32_t riff = static_cast<uint32_t>(out.size() - 8);
    std::memcpy(out.data() + 4, &riff, 4);
    return out;
}

std::vector<uint8_t> MakeOgg(const std::vector<float>& samples, uint32_t channels, uint32_t rate)
{
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, static_cast<long>(channels), static_cast<long>(rate), 0.5f) != 0)
        std::abort();
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x42570001);

    std::vector<uint8_t> out;
    auto pages = [&] {
        ogg_page page;
        while (ogg_stream_flush(&stream, &page))
        {
            out.insert(out.end(), page.header, page.header + page.header_len);
            out.insert(out.end(), page.body, page.body + page.body_len);
        }
    };
    ogg_packet headers[3];
    vorbis_analysis_headerout(&dsp, &comment, &headers[0], &headers[1], &headers[2]);
    for (ogg_packet& header : headers)
        ogg_stream_packetin(&stream, &header);
    pages(); // the headers on pages of their own

    const int frames = static_cast<int>(samples.size() / channels);
    float** buffer = vorbis_analysis_buffer(&dsp, frames);
    for (size_t i = 0; i < samples.size(); ++i)
        buffer[i % channels][i / channels] = samples[i];
    vorbis_analysis_wrote(&dsp, frames);
    vorbis_analysis_wrote(&dsp, 0); // the end
    while (vorbis_analysis_blockout(&dsp, &block) == 1)
    {
        vorbis_analysis(&block, nullptr);
        vorbis_bitrate_addblock(&block);
        ogg_packet packet;
        while (vorbis_bitrate_flushpacket(&dsp, &packet))
            ogg_stream_packetin(&stream, &packet);
    }
    pages();
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

} // namespace testing_support
