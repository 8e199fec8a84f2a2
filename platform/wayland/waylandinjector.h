#pragma once
// One way of injecting input into a Wayland session. Compositors differ: wlroots
// offers virtual input devices to any program, GNOME and KDE only remote-desktop
// sessions. The Wayland backend picks the first injector the session supports.
// Calls are serialised by the backend.

#include "platform/backend.h"

namespace platform::wayland {

class WaylandInjector
{
public:
    virtual ~WaylandInjector() = default;

    // For the log: which path this is.
    virtual const char* description() const = 0;

    // As Backend::sendInput / waitForDelivery.
    virtual unsigned sendInput(const Input* inputs, unsigned count) = 0;
    virtual void waitForDelivery() = 0;

    // The size absolute coordinates span: the box around every output.
    virtual ScreenSize layoutSize() = 0;

    // The modifier keys this injector holds down (ModifierKey bits).
    virtual uint32_t heldModifiers() = 0;
};

} // namespace platform::wayland
