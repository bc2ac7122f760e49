#pragma once

// The abstract renderer. It owns what does not depend on the device: the
// requested and recorded render state, the command buffer into which every
// device operation of a frame is recorded, draw batching, the transient
// vertex and index caches, the three built-in shaders, the projection, and the
// lists of device objects told about device loss. The device operations (Do*)
// are carried out by the back end when ExecuteCommands replays the frame.

#include "Core/Base/BWResult.h"
#include "Core/Math/Matrix4.h"
#include "Core/Render/BufferDoubleCache.h"
#include "Core/Render/CommandBuffer.h"
#include "Core/Render/RenderState.h"

#include <cstdint>
#include <string>
#include <vector>

namespace app
{
class Window;
}
namespace base
{
class ImageInfo;
}
namespace file
{
class Container;
}
namespace resource
{
class ResourceHandle;
}

namespace render
{

class Buffer;
class Image;
class ImageRect;
class IndexBufferImpl;
class Shader;
class ShaderImpl;
class ShaderTextured;
class Texture;
class VertexBufferImpl;
class VertexFormat;

// Capabilities the back end reads from the device at start-up.
struct RenderCaps
{
    uint32_t mMaxPrimitiveCount = 0;
    uint32_t mMaxTextureWidth = 0;
    uint32_t mMaxTextureHeight = 0;
    uint32_t mMaxVertexIndex = 0;
    uint8_t mHasThreeBlendStages = 0;
    uint8_t mHasVertexShader10 = 0;
    uint8_t mHasVertexShader20 = 0;
    uint8_t mHasPixelShader10 = 0;
    uint8_t mHasPixelShader20 = 0;
    uint8_t mHasDxt1 = 0;
    uint8_t mHasDxt2 = 0;
    uint8_t mHasDxt3 = 0;
    uint8_t mHasDxt4 = 0;
    uint8_t mHasDxt5 = 0;
    uint8_t mHasScissorTest = 0;
    uint8_t mHasAnisotropicMin = 0;
    uint8_t mHasAnisotropicMag = 0;
};

struct RenderInitParam
{
    uint32_t mWidth = 0;
    uint32_t mHeight = 0;
    uint8_t mWindowed = 1;
    // 1: the projection is built from the size; 0: mProjection is taken.
    uint8_t mOrthoFromSize = 1;
    math::Matrix4 mProjection;
    // Scale x, scale y, offset x, offset y of the back buffer.
    float mViewport[4] = {1.0f, 1.0f, 0.0f, 0.0f};
};

// Primitive types of the draw operations; PrimitiveNone marks an empty batch.
enum PrimitiveType : uint32_t
{
    PointList = 0,
    LineList = 1,
    LineStrip = 2,
    TriangleList = 3,
    TriangleStrip = 4,
    TriangleFan = 5,
    PrimitiveNone = 6,
};

// Clear flags.
enum ClearFlags : uint32_t
{
    ClearColor = 1,
    ClearDepth = 2,
    ClearStencil = 4,
};

class Render : public RenderCaps
{
public:
    Render();
    // Detaches every device object still registered, so that its later
    // destruction does not reach this renderer.
    virtual ~Render();

    Render(const Render&) = delete;
    Render& operator=(const Render&) = delete;

    // Front-end part of start-up: built-in shaders, caches, projection and
    // default viewport. The back end creates the device first, then calls it.
    virtual BWResultEnum InitRender(app::Window* window, const RenderInitParam& param);
    virtual BWResultEnum PrepareSwitchScreenMode() = 0;
    virtual BWResultEnum SwitchScreenMode(const RenderInitParam& param) = 0;
    // Layout pixels (y down) to clip space; the third argument is unused.
    virtual BWResultEnum MakeOrthoProjection(float width, float height, float unused, math::Matrix4* out);

