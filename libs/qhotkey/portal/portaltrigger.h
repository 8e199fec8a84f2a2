#pragma once
// Keys in the desktop portal's shortcut notation (the XDG shortcuts one: modifiers
// CTRL, ALT, SHIFT, LOGO and an XKB key name, joined by "+": "CTRL+SHIFT+F9"), and
// whether the trigger a desktop reports back for a shortcut is the key we asked for.

#include "../hotkeybackend.h"

#include <QString>

// The preferred trigger of a keysym hotkey (see keysymhotkey.h).
QString portalTrigger(const NativeHotkey& hotkey);

// Whether the desktop's text for a shortcut's trigger ("Ctrl+F9", "CTRL+F9") names
// `hotkey`. An empty text names no key: the desktop bound none. A text that cannot be
// read at all (words of a desktop language) counts as naming it, as nothing says
// the desktop bound another key.
bool triggerNames(const QString& trigger, const NativeHotkey& hotkey);
