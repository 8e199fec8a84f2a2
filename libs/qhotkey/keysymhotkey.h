#pragma once
// Hotkeys of the Wayland backends, which bind keys by name: the native form is the
// key's XKB keysym (lower case, as compositors match letters whatever their case)
// with XKB real modifier bits (SwayModifier).

#include "hotkeybackend.h"

// False when the key has no keysym.
bool toKeysymHotkey(Qt::Key key, Qt::KeyboardModifiers modifiers, NativeHotkey* out);
