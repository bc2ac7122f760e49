#include "Core/Render/Graphics.h"

#include "Core/Render/Color.h"
#include "Core/Render/Image.h"
#include "Core/Render/Render.h"
#include "Core/Render/Shader.h"
#include "Core/Render/Texture.h"
#include "Core/Render/Transform.h"
#include "Core/Render/Vertex.h"
#include "Core/Render/VertexFormat.h"

#include <cstring>
#include <utility>

namespace render
{

Graphics::Graphics(Render* render)
{
    Init(render);
    if (render)
    {
        const float* viewport = render->GetDefaultViewport();
        mState.mScale[0] = viewport[0];
        mState.mScale[1] = viewport[1];
        mState.mOffset[0] = viewport[2];
        mState.mOffset[1] = viewport[3];
    }
    SetShaderMode(ShaderModeTexturedMultiply);
}

Graphics::Graphics(Image* target)
{
    Texture* texture = target ? target->GetTexture() : nullptr;
    Init(texture ? texture->GetRender() : nullptr);
    mTargetImage = target;
    mState.mTarget = texture;
    if (target)
    {
        mState.mOffset[0] = target->mTargetRect[0];
        mState.mOffset[1] = target->mTargetRect[1];
        mState.mScale[0] = target->mTargetRect[2];
        mState.mScale[1] = target->mTargetRect[3];
    }
    if (mRender && !mRender->IsInScene())
    {
        mOwnsFrame = 1;
        mRender->BeginScene();
    }
    SetShaderMode(ShaderModeTexturedMultiply);
}

void Graphics::Init(Render* render)
{
    mRender = render;
    mTargetImage = nullptr;
    mGeomShader = render ? render->GetShaderGeomObject() : nullptr;
    mCurrentShader = nullptr;
    mState = RenderState();
    mState.mBlendMode = BlendAlpha;
    mState.mScissorEnabled = 0;
    mState.mDepthTest = 0;
    mState.mDepthWrite = 1;
    mStateChanged = 1;
    mFont = nullptr;
    mShaderMode = ShaderModeCustom;
    mColor[0] = mColor[1] = mColor[2] = mColor[3] = 1.0f;
    mTint = 0.0f;
    mTransform = nullptr;
    mOwnsFrame = 0;
}

void Graphics::Flush()
{
    if (!mOwnsFrame || !mRender)
        return;
    mOwnsFrame = 0;
    mRender->EndScene();
    mRender->ExecuteCommands();
}

BWResultEnum Graphics::Clear(uint32_t flags, const float color[4], float z, uint32_t stencil)
{
    if (!mRender)
        return BW_FAIL;
    const BWResultEnum result = mRender->SetTarget(mState.GetTargetDesc());
    if (result != BW_OK)
        return result;
    return mRender->Clear(flags, color, z, stencil);
}

BWResultEnum Graphics::SetBlendMode(uint32_t mode)
{
    mState.mBlendMode = mode;
    mStateChanged = 1;
    return BW_OK;
}

void Graphics::SetColor(const float rgba[4])
{
    std::memcpy(mColor, rgba, sizeof(mColor));
}

BWResultEnum Graphics::SetShaderMode(uint32_t mode)
{
    if (mode == mShaderMode)
        return BW_OK;
    if (mode != ShaderModeTexturedMultiply && mode != ShaderModeTexturedTint)
        return BW_OK;
    mShaderMode = mode;
    Shader* shader = nullptr;
    if (mRender)
        shader = mode == ShaderModeTexturedMultiply ? mRender->GetShaderTexturedMultObject()
                                                    : mRender->GetShaderTexturedTintObject();
    mCurrentShader = shader;
    return shader ? BW_OK : BW_FAIL;
}

BWResultEnum Graphics::SetShader(Shader* shader)
{
    mShaderMode = ShaderModeCustom;
    mCurrentShader = shader ? shader : (mRender ? mRender->GetShaderTexturedMultObject() : nullptr);
    return mCurrentShader ? BW_OK : BW_FAIL;
}

const math::Matrix4* Graphics::GetProjection() const
{
    if (mTargetImage)
        return &mTargetImage->mMatrix;
    return mRender ? &mRender->GetProjection() : nullptr;
}

ShaderTextured* Graphics::GetTexturedShader() const
{
    if (mShaderMode == ShaderModeTexturedMultiply || mShaderMode == ShaderModeTexturedTint)
        return static_cast<ShaderTextured*>(mCurrentShader);
    return dynamic_cast<ShaderTextured*>(mCurrentShader);
}

BWResultEnum Graphics::ApplyTransform(void* vertices, const VertexFormat& format, uint32_t count)
{
    if (mTransform)
        Transform::TransformVertices(vertices, format, count, *mTransform);
    return BW_OK;
}

BWResultEnum Graphics::ApplyHalfPixel(void* vertices, const VertexFormat& format, uint32_t count)
{
    // x in one pass, y and z in another: the transforms before wrote x and y
    // singly, and loading both at once would wait for those stores to retire.
    uint8_t* const first = static_cast<uint8_t*>(vertices) + format.mPosition.mOffset;
    const uint32_t stride = format.mStride;
    uint8_t* position = first;
    for (uint32_t i = 0; i < count; ++i, position += stride)
        reinterpret_cast<float*>(position)[0] -= 0.5f;
    position = first;
    for (uint32_t i = 0; i < count; ++i, position += stride)
    {
        float* p = reinterpret_cast<float*>(position);
        p[1] -= 0.5f;
        p[2] = 0.0f;
    }
    return BW_OK;
}

DrawUntransformedParam<DrawImageParam> Graphics::DrawImage(ImageRect* image)
{
    return DrawUntransformedParam<DrawImageParam>(InPlace{}, this, image);
}

DrawUntransformedParam<DrawImageParam> Graphics::DrawImageRect(ImageRect* image, const float region[4])
{
    // Made in place: a copy of a record just written field by field would
    // wait for those stores.
    DrawUntransformedParam<DrawImageParam> draw(InPlace{}, this, image);
    std::memcpy(draw->mRegion, region, sizeof(draw->mRegion));
    return draw;
}

DrawUntransformedParam<DrawParticlesParam> Graphics::DrawParticles(ParticleEmitter* emitter)
{
    return DrawUntransformedParam<DrawParticlesParam>(DrawParticlesParam(this, emitter));
}

DrawUntransformedParam<DrawTextParam> Graphics::DrawString(const std::wstring& text)
{
    return DrawUntransformedParam<DrawTextParam>(DrawTextParam(this, mFont, &text));
}

DrawUntransformedParam<DrawTextParam> Graphics::DrawString(std::wstring&& text)
{
    return DrawUntransformedParam<DrawTextParam>(DrawTextParam(this, mFont, std::move(text)));
}

DrawUntransformedParam<DrawCustomParam> Graphics::DrawCustom(uint32_t type, void* vertices,
                                                             const VertexAllocation& place, Shader* shader)
{
    DrawCustomParam param;
    param.Bind(this);
    param.mType = type;
    param.mVertices = vertices;
    param.mFormat = &VertexFormatOf<SVertexGeom>();
    param.mFirstVertex = place.mFirst;
    param.mVertexCount = place.mCount;
    param.mVertexBuffer = place.mBuffer;
    param.mShader = shader;
    return DrawUntransformedParam<DrawCustomParam>(param);
}

DrawUntransformedParam<DrawCustomParam> Graphics::DrawCustomIndexed(uint32_t type, void* vertices,
                                                                    const IndexAllocation& indices,
                                                                    const VertexAllocation& place, Shader* shader)
{
    DrawUntransformedParam<DrawCustomParam> draw = DrawCustom(type, vertices, place, shader);
    draw->mFirstIndex = indices.mFirst;
    draw->mIndexCount = indices.mCount;
    draw->mIndexBuffer = indices.mBuffer;
    return draw;
}

DrawUntransformedParam<DrawCustomParam> Graphics::DrawLine(const float p0[3], const float p1[3])
{
    VertexCacheGeom* cache = mRender ? mRender->GetVertexCache<SVertexGeom>() : nullptr;
    SVertexGeom* v = nullptr;
    VertexAllocation place;
    if (!cache || cache->Allocate(2, &v, &place) != BW_OK || !v)
        return DrawUntransformedParam<DrawCustomParam>(DrawCustomParam(), false);
    const uint32_t color = ColorToArgb(mColor);
    v[0] = SVertexGeom{p0[0], p0[1], p0[2], color};
    v[1] = SVertexGeom{p1[0], p1[1], p1[2], color};
    return DrawCustom(LineList, v, place, mGeomShader);
}

DrawUntransformedParam<DrawCustomParam> Graphics::DrawRect(const float rect[4])
{
    VertexCacheGeom* cache = mRender ? mRender->GetVertexCache<SVertexGeom>() : nullptr;
    IndexCache16* indexCache = mRender ? mRender->GetIndexCache16() : nullptr;
    SVertexGeom* v = nullptr;
    uint16_t* i = nullptr;
    VertexAllocation place;
    IndexAllocation indexPlace;
    if (!cache || !indexCache || cache->Allocate(4, &v, &place) != BW_OK || !v ||
        indexCache->Allocate(6, &i, &indexPlace) != BW_OK || !i)
        return DrawUntransformedParam<DrawCustomParam>(DrawCustomParam(), false);
    const uint32_t color = ColorToArgb(mColor);
    const float x = rect[0], y = rect[1], w = rect[2], h = rect[3];
    v[0] = SVertexGeom{x, y, 0.0f, color};
    v[1] = SVertexGeom{x + w, y, 0.0f, color};
    v[2] = SVertexGeom{x + w, y + h, 0.0f, color};
    v[3] = SVertexGeom{x, y + h, 0.0f, color};
    const uint16_t first = static_cast<uint16_t>(place.mFirst);
    const uint16_t order[6] = {0, 1, 2, 0, 2, 3};
    for (int k = 0; k < 6; ++k)
        i[k] = static_cast<uint16_t>(first + order[k]);
    return DrawCustomIndexed(TriangleList, v, indexPlace, place, mGeomShader);
}

} // namespace render
