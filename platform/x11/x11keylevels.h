#pragma once
#include <X11/X.h>

namespace platform::x11 {

// What clients read from a keycode we bind through the core mapping to `plain` on
// its first and `shifted` on its second level (the same keysym twice for a keysym
// alone). The server derives the key's type from the two keysyms: a lower-case
// letter with its own upper case, or one keysym caseless to the server twice, makes it
// ALPHABETIC (Shift and Caps Lock each invert the level, Caps Lock is consumed); a
// keypad keysym KEYPAD (NumLock picks the level); anything else TWO_LEVEL, whose
// level only Shift picks, and whose keysym Xlib and Qt clients turn into its upper
// case while Caps Lock is on. NoSymbol when the keysym read is not known for sure.
KeySym keysymRead(KeySym plain, KeySym shifted, bool shift, bool capsLock);

// Two distinct characters that the server gives a TWO_LEVEL type: never keypad or
// other non-character keys, never the same letter in both cases.
bool canShareKeycode(KeySym plain, KeySym shifted);

// The upper case that makes a key with a lower-case letter ALPHABETIC; NoSymbol
// when there is none.
KeySym alphabeticPartner(KeySym keysym);

} // namespace platform::x11
