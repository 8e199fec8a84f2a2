#pragma once
// Turns one recorded core device event into what a low-level Windows hook reports.

#include "platform/backend.h"

#include <cstdint>

namespace platform::x11 {

// The fields of a core KeyPress/KeyRelease/ButtonPress/ButtonRelease/MotionNotify
// event that capture needs (X11 event type numbers, modifier state before the event).
struct X11DeviceEvent
{
    int type = 0;
    unsigned detail = 0; // keycode or button
    unsigned state = 0;
    int rootX = 0;
    int rootY = 0;
};

struct X11CapturedEvent
{
    enum class Kind
    {
        Ignored,
        Mouse,
        Key
    };
    Kind kind = Kind::Ignored;
    CapturedMouse mouse;
    CapturedKey key;
};

// What the translator needs to know about the keyboard: the unshifted keysym of the
// event's keycode and which modifier bit Alt sits on.
struct X11KeyboardState
{
    unsigned long level0Keysym = 0;
    unsigned altMask = 0;
};

// Kind Ignored for events a hook would not report (the release of a wheel button,
// buttons without a Windows meaning). timeNs is left 0 for the caller.
X11CapturedEvent translateDeviceEvent(const X11DeviceEvent& event,
                                      const X11KeyboardState& keyboard);

} // namespace platform::x11
