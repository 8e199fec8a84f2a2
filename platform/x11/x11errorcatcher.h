#pragma once
#include <X11/Xlib.h>

namespace platform::x11 {

// Collects the X errors of one connection while it lives, instead of letting Xlib's
// default handler end the process. Errors of other connections (Qt's) go on to the
// handler that was installed before ours.
class X11ErrorCatcher
{
public:
    explicit X11ErrorCatcher(Display* display);
    ~X11ErrorCatcher();

    X11ErrorCatcher(const X11ErrorCatcher&) = delete;
    X11ErrorCatcher& operator=(const X11ErrorCatcher&) = delete;

    // Waits until the server has handled every request sent so far; true when
    // none of them failed since this object was made.
    bool sync();

    // The first error code seen, 0 when none.
    int errorCode() const { return m_errorCode; }
    // The first error code seen since the last call, 0 when none; then forgets it.
    int takeErrorCode();

private:
    friend int handleXError(Display* display, XErrorEvent* event);

    Display* m_display;
    int m_errorCode = 0;
    // The request number that follows the last sync(): when nothing was sent after
    // it, the destructor needs no second round trip.
    unsigned long m_requestAfterSync = 0;
};

} // namespace platform::x11
