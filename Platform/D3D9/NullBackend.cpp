#include "Platform/D3D9/ExecutionBackend.h"

#include "Platform/Win32/SdlGlue.h"

#include <SDL.h>

namespace d3d9
{
namespace
{

// Executes nothing: the device's state, validation, loss and counts are the
// whole of it, so tests run without a window or OpenGL.
class NullBackend final : public ExecutionBackend
{
public:
    HRESULT Open(SwapChainDesc* desc) override { return Reset(desc); }

    HRESULT Reset(SwapChainDesc* desc) override
    {
        // A windowed back buffer of size 0 takes the window's size, if there is one.
        int w = 640, h = 480;
        if (SDL_Window* window = win32::SdlWindowFromHwnd(desc->window))
            SDL_GetWindowSize(window, &w, &h);
        if (desc->width == 0)
            desc->width = w > 0 ? static_cast<UINT>(w) : 1;
        if (desc->height == 0)
            desc->height = h > 0 ? static_cast<UINT>(h) : 1;
        return D3D_OK;
    }

    bool IsOccluded() override { return false; }

    std::unique_ptr<BackendBuffer> CreateBuffer(UINT, bool) override { return std::make_unique<BackendBuffer>(); }
    void UploadBuffer(BackendBuffer*, const uint8_t*, UINT, UINT, UINT, bool) override {}
    std::unique_ptr<BackendTexture> CreateTexture(D3DFORMAT, UINT, UINT, UINT, bool) override
    {
        return std::make_unique<BackendTexture>();
    }
    void UploadTextureLevel(BackendTexture*, UINT, const uint8_t*) override {}
    std::unique_ptr<BackendShader> CreateShader(const ShaderBlob&, std::string*) override
    {
        return std::make_unique<BackendShader>();
    }
    void Clear(const DeviceState&, const ClearCall&) override {}
    void Draw(const DeviceState&, const DrawCall&) override {}
    HRESULT Present() override { return D3D_OK; }
    bool ReadPixels(const TargetRef&, std::vector<D3DCOLOR>*) override { return false; }
};

} // namespace

std::unique_ptr<ExecutionBackend> CreateNullBackend()
{
    return std::make_unique<NullBackend>();
}

} // namespace d3d9
