#include "Platform/D3D9/D3DX9.h"
#include "Platform/D3D9/ShaderBlob.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

// Arbitrary text through the compiler for both profiles. Whatever compiles
// must give a well-formed blob and a NUL-terminated message buffer.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const kTargets[][2] = {{"vertex_shader", "vs_1_1"}, {"pixel_shader", "ps_2_0"}};
    for (const auto& target : kTargets)
    {
        LPD3DXBUFFER code = nullptr;
        LPD3DXBUFFER messages = nullptr;
        LPD3DXCONSTANTTABLE table = nullptr;
        const HRESULT hr = D3DXCompileShader(reinterpret_cast<const char*>(data), static_cast<UINT>(size), nullptr,
                                             nullptr, target[0], target[1], D3DXSHADER_DEBUG, &code, &messages,
                                             &table);
        if (messages)
        {
            const char* text = static_cast<const char*>(messages->GetBufferPointer());
            if (messages->GetBufferSize() == 0 || text[messages->GetBufferSize() - 1] != '\0')
                std::abort();
            messages->Release();
        }
        if (SUCCEEDED(hr))
        {
            d3d9::ShaderBlob blob;
            if (!code || !table ||
                !d3d9::ReadShaderBlob(static_cast<const DWORD*>(code->GetBufferPointer()),
                                      code->GetBufferSize() / sizeof(DWORD), &blob))
                std::abort();
            D3DXCONSTANTTABLE_DESC desc;
            table->GetDesc(&desc);
            code->Release();
            table->Release();
        }
        else if (code || table)
            std::abort();
    }
    return 0;
}
