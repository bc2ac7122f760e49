#pragma once

// The renderer on a Direct3D 9 device: device creation and its capability
// gate, the device operations the replay ends in, and the device-loss
// protocol (release every default-pool object when the device is lost or a
// full-screen window goes to the background, reset and restore them after).

#include "Core/Render/Render.h"
#include "Platform/D3D9/D3D9.h"

namespace render
{

class RenderDX9 : public Render
{
public:
    RenderDX9();
    ~RenderDX9() override;

    BWResultEnum InitRender(app::Window* window, const RenderInitParam& param) override;
    BWResultEnum PrepareSwitchScreenMode() override;
    BWResultEnum SwitchScreenMode(const RenderInitParam& param) override;

    BWResultEnum CreateTexture(Texture** out) override;
    BWResultEnum CreateShader(const std::string& vertexText, const std::string& pixelText,
                              ShaderImpl** out) override;
    BWResultEnum CreateShaderGeom(ShaderImpl** out) override;
    BWResultEnum CreateShaderTexturedMult(ShaderImpl** out) override;
    BWResultEnum CreateShaderTexturedTint(ShaderImpl** out) override;
    BWResultEnum CreateVertexBuffer(const VertexFormat& format, uint32_t count, bool dynamic,
                                    VertexBufferImpl** out) override;
    BWResultEnum CreateIndexBuffer(uint32_t indexSize, uint32_t count, bool dynamic,
                                   IndexBufferImpl** out) override;

    bool CheckDevice() override;

    BWResultEnum DoClear(uint32_t flags, const float color[4], float z, uint32_t stencil) override;
    BWResultEnum DoBeginScene() override;
    BWResultEnum DoEndScene() override;
    BWResultEnum DoPresent() override;
    BWResultEnum DoSetRenderTarget(Texture* target) override;
    BWResultEnum DoSetShader(ShaderImpl* shader) override;
    BWResultEnum DoSetVertexFormat(uint32_t formatId) override;
    BWResultEnum DoSetVertexBuffer(VertexBufferImpl* buffer) override;
    BWResultEnum DoSetIndexBuffer(IndexBufferImpl* buffer) override;
    BWResultEnum DoSetBlendMode(uint32_t mode) override;
    BWResultEnum DoEnableScissor(bool enable) override;
    BWResultEnum DoSetScissorRect(const int rect[4]) override;
    BWResultEnum DoSetDepthTest(bool enable, bool write) override;
    BWResultEnum DoDrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) override;
    BWResultEnum DoDrawIndexedPrimitive(uint32_t type, uint32_t bytesPerIndex, uint32_t startIndex,
                                        uint32_t primitiveCount, uint32_t minVertexIndex,
                                        uint32_t vertexCount) override;

    BWResultEnum InitDeviceState();
    BWResultEnum LostDevice();
    BWResultEnum ResetDevice();
    BWResultEnum BuildPresentParams();
    BWResultEnum ApplyDefaultStates();

    IDirect3D9* GetD3D() const { return mD3D; }
    IDirect3DDevice9* GetDevice() const { return mDevice; }
    IDirect3DSurface9* GetBackBuffer() const { return mBackBuffer; }
    const D3DPRESENT_PARAMETERS& GetPresentParams() const { return mPresentParams; }
    bool IsDeviceLost() const { return mDeviceLost != 0; }

    // Engine primitive type to Direct3D's; anything unknown is a triangle list.
    static D3DPRIMITIVETYPE MapPrimitiveType(uint32_t type);

protected:
    // What CheckDevice needs to know of the window.
    struct WindowState
    {
        bool minimized = false;
        bool applicationActive = true;
    };
    virtual WindowState QueryWindowState() const;
    // Sets the application's render-failed flag and stops the application.
    virtual void ReportUnsupportedShaders();
    virtual void SleepWhileLost();

    BWResultEnum CreateDevice();
    BWResultEnum ReadCaps();
    BWResultEnum ClearToBlack();
    // Takes the back buffer, sets the full viewport, presents a black frame
    // and applies the default states: after creation and after each reset.
    BWResultEnum PrepareBackBuffer();
    // Lets go of every default-pool object and the back buffer.
    void ReleaseDefaultPool();

    app::Window* mWindow = nullptr;
    HWND mWindowHandle = nullptr;
    uint32_t mWidth = 0;
    uint32_t mHeight = 0;
    uint8_t mWindowed = 0;
    uint8_t mMultithreaded = 1;
    IDirect3D9* mD3D = nullptr;
    IDirect3DDevice9* mDevice = nullptr;
    IDirect3DSurface9* mBackBuffer = nullptr;
    D3DPRESENT_PARAMETERS mPresentParams = {};
    D3DVIEWPORT9 mViewport = {};
    uint8_t mDeviceLost = 0;
};

} // namespace render
