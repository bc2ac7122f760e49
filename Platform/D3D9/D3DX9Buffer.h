#pragma once

#include "Platform/D3D9/D3DX9.h"

#include <atomic>
#include <vector>

namespace d3d9
{

// A reference-counted block of bytes: compiled code or message text.
class D3DX9Buffer final : public ID3DXBuffer
{
public:
    D3DX9Buffer(const void* data, size_t size);

    ULONG AddRef() override;
    ULONG Release() override;
    LPVOID GetBufferPointer() override;
    DWORD GetBufferSize() override;

private:
    ~D3DX9Buffer() override = default;

    std::atomic<ULONG> mRefs{1};
    std::vector<unsigned char> mBytes;
};

} // namespace d3d9
