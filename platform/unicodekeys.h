#pragma once
// Typing Unicode text on systems whose keys carry keysyms (X11, Wayland): the
// characters of KEYEVENTF_UNICODE records and the keysyms that type them.

#include <cstdint>

namespace platform {

// What the code units typed so far leave pending for the next one.
struct UnicodeTypingState
{
    uint16_t pendingHigh = 0;         // a high surrogate waiting for its low half
    bool afterCarriageReturn = false; // the last unit typed was a carriage return
};

// Feeds the code unit of one Unicode key-down record. A high surrogate is held
// until its low half arrives (the halves may come in separate calls); a line feed
// right after a carriage return is the second half of a Windows line end, which
// the carriage return has typed already. The code point to type, or 0 when there
// is none (yet).
char32_t joinCodeUnit(uint16_t unit, UnicodeTypingState& state);

// The keysym that types a Unicode character; 0 for surrogates, values beyond
// Unicode and control characters without a key of their own. Line feed and
// carriage return type Return, tab types Tab.
unsigned long unicodeToKeysym(char32_t codepoint);

} // namespace platform
