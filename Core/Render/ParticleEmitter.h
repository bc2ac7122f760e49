#pragma once

// One playing particle effect: a library emitter with the play state the game
// drives, drawn as batched quads through a Graphics.
//
//   render::ParticleEmitter* blast = render::ParticleSystem::Instance()->CreateEmitter("bomb_explosion");
//   if (blast)
//   {
//       const float at[2] = {512, 384};
//       blast->SetPosition(at, MAGIC_POSITION_ALL_PARTICLES);
//       blast->SetState(render::ParticleEmitter::StatePlaying);
//   }
//   ... every frame: blast->Update(dt); graphics.DrawParticles(blast);

#include "Core/Base/BWResult.h"
#include "Core/Render/GraphicsFriend.h"
#include "Platform/Particles/Magic.h"

#include <cstdint>
#include <string>

namespace math
{
class BoundingBox;
}

namespace render
{

class DrawParam;

// What a particle draw reports: the particles drawn (modulo 65536), and when
// asked for, the box of their corners before and after the owner's move.
struct ParticleDrawInfo
{
    uint32_t mCount = 0;
    math::BoundingBox* mBoundsBefore = nullptr;
    math::BoundingBox* mBoundsAfter = nullptr;
};

class ParticleEmitter : public GraphicsFriend
{
public:
    enum : int32_t
    {
        StateStopped = 0,
        StatePlaying = 1,
        // Emits no more; the live particles run out.
        StateInterrupted = 2,
    };

    // A template over a loaded library emitter, which it then owns.
    explicit ParticleEmitter(HM_EMITTER handle);
    // A new library emitter duplicated from the template's, stopped.
    ParticleEmitter(const ParticleEmitter& other);
    ParticleEmitter& operator=(const ParticleEmitter&) = delete;
    ~ParticleEmitter();

    void SetState(int32_t state);
    void Restart();
    void Update(double seconds);
    // mode: MAGIC_POSITION_*, set before the position.
    void SetPosition(const float position[2], int32_t mode);
    void GetPosition(float out[2]) const;
    // 1 repeat, 2 once, anything else as the effect file says.
    void SetLoopMode(int32_t mode);
    void SetRandomMode(int32_t mode);

    // Draws the particles through graphics, the owner's move applied to them.
    BWResultEnum Draw(Graphics* graphics, DrawParam* owner, ParticleDrawInfo* info);

    HM_EMITTER mHandle;
    std::string mName;
    uint8_t mHasAtlas;
    uint8_t mRestartPending;
    int32_t mState;
    // Where the atlases of its effect file start in the particle system's
    // list: texture ids count from there.
    uint32_t mAtlasBase;

private:
    void PlayFromInterval1IfNeeded();
};

} // namespace render
