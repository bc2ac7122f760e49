// Images drawn through render::Graphics::DrawImage and textures loaded
// through the image loader, with SDL2's own renderer drawing the same sprite
// counts as the reference.
//
// BM_DrawImages: images per frame, from one atlas texture (every image a
// region of it: the quads batch) or from eight textures in turn (a draw per
// image); back end 0 the layer's null device (the engine's own cost), 1
// OpenGL. Counters: CPU ns per image for building the frame through
// Graphics and for the replay, draws per frame.
// BM_LoadTexture: one image file decoded and loaded into a device texture
// (null device); MB/s of decoded pixels.
// BM_SdlRenderer: SDL_RenderCopy of the same sprites from one or eight
// textures, sampled nearest (SDL's default) or linearly (as the engine
// samples); CPU ns per sprite.

#include "Support/BenchRenderer.h"
#include "Support/SdlReference.h"

#include "Core/Base/MemoryStream.h"
#include "Core/Render/DX9/RenderDX9.h"
#include "Core/Render/Graphics.h"
#include "Core/Render/ImageData.h"
#include "Core/Render/ImageLoader.h"
#include "Core/Render/ImageRect.h"
#include "Core/Render/Texture.h"
#include "Platform/D3D9/D3D9TestHooks.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace
{

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kSprite = 16;
constexpr int kTextures = 8;

std::vector<uint8_t> ReadSample(const std::string& name)
{
    std::ifstream in(std::string(BW_SOURCE_DIR) + "/data/images/" + name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// CPU time of every thread of the process: with a software rasteriser the
// pixels are drawn on threads of the driver.
double ProcessCpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

void SpritePosition(int i, float* x, float* y)
{
    const int columns = kWidth / kSprite;
    *x = static_cast<float>((i % columns) * kSprite);
    *y = static_cast<float>(((i / columns) % (kHeight / kSprite)) * kSprite);
}

// 64x64 texels: an 8x8 grid of 8x8 sprites when used as an atlas.
std::vector<uint32_t> Texels(uint32_t tint)
{
    std::vector<uint32_t> texels(64 * 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            texels[y * 64 + x] = ((x ^ y) & 4) ? 0xFFFFFFFFu : tint;
    return texels;
}

class ImageScene
{
public:
    bool Open(bool gl, std::string* error)
    {
        if (!mRender.Open(gl, kWidth, kHeight, error))
            return false;
        for (int t = 0; t < kTextures; ++t)
        {
            render::Texture* texture = nullptr;
            mRender->CreateTexture(&texture);
            texture->CreateDynamic(64, 64);
            uint32_t size = 0, pitch = 0;
            void* bits = nullptr;
            const std::vector<uint32_t> texels = Texels(0xFF000000u | (0x203040u * (t + 1)));
            if (texture->Lock(&size, &pitch, &bits) == BW_OK)
            {
                for (int y = 0; y < 64; ++y)
                    std::memcpy(static_cast<uint8_t*>(bits) + y * pitch, &texels[y * 64], 64 * 4);
                texture->Unlock();
            }
            auto image = std::make_unique<render::ImageRect>();
            image->mTexture = texture;
            image->mWidth = 64;
            image->mHeight = 64;
            mImages.push_back(std::move(image));
        }
        return true;
    }

    void Close()
    {
        mImages.clear();
        mRender.Close();
    }

    // A frame as screens draw it: one Graphics, an image draw per sprite.
    void Record(int count, bool atlas)
    {
        render::Render& r = *mRender;
        r.CanRender();
        r.BeginScene();
        render::Graphics graphics(&r);
        const float black[4] = {0, 0, 0, 1};
        graphics.Clear(render::ClearColor, black, 1.0f, 0);
        for (int i = 0; i < count; ++i)
        {
            float at[2];
            SpritePosition(i, &at[0], &at[1]);
            if (atlas)
            {
                // One of the atlas' 8x8 regions, drawn twice its size.
                const float region[4] = {static_cast<float>((i % 8) * 8), static_cast<float>((i / 8 % 8) * 8), 8, 8};
                const float twice[2] = {2, 2};
                auto draw = graphics.DrawImageRect(mImages[0].get(), region).Scale(twice);
                draw.GetTransform().Translate(at[0], at[1]);
            }
            else
            {
                const float region[4] = {0, 0, kSprite, kSprite};
                graphics.DrawImageRect(mImages[i % kTextures].get(), region).Translate(at);
            }
        }
        graphics.Flush();
        r.EndScene();
        r.Present();
    }

    void Replay() { mRender->ExecuteCommands(); }
    uint64_t Draws() { return d3d9::test::GetStats(mRender->GetDevice()).draws; }

private:
    bwbench::BenchRenderer mRender;
    std::vector<std::unique_ptr<render::ImageRect>> mImages;
};

void BM_DrawImages(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const bool atlas = state.range(1) == 0;
    const bool gl = state.range(2) != 0;
    ImageScene scene;
    std::string error;
    if (!scene.Open(gl, &error))
    {
        state.SkipWithError(error.c_str());
        scene.Close();
        return;
    }
    for (int i = 0; i < 3; ++i)
    {
        scene.Record(count, atlas);
        scene.Replay();
    }
    using Clock = std::chrono::steady_clock;
    double recordNs = 0, replayNs = 0;
    uint64_t frames = 0;
    const uint64_t drawsBefore = scene.Draws();
    const double cpuBefore = ProcessCpuNs();
    for (auto _ : state)
    {
        const auto t0 = Clock::now();
        scene.Record(count, atlas);
        const auto t1 = Clock::now();
        scene.Replay();
        const auto t2 = Clock::now();
        recordNs += std::chrono::duration<double, std::nano>(t1 - t0).count();
        replayNs += std::chrono::duration<double, std::nano>(t2 - t1).count();
        ++frames;
    }
    const double n = static_cast<double>(frames);
    state.counters["all_threads_cpu_ns_per_image"] = (ProcessCpuNs() - cpuBefore) / n / count;
    state.counters["draw_image_ns_per_image"] = recordNs / n / count;
    state.counters["replay_ns_per_image"] = replayNs / n / count;
    state.counters["draws_per_frame"] = static_cast<double>(scene.Draws() - drawsBefore) / n;
    state.SetItemsProcessed(static_cast<int64_t>(frames) * count);
    state.SetLabel(std::string(gl ? "gl" : "null") + (atlas ? " one atlas" : " eight textures"));
    scene.Close();
}

// --- Texture loading ----------------------------------------------------------

void Put32(std::vector<uint8_t>* out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out->push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Uncompressed files of the decoded PNG's pixels.
std::vector<uint8_t> UncompressedFile(const std::string& kind, const std::vector<uint32_t>& argb, uint32_t size)
{
    std::vector<uint8_t> out;
    if (kind == "tga")
    {
        out.assign(18, 0);
        out[2] = 2;
        out[12] = out[14] = static_cast<uint8_t>(size);
        out[13] = out[15] = static_cast<uint8_t>(size >> 8);
        out[16] = 32;
        out[17] = 0x28;
        for (uint32_t word : argb)
            Put32(&out, word);
    }
    else if (kind == "bmp")
    {
        const uint32_t bytes = size * size * 4;
        out = {'B', 'M'};
        for (uint32_t v : {54 + bytes, 0u, 54u, 40u, size, size})
            Put32(&out, v);
        out.push_back(1);
        out.push_back(0);
        out.push_back(32);
        out.push_back(0);
        for (uint32_t v : {0u, bytes, 2835u, 2835u, 0u, 0u})
            Put32(&out, v);
        for (uint32_t y = size; y-- > 0;)
            for (uint32_t x = 0; x < size; ++x)
                Put32(&out, argb[y * size + x]);
    }
    else // uncompressed dds
    {
        out.assign(128, 0);
        std::memcpy(out.data(), "DDS ", 4);
        out[4] = 124;
        out[12] = out[16] = static_cast<uint8_t>(size);
        out[13] = out[17] = static_cast<uint8_t>(size >> 8);
        out[28] = 1;
        out[76] = 32;
        out[80] = 0x41;
        // A8R8G8B8: the bit count, then the red, green, blue and alpha masks.
        const uint32_t fields[5] = {32, 0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u};
        for (int i = 0; i < 5; ++i)
            for (int b = 0; b < 4; ++b)
                out[88 + 4 * i + b] = static_cast<uint8_t>(fields[i] >> (8 * b));
        for (uint32_t word : argb)
            Put32(&out, word);
    }
    return out;
}

void BM_LoadTexture(benchmark::State& state, const std::string& file, const std::string& built)
{
    bwbench::BenchRenderer renderer;
    std::string error;
    if (!renderer.Open(false, 64, 64, &error))
    {
        state.SkipWithError(error.c_str());
        return;
    }
    std::vector<uint8_t> bytes = ReadSample(file);
    std::wstring extension = L"." + std::wstring(file.begin() + static_cast<long>(file.rfind('.') + 1), file.end());
    if (!built.empty())
    {
        // Decoded from the PNG and written out uncompressed.
        base::MemoryStream png(bytes.data(), static_cast<uint32_t>(bytes.size()));
        std::unique_ptr<render::ImageData> data(
            render::ImageLoader::Instance()->CreateImageData(&png, L".png", nullptr));
        if (!data)
        {
            state.SkipWithError("sample missing");
            return;
        }
        const uint32_t size = static_cast<uint32_t>(data->GetWidth());
        std::vector<uint32_t> argb(size * size);
        data->Read(size * 4, 0, argb.data(), nullptr, 0);
        bytes = UncompressedFile(built, argb, size);
        extension = built == "argb" ? L".dds" : L"." + std::wstring(built.begin(), built.end());
    }
    std::unique_ptr<render::Texture> texture;
    {
        render::Texture* made = nullptr;
        renderer->CreateTexture(&made);
        texture.reset(made);
    }
    uint64_t decoded = 0;
    for (auto _ : state)
    {
        base::MemoryStream stream(bytes.data(), static_cast<uint32_t>(bytes.size()));
        std::unique_ptr<render::ImageData> data(
            render::ImageLoader::Instance()->CreateImageData(&stream, extension.c_str(), nullptr));
        if (!data || texture->Load(data.get()) != BW_OK)
        {
            state.SkipWithError("load failed");
            break;
        }
        decoded += data->GetSize();
    }
    state.SetBytesProcessed(static_cast<int64_t>(decoded));
    state.counters["file_bytes"] = static_cast<double>(bytes.size());
    texture.reset();
}

// --- SDL2's renderer as the reference ---------------------------------------------

void BM_SdlRenderer(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const bool atlas = state.range(1) == 0;
    // SDL samples the nearest texel by default; the engine filters linearly.
    const bool linear = state.range(2) != 0;
    bwbench::SdlReference sdl(kWidth, kHeight);
    SDL_Renderer* renderer = sdl.Renderer();
    if (!renderer)
    {
        state.SkipWithError("no SDL renderer");
        return;
    }
    std::vector<SDL_Texture*> textures;
    for (int t = 0; t < kTextures; ++t)
    {
        SDL_Texture* texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, 64, 64);
        const std::vector<uint32_t> texels = Texels(0xFF000000u | (0x203040u * (t + 1)));
        SDL_UpdateTexture(texture, nullptr, texels.data(), 64 * 4);
        SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
        SDL_SetTextureScaleMode(texture, linear ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
        textures.push_back(texture);
    }
    const double cpuBefore = ProcessCpuNs();
    for (auto _ : state)
    {
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 0xFF);
        SDL_RenderClear(renderer);
        for (int i = 0; i < count; ++i)
        {
            float x, y;
            SpritePosition(i, &x, &y);
            const SDL_Rect to = {static_cast<int>(x), static_cast<int>(y), kSprite, kSprite};
            if (atlas)
            {
                const SDL_Rect from = {(i % 8) * 8, (i / 8 % 8) * 8, 8, 8};
                SDL_RenderCopy(renderer, textures[0], &from, &to);
            }
            else
            {
                const SDL_Rect from = {0, 0, kSprite, kSprite};
                SDL_RenderCopy(renderer, textures[i % kTextures], &from, &to);
            }
        }
        SDL_RenderPresent(renderer);
    }
    state.counters["all_threads_cpu_ns_per_image"] =
        (ProcessCpuNs() - cpuBefore) / static_cast<double>(state.iterations()) / count;
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * count);
    state.SetLabel(std::string(sdl.Name()) + (atlas ? " one atlas" : " eight textures") +
                   (linear ? " linear" : " nearest"));
    for (SDL_Texture* texture : textures)
        SDL_DestroyTexture(texture);
}

} // namespace

BENCHMARK(BM_DrawImages)
    ->ArgNames({"images", "textures", "gl"})
    ->ArgsProduct({{1000, 10000, 20000}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SdlRenderer)
    ->ArgNames({"sprites", "textures", "linear"})
    ->ArgsProduct({{1000, 10000, 20000}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_LoadTexture, png, std::string("pattern.png"), std::string());
BENCHMARK_CAPTURE(BM_LoadTexture, jpg, std::string("pattern.jpg"), std::string());
BENCHMARK_CAPTURE(BM_LoadTexture, gif, std::string("pattern.gif"), std::string());
BENCHMARK_CAPTURE(BM_LoadTexture, tga, std::string("pattern.png"), std::string("tga"));
BENCHMARK_CAPTURE(BM_LoadTexture, bmp, std::string("pattern.png"), std::string("bmp"));
BENCHMARK_CAPTURE(BM_LoadTexture, dds_argb, std::string("pattern.png"), std::string("argb"));
BENCHMARK_CAPTURE(BM_LoadTexture, dds_dxt1, std::string("pattern_dxt1.dds"), std::string());
BENCHMARK_CAPTURE(BM_LoadTexture, dds_dxt5, std::string("pattern_dxt5.dds"), std::string());
