#include "Core/Input/Win32/InputWin32.h"

#include "Platform/Win32/Win32User.h"

#include <cstring>

namespace input
{
namespace
{

struct KeyRange
{
    uint32_t firstCode;
    uint32_t lastCode;
    uint32_t firstVirtualKey; // the rest follow one by one
};

const KeyRange kKeyRanges[] = {
    {8, 9, 0x08},      {12, 13, 0x0C},    {19, 19, 0x13},    {27, 27, 0x1B},    {32, 32, 0x20},
    {48, 57, 0x30},    {58, 58, 0xBA},    {59, 59, 0xBA},    {97, 122, 0x41},   {127, 127, 0x2E},
    {256, 265, 0x60},  {266, 266, 0x6E},  {267, 267, 0x6F},  {268, 268, 0x6A},  {269, 269, 0x6D},
    {270, 270, 0x6B},  {271, 271, 0x0D},  {273, 273, 0x26},  {274, 274, 0x28},  {275, 275, 0x27},
    {276, 276, 0x25},  {277, 277, 0x2D},  {278, 278, 0x24},  {279, 279, 0x23},  {280, 281, 0x21},
    {282, 296, 0x70},  {300, 300, 0x90},  {301, 301, 0x14},  {302, 302, 0x91},  {303, 303, 0xA1},
    {304, 304, 0xA0},  {305, 305, 0xA3},  {306, 306, 0xA2},  {307, 308, 0xA4},  {311, 312, 0x5B},
    {315, 315, 0x2F},  {316, 316, 0x2A},  {317, 317, 0x2C},
};

struct Modifier
{
    uint32_t virtualKey;
    uint32_t bit;
};

const Modifier kModifiers[] = {
    {0xA0, InputWin32::kLeftShift},   {0xA1, InputWin32::kRightShift}, {0xA2, InputWin32::kLeftControl},
    {0xA3, InputWin32::kRightControl}, {0xA4, InputWin32::kLeftAlt},   {0xA5, InputWin32::kRightAlt},
};

} // namespace

InputWin32::InputWin32(InputListener* listener, CoordConverter* converter)
    : mListener(listener), mConverter(converter), mModifiers(0)
{
    std::memset(mButtons, 0, sizeof(mButtons));
    std::memset(mKeys, 0, sizeof(mKeys));
    std::memset(mKeyboard, 0, sizeof(mKeyboard));
    InitKeyTable();
}

void InputWin32::InitKeyTable()
{
    std::memset(mKeyCodes, 0, sizeof(mKeyCodes));
    std::memset(mReverse, 0, sizeof(mReverse));
    for (const KeyRange& range : kKeyRanges)
        for (uint32_t code = range.firstCode; code <= range.lastCode; ++code)
            mKeyCodes[code] = range.firstVirtualKey + (code - range.firstCode);
    // Later codes win: return reports keypad enter (271), and every virtual
    // key without a row reports code 0, except 0 itself, which reports 323.
    for (uint32_t code = 0; code < kKeyCodeCount; ++code)
        mReverse[mKeyCodes[code]] = code;
}

void InputWin32::StorePosition(const Point& windowPoint)
{
    if (mConverter)
        mConverter->ConvertPoint(mPosition, windowPoint);
    else
        mPosition = windowPoint;
}

bool InputWin32::TakeButtonEvent(const Point& windowPoint, uint32_t button, uint32_t state)
{
    // Only buttons 1 and 3 come from the window; anything past the states is
    // dropped rather than written beyond them.
    if (button >= kButtonCount)
        return false;
    StorePosition(windowPoint);
    mButtons[button] = state;
    return mListener != nullptr;
}

void InputWin32::OnMouseDown(const Point& windowPoint, uint32_t button)
{
    if (TakeButtonEvent(windowPoint, button, kButtonPressed))
        mListener->OnMouseDown(mPosition, button);
}

void InputWin32::OnMouseUp(const Point& windowPoint, uint32_t button)
{
    if (TakeButtonEvent(windowPoint, button, kButtonUp))
        mListener->OnMouseUp(mPosition, button);
}

void InputWin32::OnMouseDoubleClick(const Point& windowPoint, uint32_t button)
{
    if (TakeButtonEvent(windowPoint, button, kButtonDoubleClicked))
        mListener->OnMouseDoubleClick(mPosition, button);
}

void InputWin32::OnMouseMove(const Point& windowPoint)
{
    StorePosition(windowPoint);
    if (!mListener)
        return;
    bool held = false;
    for (uint32_t state : mButtons)
        held = held || state == 1 || state == 2;
    if (held)
        mListener->OnMouseDrag(mPosition);
    else
        mListener->OnMouseMove(mPosition);
}

void InputWin32::OnMouseWheel(const Point& windowPoint, int delta)
{
    StorePosition(windowPoint);
    if (mListener)
        mListener->OnMouseWheel(mPosition, delta);
}

void InputWin32::OnMouseLeave(const Point& windowPoint)
{
    StorePosition(windowPoint);
    if (mListener)
        mListener->OnMouseLeave(mPosition);
}

void InputWin32::OnKeyDown(uint32_t virtualKey, uint32_t keyData)
{
    // A failed poll leaves the old states, which still say what they can.
    Update();
    if (virtualKey >= kKeyCount || !mListener)
        return;
    if (mKeys[virtualKey] == kKeyPressed)
        mListener->OnKeyDown(static_cast<int>(mReverse[virtualKey]));
    wchar_t character = 0;
    if (ToUnicode(virtualKey, keyData, mKeyboard, &character, 1, 0) == 1)
        mListener->OnChar(character);
}

void InputWin32::OnKeyUp(uint32_t virtualKey, uint32_t)
{
    if (virtualKey < kKeyCount && mListener)
        mListener->OnKeyUp(static_cast<int>(mReverse[virtualKey]));
}

BWResultEnum InputWin32::Update()
{
    mModifiers = 0;
    uint8_t keyboard[kKeyCount];
    if (!GetKeyboardState(keyboard))
        return BW_FAIL;
    std::memcpy(mKeyboard, keyboard, sizeof(mKeyboard));
    for (uint32_t key = 0; key < kKeyCount; ++key)
    {
        uint32_t& state = mKeys[key];
        if (mKeyboard[key] & 0x80)
            state = (state == kKeyPressed || state == kKeyHeld) ? kKeyHeld : kKeyPressed;
        else
            state = state == kKeyHeld ? kKeyReleased : kKeyUp;
    }
    // A modifier counts from the poll after it went down.
    for (const Modifier& modifier : kModifiers)
        if (mKeys[modifier.virtualKey] == kKeyHeld)
            mModifiers |= modifier.bit;
    return BW_OK;
}

} // namespace input
