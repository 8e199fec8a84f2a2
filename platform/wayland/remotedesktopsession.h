#pragma once
// A remote-desktop session of the desktop itself (GNOME's mutter directly, or the
// desktop portal of GNOME and KDE): input goes in as D-Bus calls, and absolute
// pointer positions are given on one of the session's screen streams, in that
// stream's pixels. The calls only queue; flush() waits for the desktop.
// Not thread-safe: its owner serialises every call.

#include "waylandoutputs.h"

#include <cstdint>
#include <vector>

namespace platform::wayland {

class RemoteDesktopSession
{
public:
    enum class Axis
    {
        Vertical = 0, // the desktop's numbers for NotifyPointerAxisDiscrete
        Horizontal = 1
    };

    virtual ~RemoteDesktopSession() = default;

    // For the log: which path this is.
    virtual const char* description() const = 0;

    // Where each stream of the session sits in the layout; moveTo() names a stream
    // by its index here.
    virtual std::vector<LayoutRect> streams() const = 0;

    virtual void moveTo(size_t stream, double x, double y) = 0;
    virtual void moveBy(double dx, double dy) = 0;
    virtual void button(int evdevButton, bool down) = 0;
    // Positive steps scroll down or to the right.
    virtual void scroll(Axis axis, int steps) = 0;
    // A key by the symbol it types: the desktop finds the key (and the Shift or AltGr
    // it needs) in the user's keyboard layout.
    virtual void keysym(uint32_t keysym, bool down) = 0;

    // Waits until the desktop has taken every call so far; false once the session
    // has ended (closed by the user or the desktop).
    virtual bool flush() = 0;
};

} // namespace platform::wayland
