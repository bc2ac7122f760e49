#pragma once

#include "Core/Base/BWResult.h"
#include "Core/Render/DrawParam.h"
#include "Core/Render/GraphicsFriend.h"

#include <cstdint>

namespace math
{
class BoundingBox;
}

namespace render
{

class ParticleEmitter;

// The particles of one emitter, drawn through the Graphics it is bound to.
class DrawParticlesParam : public GraphicsFriend
{
public:
    DrawParticlesParam();
    DrawParticlesParam(Graphics* graphics, ParticleEmitter* emitter);

    // The emitter's draw; then the count goes out when asked for. No emitter
    // draws nothing and answers 1.
    BWResultEnum Draw(DrawParam* owner);

    ParticleEmitter* mEmitter;
    // Optional: the particles drawn, and the boxes of their corners before
    // and after the owner's move.
    uint32_t* mCount;
    math::BoundingBox* mBoundsBefore;
    math::BoundingBox* mBoundsAfter;
};

} // namespace render
