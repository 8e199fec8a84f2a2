#pragma once
// Keyboard records through a virtual keyboard (zwp_virtual_keyboard_v1) that
// carries our own keymap: virtual keys on the fixed keys of that keymap, any
// other character on a slot bound for it. The modifier state is sent explicitly
// with every change, as the compositor does not derive it for virtual keyboards.
// The caller serialises calls and flushes the connection.

#include "../unicodekeys.h"
#include "platform/input.h"
#include "waylandkeymap.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <vector>

struct zwp_virtual_keyboard_v1;

namespace platform::wayland {

class WaylandConnection;

class WlrKeyboard
{
public:
    // Null when the compositor offers no virtual keyboards or refuses our keymap.
    static std::unique_ptr<WlrKeyboard> create(WaylandConnection& connection);
    ~WlrKeyboard();
    WlrKeyboard(const WlrKeyboard&) = delete;
    WlrKeyboard& operator=(const WlrKeyboard&) = delete;

    // Types batch[index], a keyboard record; looks ahead in the batch so that the
    // characters that need slots are bound together. False when the record could
    // not be typed.
    bool send(const Input* batch, unsigned count, unsigned index);

    // Releases every key still held down by earlier records.
    void releaseAll();

    // The modifier keys (platform::ModifierKey bits) this keyboard holds down.
    uint32_t heldModifiers() const;

private:
    explicit WlrKeyboard(zwp_virtual_keyboard_v1* keyboard) : m_keyboard(keyboard) {}

    bool uploadKeymap();
    bool sendVirtualKey(const KeyboardInput& record);
    bool sendUnicode(const KeyboardInput& record, const Input* batch, unsigned count,
                     unsigned index);
    uint32_t keyForCharacter(uint32_t keysym, const Input* batch, unsigned count, unsigned index);
    uint32_t fixedKeyTyping(uint32_t keysym) const;
    std::vector<uint32_t> upcomingSlotKeysyms(const Input* batch, unsigned count,
                                              unsigned from) const;
    void key(uint32_t code, bool down);
    uint32_t depressedModifiers() const; // WaylandKeymap bits
    void sendModifiers();

    zwp_virtual_keyboard_v1* m_keyboard;
    WaylandKeymap m_keymap;
    std::map<uint16_t, uint32_t> m_virtualKeysDown; // virtual key -> evdev code
    std::map<uint16_t, uint32_t> m_unicodeDown;     // UTF-16 code unit -> evdev code
    std::multiset<uint32_t> m_codesDown;
    UnicodeTypingState m_unicodeTyping;
    uint32_t m_lockedModifiers = 0;
};

} // namespace platform::wayland
