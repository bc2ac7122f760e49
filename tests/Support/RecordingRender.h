#pragma once

// A renderer whose device is a call log: every device operation the replay
// reaches is written down as text, buffers live in CPU memory, shaders are
// variables without a program. For tests of the front end, batching and the
// draw code, without a device. It is no more forgiving than the device: a
// scene cannot begin inside another nor end outside one, draws need a scene,
// a shader, a vertex format and buffer (and an index buffer when indexed),
// a clear under an enabled scissor is logged as clipped, and a failed call
// changes nothing.

#include "Core/Render/Buffer.h"
#include "Core/Render/HitMask.h"
#include "Core/Render/Render.h"
#include "Core/Render/ShaderImpl.h"
#include "Core/Render/ShaderVariable.h"
#include "Core/Render/Texture.h"

#include <map>
#include <string>
#include <vector>

namespace bwtest
{

class RecordingRender;

// A buffer in CPU memory. Releasing a dynamic one (device loss) drops its
// lock and refuses locks until it is restored.
template <class Impl>
class MemoryBuffer : public Impl
{
public:
    explicit MemoryBuffer(render::Render* render) : Impl(render) {}

    BWResultEnum Lock() override
    {
        if (this->mLocked || mReleased)
            return BW_FAIL;
        ++mLockCount;
        this->SetLocked(mMemory.data());
        return BW_OK;
    }
    BWResultEnum Unlock() override
    {
        if (!this->mLocked)
            return BW_FAIL;
        this->SetUnlocked();
        return BW_OK;
    }
    BWResultEnum Restore() override
    {
        mReleased = false;
        return BW_OK;
    }
    BWResultEnum Release() override
    {
        if (mDynamic)
        {
            mReleased = true;
            this->SetUnlocked();
        }
        return BW_OK;
    }
    BWResultEnum CheckLocked() override { return this->mLocked ? BW_OK : BW_FAIL; }

    std::vector<uint8_t> mMemory;
    bool mDynamic = false;
    bool mReleased = false;
    int mLockCount = 0;

protected:
    void Allocate(uint32_t elementSize, uint32_t count, bool dynamic)
    {
        this->mElementSize = elementSize;
        this->mCapacity = count;
        mDynamic = dynamic;
        mMemory.assign(static_cast<size_t>(count) * elementSize, 0);
    }
};

class MemoryVertexBuffer : public MemoryBuffer<render::VertexBufferImpl>
{
public:
    explicit MemoryVertexBuffer(RecordingRender* render);
    BWResultEnum Create(const render::VertexFormat& format, uint32_t count, bool dynamic) override;
};

class MemoryIndexBuffer : public MemoryBuffer<render::IndexBufferImpl>
{
public:
    explicit MemoryIndexBuffer(RecordingRender* render);
    BWResultEnum Create(uint32_t indexSize, uint32_t count, bool dynamic) override;
};

// Scalar and texture variables that write what they are given to the log.
class LoggingScalarVariable : public render::ShaderScalarVariableImpl
{
public:
    LoggingScalarVariable(RecordingRender* render, std::string name) : mRender(render), mName(std::move(name)) {}
    BWResultEnum SetMatrix(const math::Matrix4* matrix) override;
    BWResultEnum SetVector4(float, float, float, float) override { return BW_OK; }
    BWResultEnum SetVector3(float, float, float) override { return BW_OK; }
    BWResultEnum SetVector2(float, float) override { return BW_OK; }
    BWResultEnum SetFloat(float) override { return BW_OK; }

private:
    RecordingRender* mRender;
    std::string mName;
};

class LoggingTextureVariable : public render::ShaderTextureVariableImpl
{
public:
    LoggingTextureVariable(RecordingRender* render, std::string name) : mRender(render), mName(std::move(name)) {}
    BWResultEnum SetTexture(render::Texture* texture) override;

private:
    RecordingRender* mRender;
    std::string mName;
};

class RecordingShaderImpl : public render::ShaderImpl
{
public:
    RecordingShaderImpl(RecordingRender* render, std::string name);
    BWResultEnum OnResetDevice() override;
    BWResultEnum OnLostDevice() override { return BW_OK; }
    BWResultEnum OnSelect() override { return BW_OK; }
    BWResultEnum OnDeselect() override;
    render::ShaderScalarVariableImpl* CreateScalarVariable(const std::string& name, uint32_t kind) override;
    render::ShaderTextureVariableImpl* CreateTextureVariable(const std::string& name) override;