    // Device object factories.
    virtual BWResultEnum CreateTexture(Texture** out) = 0;
    virtual BWResultEnum CreateShader(const std::string& vertexText, const std::string& pixelText,
                                      ShaderImpl** out) = 0;
    virtual BWResultEnum CreateShaderGeom(ShaderImpl** out) = 0;
    virtual BWResultEnum CreateShaderTexturedMult(ShaderImpl** out) = 0;
    virtual BWResultEnum CreateShaderTexturedTint(ShaderImpl** out) = 0;
    virtual BWResultEnum CreateVertexBuffer(const VertexFormat& format, uint32_t count, bool dynamic,
                                            VertexBufferImpl** out) = 0;
    virtual BWResultEnum CreateIndexBuffer(uint32_t indexSize, uint32_t count, bool dynamic,
                                           IndexBufferImpl** out) = 0;

    // An image of the named texture: a file found through the extension
    // table, or with a container its entry. Textures are shared by name; the
    // image is the caller's, and info (when given) receives the texture's
    // description.
    BWResultEnum CreateImage(const std::wstring& name, file::Container* container, ImageRect** out,
                             base::ImageInfo* info);
    // An image over a new render-target texture of that size, which it owns.
    BWResultEnum CreateRenderTargetImage(uint32_t width, uint32_t height, Image** out, bool makeProjection);

    // True when the device can draw now.
    virtual bool CheckDevice() = 0;

    // Device operations, called only by the replay.
    virtual BWResultEnum DoClear(uint32_t flags, const float color[4], float z, uint32_t stencil) = 0;
    virtual BWResultEnum DoBeginScene() = 0;
    virtual BWResultEnum DoEndScene() = 0;
    virtual BWResultEnum DoPresent() = 0;
    virtual BWResultEnum DoSetRenderTarget(Texture* target) = 0;
    virtual BWResultEnum DoSetShader(ShaderImpl* shader) = 0;
    virtual BWResultEnum DoSetVertexFormat(uint32_t formatId) = 0;
    virtual BWResultEnum DoSetVertexBuffer(VertexBufferImpl* buffer) = 0;
    virtual BWResultEnum DoSetIndexBuffer(IndexBufferImpl* buffer) = 0;
    virtual BWResultEnum DoSetBlendMode(uint32_t mode) = 0;
    virtual BWResultEnum DoEnableScissor(bool enable) = 0;
    virtual BWResultEnum DoSetScissorRect(const int rect[4]) = 0;
    virtual BWResultEnum DoSetDepthTest(bool enable, bool write) = 0;
    virtual BWResultEnum DoDrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) = 0;
    virtual BWResultEnum DoDrawIndexedPrimitive(uint32_t type, uint32_t bytesPerIndex, uint32_t startIndex,
                                                uint32_t primitiveCount, uint32_t minVertexIndex,
                                                uint32_t vertexCount) = 0;

    virtual BWResultEnum ResetState();
    // {x, y, w, h} in layout coordinates to target pixels, with the requested
    // scale and offset, truncated toward zero.
    virtual BWResultEnum ToScreenRect(const float rect[4], int out[4]);

    // Deletes the caches and the built-in shaders (the back end's destructor).
    void ReleaseResources();

    // Device object lists, walked in creation order on device loss.
    void AddBuffer(Buffer* buffer);
    void RemoveBuffer(Buffer* buffer);
    void AddTexture(Texture* texture);
    void RemoveTexture(Texture* texture);
    void AddShaderImpl(ShaderImpl* shader);
    void RemoveShaderImpl(ShaderImpl* shader);
    // An object that goes away leaves every shader variable holding it, so
    // that a new object at the same address is sent again.
    void ForgetShaderValue(const void* value);

    // The built-in shaders in a handle without a share count: the renderer
    // keeps ownership. What the handle held before is released.
    BWResultEnum GetShaderGeom(resource::ResourceHandle* out);
    BWResultEnum GetShaderTexturedMult(resource::ResourceHandle* out);
    BWResultEnum GetShaderTexturedTint(resource::ResourceHandle* out);

    // State requests.
    BWResultEnum SetTarget(const RenderTargetDesc& desc);
    BWResultEnum SetRenderState(const RenderState* block, bool force);
    void ResetStateRecord();

    // Frame protocol.
    bool CanRender();
    BWResultEnum BeginScene();
    BWResultEnum Clear(uint32_t flags, const float color[4], float z, uint32_t stencil);
    BWResultEnum EndScene();
    BWResultEnum Present();

