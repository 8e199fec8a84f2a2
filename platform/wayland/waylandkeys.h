#pragma once
// The keys of the keyboard Kliqora presents to a Wayland compositor: every virtual
// key sits on the key of a US keyboard (its evdev code) with that key's symbols,
// so programs that look at key positions (games, X programs) see the usual keys.

#include <cstdint>
#include <vector>

namespace platform::wayland {

struct KeyDefinition
{
    uint16_t vk = 0;
    uint32_t evdevCode = 0;
    uint32_t keysym = 0;        // the plain level
    uint32_t shiftedKeysym = 0; // the Shift level; 0 for a key with one level
};

// The key a virtual key is typed with; null when it has none.
const KeyDefinition* keyForVk(uint16_t vk);

// Every key of the fixed layout, each evdev code once.
const std::vector<KeyDefinition>& fixedKeys();

} // namespace platform::wayland
