#include "Core/Render/ParticleEmitter.h"

#include "Core/Math/BoundingBox.h"
#include "Core/Render/Color.h"
#include "Core/Render/DrawParam.h"
#include "Core/Render/Graphics.h"
#include "Core/Render/ImageRect.h"
#include "Core/Render/ParticleSystem.h"
#include "Core/Render/Render.h"
#include "Core/Render/Shader.h"
#include "Core/Render/Vertex.h"
#include "Core/Render/VertexFormat.h"

#include <algorithm>
#include <cstring>

namespace render
{

namespace
{

// Restores the Graphics' blend mode and reports the count however the draw
// ends, so that an error never leaves later draws blending additively.
class DrawEnd
{
public:
    DrawEnd(Graphics* graphics, ParticleDrawInfo* info)
        : mGraphics(graphics), mInfo(info), mBlendMode(graphics->mState.mBlendMode)
    {
    }
    ~DrawEnd()
    {
        mGraphics->SetBlendMode(mBlendMode);
        if (mInfo)
            mInfo->mCount = mTotal & 0xFFFFu;
    }
    DrawEnd(const DrawEnd&) = delete;
    DrawEnd& operator=(const DrawEnd&) = delete;

    void Add(uint32_t count) { mTotal += count; }

private:
    Graphics* mGraphics;
    ParticleDrawInfo* mInfo;
    uint32_t mBlendMode;
    uint32_t mTotal = 0;
};

// ColorToArgb (ArgbToColor (particle colour) x Graphics colour), channel by
// channel from tables made once per Graphics colour: the colour seldom
// changes between draws, and particles are many.
class ColorScale
{
public:
    void Prepare(const float color[4])
    {
        if (mReady && std::memcmp(mColor, color, sizeof(mColor)) == 0)
            return;
        std::memcpy(mColor, color, sizeof(mColor));
        for (uint32_t b = 0; b < 256; ++b)
        {
            float scaled[4];
            ArgbToColor(scaled, b * 0x01010101u);
            Color::Multiply(scaled, scaled, color);
            const uint32_t packed = ColorToArgb(scaled);
            for (int c = 0; c < 4; ++c)
                mTable[c][b] = packed & (0xFFu << (8 * c));
        }
        mReady = true;
    }

