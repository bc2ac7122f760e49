// PSD loading: decoded MB/s per channel compression (raw, PackBits, zlib,
// zlib with prediction) at 8 and 16 bits, and the load time of a screen
// layout of about 200 layers; each beside ImageMagick's PSD reader on the
// same file in the same run (`convert file.psd null:`, timed as a whole
// process, so its start-up is part of its figure).
//
// Counters: bytes_per_second is decoded channel bytes (layer and merged image,
// before colour conversion); ratio is the file's size over those bytes.

#include "Core/Psd/Psd.h"
#include "tests/Support/PsdWriter.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace
{

using namespace psdtest;

const char* const kConvert = "/usr/bin/convert";

// Art-like planes: half flat areas, half noise.
Bytes ArtPlane(size_t width, size_t height, int depth, uint32_t seed)
{
    uint32_t state = seed * 2654435761u + 1;
    return MakePlane(width, height, depth, [&](size_t x, size_t y) {
        state = state * 1664525u + 1013904223u;
        if ((x / 64 + y / 64) % 2 == 0)
            return size_t(seed * 40 + (y / 64) * 7);
        return size_t(state >> 24);
    });
}

// Zero-size layers carry empty channels, as Photoshop and GIMP write them
// (ImageMagick refuses layers without channels).
Layer EmptyLayer(const std::string& name, int dividerType)
{
    Layer layer;
    layer.name = name;
    for (int16_t id : {-1, 0, 1, 2})
    {
        Channel channel;
        channel.id = id;
        layer.channels.push_back(channel);
    }
    if (dividerType)
        layer.blocks.push_back(TaggedBlock{"lsct", Bytes{0, 0, 0, uint8_t(dividerType)}});
    return layer;
}

struct Sample
{
    std::string path;
    uint64_t decodedBytes = 0;
    uint64_t fileBytes = 0;
};

// The documents live in a folder of their own for the run.
struct TempFolder
{
    std::string path;

    TempFolder()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "bw-bench-psd-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            path = pattern;
    }
    ~TempFolder()
    {
        std::error_code error;
        if (!path.empty())
            std::filesystem::remove_all(path, error);
    }
};

std::string Folder()
{
    static const TempFolder folder;
    return folder.path;
}

Sample Save(const std::string& name, const Document& doc, uint64_t decodedBytes)
{
    Sample sample;
    sample.path = Folder() + "/" + name + ".psd";
    const Bytes data = WriteDocument(doc);
    std::ofstream(sample.path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()),
                                                       std::streamsize(data.size()));
    sample.fileBytes = data.size();
    sample.decodedBytes = decodedBytes;
    return sample;
}

// One full-size RGBA layer over a merged image, both in one compression.
const Sample& SingleLayer(int compression, int depth)
{
    static std::map<std::pair<int, int>, Sample> cache;
    auto found = cache.find({compression, depth});
    if (found != cache.end())
        return found->second;
    constexpr uint32_t kSide = 1024;
    Document doc;
    doc.width = doc.height = kSide;
    doc.depth = uint16_t(depth);
    doc.channels = 4;
    doc.compression = compression;
    const Layer bottom = EmptyLayer("bottom", 0);
    Layer layer;
    layer.name = "art";
    layer.bottom = layer.right = int32_t(kSide);
    for (int16_t id : {-1, 0, 1, 2})
    {
        Channel channel;
        channel.id = id;
        channel.compression = compression;
        channel.samples = ArtPlane(kSide, kSide, depth, uint32_t(id + 2));
        layer.channels.push_back(channel);
        doc.composite.push_back(ArtPlane(kSide, kSide, depth, uint32_t(id + 7)));
    }
    doc.layers = {bottom, layer};
    const uint64_t decoded = uint64_t(kSide) * kSide * (depth / 8) * 8;
    const std::string name = "single_c" + std::to_string(compression) + "_d" + std::to_string(depth);
    return cache.emplace(std::make_pair(compression, depth), Save(name, doc, decoded)).first->second;
}

