#pragma once
// The real Kliqora run by a test on the session's headless sway, with Qt on its
// Wayland platform or on X (as under Xwayland), and the keys a user presses to
// start and stop its jobs, sent through this process's own virtual keyboard.

#include "e2eprogram.h"

#include <cstdint>

class WaylandKliqora : public E2eProgram
{
public:
    // Made after WaylandSession::enter(): the program gets the session's variables.
    explicit WaylandKliqora(const QString& program);
    // Asks a program still running to quit, so that it removes its bindings: a killed
    // program's stay in sway and would keep its keys from the tests after this one.
    ~WaylandKliqora() override;

    // Starts the program with Qt on `qtPlatform` ("wayland" or "xcb") and waits until
    // its window is shown and its probe answers, that is until it has loaded its files
    // and bound its keys. False, after a warning, when it does not come up.
    bool start(const QString& qtPlatform = QStringLiteral("wayland"));
    // Whether its main window is shown (on sway, or on the X server for Qt on X).
    bool hasWindow() const;
    // Asks it to quit and waits; true when it ended normally.
    bool quitNormally();
};

// Presses and releases the key of the Windows virtual-key code `vk` on this process's
// virtual keyboard, as a user's key press.
void pressKey(uint16_t vk);
