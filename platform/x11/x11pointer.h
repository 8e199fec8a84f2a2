#pragma once
#include "platform/backend.h"
#include "wheelnotches.h"

#include <cstdint>
#include <set>

typedef struct _XDisplay Display;

namespace platform::x11 {

// Moves the pointer and presses buttons through XTest. The caller serialises calls.
class X11Pointer
{
public:
    explicit X11Pointer(Display* display) : m_display(display) {}

    // True when the record moves to absolute coordinates, which need the screen size.
    static bool isAbsoluteMove(const MouseInput& record);

    // Injects one mouse record; `screen` is the size absolute coordinates span.
    void send(const MouseInput& record, ScreenSize screen);

    // Releases every button still held down by earlier records.
    void releaseAll();

private:
    void button(unsigned button, bool down);
    void scroll(int64_t notches, unsigned forwardButton, unsigned backwardButton);

    Display* m_display;
    std::set<unsigned> m_buttonsDown;
    WheelNotches m_wheel;
    WheelNotches m_hWheel;
};

} // namespace platform::x11