    // Recording and replay.
    BWResultEnum ApplyState();
    BWResultEnum FlushBatch();
    BWResultEnum DrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount);
    BWResultEnum DrawIndexedPrimitive(uint32_t type, uint32_t startIndex, uint32_t primitiveCount,
                                      uint32_t minVertexIndex, uint32_t vertexCount);
    BWResultEnum ExecuteCommands();

    // Transient caches.
    BufferDoubleCacheBase* GetVertexCache(uint32_t formatId) const;
    template <class V>
    BufferDoubleCache<VertexBuffer<V>>* GetVertexCache() const
    {
        return static_cast<BufferDoubleCache<VertexBuffer<V>>*>(GetVertexCache(V::kFormatId));
    }
    IndexCache16* GetIndexCache16() const { return mIndexCache16; }
    IndexCache32* GetIndexCache32() const { return mIndexCache32; }

    Shader* GetShaderGeomObject() const { return mShaderGeom; }
    ShaderTextured* GetShaderTexturedMultObject() const { return mShaderTexturedMult; }
    ShaderTextured* GetShaderTexturedTintObject() const { return mShaderTexturedTint; }

    const RenderCaps& GetCaps() const { return *this; }
    const math::Matrix4& GetProjection() const { return mProjection; }
    const float* GetDefaultViewport() const { return mDefaultViewport; }
    bool IsInScene() const { return mInScene != 0; }
    CommandBuffer& GetCommands() { return mCommands; }
    const RenderState& GetCurrentState() const { return mCurrentState; }
    const RenderState& GetRequestedState() const { return mRequestedState; }

protected:
    // Drops what was recorded and not replayed: ends the caches' frame,
    // rewinds the commands, forgets the pending batch and every recorded
    // state, and has every shader send its variables again.
    void DropRecordedFrame();
    // The device state is unknown (a replay failed or a frame was dropped):
    // reset the state record and mark every recorded value as unknown.
    void ForgetDeviceState();
    static Texture* UnknownTarget();
    void ClearBatch();
    bool IsStateDirty() const;
    // A draw continues the pending batch when it is of the same kind and list
    // type, starts where the batch ends and no state changed in between.
    bool ContinuesBatch(bool indexed, uint32_t type, uint32_t start) const;
    // Records the pending batch and the state, then holds the draw back.
    BWResultEnum StartBatch(bool indexed, uint32_t type, uint32_t start, uint32_t primitiveCount,
                            uint32_t minVertexIndex, uint32_t vertexCount);
    BWResultEnum RecordTarget(Texture* target);
    BWResultEnum ReplayCommands();

    RenderState mCurrentState;
    RenderState mRequestedState;
    uint8_t mStateDirty = 1;
    const RenderState* mLastStateBlock = nullptr;
    Texture* mRecordedTarget = nullptr;
    CommandBuffer mCommands;
    uint8_t mInScene = 0;
    // The replay began a scene on the device that it has not ended yet.
    uint8_t mDeviceInScene = 0;

    // The draw being merged.
    uint8_t mBatchIndexed = 0;
    uint32_t mBatchType = PrimitiveNone;
    uint32_t mBatchStart = 0;
    uint32_t mBatchCount = 0;
    uint32_t mBatchMinVertex = 0;
    uint32_t mBatchVertexCount = 0;

    math::Matrix4 mProjection;
    float mDefaultViewport[4] = {1.0f, 1.0f, 0.0f, 0.0f};
    Shader* mShaderGeom = nullptr;
    ShaderTextured* mShaderTexturedMult = nullptr;
    ShaderTextured* mShaderTexturedTint = nullptr;
    std::vector<BufferDoubleCacheBase*> mVertexCaches;
    IndexCache16* mIndexCache16 = nullptr;
    IndexCache32* mIndexCache32 = nullptr;
    std::vector<Buffer*> mBuffers;
    std::vector<Texture*> mTextures;
    std::vector<ShaderImpl*> mShaderImpls;
};

} // namespace render
