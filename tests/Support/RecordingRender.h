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
#include "Core/Render/ImageData.h"
#include "Core/Render/Render.h"
#include "Core/Render/ShaderImpl.h"
#include "Core/Render/ShaderVariable.h"
#include "Core/Render/Texture.h"
#include "Core/Render/VertexFormat.h"

#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace bwtest
{

class RecordingRender;

// "Name(a,b,...)", floats as %g and flags as 0/1.
inline std::string LogArg(const std::string& text) { return text; }
inline std::string LogArg(bool flag) { return flag ? "1" : "0"; }
inline std::string LogArg(float value)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%g", static_cast<double>(value));
    return text;
}
template <class T>
std::string LogArg(T value) { return std::to_string(value); }
template <class... A>
std::string LogCall(const char* name, const A&... args)
{
    std::string text = std::string(name) + "(";
    const char* separator = "";
    ((text += separator, text += LogArg(args), separator = ","), ...);
    return text + ")";
}

// A buffer in CPU memory. Releasing a dynamic one (device loss) drops its
// lock and refuses locks until it is restored.
template <class Impl>
class MemoryBuffer : public Impl
{
public:
    MemoryBuffer(RecordingRender* render, const char* kind);

    BWResultEnum Lock() override
    {
        return this->mLocked || mReleased ? BW_FAIL : (++mLockCount, this->SetLocked(mMemory.data()), BW_OK);
    }
    BWResultEnum Unlock() override { return this->mLocked ? (this->SetUnlocked(), BW_OK) : BW_FAIL; }
    BWResultEnum Restore() override { return mReleased = false, BW_OK; }
    BWResultEnum Release() override
    {
        if (mDynamic)
            mReleased = true, this->SetUnlocked();
        return BW_OK;
    }
    BWResultEnum CheckLocked() override { return this->mLocked ? BW_OK : BW_FAIL; }

    std::vector<uint8_t> mMemory;
    bool mDynamic = false;
    bool mReleased = false;
    int mLockCount = 0;

protected:
    BWResultEnum Allocate(uint32_t elementSize, uint32_t count, bool dynamic)
    {
        this->mElementSize = elementSize;
        this->mCapacity = count;
        mDynamic = dynamic;
        mMemory.assign(static_cast<size_t>(count) * elementSize, 0);
        return BW_OK;
    }
};

class MemoryVertexBuffer : public MemoryBuffer<render::VertexBufferImpl>
{
public:
    explicit MemoryVertexBuffer(RecordingRender* render) : MemoryBuffer(render, "vb") {}
    BWResultEnum Create(const render::VertexFormat& format, uint32_t count, bool dynamic) override
    {
        mFormatId = format.mId;
        return Allocate(format.mStride, count, dynamic);
    }
};

class MemoryIndexBuffer : public MemoryBuffer<render::IndexBufferImpl>
{
public:
    explicit MemoryIndexBuffer(RecordingRender* render) : MemoryBuffer(render, "ib") {}
    BWResultEnum Create(uint32_t indexSize, uint32_t count, bool dynamic) override
    {
        return Allocate(indexSize, count, dynamic);
    }
};

// Scalar and texture variables that write what they are given to the log.
struct LoggedName
{
    RecordingRender* mRender;
    std::string mName;
};
class LoggingScalarVariable : public render::ShaderScalarVariableImpl, LoggedName
{
public:
    LoggingScalarVariable(RecordingRender* render, std::string name) : LoggedName{render, std::move(name)} {}
    BWResultEnum SetMatrix(const math::Matrix4* matrix) override;
    BWResultEnum SetVector4(float, float, float, float) override { return BW_OK; }
    BWResultEnum SetVector3(float, float, float) override { return BW_OK; }
    BWResultEnum SetVector2(float, float) override { return BW_OK; }
    BWResultEnum SetFloat(float) override { return BW_OK; }
};
class LoggingTextureVariable : public render::ShaderTextureVariableImpl, LoggedName
{
public:
    LoggingTextureVariable(RecordingRender* render, std::string name) : LoggedName{render, std::move(name)} {}
    BWResultEnum SetTexture(render::Texture* texture) override;
};

