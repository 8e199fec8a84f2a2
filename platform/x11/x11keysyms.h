#pragma once
// Virtual-key code <-> X keysym, so that injected and captured keys agree.

#include <cstdint>

namespace platform::x11 {

// The keysym a virtual key is typed with; 0 (NoSymbol) when it has none.
unsigned long vkToKeysym(uint16_t vk);

// The virtual key of a keysym (either case of a letter); 0 when none.
uint16_t keysymToVk(unsigned long keysym);

// The keysym that types a Unicode character; 0 for surrogates, values beyond
// Unicode and control characters without a key of their own. Line feed and
// carriage return type Return, tab types Tab.
unsigned long unicodeToKeysym(char32_t codepoint);

} // namespace platform::x11
