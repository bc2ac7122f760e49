#include "Platform/D3D9/D3DX9Buffer.h"

#include <cstring>

namespace d3d9
{

D3DX9Buffer::D3DX9Buffer(const void* data, size_t size) : mBytes(size)
{
    if (size)
        std::memcpy(mBytes.data(), data, size);
}

ULONG D3DX9Buffer::AddRef()
{
    return ++mRefs;
}

ULONG D3DX9Buffer::Release()
{
    const ULONG refs = --mRefs;
    if (refs == 0)
        delete this;
    return refs;
}

LPVOID D3DX9Buffer::GetBufferPointer()
{
    return mBytes.empty() ? nullptr : mBytes.data();
}

DWORD D3DX9Buffer::GetBufferSize()
{
    return static_cast<DWORD>(mBytes.size());
}

} // namespace d3d9
