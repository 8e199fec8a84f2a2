#pragma once
// Catches the X errors of a block of requests instead of letting Xlib's default
// handler end the program. Errors on other connections go to the previous handler.

#include <X11/Xlib.h>

class X11ErrorTrap
{
public:
    explicit X11ErrorTrap(Display* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Waits for the server to process every request sent so far; true when any
    // of them failed since the trap was set.
    bool sync();
    unsigned char lastError() const;

private:
    static int handle(Display* display, XErrorEvent* event);

    Display* m_display;
    XErrorHandler m_previous;
    X11ErrorTrap* m_outer;
    unsigned char m_error = Success;
};
