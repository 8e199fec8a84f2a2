#pragma once
// Placing a window of ours where sway decides every window's place. sway draws a
// fullscreen window over black, so a see-through layer must instead float,
// borderless, over the output it covers; its IPC socket ($SWAYSOCK) lets us ask.

#include <QRect>

class QWidget;

namespace SwayPlacement {

// Whether sway's IPC socket is there.
bool available();

// Floats `window` (found by this process and its title) borderless and focused over
// `area` of the output layout as soon as sway shows it: sway maps a window only once
// its first frame arrives, so this tries again for a while after show().
void floatWhenShown(QWidget* window, const QRect& area);

} // namespace SwayPlacement