class RecordingShaderImpl : public render::ShaderImpl
{
public:
    RecordingShaderImpl(RecordingRender* render, std::string name);
    BWResultEnum OnResetDevice() override { return SetAllChanged(), BW_OK; }
    BWResultEnum OnLostDevice() override { return BW_OK; }
    BWResultEnum OnSelect() override { return BW_OK; }
    BWResultEnum OnDeselect() override { return SetAllChanged(), BW_OK; }
    render::ShaderScalarVariableImpl* CreateScalarVariable(const std::string& name, uint32_t) override
    {
        return new LoggingScalarVariable(mOwner, mName + "." + name);
    }
    render::ShaderTextureVariableImpl* CreateTextureVariable(const std::string& name) override
    {
        return mHasTextureSampler ? new LoggingTextureVariable(mOwner, mName + "." + name) : nullptr;
    }

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
    BWResultEnum Load(render::ImageData* image) override
    {
        if (!image || image->GetWidth() <= 0 || image->GetHeight() <= 0 || image->GetCompression() != 0)
            return BW_FAIL;
        CreateDynamic(static_cast<uint32_t>(image->GetWidth()), static_cast<uint32_t>(image->GetHeight()));
        mPixels.assign(static_cast<size_t>(mWidth) * mHeight, 0);
        mHitMask.Resize(mWidth, mHeight);
        return image->Read(mWidth * 4, 0, mPixels.data(), &mHitMask, 0);
    }
    BWResultEnum CreateRenderTarget(uint32_t width, uint32_t height) override { return CreateDynamic(width, height); }
    BWResultEnum CreateDynamic(uint32_t width, uint32_t height) override
    {
        return mWidth = width, mHeight = height, BW_OK;
    }
    bool GetPixel(int x, int y) override { return mHitMask.GetPixel(x, y); }
    BWResultEnum Restore() override { return BW_OK; }
    BWResultEnum Release() override { return BW_OK; }
    bool IsAvailable() override { return true; }
    // Only the device's dynamic textures lock.
    BWResultEnum Lock(uint32_t*, uint32_t*, void**) override { return BW_FAIL; }
    BWResultEnum Unlock() override { return BW_FAIL; }
    BWResultEnum Execute(uint32_t) override { return BW_FAIL; }

    std::vector<uint32_t> mPixels;
    render::HitMask mHitMask;
};

class RecordingRender : public render::Render
{
public:
    ~RecordingRender() override { ReleaseResources(); }

    // Runs the front end's start-up with a size of width x height.
    BWResultEnum Init(uint32_t width = 800, uint32_t height = 600)
    {
        render::RenderInitParam param;
        param.mWidth = width;
        param.mHeight = height;
        return InitRender(nullptr, param);
    }

    BWResultEnum PrepareSwitchScreenMode() override { return BW_OK; }
    BWResultEnum SwitchScreenMode(const render::RenderInitParam&) override { return BW_OK; }
    BWResultEnum CreateTexture(render::Texture** out) override
    {
        *out = new MemoryTexture(this);
        Name(*out, "tex" + std::to_string(mTexturesMade++));
        return BW_OK;
    }
    BWResultEnum CreateShader(const std::string& vertexText, const std::string& pixelText,
                              render::ShaderImpl** out) override
    {
        if (vertexText.empty() || pixelText.empty())
            return BW_FAIL;
        return *out = new RecordingShaderImpl(this, vertexText), BW_OK;
    }
    BWResultEnum CreateShaderGeom(render::ShaderImpl** out) override { return BuiltIn("geom", out); }
    BWResultEnum CreateShaderTexturedMult(render::ShaderImpl** out) override { return BuiltIn("mult", out); }
    BWResultEnum CreateShaderTexturedTint(render::ShaderImpl** out) override { return BuiltIn("tint", out); }
    BWResultEnum CreateVertexBuffer(const render::VertexFormat& format, uint32_t count, bool dynamic,
                                    render::VertexBufferImpl** out) override
    {
        return MakeBuffer<MemoryVertexBuffer>("vertex", out, format, count, dynamic);
    }
    BWResultEnum CreateIndexBuffer(uint32_t indexSize, uint32_t count, bool dynamic,
                                   render::IndexBufferImpl** out) override
    {
        return MakeBuffer<MemoryIndexBuffer>("index", out, indexSize, count, dynamic);
    }
    bool CheckDevice() override { return mDeviceReady; }

