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
    int value = 0; // button, key code, wheel delta or character

    bool operator==(const InputEvent& other) const
    {
        return kind == other.kind && x == other.x && y == other.y && value == other.value;
    }
};

inline std::ostream& operator<<(std::ostream& out, const InputEvent& event)
{
    return out << event.kind << "(" << event.x << ", " << event.y << ", " << event.value << ")";
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

    BWResultEnum OnMouseDown(const input::Point& p, uint32_t button) override { return Add("down", p, int(button)); }
    BWResultEnum OnMouseUp(const input::Point& p, uint32_t button) override { return Add("up", p, int(button)); }
    BWResultEnum OnMouseDoubleClick(const input::Point& p, uint32_t button) override
    {
        return Add("double", p, int(button));
    }
    BWResultEnum OnMouseMove(const input::Point& p) override { return Add("move", p, 0); }
    BWResultEnum OnMouseDrag(const input::Point& p) override { return Add("drag", p, 0); }
    BWResultEnum OnMouseWheel(const input::Point& p, int delta) override { return Add("wheel", p, delta); }
    BWResultEnum OnMouseLeave(const input::Point& p) override { return Add("leave", p, 0); }
    BWResultEnum OnKeyDown(int key) override { return Add("keydown", {}, key); }
    BWResultEnum OnKeyUp(int key) override { return Add("keyup", {}, key); }
    BWResultEnum OnChar(wchar_t c) override { return Add("char", {}, int(c)); }
    BWResultEnum OnPointerDown(const input::PointerEvent*, int count) override { return Add("pdown", {}, count); }
    BWResultEnum OnPointerMove(const input::PointerEvent*, int count) override { return Add("pmove", {}, count); }
    BWResultEnum OnPointerUp(const input::PointerEvent*, int count) override { return Add("pup", {}, count); }
    BWResultEnum OnPointerCancel(const input::PointerEvent*, int count) override { return Add("pcancel", {}, count); }

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
        out.x = scale * (p.x + offset);
        out.y = scale * (p.y + offset);
        return out;
    }
    input::Point& RotatePoint(input::Point& out, const input::Point& p, int) override
    {
        out = p;
        return out;
    }
};

} // namespace bwtest
