#include "Core/Base/Format.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cwchar>
#include <string>

// base::Format against the C library's formatter, on the formats the game uses.
// Both produce a finished string object per iteration.

namespace
{

struct Case
{
    const char* label;
    const wchar_t* wide;
    const char* narrow;
    int args;
};

const Case Cases[] = {
    {"counter %d/%d", L"%d/%d", "%d/%d", 2},
    {"resource quests/quest%d/", L"quests/quest%d/", "quests/quest%d/", 1},
    {"zero-filled %03d", L"%03d", "%03d", 1},
    {"hex %#010x", L"%#010x", "%#010x", 1},
    {"literal only", L"Html log file", "Html log file", 0},
};

template <class Char>
void BaseFormat(benchmark::State& state, const Char* text, int args)
{
    uint32_t value = 12345;
    for (auto _ : state)
    {
        base::Format<Char> f(text);
        for (int i = 0; i < args; ++i)
            f % value;
        f.AppendTail();
        std::basic_string<Char> result = f.GetResult();
        benchmark::DoNotOptimize(result);
        ++value;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_BaseFormatWide(benchmark::State& state)
{
    const Case& c = Cases[state.range(0)];
    BaseFormat(state, c.wide, c.args);
    state.SetLabel(c.label);
}

void BM_SwprintfWide(benchmark::State& state)
{
    const Case& c = Cases[state.range(0)];
    unsigned value = 12345;
    wchar_t buffer[256];
    for (auto _ : state)
    {
        switch (c.args)
        {
        case 0: std::swprintf(buffer, 256, c.wide); break;
        case 1: std::swprintf(buffer, 256, c.wide, value); break;
        default: std::swprintf(buffer, 256, c.wide, value, value); break;
        }
        std::wstring result(buffer);
        benchmark::DoNotOptimize(result);
        ++value;
    }
    state.SetLabel(c.label);
    state.SetItemsProcessed(state.iterations());
}

void BM_BaseFormatNarrow(benchmark::State& state)
{
    const Case& c = Cases[state.range(0)];
    BaseFormat(state, c.narrow, c.args);
    state.SetLabel(c.label);
}

void BM_Snprintf(benchmark::State& state)
{
    const Case& c = Cases[state.range(0)];
    unsigned value = 12345;
    char buffer[256];
    for (auto _ : state)
    {
        switch (c.args)
        {
        case 0: std::snprintf(buffer, sizeof buffer, "%s", c.narrow); break;
        case 1: std::snprintf(buffer, sizeof buffer, c.narrow, value); break;
        default: std::snprintf(buffer, sizeof buffer, c.narrow, value, value); break;
        }
        std::string result(buffer);
        benchmark::DoNotOptimize(result);
        ++value;
    }
    state.SetLabel(c.label);
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(BM_BaseFormatWide)->DenseRange(0, 4);
BENCHMARK(BM_SwprintfWide)->DenseRange(0, 4);
BENCHMARK(BM_BaseFormatNarrow)->DenseRange(0, 4);
BENCHMARK(BM_Snprintf)->DenseRange(0, 4);
