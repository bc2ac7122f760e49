#include "Platform/D3D9/D3DX9.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

namespace
{

std::string ReadProgram(const std::string& name)
{
    std::ifstream file(std::string(BW_SOURCE_DIR) + "/fuzz/corpus/Hlsl/" + name, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

bool CompileOne(const std::string& text, const char* entry, const char* profile)
{
    LPD3DXBUFFER code = nullptr;
    LPD3DXBUFFER messages = nullptr;
    LPD3DXCONSTANTTABLE table = nullptr;
    const HRESULT hr = D3DXCompileShader(text.data(), static_cast<UINT>(text.size()), nullptr, nullptr, entry,
                                         profile, D3DXSHADER_DEBUG, &code, &messages, &table);
    if (code)
        code->Release();
    if (messages)
        messages->Release();
    if (table)
        table->Release();
    return SUCCEEDED(hr);
}

// The renderer's start-up cost: its three vertex and pixel program pairs.
void BM_CompileBuiltinPrograms(benchmark::State& state)
{
    const char* const kPairs[] = {"geom", "mult", "tint"};
    std::string vertex[3];
    std::string pixel[3];
    size_t bytes = 0;
    for (int i = 0; i < 3; ++i)
    {
        vertex[i] = ReadProgram(std::string(kPairs[i]) + "_vs.hlsl");
        pixel[i] = ReadProgram(std::string(kPairs[i]) + "_ps.hlsl");
        bytes += vertex[i].size() + pixel[i].size();
    }
    for (auto _ : state)
    {
        for (int i = 0; i < 3; ++i)
        {
            if (!CompileOne(vertex[i], "vertex_shader", "vs_1_1") || !CompileOne(pixel[i], "pixel_shader", "ps_2_0"))
            {
                state.SkipWithError("a built-in program failed to compile");
                return;
            }
        }
    }
    state.SetLabel("six programs per iteration");
    state.counters["programs/s"] = benchmark::Counter(6.0 * state.iterations(), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(static_cast<int64_t>(bytes * state.iterations()));
}
BENCHMARK(BM_CompileBuiltinPrograms)->Unit(benchmark::kMicrosecond);

} // namespace
