#include "tests/Support/SoundFiles.h"

#include <SDL.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace testing_support
{
namespace
{

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

int32_t Quantize(float v, double scale, double low, double high)
{
    double s = std::floor(static_cast<double>(std::clamp(v, -1.0f, 1.0f)) * scale + 0.5);
    return static_cast<int32_t>(std::clamp(s, low, high));
}

void CALLBACK Close(void* user)
{
    ++static_cast<MemoryFile*>(user)->closes;
}

QWORD CALLBACK Length(void* user)
{
    return static_cast<MemoryFile*>(user)->bytes.size();
}

DWORD CALLBACK Read(void* buffer, DWORD length, void* user)
{
    MemoryFile& file = *static_cast<MemoryFile*>(user);
    ++file.reads;
    if (file.position + length > file.failReadsAt)
        return static_cast<DWORD>(-1);
    uint64_t left = file.bytes.size() - std::min<uint64_t>(file.position, file.bytes.size());
    DWORD n = static_cast<DWORD>(std::min<uint64_t>(length, left));
    if (n)
        std::memcpy(buffer, file.bytes.data() + file.position, n);
    file.position += n;
    return n;
}

BOOL CALLBACK Seek(QWORD offset, void* user)
{
    MemoryFile& file = *static_cast<MemoryFile*>(user);
    file.seeks.push_back(offset);
    if (offset > file.bytes.size())
    {
        file.seekPastEnd = true;
        return FALSE;
    }
    file.position = offset;
    return TRUE;
}

} // namespace

void UseAudioDriver(const char* name)
{
    // The driver is picked when SDL's audio starts.
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    setenv("SDL_AUDIODRIVER", name, 1);
}

const BASS_FILEPROCS MemoryFile::kProcs = {Close, Length, Read, Seek};

std::vector<float> MakeSine(double frequency, uint32_t rate, uint32_t frames, float amplitude, uint32_t channels,
                            float channelScale)
{
    const double pi = 3.14159265358979323846;
    std::vector<float> out;
    out.reserve(static_cast<size_t>(frames) * channels);
    for (uint32_t i = 0; i < frames; ++i)
    {
        float v = static_cast<float>(amplitude * std::sin(2.0 * pi * frequency * i / rate));
        out.push_back(v);
        for (uint32_t c = 1; c < channels; ++c)
            out.push_back(v * channelScale);
    }
    return out;
}

std::vector<uint8_t> MakeWav(const std::vector<float>& samples, uint32_t channels, uint32_t rate, WavSample type,
                             const std::vector<uint8_t>& extraChunk)
{
    uint32_t bits = 16;
    uint16_t tag = 1;
    switch (type)
    {
    case WavSample::U8: bits = 8; break;
    case WavSample::S16: bits = 16; break;
    case WavSample::S24: bits = 24; break;
    case WavSample::S32: bits = 32; break;
    case WavSample::F32: bits = 32; tag = 3; break;
    case WavSample::S16Extensible: bits = 16; tag = 0xFFFE; break;
    }
    const uint32_t blockAlign = channels * bits / 8;

    std::vector<uint8_t> data;
    for (float v : samples)
    {
        switch (type)
        {
        case WavSample::U8: data.push_back(static_cast<uint8_t>(Quantize(v, 128, -128, 127) + 128)); break;
        case WavSample::S16:
        case WavSample::S16Extensible: Put16(data, static_cast<uint32_t>(Quantize(v, 32768, -32768, 32767))); break;
        case WavSample::S24:
        {
            uint32_t s = static_cast<uint32_t>(Quantize(v, 8388608, -8388608, 8388607));
            data.push_back(static_cast<uint8_t>(s));
            data.push_back(static_cast<uint8_t>(s >> 8));
            data.push_back(static_cast<uint8_t>(s >> 16));
            break;
        }
        case WavSample::S32: Put32(data, static_cast<uint32_t>(Quantize(v, 2147483648.0, -2147483648.0, 2147483647.0))); break;
        case WavSample::F32:
        {
            uint32_t b;
            std::memcpy(&b, &v, 4);
            Put32(data, b);
            break;
        }
        }
    }

    std::vector<uint8_t> fmt;
    Put16(fmt, tag);
    Put16(fmt, channels);
    Put32(fmt, rate);
    Put32(fmt, rate * blockAlign);
    Put16(fmt, blockAlign);
    Put16(fmt, bits);
    if (type == WavSample::S16Extensible)
    {
        Put16(fmt, 22);
        Put16(fmt, bits);
        Put32(fmt, channels == 1 ? 0x4 : 0x3);
        const uint8_t pcmGuid[16] = {1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
        fmt.insert(fmt.end(), pcmGuid, pcmGuid + 16);
    }

    std::vector<uint8_t> out;
    PutTag(out, "RIFF");
    Put32(out, 0); // patched below
    PutTag(out, "WAVE");
    out.insert(out.end(), extraChunk.begin(), extraChunk.end());
    PutTag(out, "fmt ");
    Put32(out, static_cast<uint32_t>(fmt.size()));
    out.insert(out.end(), fmt.begin(), fmt.end());
    PutTag(out, "data");
    Put32(out, static_cast<uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() & 1)
        out.push_back(0);
    const uint32_t riff = static_cast<uint32_t>(out.size() - 8);
    for (int i = 0; i < 4; ++i)
        out[4 + i] = static_cast<uint8_t>(riff >> (8 * i));
    return out;
}

std::vector<uint8_t> MakeOgg(const std::vector<float>& samples, uint32_t channels, uint32_t rate, float quality)
{
    std::vector<uint8_t> out;
    auto append = [&out](const ogg_page& page) {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    };

    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, static_cast<long>(channels), static_cast<long>(rate), quality) != 0)
        std::abort();
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x42570001);

    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0)
        append(page);

    const size_t frames = samples.size() / channels;
    size_t done = 0;
    bool finished = false;
    bool endWritten = false;
    while (!finished)
    {
        const size_t chunk = std::min<size_t>(1024, frames - done);
        if (chunk == 0)
        {
            if (endWritten)
                break;
            vorbis_analysis_wrote(&dsp, 0);
            endWritten = true;
        }
        else
        {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(chunk));
            for (size_t i = 0; i < chunk; ++i)
                for (uint32_t c = 0; c < channels; ++c)
                    buffer[c][i] = samples[(done + i) * channels + c];
            vorbis_analysis_wrote(&dsp, static_cast<int>(chunk));
            done += chunk;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1)
        {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet))
            {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0)
                {
                    append(page);
                    if (ogg_page_eos(&page))
                        finished = true;
                }
            }
        }
    }

    while (ogg_stream_flush(&stream, &page) != 0)
        append(page);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

} // namespace testing_support
