#pragma once
// Style sheets shared by the main window, the pages and the dialogs, so that every
// push button, menu and message box of the program has the same look.

#include <QString>

class QMenu;

namespace AppStyle {

// Registers the program's images. They live in a static library, whose resource
// initialiser the linker would drop unless something refers to it; the frame
// classes call this, so any program or test that uses them gets the images.
void initResources();

// Application-wide: message boxes and their buttons.
QString messageBoxStyleSheet();

// Ordinary push buttons of the pages and dialogs (grey face, rounded, pressed shift).
QString pushButtonStyleSheet();

// Pop-up menus: white, rounded, light-blue selection.
QString menuStyleSheet();

// A borderless button that shows ":/images/<normal>.svg" and, under the pointer,
// ":/images/<hover>.svg"; with pressedShift the picture moves slightly when pressed.
QString imageButtonStyleSheet(const QString& normal, const QString& hover, bool pressedShift);

// Whether translucent top-level windows are blended by the window system. On X11
// without a compositing manager they are not, and transparent pixels show black.
bool translucentWindowsSupported();

// Frameless pop-up menu with menuStyleSheet(); translucent (so its corners are
// round) only where translucent windows are supported.
void setupRoundedMenu(QMenu* menu);

// A flat, borderless button that carries only its icon.
QString flatIconButtonStyleSheet();

// The start buttons and small tool buttons of the job pages: the push-button look
// without a minimum width, so a fixed size holds.
QString pageButtonStyleSheet();

// Line edits of the pages and dialogs: white, thin grey border, rounded.
QString lineEditStyleSheet();

} // namespace AppStyle