    BWResultEnum DoClear(uint32_t flags, const float color[4], float z, uint32_t stencil) override
    {
        // The device clips a clear to an enabled scissor.
        return Log(LogCall("Clear", flags, color[0], color[1], color[2], color[3], z, stencil) +
                   (mScissorOn ? " clipped" : ""));
    }
    BWResultEnum DoBeginScene() override { return Set("BeginScene()", !mSceneOpen, mSceneOpen, true); }
    BWResultEnum DoEndScene() override { return Set("EndScene()", mSceneOpen, mSceneOpen, false); }
    BWResultEnum DoPresent() override { return Log("Present()"); }
    BWResultEnum DoSetRenderTarget(render::Texture* target) override
    {
        return Log(LogCall("SetRenderTarget", NameOf(target)));
    }
    BWResultEnum DoSetShader(render::ShaderImpl* shader) override
    {
        return Set(LogCall("SetShader", NameOf(shader)), true, mBound[0], static_cast<const void*>(shader));
    }
    BWResultEnum DoSetVertexBuffer(render::VertexBufferImpl* buffer) override
    {
        return Set(LogCall("SetVertexBuffer", NameOf(buffer)), true, mBound[1], static_cast<const void*>(buffer));
    }
    BWResultEnum DoSetIndexBuffer(render::IndexBufferImpl* buffer) override
    {
        return Set(LogCall("SetIndexBuffer", NameOf(buffer)), true, mBound[2], static_cast<const void*>(buffer));
    }
    BWResultEnum DoSetVertexFormat(uint32_t id) override
    {
        return Set(LogCall("SetVertexFormat", id), render::VertexFormat::Find(id) != nullptr, mFormatSet, true);
    }
    BWResultEnum DoSetBlendMode(uint32_t mode) override { return Log(LogCall("SetBlendMode", mode)); }
    BWResultEnum DoEnableScissor(bool on) override { return Set(LogCall("EnableScissor", on), true, mScissorOn, on); }
    BWResultEnum DoSetScissorRect(const int rect[4]) override
    {
        return Log(LogCall("SetScissorRect", rect[0], rect[1], rect[2], rect[3]));
    }
    BWResultEnum DoSetDepthTest(bool enable, bool write) override
    {
        return Log(LogCall("SetDepthTest", enable, write));
    }
    BWResultEnum DoDrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) override
    {
        return CheckDraw(false, LogCall("DrawPrimitive", type, startVertex, primitiveCount));
    }
    BWResultEnum DoDrawIndexedPrimitive(uint32_t type, uint32_t bytesPerIndex, uint32_t startIndex,
                                        uint32_t primitiveCount, uint32_t minVertexIndex,
                                        uint32_t vertexCount) override
    {
        return CheckDraw(true, LogCall("DrawIndexedPrimitive", type, bytesPerIndex, startIndex, primitiveCount,
                                       minVertexIndex, vertexCount));
    }

    // Names objects in the log: "vb0", "ib1", "tex0", "geom", ...
    std::string NameOf(const void* object) const
    {
        auto it = mNames.find(object);
        if (!object || it != mNames.end())
            return object ? it->second : "null";
        std::ostringstream text;
        text << object;
        return text.str();
    }
    void Name(const void* object, const std::string& name) { mNames[object] = name; }
    int NextBufferNumber(const char* kind) { return kind[0] == 'v' ? mVertexBuffersMade++ : mIndexBuffersMade++; }

    // The lists of registered device objects.
    const std::vector<render::Buffer*>& Buffers() const { return mBuffers; }
    const std::vector<render::Texture*>& Textures() const { return mTextures; }
    const std::vector<render::ShaderImpl*>& ShaderImpls() const { return mShaderImpls; }
    using render::Render::ReplayCommands;

    // Logs the call; it fails when it is the one made to fail.
    BWResultEnum Log(const std::string& call)
    {
        mCalls.push_back(call);
        const std::string name = call.substr(0, call.find('('));
        const int occurrence = ++mCallCounts[name];
        return !mFailCall.empty() && name == mFailCall && occurrence == mFailOccurrence ? BW_FAIL : BW_OK;
    }

    std::vector<std::string> mCalls;
    bool mDeviceReady = true;
    // The device operation whose name is given fails (its 1-based occurrence).
    std::string mFailCall;
    int mFailOccurrence = 1;
    // Factories that fail: "vertex", "index", "geom", "mult", "tint".
    std::string mFailCreate;
    int mVertexBuffersMade = 0;
    int mIndexBuffersMade = 0;

