#include "Platform/Audio/FileReader.h"

namespace audio
{

FileReader::FileReader(const BASS_FILEPROCS& procs, void* user)
    : mProcs(procs)
    , mUser(user)
    , mLength(procs.length ? procs.length(user) : 0)
{
}

FileReader::~FileReader()
{
    if (mProcs.close)
        mProcs.close(mUser);
}

uint32_t FileReader::Read(void* buffer, uint32_t count)
{
    if (count == 0 || !mProcs.read || mPosition >= mLength)
        return 0;
    if (count > mLength - mPosition)
        count = static_cast<uint32_t>(mLength - mPosition);
    DWORD got = mProcs.read(buffer, count, mUser);
    if (got > count)
        return 0; // (DWORD)-1 is the failure value; anything else above is a lie
    mPosition += got;
    return got;
}

bool FileReader::SeekTo(uint64_t offset)
{
    if (offset > mLength || !mProcs.seek)
        return false;
    if (!mProcs.seek(offset, mUser))
        return false;
    mPosition = offset;
    return true;
}

} // namespace audio
