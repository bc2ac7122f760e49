#pragma once

#include <cstdint>

namespace math
{

// An integer hash that serves as the engine's random source.
uint32_t HashRandom(uint32_t seed);
// min + (max - min) * HashRandom(counter) / 2^32. Seed 0 advances the global
// counter; any other seed sets it, so the value is repeatable.
float RandomRange(float min, float max, uint32_t seed);
// The global counter.
uint32_t* GetRandomSeed();

// A closed range of unsigned integers.
struct RandomIntRange
{
    uint32_t mMin;
    uint32_t mMax;
};

// An integer of [min, max] from the C runtime's 15-bit rand, rounded half up,
// so the ends come with half the weight of inner values. An inverted range
// answers min.
uint32_t RandomInRange(const RandomIntRange& range);

} // namespace math
