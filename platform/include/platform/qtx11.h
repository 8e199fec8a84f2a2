#pragma once
// Qt's own X connection, for code that must talk to the server the application's
// windows are on (hotkey grabs, the display capture watches). Unlike the backends'
// private connections it belongs to the GUI thread. Declares the X type only, so
// includers need no X header.

struct _XDisplay; // Xlib's Display

namespace platform::qtx11 {

// Null unless a QGuiApplication runs on Qt's xcb platform.
_XDisplay* display();

// Whether a compositing manager owns the screen (the _NET_WM_CM_S<n> selection), so
// translucent windows are blended instead of drawn on black. False without display().
bool compositingManagerRunning();

} // namespace platform::qtx11
