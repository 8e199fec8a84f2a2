#pragma once
#include <X11/Xlib.h>

#include <chrono>
#include <vector>

namespace platform::x11 {

// Keycodes that have no keysym in the keyboard map, bound for the moment to
// keysyms the map lacks (characters of other scripts, keys the layout has no
// place for) and emptied again once idle.
//
// A keycode carries one keysym on both its plain and its Shift level (alone), or
// two characters, one per level (shared), which doubles what the spare keycodes
// hold at once. Only pairs the server gives a plain two-level key type share a
// keycode: Caps Lock and NumLock then leave the level alone. While Caps Lock is
// on, a lower-case letter goes with its upper case, typed with Shift.
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

    // The modifiers the key press meets.
    struct Typing
    {
        // Shift is down: the plain level of a shared keycode would type its partner.
        bool shiftDown = false;
        bool capsLock = false;
        // The Shift level may be reached with a Shift press of ours (not for a
        // virtual key, whose receiver would see the Shift).
        bool mayAddShift = true;
    };

    struct Binding
    {
        KeyCode keycode = 0;   // 0: none
        bool addShift = false; // typed with a Shift press of ours around it
    };

    explicit X11SpareKeycodes(Display* display) : m_display(display) {}

    // Where `keysym` is bound so that it can be typed as `typing` allows.
    Binding find(KeySym keysym, Typing typing) const;

    // The keycodes in use or usable for binding; the keyboard map must not be
    // searched there for keys of its own.
    std::vector<KeyCode> keycodes() const;

    // Binds `keysyms` (the first one is needed now, the others soon) in one mapping
    // change, done when the server has applied it; they share keycodes unless Shift
    // is down. Returns where the first keysym can be typed, keycode 0 when no
    // keycode could be freed for it.
    Binding bind(const std::vector<KeySym>& keysyms, Typing typing);

    // Press and release accounting: a held keycode is never rebound or emptied.
    void pressed(KeyCode keycode);
    void released(KeyCode keycode);

    // Empties the bound keycodes that are neither held nor recently used (all of
    // them when `waitForDelivery` is true: it waits as needed, except for held ones).
    // Returns true when none stays bound.
    bool restore(bool waitForDelivery);

    bool anyBound() const;
    // How many keysyms the spare keycodes hold at most at once.
    int capacity() const { return 2 * static_cast<int>(m_slots.size()); }

private:
    struct Slot
    {
        KeyCode keycode = 0;
        KeySym plain = NoSymbol;   // NoSymbol: empty, as found
        KeySym shifted = NoSymbol; // the same as `plain` when the keysym is alone
        int holds = 0;
        Clock::time_point lastUse{};

        bool empty() const { return plain == NoSymbol; }
    };

    enum class Reach
    {
        Cannot,
        AsIs,      // with the modifiers as they are
        WithShift, // with a Shift press of ours
    };
    static Reach reach(const Slot& slot, KeySym keysym, Typing typing);
    static void fill(Slot& slot, std::vector<KeySym>& pending, Typing typing, bool share);

    bool refreshSlots();
    bool reusable(const Slot& slot, Clock::time_point now) const;
    Slot* pickSlot(const std::vector<Slot*>& taken, Clock::time_point now);
    Slot* pickSlotOrWait(const std::vector<Slot*>& taken);
    Clock::time_point nextReusableTime() const;
    void writeSlots(const std::vector<Slot*>& slots);
    Slot* slotOf(KeyCode keycode);

    Display* m_display;
    std::vector<Slot> m_slots;
    int m_perKeycode = 1;
};

} // namespace platform::x11
