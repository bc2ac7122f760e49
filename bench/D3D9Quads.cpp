// 10,000 textured quads per frame from one dynamic vertex buffer through our
// Direct3D 9 layer, on the null back end (the layer's own cost) and on
// OpenGL (end to end), and the same quads through SDL2's renderer
// (SDL_RenderGeometry), the reference a user would otherwise pick.
//
// Counters: fps (frames per wall-clock second) and cpu_ns_per_quad (CPU time
// of the whole process, renderer threads included, per quad drawn).
// The second argument splits each frame into that many draw calls.

#include "Support/BenchWindow.h"
#include "Support/SdlReference.h"

#include "Platform/D3D9/D3D9.h"
#include "Platform/D3D9/D3D9TestHooks.h"
#include "Platform/D3D9/ShaderBlob.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <ctime>
#include <vector>

namespace
{

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kTextureSize = 64;

double ProcessCpuSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

struct Vertex
{
    float x, y, z, w;
    D3DCOLOR diffuse;
    D3DCOLOR specular;
    float u, v;
};

// Quad i of a frame: small sprites scattered over the screen, moving with the frame.
void QuadCorners(int i, int frame, float* x, float* y)
{
    *x = static_cast<float>((i * 37 + frame * 3) % (kWidth - 16)) - 0.5f;
    *y = static_cast<float>((i * 53 + frame) % (kHeight - 16)) - 0.5f;
}

const char* kVertexShader = R"(
in vec4 bw_POSITION0;
in vec4 bw_COLOR0;
in vec4 bw_TEXCOORD0;
out vec4 bw_v_COLOR0;
out vec4 bw_v_TEXCOORD0;
uniform vec4 bw_c[4];
vec4 bw_Position;
void bw_main()
{
    vec4 p = bw_POSITION0;
    bw_Position = vec4(dot(p, bw_c[0]), dot(p, bw_c[1]), dot(p, bw_c[2]), dot(p, bw_c[3]));
    bw_v_COLOR0 = bw_COLOR0;
    bw_v_TEXCOORD0 = bw_TEXCOORD0;
}
)";

const char* kPixelShader = R"(
in vec4 bw_v_COLOR0;
in vec4 bw_v_TEXCOORD0;
uniform sampler2D bw_s0;
vec4 bw_Color0;
void bw_main()
{
    bw_Color0 = bw_v_COLOR0 * texture(bw_s0, bw_v_TEXCOORD0.xy);
}
)";

std::vector<DWORD> Blob(DWORD version, const char* text, DWORD constants, DWORD samplers)
{
    d3d9::ShaderBlob blob;
    blob.version = version;
    blob.glsl = text;
    blob.constantRegisters = constants;
    blob.samplerMask = samplers;
    return d3d9::WriteShaderBlob(blob);
}

void ThroughTheLayer(benchmark::State& state, d3d9::test::Backend backend)
{
    const int quads = static_cast<int>(state.range(0));
    const int draws = static_cast<int>(state.range(1));
    d3d9::test::ResetHooks();
    d3d9::test::SetBackend(backend);
    bwbench::BenchWindow window(kWidth, kHeight);
    HWND hwnd = window.Handle();
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS pp = {};
    pp.BackBufferWidth = kWidth;
    pp.BackBufferHeight = kHeight;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.hDeviceWindow = hwnd;
    pp.Windowed = TRUE;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    IDirect3DDevice9* device = nullptr;
    if (!d3d || d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hwnd, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp,
                                  &device) != D3D_OK)
    {
        state.SkipWithError("no device");
        return;
    }

    const auto vsBlob = Blob(0xFFFE0101u, kVertexShader, 4, 0);
    const auto psBlob = Blob(0xFFFF0200u, kPixelShader, 0, 1);
    IDirect3DVertexShader9* vs = nullptr;
    IDirect3DPixelShader9* ps = nullptr;
    device->CreateVertexShader(vsBlob.data(), &vs);
    device->CreatePixelShader(psBlob.data(), &ps);

    IDirect3DTexture9* texture = nullptr;
    device->CreateTexture(kTextureSize, kTextureSize, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr);
    D3DLOCKED_RECT locked = {};
    texture->LockRect(0, &locked, nullptr, 0);
    for (int y = 0; y < kTextureSize; ++y)
        for (int x = 0; x < kTextureSize; ++x)
            static_cast<D3DCOLOR*>(locked.pBits)[y * locked.Pitch / 4 + x] = ((x ^ y) & 8) ? 0xFFFFFFFF : 0x80FF8000;
    texture->UnlockRect(0);

    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    device->CreateVertexBuffer(quads * 4 * sizeof(Vertex), D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY,
                               D3DFVF_XYZW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1, D3DPOOL_DEFAULT, &vb,
                               nullptr);
    device->CreateIndexBuffer(quads * 6 * sizeof(uint16_t), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib,
                              nullptr);
    void* data = nullptr;
    ib->Lock(0, 0, &data, 0);
    uint16_t* indices = static_cast<uint16_t*>(data);
    for (int q = 0; q < quads; ++q)
    {
        const uint16_t base = static_cast<uint16_t>(q * 4);
        const uint16_t quad[6] = {base, static_cast<uint16_t>(base + 1), static_cast<uint16_t>(base + 2),
                                  static_cast<uint16_t>(base + 2), static_cast<uint16_t>(base + 1),
                                  static_cast<uint16_t>(base + 3)};
        std::memcpy(indices + q * 6, quad, sizeof quad);
    }
    ib->Unlock();

    const float projection[16] = {2.0f / kWidth, 0, 0, -1, 0, -2.0f / kHeight, 0, 1, 0, 0, 1, 0, 0, 0, 0, 1};
    device->SetVertexShader(vs);
    device->SetPixelShader(ps);
    device->SetVertexShaderConstantF(0, projection, 4);
    device->SetFVF(D3DFVF_XYZW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1);
    device->SetStreamSource(0, vb, 0, sizeof(Vertex));
    device->SetIndices(ib);
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);

    const int perDraw = quads / draws;
    int frame = 0;
    const double cpuStart = ProcessCpuSeconds();
    for (auto _ : state)
    {
        vb->Lock(0, 0, &data, D3DLOCK_DISCARD);
        Vertex* v = static_cast<Vertex*>(data);
        for (int q = 0; q < quads; ++q)
        {
            float x, y;
            QuadCorners(q, frame, &x, &y);
            v[0] = {x, y, 0, 1, 0xFFFFFFFF, 0, 0, 0};
            v[1] = {x + 16, y, 0, 1, 0xFFFFFFFF, 0, 1, 0};
            v[2] = {x, y + 16, 0, 1, 0xFFFFFFFF, 0, 0, 1};
            v[3] = {x + 16, y + 16, 0, 1, 0xFFFFFFFF, 0, 1, 1};
            v += 4;
        }
        vb->Unlock();
        device->BeginScene();
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF202020, 1.0f, 0);
        for (int d = 0; d < draws; ++d)
            device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, d * perDraw * 4, perDraw * 4, d * perDraw * 6,
                                         perDraw * 2);
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
        ++frame;
    }
    const double cpu = ProcessCpuSeconds() - cpuStart;
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["cpu_ns_per_quad"] = cpu * 1e9 / (static_cast<double>(state.iterations()) * quads);

    for (IUnknown* object : {static_cast<IUnknown*>(vb), static_cast<IUnknown*>(ib),
                             static_cast<IUnknown*>(texture), static_cast<IUnknown*>(vs), static_cast<IUnknown*>(ps),
                             static_cast<IUnknown*>(device), static_cast<IUnknown*>(d3d)})
        if (object)
            object->Release();
}

