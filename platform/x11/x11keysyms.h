#pragma once
// Virtual-key code <-> X keysym, so that injected and captured keys agree.

#include <cstdint>

namespace platform::x11 {

// The keysym a virtual key is typed with; 0 (NoSymbol) when it has none.
unsigned long vkToKeysym(uint16_t vk);

// The virtual key of a keysym (either case of a letter); 0 when none.
uint16_t keysymToVk(unsigned long keysym);

} // namespace platform::x11
