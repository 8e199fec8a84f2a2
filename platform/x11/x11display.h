#pragma once
#include <X11/Xlib.h>

#include <memory>

namespace platform::x11 {

// An Xlib connection of our own, closed when the object goes. Not shared with Qt:
// injection runs on worker threads and must not disturb the GUI thread's connection.
class X11Display
{
public:
    // Null when no X server is reachable (no DISPLAY, refused connection).
    static std::unique_ptr<X11Display> open();
    ~X11Display();

    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;

    Display* get() const { return m_display; }
    Window root() const;

private:
    explicit X11Display(Display* display) : m_display(display) {}
    Display* m_display;
};

} // namespace platform::x11
