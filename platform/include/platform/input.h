#pragma once
// Synthesised input in the shape of Windows INPUT records. Every job describes its
// input in these terms; each backend translates the records for its own system.
// Standard C++ only: this header is also compiled by the Windows cross compiler.

#include <cstdint>

namespace platform {

// Flags of a mouse record (the values of Windows' MOUSEEVENTF_*).
namespace MouseFlag {
constexpr uint32_t Move = 0x0001;
constexpr uint32_t LeftDown = 0x0002;
constexpr uint32_t LeftUp = 0x0004;
constexpr uint32_t RightDown = 0x0008;
constexpr uint32_t RightUp = 0x0010;
constexpr uint32_t MiddleDown = 0x0020;
constexpr uint32_t MiddleUp = 0x0040;
constexpr uint32_t Wheel = 0x0800;
constexpr uint32_t HWheel = 0x1000; // positive mouseData scrolls to the right
constexpr uint32_t Absolute = 0x8000;
} // namespace MouseFlag

// Flags of a keyboard record (the values of Windows' KEYEVENTF_*).
namespace KeyFlag {
constexpr uint32_t KeyUp = 0x0002;
constexpr uint32_t Unicode = 0x0004;
} // namespace KeyFlag

// One notch of a mouse wheel (Windows' WHEEL_DELTA).
constexpr int32_t WheelDelta = 120;

// Upper end of the absolute coordinate range of a mouse record.
constexpr int32_t AbsoluteRange = 65535;

struct MouseInput
{
    int32_t dx = 0;
    int32_t dy = 0;
    int32_t mouseData = 0;
    uint32_t flags = 0;
};

struct KeyboardInput
{
    uint16_t vk = 0;
    uint16_t scan = 0;
    uint32_t flags = 0;
};

struct Input
{
    enum class Type : uint32_t
    {
        Mouse = 0,
        Keyboard = 1
    };

    Type type = Type::Mouse;
    MouseInput mouse;
    KeyboardInput keyboard;

    static Input mouseInput(uint32_t flags, int32_t dx = 0, int32_t dy = 0, int32_t data = 0)
    {
        Input in;
        in.type = Type::Mouse;
        in.mouse = {dx, dy, data, flags};
        return in;
    }
    static Input keyInput(uint16_t vk, uint32_t flags = 0, uint16_t scan = 0)
    {
        Input in;
        in.type = Type::Keyboard;
        in.keyboard = {vk, scan, flags};
        return in;
    }
};

inline bool operator==(const MouseInput& a, const MouseInput& b)
{
    return a.dx == b.dx && a.dy == b.dy && a.mouseData == b.mouseData && a.flags == b.flags;
}
inline bool operator==(const KeyboardInput& a, const KeyboardInput& b)
{
    return a.vk == b.vk && a.scan == b.scan && a.flags == b.flags;
}
inline bool operator==(const Input& a, const Input& b)
{
    if (a.type != b.type)
        return false;
    return a.type == Input::Type::Mouse ? a.mouse == b.mouse : a.keyboard == b.keyboard;
}
inline bool operator!=(const Input& a, const Input& b)
{
    return !(a == b);
}

} // namespace platform
