#include "x11errortrap.h"

namespace {
// Traps nest (innermost wins); used on the GUI thread only.
X11ErrorTrap* activeTrap = nullptr;
Display* activeDisplay = nullptr;
XErrorHandler outerHandler = nullptr;
} // namespace

X11ErrorTrap::X11ErrorTrap(Display* display) : m_display(display), m_outer(activeTrap)
{
    // Errors of earlier requests belong to whoever sent them, not to this block.
    XSync(m_display, False);
    m_previous = XSetErrorHandler(&X11ErrorTrap::handle);
    if (!m_outer)
        outerHandler = m_previous;
    activeTrap = this;
    activeDisplay = m_display;
}

X11ErrorTrap::~X11ErrorTrap()
{
    XSync(m_display, False);
    XSetErrorHandler(m_previous);
    activeTrap = m_outer;
    activeDisplay = m_outer ? m_outer->m_display : nullptr;
}

bool X11ErrorTrap::sync()
{
    XSync(m_display, False);
    return m_error != Success;
}

unsigned char X11ErrorTrap::lastError() const
{
    return m_error;
}

int X11ErrorTrap::handle(Display* display, XErrorEvent* event)
{
    if (activeTrap && display == activeDisplay) {
        activeTrap->m_error = event->error_code;
        return 0;
    }
    return outerHandler ? outerHandler(display, event) : 0;
}
