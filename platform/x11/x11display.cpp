#include "x11display.h"

namespace platform::x11 {

std::unique_ptr<X11Display> X11Display::open()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return nullptr;
    return std::unique_ptr<X11Display>(new X11Display(display));
}

X11Display::~X11Display()
{
    XCloseDisplay(m_display);
}

Window X11Display::root() const
{
    return DefaultRootWindow(m_display);
}

} // namespace platform::x11
