#pragma once

// Float wrappers of the C library's maths, a step toward a target, and
// scaling of whole pixel values.

#include <cmath>
#include <cstdint>

namespace math
{

inline float Abs(float x) { return std::fabs(x); }
inline float Floor(float x) { return std::floor(x); }
inline float Ceil(float x) { return std::ceil(x); }
inline float Sqrt(float x) { return std::sqrt(x); }
inline float Sin(float x) { return std::sin(x); }
inline float Cos(float x) { return std::cos(x); }
inline double Sin(double x) { return std::sin(x); }
inline double Cos(double x) { return std::cos(x); }
inline float Atan2(float y, float x) { return std::atan2(y, x); }

// Moves value by step toward target. True when value was already there or was
// within one step (it then lands on target); false after a full step, also
// when that step lands exactly on target.
bool MoveTowards(float* value, float step, float target);

// value * factor as a float product (as layouts were measured), truncated
// toward zero; out-of-range results saturate, NaN gives 0.
int32_t ScaleToward0(int32_t value, float factor);

} // namespace math