// A 1366x768 screen: about 200 layers of 16 to 512 pixels in nested groups,
// PackBits as Photoshop writes them.
const Sample& Layout()
{
    static const Sample sample = [] {
        Document doc;
        doc.width = 1366;
        doc.height = 768;
        doc.channels = 3;
        doc.compression = 1;
        uint32_t state = 12345;
        auto next = [&](uint32_t range) {
            state = state * 1664525u + 1013904223u;
            return (state >> 8) % range;
        };
        uint64_t decoded = 0;
        Layer background;
        background.name = "background";
        background.bottom = 768;
        background.right = 1366;
        for (int16_t id : {0, 1, 2})
        {
            Channel channel;
            channel.id = id;
            channel.compression = 1;
            channel.samples = ArtPlane(1366, 768, 8, uint32_t(id + 1));
            background.channels.push_back(channel);
        }
        decoded += 1366ull * 768 * 3;
        doc.layers.push_back(background);
        int depth = 0;
        for (int i = 0; i < 200; ++i)
        {
            if (i % 25 == 0 && depth < 3)
            {
                doc.layers.push_back(EmptyLayer("</Layer group>", 3));
                ++depth;
            }
            const uint32_t size = 16 + next(497);
            Layer layer;
            layer.name = "widget" + std::to_string(i);
            layer.left = int32_t(next(1366 - size));
            layer.top = int32_t(next(768 - std::min(size, 700u)));
            layer.right = layer.left + int32_t(size);
            layer.bottom = layer.top + int32_t(std::min(size, 700u));
            for (int16_t id : {-1, 0, 1, 2})
            {
                Channel channel;
                channel.id = id;
                channel.compression = 1;
                channel.samples = ArtPlane(size_t(layer.right - layer.left),
                                           size_t(layer.bottom - layer.top), 8, uint32_t(i + id));
                layer.channels.push_back(channel);
            }
            decoded += uint64_t(layer.right - layer.left) * uint64_t(layer.bottom - layer.top) * 4;
            doc.layers.push_back(layer);
            if (i % 25 == 24 && depth > 0)
            {
                doc.layers.push_back(EmptyLayer("group" + std::to_string(i), 1));
                --depth;
            }
        }
        doc.composite = {ArtPlane(1366, 768, 8, 1), ArtPlane(1366, 768, 8, 2),
                         ArtPlane(1366, 768, 8, 3)};
        decoded += 1366ull * 768 * 3;
        return Save("layout", doc, decoded);
    }();
    return sample;
}

void LoadWithReader(benchmark::State& state, const Sample& sample)
{
    for (auto _ : state)
    {
        PsdContext* context = nullptr;
        if (PsdLoadDocument(sample.path.c_str(), &context) != kPsdOk)
        {
            state.SkipWithError("the document did not load");
            return;
        }
        benchmark::DoNotOptimize(context->layers);
        PsdFreeDocument(context);
    }
    state.SetBytesProcessed(int64_t(state.iterations() * sample.decodedBytes));
    state.counters["ratio"] = double(sample.fileBytes) / double(sample.decodedBytes);
}

void LoadWithImageMagick(benchmark::State& state, const Sample& sample)
{
    if (!std::filesystem::exists(kConvert))
    {
        state.SkipWithError("ImageMagick's convert is not installed");
        return;
    }
    const std::string command =
        std::string(kConvert) + " '" + sample.path + "' null: >/dev/null 2>&1";
    for (auto _ : state)
    {
        if (std::system(command.c_str()) != 0)
        {
            state.SkipWithError("convert failed");
            return;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations() * sample.decodedBytes));
}

const char* const kCompressionNames[] = {"raw", "packbits", "zip", "zip_prediction"};

void RegisterAll()
{
    for (int depth : {8, 16})
    {
        for (int compression = 0; compression < 4; ++compression)
        {
            const std::string suffix =
                std::string(kCompressionNames[compression]) + "/" + std::to_string(depth) + "bit";
            benchmark::RegisterBenchmark(("PsdLoad/" + suffix).c_str(),
                                         [=](benchmark::State& state) {
                                             LoadWithReader(state, SingleLayer(compression, depth));
                                         })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
            benchmark::RegisterBenchmark(("ImageMagick/" + suffix).c_str(),
                                         [=](benchmark::State& state) {
                                             LoadWithImageMagick(state,
                                                                 SingleLayer(compression, depth));
                                         })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->Iterations(3);
        }
    }
    benchmark::RegisterBenchmark("PsdLoad/layout_200_layers",
                                 [](benchmark::State& state) { LoadWithReader(state, Layout()); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("ImageMagick/layout_200_layers",
                                 [](benchmark::State& state) {
                                     LoadWithImageMagick(state, Layout());
                                 })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(3);
}

const int kRegistered = (RegisterAll(), 0);

} // namespace
