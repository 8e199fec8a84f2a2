#pragma once
// One captured input event of a recording: its kind and its time, plus the pointer
// or key data of its kind. Kinds read from a file outside 0..9 stay plain events
// that only take part in the timing of a replay.

#include <cstdint>

namespace EventType {
// clang-format off
constexpr int32_t MouseMove = 0;
constexpr int32_t LeftDown = 1, LeftUp = 2;
constexpr int32_t RightDown = 3, RightUp = 4;
constexpr int32_t MiddleDown = 5, MiddleUp = 6;
constexpr int32_t Wheel = 7;
constexpr int32_t KeyDown = 8, KeyUp = 9;
constexpr int32_t Other = 10;
// clang-format on

// Kinds that carry a point (moves and the six button kinds).
inline bool hasPoint(int32_t type)
{
    return type >= MouseMove && type <= MiddleUp;
}
inline bool isButton(int32_t type)
{
    return type >= LeftDown && type <= MiddleUp;
}
inline bool isKey(int32_t type)
{
    return type == KeyDown || type == KeyUp;
}
} // namespace EventType

class Event
{
public:
    Event() = default;
    Event(int32_t type, int64_t timeNs) : type(type), time(timeNs) {}
    virtual ~Event() = default;

    int32_t type = EventType::Other;
    int64_t time = 0; // steady-clock nanoseconds
};

class MouseEvent : public Event
{
public:
    using Event::Event;

    int32_t x = 0; // screen pixels
    int32_t y = 0;
    int32_t wheelDelta = 0; // signed, 120 per notch
};

class KeyboardEvent : public Event
{
public:
    using Event::Event;

    int32_t vkCode = 0;
    int32_t scanCode = 0;
    int32_t flags = 0; // as the capture delivered them
};
