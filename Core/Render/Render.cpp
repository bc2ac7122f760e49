#include "Core/Render/Render.h"

#include "Core/Render/Buffer.h"
#include "Core/Render/Shader.h"
#include "Core/Render/ShaderImpl.h"
#include "Core/Render/Texture.h"
#include "Core/Render/VertexFormat.h"
#include "Core/Resource/ResourceHandle.h"

#include <algorithm>

namespace render
{
namespace
{

template <class T>
void EraseFirst(std::vector<T*>& list, T* item)
{
    auto it = std::find(list.begin(), list.end(), item);
    if (it != list.end())
        list.erase(it);
}

template <class Cache>
BWResultEnum CreateIndexCache(Render* render, uint32_t capacity, uint32_t overflowCapacity, Cache** out)
{
    Cache* cache = new Cache(render);
    BWResultEnum result = cache->Init(capacity, overflowCapacity);
    if (result != BW_OK)
    {
        delete cache;
        return result;
    }
    *out = cache;
    return BW_OK;
}

// One of the built-in shaders: the back end's program, then its variables.
template <class S>
BWResultEnum CreateBuiltInShader(Render* render, BWResultEnum (Render::*factory)(ShaderImpl**), S** out)
{
    ShaderImpl* impl = nullptr;
    BWResultEnum result = (render->*factory)(&impl);
    if (result != BW_OK)
        return result;
    *out = new S(impl, render);
    return (*out)->CreateVariables();
}

} // namespace

Render::Render() = default;

Render::~Render()
{
    ReleaseResources();
    // Whatever is still registered belongs to others (resource maps, users);
    // cut it loose so that its destruction later does not reach us.
    for (Buffer* buffer : mBuffers)
        buffer->Detach();
    for (Texture* texture : mTextures)
        texture->Detach();
    for (ShaderImpl* shader : mShaderImpls)
        shader->Detach();
    mBuffers.clear();
    mTextures.clear();
    mShaderImpls.clear();
}

BWResultEnum Render::InitRender(app::Window* window, const RenderInitParam& param)
{
    (void)window;
    BWResultEnum result;
    if ((result = CreateBuiltInShader(this, &Render::CreateShaderGeom, &mShaderGeom)) != BW_OK ||
        (result = CreateBuiltInShader(this, &Render::CreateShaderTexturedMult, &mShaderTexturedMult)) != BW_OK ||
        (result = CreateBuiltInShader(this, &Render::CreateShaderTexturedTint, &mShaderTexturedTint)) != BW_OK)
        return result;

    uint32_t formatCount = VertexFormat::GetRegisteredCount();
    mVertexCaches.assign(formatCount, nullptr);
    for (uint32_t id = 0; id < formatCount; ++id)
    {
        const VertexFormat* format = VertexFormat::Find(id);
        BufferDoubleCacheCreator* creator = VertexFormat::FindCreator(id);
        if (!format || !creator || (format->mCacheCapacity == 0 && format->mOverflowCapacity == 0))
            continue;
        result = creator->Create(this, format->mCacheCapacity, format->mOverflowCapacity, &mVertexCaches[id]);
        if (result != BW_OK)
            return result;
    }

    result = CreateIndexCache(this, 10240, 1024, &mIndexCache16);
    if (result != BW_OK)
        return result;
    result = CreateIndexCache(this, 61440, 10240, &mIndexCache32);
    if (result != BW_OK)
        return result;

    if (param.mOrthoFromSize)
        MakeOrthoProjection(static_cast<float>(param.mWidth), static_cast<float>(param.mHeight), 0.0f,
                            &mProjection);
    else
        mProjection = param.mProjection;

    std::copy(param.mViewport, param.mViewport + 4, mDefaultViewport);
    ResetStateRecord();
    return BW_OK;
}

void Render::ReleaseResources()
{
    for (BufferDoubleCacheBase* cache : mVertexCaches)
        delete cache;
    mVertexCaches.clear();
    delete mIndexCache16;
    mIndexCache16 = nullptr;
    delete mIndexCache32;
    mIndexCache32 = nullptr;

    Shader* shaders[3] = {mShaderGeom, mShaderTexturedMult, mShaderTexturedTint};
    for (Shader* shader : shaders)
    {
        if (!shader)
            continue;
        shader->UnLoad();
        delete shader;
    }
    mShaderGeom = nullptr;
    mShaderTexturedMult = nullptr;
    mShaderTexturedTint = nullptr;
    if (mRequestedState.mShader || mCurrentState.mShader)
    {
        // The implementations are gone with the shaders.
        mRequestedState.mShader = nullptr;
        mCurrentState.mShader = nullptr;
    }
}

BWResultEnum Render::MakeOrthoProjection(float width, float height, float unused, math::Matrix4* out)
{
    (void)unused;
    math::Matrix4 m;
    m(0, 0) = 2.0f / width;
    m(1, 1) = -2.0f / height;
    m(3, 0) = -1.0f;
    m(3, 1) = 1.0f;
    *out = m;
    return BW_OK;
}

BWResultEnum Render::ResetState()
{
    return BW_OK;
}

BWResultEnum Render::ToScreenRect(const float rect[4], int out[4])
{
    const RenderState& s = mRequestedState;
    out[0] = static_cast<int>(rect[0] * s.mScale[0] + s.mOffset[0]);
    out[1] = static_cast<int>(rect[1] * s.mScale[1] + s.mOffset[1]);
    out[2] = static_cast<int>(rect[2] * s.mScale[0]);
    out[3] = static_cast<int>(rect[3] * s.mScale[1]);
    return BW_OK;
}

// An object that goes away must not stay in the state records: a later
// comparison would read it, or a new object at the same address would pass
// for it.

void Render::AddBuffer(Buffer* buffer) { mBuffers.push_back(buffer); }

void Render::RemoveBuffer(Buffer* buffer)
{
    EraseFirst(mBuffers, buffer);
    for (RenderState* state : {&mRequestedState, &mCurrentState})
    {
        if (static_cast<Buffer*>(state->mVertexBuffer) == buffer)
        {
            state->mVertexBuffer = nullptr;
            mStateDirty = 1;
        }
        if (static_cast<Buffer*>(state->mIndexBuffer) == buffer)
        {
            state->mIndexBuffer = nullptr;
            mStateDirty = 1;
        }
    }
}

void Render::AddTexture(Texture* texture) { mTextures.push_back(texture); }

void Render::RemoveTexture(Texture* texture)
{
    EraseFirst(mTextures, texture);
    ForgetShaderValue(texture);
    if (mRequestedState.mTarget == texture)
    {
        // Back to the back buffer with its own mapping, not the dead target's.
        RenderTargetDesc backBuffer;
        backBuffer.mScale[0] = mDefaultViewport[0];
        backBuffer.mScale[1] = mDefaultViewport[1];
        backBuffer.mOffset[0] = mDefaultViewport[2];
        backBuffer.mOffset[1] = mDefaultViewport[3];
        mRequestedState.SetTargetDesc(backBuffer);
        mStateDirty = 1;
    }
    if (mCurrentState.mTarget == texture)
        mCurrentState.mTarget = UnknownTarget();
    if (mRecordedTarget == texture)
        mRecordedTarget = UnknownTarget();
}

void Render::AddShaderImpl(ShaderImpl* shader) { mShaderImpls.push_back(shader); }

void Render::ForgetShaderValue(const void* value)
{
    for (ShaderImpl* shader : mShaderImpls)
        shader->ForgetValue(value);
}

void Render::RemoveShaderImpl(ShaderImpl* shader)
{
    EraseFirst(mShaderImpls, shader);
    // Never leave a dangling implementation in the state records.
    if (mRequestedState.mShader == shader)
        mRequestedState.mShader = nullptr;
    if (mCurrentState.mShader == shader)
        mCurrentState.mShader = nullptr;
}

BWResultEnum Render::GetShaderGeom(resource::ResourceHandle* out)
{
    *out = resource::ResourceHandle(mShaderGeom, nullptr);
    return BW_OK;
}

BWResultEnum Render::GetShaderTexturedMult(resource::ResourceHandle* out)
{
    *out = resource::ResourceHandle(mShaderTexturedMult, nullptr);
    return BW_OK;
}

BWResultEnum Render::GetShaderTexturedTint(resource::ResourceHandle* out)
{
    *out = resource::ResourceHandle(mShaderTexturedTint, nullptr);
    return BW_OK;
}

BufferDoubleCacheBase* Render::GetVertexCache(uint32_t formatId) const
{
    return formatId < mVertexCaches.size() ? mVertexCaches[formatId] : nullptr;
}

BWResultEnum Render::SetTarget(const RenderTargetDesc& desc)
{
    if (desc.mTarget != mRequestedState.mTarget)
    {
        mRequestedState.SetTargetDesc(desc);
        mStateDirty = 1;
    }
    return BW_OK;
}

BWResultEnum Render::SetRenderState(const RenderState* block, bool force)
{
    if (!block)
        return BW_FAIL;
    if (block == mLastStateBlock && !force)
        return BW_OK;
    mLastStateBlock = block;
    RenderState& r = mRequestedState;

    if (block->mTarget != r.mTarget)
    {
        r.SetTargetDesc(block->GetTargetDesc());
        mStateDirty = 1;
    }
    if (block->mShader != r.mShader)
    {
        r.mShader = block->mShader;
        mStateDirty = 1;
    }
    if (block->mVertexBuffer != r.mVertexBuffer)
    {
        r.mVertexBuffer = block->mVertexBuffer;
        mStateDirty = 1;
    }
    if (block->mIndexBuffer != r.mIndexBuffer)
    {
        r.mIndexBuffer = block->mIndexBuffer;
        mStateDirty = 1;
    }
    if (block->mBlendMode != r.mBlendMode)
    {
        r.mBlendMode = block->mBlendMode;
        mStateDirty = 1;
    }
    if (block->mScissorEnabled != r.mScissorEnabled)
    {
        r.mScissorEnabled = block->mScissorEnabled;
        mStateDirty = 1;
    }
    if (block->mScissorEnabled && !std::equal(block->mScissorRect, block->mScissorRect + 4, r.mScissorRect))
    {
        std::copy(block->mScissorRect, block->mScissorRect + 4, r.mScissorRect);
        mStateDirty = 1;
    }
    if (block->mDepthTest != r.mDepthTest)
    {
        r.mDepthTest = block->mDepthTest;
        mStateDirty = 1;
    }
    if (block->mDepthTest && block->mDepthWrite != r.mDepthWrite)
    {
        r.mDepthWrite = block->mDepthWrite;
        mStateDirty = 1;
    }
    return BW_OK;
}

void Render::ResetStateRecord()
{
    RenderState fresh;
    fresh.mScale[0] = mDefaultViewport[0];
    fresh.mScale[1] = mDefaultViewport[1];
    fresh.mOffset[0] = mDefaultViewport[2];
    fresh.mOffset[1] = mDefaultViewport[3];
    mCurrentState = fresh;
    mRequestedState = fresh;
    mStateDirty = 1;
    // The next block handed over is copied again, even if it is the last one.
    mLastStateBlock = nullptr;
}

bool Render::CanRender()
{
    if (CheckDevice())
        return true;
    DropRecordedFrame();
    return false;
}

BWResultEnum Render::BeginScene()
{
    // A frame that failed part-way (no EndScene, or no replay) must not
    // freeze the caches or leak its commands into this one.
    DropRecordedFrame();

    mInScene = 1;
    BWResultEnum result = CommandRecord(CmdBeginScene).WriteTo(&mCommands);
    if (result != BW_OK)
        return result;
    for (BufferDoubleCacheBase* cache : mVertexCaches)
    {
        if (!cache)
            continue;
        result = cache->BeginFrame();
        if (result != BW_OK)
            return result;
    }
    if (mIndexCache16 && (result = mIndexCache16->BeginFrame()) != BW_OK)
        return result;
    if (mIndexCache32 && (result = mIndexCache32->BeginFrame()) != BW_OK)
        return result;
    return BW_OK;
}

BWResultEnum Render::RecordTarget(Texture* target)
{
    BWResultEnum result = target ? CommandRecord(CmdSetRenderTarget).Ptr(target).WriteTo(&mCommands)
                                 : CommandRecord(CmdResetRenderTarget).WriteTo(&mCommands);
    if (result == BW_OK)
        mRecordedTarget = target;
    return result;
}

BWResultEnum Render::Clear(uint32_t flags, const float color[4], float z, uint32_t stencil)
{
    BWResultEnum result = FlushBatch();
    if (result != BW_OK)
        return result;
    if (mRequestedState.mTarget != mRecordedTarget)
    {
        result = RecordTarget(mRequestedState.mTarget);
        if (result != BW_OK)
            return result;
        mStateDirty = 1;
    }
    // The device clips Clear to an enabled scissor; a clear covers the whole
    // target, whatever the last draw left enabled.
    if (mCurrentState.mScissorEnabled != 0)
    {
        if ((result = CommandRecord(CmdEnableScissor).U8(0).WriteTo(&mCommands)) != BW_OK)
            return result;
        mCurrentState.mScissorEnabled = 0;
        mStateDirty = 1;
    }
    return CommandRecord(CmdClear)
        .U32(flags)
        .F32(color[0])
        .F32(color[1])
        .F32(color[2])
        .F32(color[3])
        .F32(z)
        .U32(stencil)
        .WriteTo(&mCommands);
}

BWResultEnum Render::EndScene()
{
    mInScene = 0;
    // Every cache is ended (and unlocked) even when one fails.
    BWResultEnum result = BW_OK;
    for (BufferDoubleCacheBase* cache : mVertexCaches)
        if (cache && cache->EndFrame() != BW_OK && result == BW_OK)
            result = BW_FAIL;
    if (mIndexCache16 && mIndexCache16->EndFrame() != BW_OK && result == BW_OK)
        result = BW_FAIL;
    if (mIndexCache32 && mIndexCache32->EndFrame() != BW_OK && result == BW_OK)
        result = BW_FAIL;
    if (result != BW_OK)
        return result;
    result = FlushBatch();
    if (result != BW_OK)
        return result;
    return CommandRecord(CmdEndScene).WriteTo(&mCommands);
}

BWResultEnum Render::Present()
{
    return CommandRecord(CmdPresent).WriteTo(&mCommands);
}

void Render::ClearBatch()
{
    mBatchIndexed = 0;
    mBatchType = PrimitiveNone;
    mBatchStart = 0;
    mBatchCount = 0;
    mBatchMinVertex = 0;
    mBatchVertexCount = 0;
}

void Render::DropRecordedFrame()
{
    if (!mInScene && mCommands.Tell() == 0)
        return; // nothing recorded
    for (BufferDoubleCacheBase* cache : mVertexCaches)
        if (cache && cache->IsInFrame())
            cache->EndFrame();
    if (mIndexCache16 && mIndexCache16->IsInFrame())
        mIndexCache16->EndFrame();
    if (mIndexCache32 && mIndexCache32->IsInFrame())
        mIndexCache32->EndFrame();
    mInScene = 0;
    mCommands.Rewind();
    ClearBatch();
    ForgetDeviceState();
}

void Render::ForgetDeviceState()
{
    ResetStateRecord();
    // The device may hold anything a partly replayed (or dropped) frame left
    // there: make every recorded value unknown, so that the next draw records
    // each state again, the render target included.
    RenderState& c = mCurrentState;
    c.mTarget = UnknownTarget();
    c.mBlendMode = 0xFFFFFFFFu;
    c.mScissorEnabled = 0xFF;
    c.mDepthTest = 0xFF;
    c.mDepthWrite = 0xFF;
    mRecordedTarget = UnknownTarget();
    for (ShaderImpl* shader : mShaderImpls)
        shader->SetAllChanged();
}

Texture* Render::UnknownTarget()
{
    // An address no texture can have; only ever compared.
    static char marker;
    return reinterpret_cast<Texture*>(&marker);
}

} // namespace render
