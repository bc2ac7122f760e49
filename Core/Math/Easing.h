#pragma once

namespace base
{

// Sine easing curves: exactly 0 for t <= 0 and exactly 1 for t >= 1.
float EaseInSine(float t);
float EaseOutSine(float t);
float EaseInOutSine(float t);

// |value| <= epsilon.
bool IsNearZero(float value, float epsilon);

} // namespace base
