#pragma once
// Windows that place themselves (a frameless window dragged by its own band, the
// floating stop button sliding into a corner) cannot do so where the compositor
// decides every window's place (Qt on Wayland): there they hand placing to it.

class QWidget;

namespace WindowPlacement {

// True where the window system ignores the positions a program gives its windows.
bool compositorPlacesWindows();

// Where the compositor places windows, hands it the drag that the left button just
// started on `widget`'s window; false where the program moves its window itself
// (or the compositor would not take the drag).
bool startCompositorDrag(QWidget* widget);

} // namespace WindowPlacement
