#include "Platform/Audio/Decoder.h"

#include "Platform/Audio/OggDecoder.h"
#include "Platform/Audio/WavDecoder.h"

#include <cstring>

namespace audio
{

Decoder::~Decoder() = default;

std::unique_ptr<Decoder> OpenDecoder(FileReader& reader, int& error)
{
    uint8_t magic[12] = {};
    if (!reader.SeekTo(0))
    {
        error = BASS_ERROR_FILEOPEN;
        return nullptr;
    }
    uint32_t got = reader.Read(magic, sizeof(magic));
    if (!reader.SeekTo(0))
    {
        error = BASS_ERROR_FILEOPEN;
        return nullptr;
    }
    if (got >= 4 && std::memcmp(magic, "OggS", 4) == 0)
        return OggDecoder::Open(reader, error);
    if (got == 12 && std::memcmp(magic, "RIFF", 4) == 0 && std::memcmp(magic + 8, "WAVE", 4) == 0)
        return WavDecoder::Open(reader, error);
    error = BASS_ERROR_FILEFORM;
    return nullptr;
}

} // namespace audio
