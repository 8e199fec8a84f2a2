#pragma once
#include "platform/backend.h"

#include <cstdint>
#include <set>

typedef struct _XDisplay Display;

namespace platform::x11 {

// The pixel an absolute coordinate (0..65535) stands for on an axis of `size`
// pixels: the exact inverse of pixel * 65535 / size (truncating), so a pixel sent
// that way lands on itself. Out-of-range values land on the nearest edge.
int absoluteToPixel(int32_t absolute, int size);

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
    void wheel(int32_t delta);

    Display* m_display;
    std::set<unsigned> m_buttonsDown;
    int32_t m_wheelRemainder = 0; // part of a notch left over from earlier records
};

} // namespace platform::x11
