#include "Core/Render/DrawParticlesParam.h"

#include "Core/Render/ParticleEmitter.h"

namespace render
{

DrawParticlesParam::DrawParticlesParam()
    : mEmitter(nullptr), mCount(nullptr), mBoundsBefore(nullptr), mBoundsAfter(nullptr)
{
}

DrawParticlesParam::DrawParticlesParam(Graphics* graphics, ParticleEmitter* emitter) : DrawParticlesParam()
{
    Bind(graphics);
    mEmitter = emitter;
}

BWResultEnum DrawParticlesParam::Draw(DrawParam* owner)
{
    if (!mEmitter)
        return BW_FAIL;
    ParticleDrawInfo info;
    info.mBoundsBefore = mBoundsBefore;
    info.mBoundsAfter = mBoundsAfter;
    const BWResultEnum result = mEmitter->Draw(mGraphics, owner, &info);
    if (mCount)
        *mCount = info.mCount;
    return result;
}

} // namespace render
