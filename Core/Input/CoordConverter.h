#pragma once

#include "Core/Input/InputTypes.h"

namespace input
{

// Turns window points into layout coordinates.
class CoordConverter
{
public:
    virtual ~CoordConverter() = default;
    virtual Point& ConvertPoint(Point& out, const Point& windowPoint) = 0;
    // Mode 1 and 3 turn a quarter either way; other modes leave the point.
    virtual Point& RotatePoint(Point& out, const Point& point, int mode) = 0;
};

} // namespace input
