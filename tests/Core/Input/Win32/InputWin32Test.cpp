#include "Core/Input/Win32/InputWin32.h"

#include "tests/Support/RecordingInputListener.h"

#include <gtest/gtest.h>

using bwtest::InputEvent;

// A double click stops drags until the next press; buttons past the states
// are dropped, not written.
TEST(InputWin32Test, MouseEventsCarryTheConvertedPosition)
{
    bwtest::RecordingInputListener listener;
    bwtest::ScalingConverter converter;
    converter.scale = 2.0f;
    converter.offset = 10.0f;
    input::InputWin32 input(&listener, &converter);
    input.OnMouseDown({5, 5}, 4);
    input.OnMouseUp({5, 5}, 200);
    input.OnMouseDoubleClick({5, 5}, 0xFFFFFFFFu);
    EXPECT_TRUE(listener.events.empty());
    input.OnMouseMove({1, 2});
    input.OnMouseDown({3, 4}, 1);
    input.OnMouseMove({5, 6});
    input.OnMouseUp({7, 8}, 1);
    input.OnMouseDoubleClick({0, 0}, 1);
    input.OnMouseMove({1, 1});
    input.OnMouseDown({1, 1}, 1);
    input.OnMouseWheel({9, 10}, -120);
    input.OnMouseLeave({11, 12});
    std::vector<InputEvent> expected = {{"move", 22, 24, 0},   {"down", 26, 28, 1},     {"drag", 30, 32, 0},
                                        {"up", 34, 36, 1},     {"double", 20, 20, 1},   {"move", 22, 22, 0},
                                        {"down", 22, 22, 1},   {"wheel", 38, 40, -120}, {"leave", 42, 44, 0}};
    EXPECT_EQ(listener.events, expected);
}

