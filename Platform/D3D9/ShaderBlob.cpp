#include "Platform/D3D9/ShaderBlob.h"

#include <cstring>

namespace d3d9
{

std::vector<DWORD> WriteShaderBlob(const ShaderBlob& blob)
{
    std::vector<DWORD> out;
    out.push_back(blob.version);

    const size_t textTokens = (blob.glsl.size() + 3) / 4;
    out.push_back(kBlobTagGlsl);
    out.push_back(static_cast<DWORD>(1 + textTokens));
    out.push_back(static_cast<DWORD>(blob.glsl.size()));
    const size_t at = out.size();
    out.resize(at + textTokens, 0);
    if (!blob.glsl.empty())
        std::memcpy(&out[at], blob.glsl.data(), blob.glsl.size());

    out.push_back(kBlobTagConstants);
    out.push_back(1);
    out.push_back(blob.constantRegisters);
    out.push_back(kBlobTagSamplers);
    out.push_back(1);
    out.push_back(blob.samplerMask);

    out.push_back(kBlobEnd);
    return out;
}

size_t ShaderBlobTokenCount(const DWORD* tokens, size_t available)
{
    if (available > kBlobMaxTokens)
        available = kBlobMaxTokens;
    if (!tokens || available < 2)
        return 0;
    const DWORD version = tokens[0];
    if (version != kBlobVersionVS11 && version != kBlobVersionPS20)
        return 0;
    size_t pos = 1;
    while (pos < available)
    {
        if (tokens[pos] == kBlobEnd)
            return pos + 1;
        if (pos + 1 >= available)
            return 0;
        const size_t length = tokens[pos + 1];
        if (length > available - pos - 2)
            return 0;
        pos += 2 + length;
    }
    return 0;
}

bool ReadShaderBlob(const DWORD* tokens, size_t available, ShaderBlob* out)
{
    const size_t count = ShaderBlobTokenCount(tokens, available);
    if (count == 0 || !out)
        return false;
    ShaderBlob blob;
    blob.version = tokens[0];
    bool haveText = false;
    size_t pos = 1;
    while (pos + 1 < count)
    {
        const DWORD tag = tokens[pos];
        const size_t length = tokens[pos + 1];
        const DWORD* payload = tokens + pos + 2;
        if (tag == kBlobTagGlsl)
        {
            if (length < 1 || payload[0] > (length - 1) * 4)
                return false;
            blob.glsl.assign(reinterpret_cast<const char*>(payload + 1), payload[0]);
            haveText = true;
        }
        else if (tag == kBlobTagConstants && length >= 1)
            blob.constantRegisters = payload[0];
        else if (tag == kBlobTagSamplers && length >= 1)
            blob.samplerMask = payload[0];
        pos += 2 + length;
    }
    if (!haveText)
        return false;
    *out = blob;
    return true;
}

} // namespace d3d9
