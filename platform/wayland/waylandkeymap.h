#pragma once
// The keymap of our virtual keyboard: the fixed keys (waylandkeys.h) plus slots,
// the spare keycodes that take the characters no fixed key types. Text is typed
// by binding its characters to slots, as many per keymap upload as fit.
// Kept to keycodes 8..255, the range X programs under Xwayland can use.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace platform::wayland {

class WaylandKeymap
{
public:
    // Bits of the keymap's real modifiers, as the modifiers request takes them.
    static constexpr uint32_t ShiftMask = 1u << 0;
    static constexpr uint32_t LockMask = 1u << 1;
    static constexpr uint32_t ControlMask = 1u << 2;
    static constexpr uint32_t AltMask = 1u << 3;     // Mod1
    static constexpr uint32_t NumLockMask = 1u << 4; // Mod2
    static constexpr uint32_t SuperMask = 1u << 6;   // Mod4

    // Keycodes are evdev codes; the keymap text adds the X offset of 8.
    static constexpr uint32_t kXkbOffset = 8;

    WaylandKeymap();

    size_t slotCount() const { return m_slots.size(); }

    // The evdev code of the slot holding `keysym`; 0 when no slot does.
    uint32_t slotFor(uint32_t keysym) const;

    // Binds every keysym of `keysyms` that no slot holds yet to a slot whose code is
    // not in `busy` (keys held down) and whose keysym is not among `keysyms`, the
    // longest-bound first. Returns how many keysyms were newly bound; stops when no
    // slot is left. The text changes whenever this returns more than 0.
    size_t bind(const std::vector<uint32_t>& keysyms, const std::set<uint32_t>& busy);

    // The keymap in the XKB text format (what the compositor and programs compile).
    std::string text() const;

private:
    struct Slot
    {
        uint32_t evdevCode = 0;
        uint32_t keysym = 0; // 0: empty
        uint64_t boundAt = 0;
    };

    std::vector<Slot> m_slots;
    uint64_t m_bindings = 0;
};

} // namespace platform::wayland
