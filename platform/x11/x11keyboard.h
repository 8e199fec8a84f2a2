#pragma once
#include "../unicodekeys.h"
#include "platform/input.h"
#include "x11keyboardmap.h"
#include "x11sparekeycodes.h"

#include <X11/Xlib.h>

#include <map>
#include <vector>

namespace platform::x11 {

// Types keyboard records through XTest: virtual keys through the keycode of their
// keysym, Unicode code units as their character whatever the layout. Keys it
// pressed are always released on the keycode they went down on, even when the
// mapping changed in between. The caller serialises all calls.
class X11Keyboard
{
public:
    explicit X11Keyboard(Display* display) : m_display(display), m_spares(display) {}

    // Call once per batch with keyboard records, before the first of them.
    void beginBatch();

    // Types batch[index], a keyboard record; looks ahead in the batch so that the
    // characters it needs spare keycodes for are bound together. False when the
    // record could not be typed.
    bool send(const Input* batch, unsigned count, unsigned index);

    // Releases every key still held down by earlier records.
    void releaseAll();

    // Empties idle spare keycodes; see X11SpareKeycodes::restore.
    bool restoreSpares(bool waitForDelivery) { return m_spares.restore(waitForDelivery); }
    bool hasBoundSpares() const { return m_spares.anyBound(); }

private:
    struct Pressed
    {
        KeyCode keycode = 0;
        KeyCode shift = 0; // a Shift key pressed around the key, 0 when none
        bool spare = false;
    };

    bool sendVirtualKey(const KeyboardInput& record, const Input* batch, unsigned count,
                        unsigned index);
    bool sendUnicode(const KeyboardInput& record, const Input* batch, unsigned count,
                     unsigned index);
    bool planOnMap(KeySym keysym, Pressed& plan);
    bool planOnSpare(KeySym keysym, bool virtualKey, const Input* batch, unsigned count,
                     unsigned index, Pressed& plan);
    bool keyboardState(unsigned& group, unsigned& mods);
    bool needsSpare(KeySym keysym, int maxLevel, X11SpareKeycodes::Typing typing) const;
    std::vector<KeySym> upcomingSpareKeysyms(const Input* batch, unsigned count, unsigned from,
                                             size_t limit, X11SpareKeycodes::Typing typing) const;
    void reannounceModifiers();
    void press(const Pressed& key);
    void release(const Pressed& key);

    Display* m_display;
    X11KeyboardMap m_map;
    X11SpareKeycodes m_spares;
    std::map<uint16_t, Pressed> m_virtualKeysDown; // by virtual key
    std::map<uint16_t, Pressed> m_unicodeDown;     // by UTF-16 code unit
    UnicodeTypingState m_unicodeTyping;
    bool m_mappingChanged = false; // spare keycodes were bound since the last press

    // The group and modifiers as last read from the server, so that a batch of text
    // asks once rather than per character. Our own Shift presses are counted on top;
    // a reading taken while one of them was down is read again once all are up.
    struct StateReading
    {
        bool valid = false;
        unsigned group = 0;
        unsigned mods = 0;
        int ownShifts = 0; // m_ownShifts when it was read
    };
    StateReading m_state;
    int m_ownShifts = 0; // Shift presses of ours still down
};

} // namespace platform::x11
