#pragma once

// One playing instance of an effect: its timeline, modes, position and live
// particles. The effect's description is shared and never changed.

#include "Platform/Particles/EffectFile.h"

#include <cstdint>
#include <memory>
#include <vector>

struct MAGIC_PARTICLE_VERTEXES;

namespace particles
{

// The C runtime's generator (x = x * 214013 + 2531011), one per emitter, so
// that emitters neither disturb each other nor the game's own rand.
class Random
{
public:
    explicit Random(uint32_t seed = 1) : mState(seed) {}
    int Next()
    {
        mState = mState * 214013u + 2531011u;
        return static_cast<int>((mState >> 16) & 0x7FFF);
    }
    // [0, 1) with 30 bits, the first draw the high ones. The draws are
    // separate statements: the operands of | are unsequenced.
    float Unit()
    {
        const uint32_t high = static_cast<uint32_t>(Next());
        const uint32_t low = static_cast<uint32_t>(Next());
        return static_cast<float>((high << 15 | low) * (1.0 / 1073741824.0));
    }
    // [-1, 1).
    float Signed() { return Unit() * 2.0f - 1.0f; }

private:
    uint32_t mState;
};

struct Particle
{
    float x, y;
    float vx, vy;
    float age, life;  // ms
    float scale;      // 1 +- size_var
    float rotation;   // degrees
    float spin;       // degrees per second
};

class Emitter
{
public:
    explicit Emitter(std::shared_ptr<const EmitterDesc> desc);
    // Same effect, modes and position; stopped at the start.
    Emitter Duplicate() const;

    void Stop();
    void Restart();
    // Restart, then play quickly to interval1 in steps of the update time
    // times speed.
    void PlayToInterval1(float speed);
    // False when the effect has ended (see Magic_Update).
    bool Update(double milliseconds);

    bool InInterval() const { return mTime >= mDesc->interval1 && mTime <= mDesc->interval2; }
    bool IsInterval1() const { return mDesc->interval1 > 0.0; }
    void SetInterrupt(bool interrupt) { mInterrupted = interrupt; }
    bool IsInterrupt() const { return mInterrupted; }
    void SetInterpolation(bool on) { mInterpolation = on; }
    bool IsInterpolation() const { return mInterpolation; }
    double GetUpdateTime() const { return mDesc->updateTime; }
    // MAGIC_LOOP_*; false for other values.
    bool SetLoopMode(int mode);
    bool SetRandomMode(int mode);
    bool SetPositionMode(int mode);
    void SetPosition(float x, float y);
    float GetX() const { return mX; }
    float GetY() const { return mY; }
    double GetTime() const { return mTime; }
    bool IsPlaying() const { return mPlaying; }

    size_t GetKindCount() const { return mKinds.size(); }
    const ParticleKind& GetKind(size_t kind) const { return mDesc->kinds[kind]; }
    size_t GetParticleCount(size_t kind) const { return mKinds[kind].particles.size(); }
    size_t GetParticleCount() const { return mLiveCount; }
    // The quad of one particle.
    void GetVertexes(size_t kind, size_t particle, MAGIC_PARTICLE_VERTEXES* out) const;

private:
    struct KindState
    {
        std::vector<Particle> particles;
        double owed = 0.0;       // fraction of a particle the rate has built up
        bool burstArmed = true;  // the burst fires when the time passes emit_from
    };

    LoopKind GetLoop() const;
    bool HasRoom() const { return mLiveCount < kMaxParticlesPerEmitter; }
    void Rewind();
    // One step of dt ms: the live particles age, then new ones are born along
    // the timeline, which may wrap.
    void Step(double dt);
    void Emit(size_t kind, double from, double to, double afterwards);
    void Spawn(size_t kind, double age);
    static void Move(Particle& p, const ParticleKind& kind, float ms);

    std::shared_ptr<const EmitterDesc> mDesc;
    std::vector<KindState> mKinds;
    size_t mLiveCount = 0;
    Random mRandom;
    double mTime = 0.0;
    double mCarry = 0.0;  // time not yet stepped without interpolation
    bool mPlaying = false;
    bool mInterrupted = false;
    bool mInterpolation;
    int mLoopMode = 0;
    bool mFreshSeed;
    int mPositionMode = 0;
    float mX = 0.0f;
    float mY = 0.0f;
};

} // namespace particles
