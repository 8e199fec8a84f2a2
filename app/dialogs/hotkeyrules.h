#pragma once
// Which keys may be a global hotkey. A global hotkey is taken from every program
// of the session: a bare letter, digit, Space, Enter or Escape would stop working
// everywhere else. Function keys alone, and any key with a modifier, are fine.

class QKeySequence;

namespace HotkeyRules {

// Whether `key` is a key used for typing or editing without any modifier.
bool takesTypingKey(const QKeySequence& key);

} // namespace HotkeyRules
