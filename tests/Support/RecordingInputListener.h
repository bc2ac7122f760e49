#pragma once

// An input listener that writes down every event, and a converter that
// scales and shifts, for tests of the input road.

#include "Core/Input/CoordConverter.h"
#include "Core/Input/InputListener.h"

#include <ostream>
#include <string>
#include <vector>

namespace bwtest
{

struct InputEvent
{
    std::string kind;
    float x = 0.0f;
    float y = 0.0f;
    int value = 0; // button, key code, wheel delta, character or pointer count

    bool operator==(const InputEvent& o) const { return kind == o.kind && x == o.x && y == o.y && value == o.value; }
};

inline std::ostream& operator<<(std::ostream& out, const InputEvent& e)
{
    return out << e.kind << "(" << e.x << ", " << e.y << ", " << e.value << ")";
}

class RecordingInputListener : public input::InputListener
{
public:
    std::vector<InputEvent> events;

    // Only the events of one kind.
    std::vector<InputEvent> Of(const std::string& kind) const
    {
        std::vector<InputEvent> out;
        for (const InputEvent& event : events)
            if (event.kind == kind)
                out.push_back(event);
        return out;
    }

    BWResultEnum OnMouseDown(const input::Point& p, uint32_t b) override { return Add("down", p, int(b)); }
    BWResultEnum OnMouseUp(const input::Point& p, uint32_t b) override { return Add("up", p, int(b)); }
    BWResultEnum OnMouseDoubleClick(const input::Point& p, uint32_t b) override { return Add("double", p, int(b)); }
    BWResultEnum OnMouseMove(const input::Point& p) override { return Add("move", p, 0); }
    BWResultEnum OnMouseDrag(const input::Point& p) override { return Add("drag", p, 0); }
    BWResultEnum OnMouseWheel(const input::Point& p, int delta) override { return Add("wheel", p, delta); }
    BWResultEnum OnMouseLeave(const input::Point& p) override { return Add("leave", p, 0); }
    BWResultEnum OnKeyDown(int key) override { return Add("keydown", {}, key); }
    BWResultEnum OnKeyUp(int key) override { return Add("keyup", {}, key); }
    BWResultEnum OnChar(wchar_t c) override { return Add("char", {}, int(c)); }
    BWResultEnum OnPointerDown(const input::PointerEvent*, int n) override { return Add("pdown", {}, n); }
    BWResultEnum OnPointerMove(const input::PointerEvent*, int n) override { return Add("pmove", {}, n); }
    BWResultEnum OnPointerUp(const input::PointerEvent*, int n) override { return Add("pup", {}, n); }
    BWResultEnum OnPointerCancel(const input::PointerEvent*, int n) override { return Add("pcancel", {}, n); }

private:
    BWResultEnum Add(const char* kind, const input::Point& p, int value)
    {
        events.push_back({kind, p.x, p.y, value});
        return BW_OK;
    }
};

// (x, y) -> (scale * (x + offset), scale * (y + offset)), as the application
// converts with its display settings.
class ScalingConverter : public input::CoordConverter
{
public:
    float scale = 1.0f;
    float offset = 0.0f;

    input::Point& ConvertPoint(input::Point& out, const input::Point& p) override
    {
        out = {scale * (p.x + offset), scale * (p.y + offset)};
        return out;
    }
    input::Point& RotatePoint(input::Point& out, const input::Point& p, int) override { return out = p; }
};

} // namespace bwtest