void BM_LayerNull(benchmark::State& state)
{
    ThroughTheLayer(state, d3d9::test::Backend::Null);
}

void BM_LayerOpenGL(benchmark::State& state)
{
    ThroughTheLayer(state, d3d9::test::Backend::OpenGL);
}

void BM_SdlRenderGeometry(benchmark::State& state)
{
    const int quads = static_cast<int>(state.range(0));
    const int draws = static_cast<int>(state.range(1));
    bwbench::SdlReference sdl(kWidth, kHeight);
    SDL_Renderer* renderer = sdl.Renderer();
    if (!renderer)
    {
        state.SkipWithError("no SDL renderer");
        return;
    }
    state.SetLabel(sdl.Name());
    SDL_Texture* texture =
        SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, kTextureSize, kTextureSize);
    std::vector<Uint32> texels(kTextureSize * kTextureSize);
    for (int y = 0; y < kTextureSize; ++y)
        for (int x = 0; x < kTextureSize; ++x)
            texels[y * kTextureSize + x] = ((x ^ y) & 8) ? 0xFFFFFFFF : 0x80FF8000;
    SDL_UpdateTexture(texture, nullptr, texels.data(), kTextureSize * 4);
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeLinear);

    std::vector<SDL_Vertex> vertices(quads * 4);
    std::vector<int> indices(quads * 6);
    for (int q = 0; q < quads; ++q)
    {
        const int quad[6] = {q * 4, q * 4 + 1, q * 4 + 2, q * 4 + 2, q * 4 + 1, q * 4 + 3};
        std::memcpy(&indices[q * 6], quad, sizeof quad);
    }
    const int perDraw = quads / draws;
    int frame = 0;
    const double cpuStart = ProcessCpuSeconds();
    for (auto _ : state)
    {
        SDL_Vertex* v = vertices.data();
        for (int q = 0; q < quads; ++q)
        {
            float x, y;
            QuadCorners(q, frame, &x, &y);
            x += 0.5f; // SDL's renderer has no half-pixel convention to cancel
            y += 0.5f;
            const SDL_Color white = {255, 255, 255, 255};
            v[0] = {{x, y}, white, {0, 0}};
            v[1] = {{x + 16, y}, white, {1, 0}};
            v[2] = {{x, y + 16}, white, {0, 1}};
            v[3] = {{x + 16, y + 16}, white, {1, 1}};
            v += 4;
        }
        SDL_SetRenderDrawColor(renderer, 0x20, 0x20, 0x20, 0xFF);
        SDL_RenderClear(renderer);
        for (int d = 0; d < draws; ++d)
            SDL_RenderGeometry(renderer, texture, vertices.data(), quads * 4, &indices[d * perDraw * 6], perDraw * 6);
        SDL_RenderPresent(renderer);
        ++frame;
    }
    const double cpu = ProcessCpuSeconds() - cpuStart;
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["cpu_ns_per_quad"] = cpu * 1e9 / (static_cast<double>(state.iterations()) * quads);
    SDL_DestroyTexture(texture);
}

} // namespace

BENCHMARK(BM_LayerNull)->Args({10000, 1})->Args({10000, 100})->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayerOpenGL)->Args({10000, 1})->Args({10000, 100})->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SdlRenderGeometry)->Args({10000, 1})->Args({10000, 100})->UseRealTime()->Unit(benchmark::kMillisecond);
