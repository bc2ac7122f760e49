#include "Platform/Particles/Emitter.h"

#include "Platform/Particles/Magic.h"
#include "Platform/Win32/Win32Kernel.h"

#include <algorithm>
#include <cmath>

namespace particles
{

namespace
{

const double kPi = 3.14159265358979323846;
// A stall longer than this is played as this long.
const double kMaxUpdate = 60000.0;
// Longer updates take longer steps instead of more of them.
const int kMaxSteps = 600;

// One channel of a colour mixed between two, rounded; f is within [0, 1].
uint32_t MixByte(uint32_t from, uint32_t to, int shift, float f)
{
    const float a = static_cast<float>((from >> shift) & 0xFF);
    const float b = static_cast<float>((to >> shift) & 0xFF);
    return static_cast<uint32_t>(a + (b - a) * f + 0.5f) << shift;
}

} // namespace

Emitter::Emitter(std::shared_ptr<const EmitterDesc> desc)
    : mDesc(std::move(desc)), mKinds(mDesc->kinds.size()), mRandom(mDesc->seed),
      mInterpolation(mDesc->interpolation), mFreshSeed(mDesc->freshSeed)
{
}

Emitter Emitter::Duplicate() const
{
    Emitter copy(mDesc);
    copy.mInterpolation = mInterpolation;
    copy.mLoopMode = mLoopMode;
    copy.mFreshSeed = mFreshSeed;
    copy.mPositionMode = mPositionMode;
    copy.mX = mX;
    copy.mY = mY;
    return copy;
}

void Emitter::Rewind()
{
    mTime = 0.0;
    mCarry = 0.0;
    for (size_t i = 0; i < mKinds.size(); ++i)
    {
        mKinds[i].particles.clear();
        mKinds[i].owed = 0.0;
        mKinds[i].burstArmed = true;
    }
    mLiveCount = 0;
}

void Emitter::Stop()
{
    Rewind();
    mPlaying = false;
}

void Emitter::Restart()
{
    Rewind();
    uint32_t seed = mDesc->seed;
    if (mFreshSeed)
    {
        // Two statements: the operands of | are unsequenced, and the first
        // draw must be the high bits whatever the compiler.
        const uint32_t high = static_cast<uint32_t>(win32::rand());
        seed = high << 15 | static_cast<uint32_t>(win32::rand());
    }
    mRandom = Random(seed);
    mPlaying = true;
}

void Emitter::PlayToInterval1(float speed)
{
    Restart();
    if (!(speed > 0.0f) || !std::isfinite(speed))
        speed = 1.0f;
    const double target = mDesc->interval1;
    double step = mDesc->updateTime * speed;
    if (target / step > kMaxSteps)
        step = target / kMaxSteps;
    // interval1 lies before the end of the timeline, so the time never wraps
    // on the way; the count bound only guards against rounding.
    for (int i = 0; mTime < target && i <= kMaxSteps; ++i)
        Step(std::min(step, target - mTime));
}

LoopKind Emitter::GetLoop() const
{
    if (mLoopMode == MAGIC_LOOP_REPEAT)
        return LoopKind::Repeat;
    if (mLoopMode == MAGIC_LOOP_ONCE)
        return LoopKind::Once;
    return mDesc->loop;
}

bool Emitter::Update(double milliseconds)
{
    if (!mPlaying)
        return false;
    if (!(milliseconds > 0.0))
        milliseconds = 0.0;
    milliseconds = std::min(milliseconds, kMaxUpdate);
    double total = milliseconds;
    if (!mInterpolation)
    {
        mCarry += milliseconds;
        total = std::floor(mCarry / mDesc->updateTime) * mDesc->updateTime;
        mCarry = std::max(0.0, mCarry - total);
    }
    if (total > 0.0)
    {
        const int steps = static_cast<int>(std::min<double>(kMaxSteps, std::ceil(total / mDesc->updateTime)));
        const double step = total / std::max(1, steps);
        for (int i = 0; i < steps; ++i)
            Step(step);
    }
    const bool finished = mInterrupted || (GetLoop() == LoopKind::Once && mTime >= mDesc->interval2);
    if (finished && GetParticleCount() == 0)
    {
        mPlaying = false;
        return false;
    }
    return true;
}

void Emitter::Step(double dt)
{
    const float ms = static_cast<float>(dt);
    for (size_t k = 0; k < mKinds.size(); ++k)
    {
        const ParticleKind& kind = mDesc->kinds[k];
        std::vector<Particle>& particles = mKinds[k].particles;
        size_t kept = 0;
        for (size_t i = 0; i < particles.size(); ++i)
        {
            Particle& p = particles[i];
            p.age += ms;
            if (p.age >= p.life)
                continue;
            Move(p, kind, ms);
            particles[kept++] = p;
        }
        mLiveCount -= particles.size() - kept;
        particles.resize(kept);
    }

    const double end = mDesc->interval2;
    const LoopKind loop = GetLoop();
    double remaining = dt;
    // Each pass ends at the step's end or at the end of the timeline; the
    // loop is at least 1 ms and a step at most 100 ms, so passes are few.
    for (int pass = 0; remaining > 0.0 && pass < 1000; ++pass)
    {
        if (mTime >= end)
        {
            if (loop != LoopKind::Repeat)
            {
                mTime = end;
                break;
            }
            mTime = mDesc->interval1;
            for (size_t k = 0; k < mKinds.size(); ++k)
                mKinds[k].burstArmed = mDesc->kinds[k].emitFrom >= mDesc->interval1;
        }
        const double segment = std::min(remaining, end - mTime);
        if (!mInterrupted)
            for (size_t k = 0; k < mKinds.size(); ++k)
                Emit(k, mTime, mTime + segment, remaining - segment);
        mTime += segment;
        remaining -= segment;
    }
    if (loop == LoopKind::Repeat && mTime >= end)
    {
        mTime = mDesc->interval1;
        for (size_t k = 0; k < mKinds.size(); ++k)
            mKinds[k].burstArmed = mDesc->kinds[k].emitFrom >= mDesc->interval1;
    }
}

// Particles born at time t of [from, to) are (to - t) + afterwards old at the
// end of the step.
void Emitter::Emit(size_t k, double from, double to, double afterwards)
{
    const ParticleKind& kind = mDesc->kinds[k];
    KindState& state = mKinds[k];
    if (state.burstArmed && kind.emitFrom < to)
    {
        state.burstArmed = false;
        const double age = to - std::max(from, kind.emitFrom) + afterwards;
        for (uint32_t i = 0; i < kind.burst && state.particles.size() < kind.max && HasRoom(); ++i)
            Spawn(k, age);
    }
    const double lo = std::max(from, kind.emitFrom);
    const double hi = std::min(to, kind.emitTo);
    if (hi <= lo || kind.rate <= 0.0)
        return;
    const double perMs = kind.rate / 1000.0;
    const double owed = state.owed + perMs * (hi - lo);
    // Sums of many short segments fall just short of whole counts.
    const double born = std::floor(owed + 1e-6);
    for (double i = 1.0; i <= born && state.particles.size() < kind.max && HasRoom(); i += 1.0)
    {
        const double when = lo + (i - state.owed) / perMs;
        Spawn(k, std::max(0.0, to - when) + afterwards);
    }
    state.owed = std::max(0.0, owed - born);
}

void Emitter::Spawn(size_t k, double age)
{
    const ParticleKind& kind = mDesc->kinds[k];
    Particle p;
    p.life = std::max(1.0f, kind.life + kind.lifeVar * mRandom.Signed());
    float ox = 0.0f;
    float oy = 0.0f;
    switch (kind.shape)
    {
    case EmitShape::Point:
        break;
    case EmitShape::Circle:
    case EmitShape::Ring:
    {
        const float r = kind.shape == EmitShape::Ring ? kind.radius : kind.radius * std::sqrt(mRandom.Unit());
        const float a = static_cast<float>(2.0 * kPi) * mRandom.Unit();
        ox = r * std::cos(a);
        oy = r * std::sin(a);
        break;
    }
    case EmitShape::Rect:
        ox = 0.5f * kind.width * mRandom.Signed();
        oy = 0.5f * kind.height * mRandom.Signed();
        break;
    }
    const float direction = static_cast<float>((kind.angle + kind.spread * (mRandom.Unit() - 0.5f)) * (kPi / 180.0));
    const float speed = kind.speed + kind.speedVar * mRandom.Signed();
    p.x = mX + ox;
    p.y = mY + oy;
    p.vx = speed * std::cos(direction);
    p.vy = speed * std::sin(direction);
    p.scale = 1.0f + kind.sizeVar * mRandom.Signed();
    p.rotation = kind.rotation + kind.rotationVar * mRandom.Signed();
    p.spin = kind.spin + kind.spinVar * mRandom.Signed();
    p.age = static_cast<float>(age);
    if (p.age >= p.life)
        return;
    Move(p, kind, p.age);
    mKinds[k].particles.push_back(p);
    ++mLiveCount;
}

void Emitter::Move(Particle& p, const ParticleKind& kind, float ms)
{
    const float s = ms * 0.001f;
    p.vx += kind.gravity[0] * s;
    p.vy += kind.gravity[1] * s;
    if (kind.drag > 0.0f)
    {
        const float keep = std::max(0.0f, 1.0f - kind.drag * s);
        p.vx *= keep;
        p.vy *= keep;
    }
    p.x += p.vx * s;
    p.y += p.vy * s;
    p.rotation = std::fmod(p.rotation + p.spin * s, 360.0f);
}

bool Emitter::SetLoopMode(int mode)
{
    if (mode != MAGIC_LOOP_AS_FILE && mode != MAGIC_LOOP_REPEAT && mode != MAGIC_LOOP_ONCE)
        return false;
    mLoopMode = mode;
    return true;
}

bool Emitter::SetRandomMode(int mode)
{
    if (mode != MAGIC_RANDOM_FIXED && mode != MAGIC_RANDOM_FRESH)
        return false;
    mFreshSeed = mode == MAGIC_RANDOM_FRESH;
    return true;
}

bool Emitter::SetPositionMode(int mode)
{
    if (mode != MAGIC_POSITION_NEW_PARTICLES && mode != MAGIC_POSITION_ALL_PARTICLES)
        return false;
    mPositionMode = mode;
    return true;
}

void Emitter::SetPosition(float x, float y)
{
    if (mPositionMode == MAGIC_POSITION_ALL_PARTICLES)
    {
        const float dx = x - mX;
        const float dy = y - mY;
        for (KindState& state : mKinds)
            for (Particle& p : state.particles)
            {
                p.x += dx;
                p.y += dy;
            }
    }
    mX = x;
    mY = y;
}

void Emitter::GetVertexes(size_t k, size_t i, MAGIC_PARTICLE_VERTEXES* out) const
{
    const ParticleKind& kind = mDesc->kinds[k];
    const Particle& p = mKinds[k].particles[i];
    const float f = std::min(1.0f, std::max(0.0f, p.age / p.life));
    const float half = 0.5f * (kind.size + (kind.sizeEnd - kind.size) * f) * p.scale;
    const float angle = p.rotation * static_cast<float>(kPi / 180.0);
    const float c = std::cos(angle) * half;
    const float s = std::sin(angle) * half;
    // Corners (-1,-1), (1,-1), (1,1), (-1,1) turned by the angle.
    out->x1 = p.x - c + s;
    out->y1 = p.y - s - c;
    out->x2 = p.x + c + s;
    out->y2 = p.y + s - c;
    out->x3 = p.x + c - s;
    out->y3 = p.y + s + c;
    out->x4 = p.x - c - s;
    out->y4 = p.y - s + c;
    const float u0 = kind.uv[0];
    const float v0 = kind.uv[1];
    const float u1 = u0 + kind.uv[2];
    const float v1 = v0 + kind.uv[3];
    out->u1 = u0;
    out->v1 = v0;
    out->u2 = u1;
    out->v2 = v0;
    out->u3 = u1;
    out->v3 = v1;
    out->u4 = u0;
    out->v4 = v1;
    out->color = kind.color == kind.colorEnd
                     ? kind.color
                     : MixByte(kind.color, kind.colorEnd, 24, f) | MixByte(kind.color, kind.colorEnd, 16, f) |
                           MixByte(kind.color, kind.colorEnd, 8, f) | MixByte(kind.color, kind.colorEnd, 0, f);
}

} // namespace particles
