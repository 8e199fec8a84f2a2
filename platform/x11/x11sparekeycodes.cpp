#include "x11sparekeycodes.h"

#include "x11keyboardmap.h"
#include "x11keylevels.h"

#include <algorithm>
#include <thread>

namespace platform::x11 {

X11SpareKeycodes::Reach X11SpareKeycodes::reach(const Slot& slot, KeySym keysym, Typing typing)
{
    if (slot.empty())
        return Reach::Cannot;
    if (keysymRead(slot.plain, slot.shifted, typing.shiftDown, typing.capsLock) == keysym)
        return Reach::AsIs;
    if (!typing.shiftDown && typing.mayAddShift &&
        keysymRead(slot.plain, slot.shifted, true, typing.capsLock) == keysym)
        return Reach::WithShift;
    return Reach::Cannot;
}

X11SpareKeycodes::Binding X11SpareKeycodes::find(KeySym keysym, Typing typing) const
{
    if (keysym == NoSymbol)
        return {};
    // A keycode that needs no Shift press first.
    for (Reach wanted : {Reach::AsIs, Reach::WithShift}) {
        for (const Slot& slot : m_slots) {
            if (reach(slot, keysym, typing) == wanted)
                return {slot.keycode, wanted == Reach::WithShift};
        }
    }
    return {};
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
                       [](const Slot& slot) { return !slot.empty(); });
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
        // The server rewrites a binding in its own terms (the levels repeated for
        // the second group), so only the first two columns tell whether the
        // binding is still ours.
        const bool stillOurs =
            slot.empty() ? map.isEmpty(slot.keycode)
                         : map.keysym(slot.keycode, 0) == slot.plain &&
                               (m_perKeycode < 2 || map.keysym(slot.keycode, 1) == slot.shifted);
        if (stillOurs || slot.holds > 0)
            slots.push_back(slot);
    }
    for (int keycode = map.minKeycode(); keycode <= map.maxKeycode(); ++keycode) {
        const bool known = std::any_of(slots.begin(), slots.end(),
                                       [keycode](const Slot& s) { return s.keycode == keycode; });
        if (!known && map.isEmpty(keycode))
            slots.push_back({static_cast<KeyCode>(keycode), NoSymbol, NoSymbol, 0, {}});
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
        if (slot.empty())
            return &slot; // an empty keycode costs nothing
        if (!best || slot.lastUse < best->lastUse)
            best = &slot;
    }
    return best;
}

// A slot for the keysym needed now: when every keycode was used a moment ago, after
// waiting for the oldest use to arrive. Null when all are held down.
X11SpareKeycodes::Slot* X11SpareKeycodes::pickSlotOrWait(const std::vector<Slot*>& taken)
{
    if (Slot* slot = pickSlot(taken, Clock::now()))
        return slot;
    const Clock::time_point next = nextReusableTime();
    if (next == Clock::time_point::max())
        return nullptr;
    std::this_thread::sleep_until(next);
    return pickSlot(taken, Clock::now());
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
        // A keysym alone goes on both levels: a lone letter would get its upper
        // case added, and a held Shift must not change what the key types.
        for (size_t i = begin; i < end; ++i) {
            const size_t row = (i - begin) * static_cast<size_t>(m_perKeycode);
            keysyms[row] = sorted[i]->plain;
            if (m_perKeycode >= 2)
                keysyms[row + 1] = sorted[i]->shifted;
        }
        XChangeKeyboardMapping(m_display, sorted[begin]->keycode, m_perKeycode, keysyms.data(),
                               static_cast<int>(end - begin));
        begin = end;
    }
}

// Binds the first pending keysym to `slot`, with a partner on the Shift level where
// one fits, and takes it and every keysym the slot then types off the pending ones.
void X11SpareKeycodes::fill(Slot& slot, std::vector<KeySym>& pending, Typing typing, bool share)
{
    const KeySym first = pending.front();
    pending.erase(pending.begin());
    slot.plain = slot.shifted = first;
    const KeySym upper = alphabeticPartner(first);
    if (typing.capsLock && upper != NoSymbol && (typing.shiftDown || typing.mayAddShift)) {
        // On a two-level key Caps Lock would read the letter in upper case; with its
        // upper case the key is alphabetic, and Shift turns it back to lower case.
        slot.shifted = upper;
    } else if (share) {
        const auto partner = std::find_if(pending.begin(), pending.end(), [&](KeySym next) {
            return canShareKeycode(first, next) &&
                   keysymRead(first, next, false, typing.capsLock) == first &&
                   keysymRead(first, next, true, typing.capsLock) == next;
        });
        if (partner != pending.end())
            slot.shifted = *partner;
    }
    pending.erase(
        std::remove_if(pending.begin(), pending.end(),
                       [&](KeySym keysym) { return reach(slot, keysym, typing) != Reach::Cannot; }),
        pending.end());
}

X11SpareKeycodes::Binding X11SpareKeycodes::bind(const std::vector<KeySym>& keysyms, Typing typing)
{
    if (keysyms.empty() || !refreshSlots())
        return {};
    const Binding existing = find(keysyms.front(), typing);
    if (existing.keycode)
        return existing;
    // Keysyms bound while Shift is down are likely typed with it, and a shared
    // plain level would then type its partner: each gets a keycode alone.
    const bool share = !typing.shiftDown && m_perKeycode >= 2;

    std::vector<KeySym> pending;
    for (KeySym keysym : keysyms) {
        if (keysym != NoSymbol && !find(keysym, typing).keycode &&
            std::find(pending.begin(), pending.end(), keysym) == pending.end())
            pending.push_back(keysym);
    }
    std::vector<Slot*> chosen;
    while (!pending.empty()) {
        Slot* slot = chosen.empty() ? pickSlotOrWait(chosen) : pickSlot(chosen, Clock::now());
        if (!slot)
            break;
        fill(*slot, pending, typing, share);
        chosen.push_back(slot);
    }
    if (chosen.empty())
        return {};
    writeSlots(chosen);
    XSync(m_display, False);
    const Clock::time_point now = Clock::now();
    for (Slot* slot : chosen)
        slot->lastUse = now;
    return find(keysyms.front(), typing);
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
            if (!slot.empty() && slot.holds == 0)
                latest = std::max(latest, slot.lastUse);
        }
        std::this_thread::sleep_until(latest + kDeliveryTime);
    }
    const Clock::time_point now = Clock::now();
    std::vector<Slot*> idle;
    for (Slot& slot : m_slots) {
        if (!slot.empty() && reusable(slot, now)) {
            slot.plain = slot.shifted = NoSymbol;
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
