#pragma once

#include "Core/Base/BWResult.h"
#include "Core/Input/InputTypes.h"

#include <cstdint>

namespace input
{

// Receives the engine's input events. Positions are in layout coordinates;
// buttons are 1 (left) and 3 (right); keys are engine key codes (0 to 323).
class InputListener
{
public:
    virtual ~InputListener() = default;
    virtual BWResultEnum OnMouseDown(const Point& position, uint32_t button) = 0;
    virtual BWResultEnum OnMouseUp(const Point& position, uint32_t button) = 0;
    virtual BWResultEnum OnMouseDoubleClick(const Point& position, uint32_t button) = 0;
    virtual BWResultEnum OnMouseMove(const Point& position) = 0;
    virtual BWResultEnum OnMouseDrag(const Point& position) = 0;
    virtual BWResultEnum OnMouseWheel(const Point& position, int delta) = 0;
    virtual BWResultEnum OnMouseLeave(const Point& position) = 0;
    virtual BWResultEnum OnKeyDown(int key) = 0;
    virtual BWResultEnum OnKeyUp(int key) = 0;
    virtual BWResultEnum OnChar(wchar_t character) = 0;
    virtual BWResultEnum OnPointerDown(const PointerEvent* events, int count) = 0;
    virtual BWResultEnum OnPointerMove(const PointerEvent* events, int count) = 0;
    virtual BWResultEnum OnPointerUp(const PointerEvent* events, int count) = 0;
    virtual BWResultEnum OnPointerCancel(const PointerEvent* events, int count) = 0;
};

} // namespace input
