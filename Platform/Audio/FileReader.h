#pragma once

#include "Platform/Audio/Audio.h"

#include <cstdint>

namespace audio
{

// The caller's file callbacks with a position of our own: the callbacks only
// seek from the start, the decoders also ask where they are. The length is
// asked once. Callback results are never trusted: a read that claims more
// than was asked counts as a failed read.
class FileReader
{
public:
    FileReader(const BASS_FILEPROCS& procs, void* user);
    // Calls the close callback (once, also for a reader that failed).
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    uint64_t GetLength() const { return mLength; }
    uint64_t Tell() const { return mPosition; }

    // The bytes read, fewer at the end; 0 after a failed read.
    uint32_t Read(void* buffer, uint32_t count);
    // True when count bytes were read.
    bool ReadExact(void* buffer, uint32_t count) { return Read(buffer, count) == count; }
    // Offsets past the end fail and leave the position alone.
    bool SeekTo(uint64_t offset);

private:
    BASS_FILEPROCS mProcs;
    void* mUser;
    uint64_t mLength;
    uint64_t mPosition = 0;
};

} // namespace audio
