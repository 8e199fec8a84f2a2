#pragma once
// Qt key codes to X keysyms.

#include <Qt>

#include <X11/X.h> // after Qt: its macros (None, CursorShape) clash with Qt headers

// NoSymbol when the key has no keysym.
KeySym qtKeyToKeysym(Qt::Key key, bool keypad);
