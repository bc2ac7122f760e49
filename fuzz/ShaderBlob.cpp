#include "Platform/D3D9/ShaderBlob.h"

#include <cstring>
#include <vector>

// Blobs are walked token by token; a walk past the input is caught by ASan.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<DWORD> tokens(size / 4);
    if (!tokens.empty())
        std::memcpy(tokens.data(), data, tokens.size() * 4);
    d3d9::ShaderBlob blob;
    d3d9::ReadShaderBlob(tokens.data(), tokens.size(), &blob);
    return 0;
}
