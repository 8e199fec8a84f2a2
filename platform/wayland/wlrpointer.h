#pragma once
// Mouse records through a wlroots virtual pointer (zwlr_virtual_pointer_v1).
// The caller serialises calls and flushes the connection.

#include "platform/backend.h"
#include "../wheelnotches.h"

#include <cstdint>
#include <set>

struct zwlr_virtual_pointer_v1;

namespace platform::wayland {

class WaylandConnection;

class WlrPointer
{
public:
    // Null when the compositor offers no virtual pointers.
    static std::unique_ptr<WlrPointer> create(WaylandConnection& connection);
    ~WlrPointer();
    WlrPointer(const WlrPointer&) = delete;
    WlrPointer& operator=(const WlrPointer&) = delete;

    // True when the record moves to absolute coordinates, which need the layout's size.
    static bool isAbsoluteMove(const MouseInput& record);

    // Injects one record; `layout` is the size absolute coordinates span.
    void send(const MouseInput& record, ScreenSize layout);

    // Releases every button still held down by earlier records.
    void releaseAll();

private:
    explicit WlrPointer(zwlr_virtual_pointer_v1* pointer) : m_pointer(pointer) {}
    void move(const MouseInput& record, ScreenSize layout);
    void button(uint32_t code, bool down);
    void scroll(uint32_t axis, int64_t notches);

    zwlr_virtual_pointer_v1* m_pointer;
    std::set<uint32_t> m_buttonsDown;
    WheelNotches m_wheel;
    WheelNotches m_hWheel;
};

// Milliseconds on the monotonic clock, the time stamp of every injected event.
uint32_t eventTime();

} // namespace platform::wayland
