#include "x11sparekeycodes.h"

#include "x11keyboardmap.h"

#include <algorithm>
#include <thread>

namespace platform::x11 {

KeyCode X11SpareKeycodes::keycodeOf(KeySym keysym) const
{
    if (keysym == NoSymbol)
        return 0;
    for (const Slot& slot : m_slots) {
        if (slot.keysym == keysym)
            return slot.keycode;
    }
    return 0;
}

std::vector<KeyCode> X11SpareKeycodes::keycodes() const
{
    std::vector<KeyCode> result;
    for (const Slot& slot : m_slots)
        result.push_back(slot.keycode);
    return result;
}

bool X11SpareKeycodes::anyBound() const
{
    return std::any_of(m_slots.begin(), m_slots.end(),
                       [](const Slot& slot) { return slot.keysym != NoSymbol; });
}

X11SpareKeycodes::Slot* X11SpareKeycodes::slotOf(KeyCode keycode)
{
    for (Slot& slot : m_slots) {
        if (slot.keycode == keycode)
            return &slot;
    }
    return nullptr;
}

// Another client may have changed the mapping since we last looked (a layout
// switch): keep only the slots that are still empty or still carry our binding,
// and take in keycodes that became empty.
bool X11SpareKeycodes::refreshSlots()
{
    X11KeyboardMap map;
    if (!map.load(m_display))
        return false;
    m_perKeycode = map.keysymsPerKeycode();
    std::vector<Slot> slots;
    for (const Slot& slot : m_slots) {
        // The server rewrites a binding in its own terms (the keysym repeated for
        // the second group, a letter's upper case added), so only the first
        // column tells whether the binding is still ours.
        const bool stillOurs = slot.keysym == NoSymbol ? map.isEmpty(slot.keycode)
                                                       : map.keysym(slot.keycode, 0) == slot.keysym;
        if (stillOurs || slot.holds > 0)
            slots.push_back(slot);
    }
    for (int keycode = map.minKeycode(); keycode <= map.maxKeycode(); ++keycode) {
        const bool known = std::any_of(slots.begin(), slots.end(),
                                       [keycode](const Slot& s) { return s.keycode == keycode; });
        if (!known && map.isEmpty(keycode))
            slots.push_back({static_cast<KeyCode>(keycode), NoSymbol, 0, {}});
    }
    std::sort(slots.begin(), slots.end(),
              [](const Slot& a, const Slot& b) { return a.keycode < b.keycode; });
    m_slots = std::move(slots);
    return true;
}

bool X11SpareKeycodes::reusable(const Slot& slot, Clock::time_point now) const
{
    return slot.holds == 0 && now - slot.lastUse >= kDeliveryTime;
}

X11SpareKeycodes::Slot* X11SpareKeycodes::pickSlot(const std::vector<Slot*>& taken,
                                                   Clock::time_point now)
{
    Slot* best = nullptr;
    for (Slot& slot : m_slots) {
        if (!reusable(slot, now) || std::find(taken.begin(), taken.end(), &slot) != taken.end())
            continue;
        if (slot.keysym == NoSymbol)
            return &slot; // an empty keycode costs nothing
        if (!best || slot.lastUse < best->lastUse)
            best = &slot;
    }
    return best;
}

X11SpareKeycodes::Clock::time_point X11SpareKeycodes::nextReusableTime() const
{
    Clock::time_point earliest = Clock::time_point::max();
    for (const Slot& slot : m_slots) {
        if (slot.holds == 0)
            earliest = std::min(earliest, slot.lastUse + kDeliveryTime);
    }
    return earliest;
}

void X11SpareKeycodes::writeSlots(const std::vector<Slot*>& slots)
{
    std::vector<Slot*> sorted = slots;
    std::sort(sorted.begin(), sorted.end(),
              [](Slot* a, Slot* b) { return a->keycode < b->keycode; });
    // One request per run of neighbouring keycodes: keycodes in between belong to
    // real keys and are never rewritten.
    size_t begin = 0;
    while (begin < sorted.size()) {
        size_t end = begin + 1;
        while (end < sorted.size() && sorted[end]->keycode == sorted[end - 1]->keycode + 1)
            ++end;
        std::vector<KeySym> keysyms(static_cast<size_t>(m_perKeycode) * (end - begin), NoSymbol);
        // The keysym on the plain and the Shift level: a lone letter would get its
        // upper case added, and a held Shift must not change what the key types.
        const size_t levels = std::min<size_t>(2, static_cast<size_t>(m_perKeycode));
        for (size_t i = begin; i < end; ++i) {
            for (size_t level = 0; level < levels; ++level)
                keysyms[(i - begin) * static_cast<size_t>(m_perKeycode) + level] =
                    sorted[i]->keysym;
        }
        XChangeKeyboardMapping(m_display, sorted[begin]->keycode, m_perKeycode, keysyms.data(),
                               static_cast<int>(end - begin));
        begin = end;
    }
}

KeyCode X11SpareKeycodes::bind(const std::vector<KeySym>& keysyms)
{
    if (keysyms.empty() || !refreshSlots())
        return 0;
    if (KeyCode keycode = keycodeOf(keysyms.front()))
        return keycode;

    std::vector<Slot*> chosen;
    for (size_t i = 0; i < keysyms.size(); ++i) {
        const KeySym keysym = keysyms[i];
        if (keysym == NoSymbol || keycodeOf(keysym) != 0)
            continue;
        Slot* slot = pickSlot(chosen, Clock::now());
        if (!slot && i == 0) {
            // Every keycode was used a moment ago: wait for the oldest use to arrive.
            const Clock::time_point next = nextReusableTime();
            if (next == Clock::time_point::max())
                return 0; // all held down
            std::this_thread::sleep_until(next);
            slot = pickSlot(chosen, Clock::now());
        }
        if (!slot)
            break;
        slot->keysym = keysym;
        chosen.push_back(slot);
    }
    if (chosen.empty())
        return 0;
    writeSlots(chosen);
    XSync(m_display, False);
    const Clock::time_point now = Clock::now();
    for (Slot* slot : chosen)
        slot->lastUse = now;
    return keycodeOf(keysyms.front());
}

void X11SpareKeycodes::pressed(KeyCode keycode)
{
    if (Slot* slot = slotOf(keycode)) {
        ++slot->holds;
        slot->lastUse = Clock::now();
    }
}

void X11SpareKeycodes::released(KeyCode keycode)
{
    if (Slot* slot = slotOf(keycode)) {
        slot->holds = std::max(0, slot->holds - 1);
        slot->lastUse = Clock::now();
    }
}

bool X11SpareKeycodes::restore(bool waitForDelivery)
{
    if (!anyBound())
        return true;
    if (!refreshSlots())
        return false;
    if (waitForDelivery) {
        Clock::time_point latest{};
        for (const Slot& slot : m_slots) {
            if (slot.keysym != NoSymbol && slot.holds == 0)
                latest = std::max(latest, slot.lastUse);
        }
        std::this_thread::sleep_until(latest + kDeliveryTime);
    }
    const Clock::time_point now = Clock::now();
    std::vector<Slot*> idle;
    for (Slot& slot : m_slots) {
        if (slot.keysym != NoSymbol && reusable(slot, now)) {
            slot.keysym = NoSymbol;
            idle.push_back(&slot);
        }
    }
    if (!idle.empty()) {
        writeSlots(idle);
        XSync(m_display, False);
    }
    return !anyBound();
}

} // namespace platform::x11
