#pragma once
#include <X11/Xlib.h>

#include <chrono>
#include <vector>

namespace platform::x11 {

// Keycodes that have no keysym in the keyboard map, bound for the moment to
// keysyms the map lacks (characters of other scripts, keys the layout has no
// place for) and emptied again once idle.
//
// A client reads a key event with the mapping it knows when it handles the event.
// A new binding needs no wait before its first press: the server sends the change
// to every client ahead of the key events that follow it, and a client takes in the
// mapping when it handles that notice (measured with Xlib and Qt clients: no wait
// types as exactly as 20 ms did). A keycode is rebound or emptied only after its
// last press or release had time to be read: a client that takes in the later
// change before it reads the older key would read that key with the new binding.
// The caller serialises all calls.
class X11SpareKeycodes
{
public:
    using Clock = std::chrono::steady_clock;

    // Between the last press or release of a keycode and its rebinding.
    static constexpr std::chrono::milliseconds kDeliveryTime{200};

    explicit X11SpareKeycodes(Display* display) : m_display(display) {}

    // The keycode currently bound to `keysym`, 0 when none.
    KeyCode keycodeOf(KeySym keysym) const;

    // The keycodes in use or usable for binding; the keyboard map must not be
    // searched there for keys of its own.
    std::vector<KeyCode> keycodes() const;

    // Binds `keysyms` (the first one is needed now, the others soon) in one mapping
    // change, done when the server has applied it. Returns the keycode of the first
    // keysym, 0 when no keycode could be freed for it.
    KeyCode bind(const std::vector<KeySym>& keysyms);

    // Press and release accounting: a held keycode is never rebound or emptied.
    void pressed(KeyCode keycode);
    void released(KeyCode keycode);

    // Empties the bound keycodes that are neither held nor recently used (all of
    // them when `waitForDelivery` is true: it waits as needed, except for held ones).
    // Returns true when none stays bound.
    bool restore(bool waitForDelivery);

    bool anyBound() const;
    int slotCount() const { return static_cast<int>(m_slots.size()); }

private:
    struct Slot
    {
        KeyCode keycode = 0;
        KeySym keysym = NoSymbol; // NoSymbol: empty, as found
        int holds = 0;
        Clock::time_point lastUse{};
    };

    bool refreshSlots();
    bool reusable(const Slot& slot, Clock::time_point now) const;
    Slot* pickSlot(const std::vector<Slot*>& taken, Clock::time_point now);
    Clock::time_point nextReusableTime() const;
    void writeSlots(const std::vector<Slot*>& slots);
    Slot* slotOf(KeyCode keycode);

    Display* m_display;
    std::vector<Slot> m_slots;
    int m_perKeycode = 1;
};

} // namespace platform::x11