    std::string mName;
    // Constants the program lacks: no variable is made for them.
    bool mHasTextureSampler = true;

private:
    RecordingRender* mOwner;
};

class MemoryTexture : public render::Texture
{
public:
    explicit MemoryTexture(RecordingRender* render);
    // Reads level 0 into mPixels and the hit mask.
    BWResultEnum Load(render::ImageData* image) override;
    BWResultEnum CreateRenderTarget(uint32_t width, uint32_t height) override;
    BWResultEnum CreateDynamic(uint32_t width, uint32_t height) override;
    bool GetPixel(int x, int y) override { return mHitMask.GetPixel(x, y); }
    BWResultEnum Restore() override;
    BWResultEnum Release() override;
    bool IsAvailable() override { return true; }
    BWResultEnum Lock(uint32_t*, uint32_t*, void**) override { return BW_FAIL; }
    BWResultEnum Unlock() override { return BW_FAIL; }
    BWResultEnum Execute(uint32_t) override { return BW_FAIL; }

    std::string mName;
    std::vector<uint32_t> mPixels;
    render::HitMask mHitMask;
    bool mReleased = false;

private:
    RecordingRender* mOwner;
};

class RecordingRender : public render::Render
{
public:
    RecordingRender();
    ~RecordingRender() override;

    // Runs the front end's start-up with a size of width x height.
    BWResultEnum Init(uint32_t width = 800, uint32_t height = 600);

    BWResultEnum PrepareSwitchScreenMode() override { return BW_OK; }
    BWResultEnum SwitchScreenMode(const render::RenderInitParam&) override { return BW_OK; }
    BWResultEnum CreateTexture(render::Texture** out) override;
    BWResultEnum CreateShader(const std::string& vertexText, const std::string& pixelText,
                              render::ShaderImpl** out) override;
    BWResultEnum CreateShaderGeom(render::ShaderImpl** out) override;
    BWResultEnum CreateShaderTexturedMult(render::ShaderImpl** out) override;
    BWResultEnum CreateShaderTexturedTint(render::ShaderImpl** out) override;
    BWResultEnum CreateVertexBuffer(const render::VertexFormat& format, uint32_t count, bool dynamic,
                                    render::VertexBufferImpl** out) override;
    BWResultEnum CreateIndexBuffer(uint32_t indexSize, uint32_t count, bool dynamic,
                                   render::IndexBufferImpl** out) override;
    bool CheckDevice() override { return mDeviceReady; }

    BWResultEnum DoClear(uint32_t flags, const float color[4], float z, uint32_t stencil) override;
    BWResultEnum DoBeginScene() override;
    BWResultEnum DoEndScene() override;
    BWResultEnum DoPresent() override;
    BWResultEnum DoSetRenderTarget(render::Texture* target) override;
    BWResultEnum DoSetShader(render::ShaderImpl* shader) override;
    BWResultEnum DoSetVertexFormat(uint32_t formatId) override;
    BWResultEnum DoSetVertexBuffer(render::VertexBufferImpl* buffer) override;
    BWResultEnum DoSetIndexBuffer(render::IndexBufferImpl* buffer) override;
    BWResultEnum DoSetBlendMode(uint32_t mode) override;
    BWResultEnum DoEnableScissor(bool enable) override;
    BWResultEnum DoSetScissorRect(const int rect[4]) override;
    BWResultEnum DoSetDepthTest(bool enable, bool write) override;
    BWResultEnum DoDrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) override;
    BWResultEnum DoDrawIndexedPrimitive(uint32_t type, uint32_t bytesPerIndex, uint32_t startIndex,
                                        uint32_t primitiveCount, uint32_t minVertexIndex,
                                        uint32_t vertexCount) override;

    // Names objects in the log: "vb0", "ib1", "tex0", "geom", ...
    std::string NameOf(const void* object) const;
    void Name(const void* object, const std::string& name) { mNames[object] = name; }

    // The lists of registered device objects.
    const std::vector<render::Buffer*>& Buffers() const { return mBuffers; }
    const std::vector<render::Texture*>& Textures() const { return mTextures; }
    const std::vector<render::ShaderImpl*>& ShaderImpls() const { return mShaderImpls; }
    // Internals a test may look at.
    using render::Render::DropRecordedFrame;
    using render::Render::ReplayCommands;

    std::vector<std::string> mCalls;
    bool mDeviceReady = true;
    // What the device holds, as the rules above read it.
    bool mSceneOpen = false;
    // The device operation whose name is given fails (its 1-based occurrence).
    std::string mFailCall;
    int mFailOccurrence = 1;
    // Factories that fail: "vertex", "index", "geom", "mult", "tint".
    std::string mFailCreate;
    int mVertexBuffersMade = 0;
    int mIndexBuffersMade = 0;

    BWResultEnum Log(const std::string& call);

private:
    // The device's refusal of a draw its state cannot carry out.
    BWResultEnum CheckDraw(bool indexed, const std::string& call);

    bool mScissorOn = false;
    const void* mBoundShader = nullptr;
    const void* mBoundVertexBuffer = nullptr;
    const void* mBoundIndexBuffer = nullptr;
    bool mFormatSet = false;
    std::map<const void*, std::string> mNames;
    std::map<std::string, int> mCallCounts;
    int mTexturesMade = 0;
};

} // namespace bwtest