    uint32_t Apply(uint32_t argb) const
    {
        return mTable[3][argb >> 24] | mTable[2][(argb >> 16) & 0xFF] | mTable[1][(argb >> 8) & 0xFF] |
               mTable[0][argb & 0xFF];
    }

private:
    bool mReady = false;
    float mColor[4] = {};
    // By the channel's shift / 8: blue, green, red, alpha.
    uint32_t mTable[4][256];
};

void Grow(math::BoundingBox* box, const SVertex2D* vertices, uint32_t count)
{
    if (!box)
        return;
    for (uint32_t i = 0; i < count; ++i)
    {
        const float point[3] = {vertices[i].x, vertices[i].y, vertices[i].z};
        box->AddPoint(point);
    }
}

void WriteCorner(SVertex2D& v, float x, float y, float u, float tv, uint32_t diffuse)
{
    v.x = x;
    v.y = y;
    v.z = 0.0f;
    v.w = 1.0f;
    v.diffuse = diffuse;
    v.specular = 0xFFFFFFFFu;
    v.tu = u;
    v.tv = tv;
}

// The image of a texture id, or null when its atlas is missing.
ImageRect* AtlasImage(uint32_t base, int textureId)
{
    ParticleSystem* system = ParticleSystem::GetInstance();
    if (!system || textureId < 0)
        return nullptr;
    const size_t index = static_cast<size_t>(base) + static_cast<size_t>(textureId);
    if (index >= system->mAtlasImages.size())
        return nullptr;
    ImageRect* image = system->mAtlasImages[index];
    return image && image->GetTexture() ? image : nullptr;
}

} // namespace

ParticleEmitter::ParticleEmitter(HM_EMITTER handle)
    : mHandle(handle), mHasAtlas(0), mRestartPending(0), mState(StateStopped), mAtlasBase(0)
{
}

ParticleEmitter::ParticleEmitter(const ParticleEmitter& other)
    : GraphicsFriend(other), mHandle(Magic_DuplicateEmitter(other.mHandle)), mName(other.mName),
      mHasAtlas(other.mHasAtlas), mRestartPending(other.mRestartPending), mState(StateStopped),
      mAtlasBase(other.mAtlasBase)
{
}

ParticleEmitter::~ParticleEmitter()
{
    Magic_UnloadEmitter(mHandle);
}

// Unless a restart is pending: a stopped emitter, or one outside its
// interval, starts again from interval 1.
void ParticleEmitter::PlayFromInterval1IfNeeded()
{
    if (!mRestartPending && (mState == StateStopped || !Magic_InInterval(mHandle)))
        Magic_EmitterToInterval1(mHandle, 1.0f, nullptr);
}

void ParticleEmitter::SetState(int32_t state)
{
    if (state == mState)
        return;
    switch (state)
    {
    case StateStopped:
        if (mState != StateInterrupted)
            Magic_Stop(mHandle);
        break;
    case StatePlaying:
        if (Magic_IsInterrupt(mHandle))
            Magic_SetInterrupt(mHandle, false);
        PlayFromInterval1IfNeeded();
        break;
    case StateInterrupted:
        PlayFromInterval1IfNeeded();
        Magic_SetInterrupt(mHandle, true);
        break;
    default:
        break;
    }
    mState = state;
}

void ParticleEmitter::Restart()
{
    if (Magic_IsInterval1(mHandle))
        Magic_EmitterToInterval1(mHandle, 1.0f, nullptr);
    else
        Magic_Restart(mHandle);
    mRestartPending = 0;
    if (mState == StatePlaying)
        return;
    if (Magic_IsInterrupt(mHandle))
        Magic_SetInterrupt(mHandle, false);
    if (!(mState != StateStopped && Magic_InInterval(mHandle)))
        Magic_EmitterToInterval1(mHandle, 1.0f, nullptr);
    mState = StatePlaying;
}

void ParticleEmitter::Update(double seconds)
{
    if (mState != StatePlaying && mState != StateInterrupted)
        return;
    if (mRestartPending)
        Restart();
    const double step = Magic_IsInterpolationMode(mHandle) ? seconds * 1000.0 : Magic_GetUpdateTime(mHandle);
    if (!Magic_Update(mHandle, step))
    {
        if (mState == StatePlaying)
            Magic_Stop(mHandle);
        mState = StateStopped;
    }
}

void ParticleEmitter::SetPosition(const float position[2], int32_t mode)
{
    Magic_SetEmitterPositionMode(mHandle, mode);
    const MAGIC_POSITION at = {position[0], position[1]};
    Magic_SetEmitterPosition(mHandle, &at);
}

void ParticleEmitter::GetPosition(float out[2]) const
{
    MAGIC_POSITION at = {0.0f, 0.0f};
    Magic_GetEmitterPosition(mHandle, &at);
    out[0] = at.x;
    out[1] = at.y;
}

void ParticleEmitter::SetLoopMode(int32_t mode)
{
    Magic_SetLoopMode(mHandle, mode == 1 || mode == 2 ? mode : 0);
}

void ParticleEmitter::SetRandomMode(int32_t mode)
{
    Magic_SetRandomMode(mHandle, mode);
}

BWResultEnum ParticleEmitter::Draw(Graphics* graphics, DrawParam* owner, ParticleDrawInfo* info)
{
    if (!graphics || !graphics->mRender || !graphics->mCurrentShader)
        return BW_FAIL;
    Bind(graphics);
    Shader* shader = graphics->mCurrentShader;
    BWResultEnum result = SetShader(shader->GetImpl());
    if (result == BW_OK)
        result = ApplyProjection(shader);
    if (result != BW_OK)
        return result;
    DrawEnd end(graphics, info);
    if (info && info->mBoundsBefore)
        info->mBoundsBefore->Reset();
    if (info && info->mBoundsAfter)
        info->mBoundsAfter->Reset();
    if (mState == StateStopped || !Magic_InInterval(mHandle))
        return BW_OK;

    VertexCache2D* vertexCache = mRender->GetVertexCache<SVertex2D>();
    IndexCache16* indexCache = mRender->GetIndexCache16();
    if (!vertexCache || !indexCache)
        return BW_FAIL;
    // A list goes out in chunks that the caches can always give, even once
    // their primary buffers are full; the batching joins chunks that follow
    // each other in one buffer.
    const uint32_t chunkLimit =
        std::min(vertexCache->GetOverflowCapacity() / 4, indexCache->GetOverflowCapacity() / 6);
    if (chunkLimit == 0)
        return BW_FAIL;
    const VertexFormat& format = VertexFormatOf<SVertex2D>();
    ShaderTextured* textured = graphics->GetTexturedShader();
    static ColorScale colorScale;
    colorScale.Prepare(graphics->mColor);

    MAGIC_RENDERING list;
    for (Magic_CreateFirstRenderedParticlesList(mHandle, &list); list.count > 0;
         Magic_CreateNextRenderedParticlesList(&list))
    {
        // A list whose atlas did not load is left out rather than drawn
        // with whatever texture the shader held last.
        ImageRect* image = AtlasImage(mAtlasBase, list.texture_id);
        if (!image)
            continue;
        graphics->SetBlendMode(list.intense ? BlendAdditive : BlendAlpha);
        if (textured && (result = textured->SetTexture(image->GetTexture())) != BW_OK)
            return result;

        for (uint32_t left = static_cast<uint32_t>(list.count); left > 0;)
        {
            const uint32_t n = std::min(left, chunkLimit);
            left -= n;
            SVertex2D* vertices = nullptr;
            VertexCache2D::Allocation vertexPlace;
            if ((result = vertexCache->Allocate(4 * n, &vertices, &vertexPlace)) != BW_OK || !vertices)
                return result != BW_OK ? result : BW_FAIL;
            uint16_t* indices = nullptr;
            IndexCache16::Allocation indexPlace;
            if ((result = indexCache->Allocate(6 * n, &indices, &indexPlace)) != BW_OK || !indices)
                return result != BW_OK ? result : BW_FAIL;
            if (vertexPlace.mFirst + 4 * n > 0x10000u)
                return BW_FAIL;  // past what 16-bit indices reach

            for (uint32_t k = 0; k < n; ++k)
            {
                MAGIC_PARTICLE_VERTEXES quad;
                Magic_GetNextParticleVertexes(&quad);
                const uint32_t diffuse = colorScale.Apply(quad.color);
                SVertex2D* v = vertices + 4 * k;
                WriteCorner(v[0], quad.x1, quad.y1, quad.u1, quad.v1, diffuse);
                WriteCorner(v[1], quad.x2, quad.y2, quad.u2, quad.v2, diffuse);
                WriteCorner(v[2], quad.x3, quad.y3, quad.u3, quad.v3, diffuse);
                WriteCorner(v[3], quad.x4, quad.y4, quad.u4, quad.v4, diffuse);
                const uint16_t b = static_cast<uint16_t>(vertexPlace.mFirst + 4 * k);
                uint16_t* i = indices + 6 * k;
                i[0] = b;
                i[1] = static_cast<uint16_t>(b + 1);
                i[2] = static_cast<uint16_t>(b + 2);
                i[3] = b;
                i[4] = static_cast<uint16_t>(b + 2);
                i[5] = static_cast<uint16_t>(b + 3);
            }

            Grow(info ? info->mBoundsBefore : nullptr, vertices, 4 * n);
            if (owner && (result = owner->TransformVertices(vertices, format, 4 * n)) != BW_OK)
                return result;
            Grow(info ? info->mBoundsAfter : nullptr, vertices, 4 * n);
            if ((result = graphics->ApplyTransform(vertices, format, 4 * n)) != BW_OK ||
                (result = graphics->ApplyHalfPixel(vertices, format, 4 * n)) != BW_OK)
                return result;

            SetVertexBuffer(vertexPlace.mBuffer);
            SetIndexBuffer(indexPlace.mBuffer);
            if ((result = ApplyState()) != BW_OK)
                return result;
            result = mRender->DrawIndexedPrimitive(TriangleList, indexPlace.mFirst, 2 * n, vertexPlace.mFirst, 4 * n);
            if (result != BW_OK)
                return result;
            end.Add(n);
        }
    }
    return BW_OK;
}

} // namespace render
