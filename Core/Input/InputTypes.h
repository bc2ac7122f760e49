#pragma once

// Positions and pointer records that input events carry.

namespace input
{

// Window or layout coordinates, depending on where it is seen.
struct Point
{
    float x = 0.0f;
    float y = 0.0f;
};

// One touch or pen contact; the frame manager reads x and y.
struct PointerEvent
{
    float id = 0.0f;
    float x = 0.0f;
    float y = 0.0f;
};

} // namespace input