private:
    BWResultEnum BuiltIn(const char* name, render::ShaderImpl** out)
    {
        if (mFailCreate == name)
            return BW_FAIL;
        auto* shader = new RecordingShaderImpl(this, name);
        shader->mHasTextureSampler = std::string(name) != "geom"; // the geometry program samples nothing
        return *out = shader, BW_OK;
    }
    template <class Buffer, class Out, class... A>
    BWResultEnum MakeBuffer(const char* kind, Out** out, const A&... args)
    {
        if (mFailCreate == kind)
            return BW_FAIL;
        auto* buffer = new Buffer(this);
        buffer->Create(args...);
        return *out = buffer, BW_OK;
    }
    // A call the device accepts when allowed, and only then takes effect.
    template <class T>
    BWResultEnum Set(const std::string& call, bool allowed, T& state, T value)
    {
        return Log(call) != BW_OK || !allowed ? BW_FAIL : (state = value, BW_OK);
    }
    // The device's refusal of a draw its state cannot carry out: shader,
    // vertex buffer, index buffer, format.
    BWResultEnum CheckDraw(bool indexed, const std::string& call)
    {
        const bool ready = mSceneOpen && mBound[0] && mBound[1] && mFormatSet && (!indexed || mBound[2]);
        return Log(call) != BW_OK || !ready ? BW_FAIL : BW_OK;
    }

    bool mSceneOpen = false;
    bool mScissorOn = false;
    bool mFormatSet = false;
    const void* mBound[3] = {}; // shader, vertex buffer, index buffer
    std::map<const void*, std::string> mNames;
    std::map<std::string, int> mCallCounts;
    int mTexturesMade = 0;
};

template <class Impl>
MemoryBuffer<Impl>::MemoryBuffer(RecordingRender* render, const char* kind) : Impl(render)
{
    render->Name(this, kind + std::to_string(render->NextBufferNumber(kind)));
}

inline MemoryTexture::MemoryTexture(RecordingRender* render) : Texture(render) {}

inline BWResultEnum LoggingScalarVariable::SetMatrix(const math::Matrix4* matrix)
{
    return mRender->Log(LogCall("SetMatrix", mName, mRender->NameOf(matrix)));
}

inline BWResultEnum LoggingTextureVariable::SetTexture(render::Texture* texture)
{
    return mRender->Log(LogCall("SetTexture", mName, mRender->NameOf(texture)));
}

inline RecordingShaderImpl::RecordingShaderImpl(RecordingRender* render, std::string name)
    : ShaderImpl(render), mName(std::move(name)), mOwner(render)
{
    mOwner->Name(this, mName);
}

} // namespace bwtest
