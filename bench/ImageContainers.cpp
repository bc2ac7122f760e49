// The start screen's layout (data/gui/start) opened as a screen opens it, in
// both forms: the layered PSD (read and decoded whole) and the layer folder
// (only "layers.xml" is read). Then every layer looked up by name, and every
// picture layer's pixels copied out of the PSD.
//
// Figures: time per open (ms), layers, lookups/s, bytes/s of ARGB pixels.

#include "Core/Base/ImageInfo.h"
#include "Core/Base/Stream.h"
#include "Core/File/FileManager.h"
#include "Core/Psd/ImageContainer.h"
#include "Core/Psd/PsdFile.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

const std::wstring kData = L"" BW_SOURCE_DIR "/data/";

std::unique_ptr<file::ImageContainer> OpenLayout(const std::wstring& path)
{
    return std::unique_ptr<file::ImageContainer>(file::FileManager::Instance()->OpenImageContainer(path));
}

void ReportOpen(benchmark::State& state, uint32_t layers)
{
    state.counters["layers"] = layers;
}

// relative: below data/, in ASCII.
void Open(benchmark::State& state, const std::string& relative)
{
    uint32_t layers = 0;
    for (auto _ : state)
    {
        auto layout = OpenLayout(kData + std::wstring(relative.begin(), relative.end()));
        layers = layout ? layout->GetLayerCount() : 0;
        benchmark::DoNotOptimize(layout.get());
    }
    if (layers == 0)
        state.SkipWithError(("data/" + relative + " gave no layers").c_str());
    ReportOpen(state, layers);
}
BENCHMARK_CAPTURE(Open, psd, std::string("gui/start.psd"))->Name("Open/psd")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Open, folder, std::string("gui/start"))->Name("Open/folder")->Unit(benchmark::kMillisecond);

// Every layer by name, as a screen builds its widgets.
void FindEveryLayer(benchmark::State& state, const std::wstring& path)
{
    auto layout = OpenLayout(path);
    std::vector<std::wstring> names;
    for (uint32_t i = 0; layout && i < layout->GetLayerCount(); ++i)
        names.push_back(layout->GetLayer(i)->mName);
    if (names.empty())
    {
        state.SkipWithError("the layout gave no layers");
        return;
    }
    for (auto _ : state)
        for (const std::wstring& name : names)
            benchmark::DoNotOptimize(layout->FindLayer(name));
    state.counters["layers"] = double(names.size());
    state.counters["lookups/s"] =
        benchmark::Counter(double(state.iterations()) * double(names.size()), benchmark::Counter::kIsRate);
}
BENCHMARK_CAPTURE(FindEveryLayer, psd, kData + L"gui/start.psd")->Name("FindEveryLayer/psd");
BENCHMARK_CAPTURE(FindEveryLayer, folder, kData + L"gui/start")->Name("FindEveryLayer/folder");

// Every picture's pixels, as textures load them.
void StreamEveryLayer(benchmark::State& state)
{
    auto layout = OpenLayout(kData + L"gui/start.psd");
    std::vector<std::wstring> names;
    for (uint32_t i = 0; layout && i < layout->GetLayerCount(); ++i)
        if (layout->GetLayer(i)->mHasImage)
            names.push_back(layout->GetLayer(i)->mName);
    if (names.empty())
    {
        state.SkipWithError("data/gui/start.psd gave no pictures");
        return;
    }
    uint64_t bytes = 0;
    for (auto _ : state)
    {
        for (const std::wstring& name : names)
        {
            std::unique_ptr<base::Stream> stream(layout->OpenLayerStream(name));
            bytes += stream ? stream->GetSize() : 0;
        }
    }
    state.SetBytesProcessed(int64_t(bytes));
}
BENCHMARK(StreamEveryLayer)->Name("StreamEveryLayer/psd");

} // namespace
