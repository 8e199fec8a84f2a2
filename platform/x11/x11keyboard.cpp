#include "x11keyboard.h"

#include "x11keysyms.h"

#include "../unicodekeys.h"

#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>

namespace platform::x11 {
namespace {

constexpr int kPlainLevel = 0;
constexpr int kShiftLevel = 1;
// Enough look-ahead to fill every spare keycode of a usual server.
constexpr size_t kDefaultLookAhead = 32;

bool isKeyDown(const Input& in)
{
    return in.type == Input::Type::Keyboard && !(in.keyboard.flags & KeyFlag::KeyUp);
}

} // namespace

void X11Keyboard::beginBatch()
{
    // Our connection receives MappingNotify like every client; nobody reads them.
    while (XPending(m_display)) {
        XEvent event;
        XNextEvent(m_display, &event);
    }
    m_map.load(m_display);
    m_state.valid = false; // the user may have pressed or locked a modifier meanwhile
}

bool X11Keyboard::keyboardState(unsigned& group, unsigned& mods)
{
    if (!m_state.valid || (m_state.ownShifts > 0 && m_ownShifts == 0)) {
        XkbStateRec state{};
        if (XkbGetState(m_display, XkbUseCoreKbd, &state) != Success)
            return false;
        m_state = {true, state.group, state.mods, m_ownShifts};
    }
    group = m_state.group;
    mods = m_state.mods | (m_ownShifts > 0 ? ShiftMask : 0);
    return true;
}

bool X11Keyboard::send(const Input* batch, unsigned count, unsigned index)
{
    const KeyboardInput& record = batch[index].keyboard;
    if (record.flags & KeyFlag::Unicode)
        return sendUnicode(record, batch, count, index);
    return sendVirtualKey(record, batch, count, index);
}

bool X11Keyboard::sendVirtualKey(const KeyboardInput& record, const Input* batch, unsigned count,
                                 unsigned index)
{
    m_state.valid = false; // it may be a modifier
    const KeySym keysym = vkToKeysym(record.vk);
    if (record.flags & KeyFlag::KeyUp) {
        const auto it = m_virtualKeysDown.find(record.vk);
        if (it != m_virtualKeysDown.end()) {
            release(it->second);
            m_virtualKeysDown.erase(it);
            return true;
        }
        // Not pressed by us: release the key in case it is held otherwise.
        const X11KeyboardMap::Location at = m_map.find(keysym, kPlainLevel, m_spares.keycodes());
        if (at.keycode)
            XTestFakeKeyEvent(m_display, at.keycode, False, CurrentTime);
        return true;
    }

    const auto held = m_virtualKeysDown.find(record.vk);
    if (held != m_virtualKeysDown.end()) {
        // Pressed again while down: a repeat of the same keycode.
        XTestFakeKeyEvent(m_display, held->second.keycode, True, CurrentTime);
        return true;
    }
    if (keysym == NoSymbol)
        return true; // a code without a key (such as 0) types nothing, as on Windows

    Pressed key;
    // A virtual key means the key itself, so only the plain level counts (the
    // keypad digits sit on the NumLock level and go through a spare keycode).
    const X11KeyboardMap::Location at = m_map.find(keysym, kPlainLevel, m_spares.keycodes());
    if (at.keycode)
        key.keycode = at.keycode;
    else if (!planOnSpare(keysym, true, batch, count, index, key))
        return false;
    press(key);
    m_virtualKeysDown[record.vk] = key;
    return true;
}

bool X11Keyboard::sendUnicode(const KeyboardInput& record, const Input* batch, unsigned count,
                              unsigned index)
{
    const uint16_t unit = record.scan;
    const auto held = m_unicodeDown.find(unit);
    if (held != m_unicodeDown.end()) {
        // A key-up, or a second key-down without one: the earlier press ends here.
        release(held->second);
        m_unicodeDown.erase(held);
    }
    if (record.flags & KeyFlag::KeyUp)
        return true;

    const char32_t codepoint = joinCodeUnit(unit, m_unicodeTyping);
    const KeySym keysym = codepoint ? unicodeToKeysym(codepoint) : NoSymbol;
    if (keysym == NoSymbol)
        return true; // half a pair so far, or a character nothing can type

    Pressed key;
    if (!planOnMap(keysym, key) && !planOnSpare(keysym, false, batch, count, index, key))
        return false;
    press(key);
    m_unicodeDown[unit] = key;
    return true;
}

// A character on the keyboard map goes through its own key, with Shift added
// when its level needs it and the current modifiers do not already give it.
bool X11Keyboard::planOnMap(KeySym keysym, Pressed& plan)
{
    unsigned group = 0;
    unsigned mods = 0;
    if (!keyboardState(group, mods) || group != 0)
        return false; // another group is active: the first group's levels do not apply
    const X11KeyboardMap::Location at = m_map.find(keysym, kShiftLevel, m_spares.keycodes());
    if (!at.keycode)
        return false;
    KeySym lower = NoSymbol;
    KeySym upper = NoSymbol;
    XConvertCase(keysym, &lower, &upper);
    const bool capsInverts = (mods & LockMask) && lower != upper;
    const bool wantShift = (at.level == kShiftLevel) != capsInverts;
    const bool haveShift = mods & ShiftMask;
    if (wantShift == haveShift) {
        plan.keycode = at.keycode;
        return true;
    }
    if (!wantShift)
        return false; // Shift is held: a spare keycode types the character unshifted
    const X11KeyboardMap::Location shift = m_map.find(XK_Shift_L, kPlainLevel);
    if (!shift.keycode)
        return false;
    plan.keycode = at.keycode;
    plan.shift = shift.keycode;
    return true;
}

bool X11Keyboard::needsSpare(KeySym keysym, int maxLevel, X11SpareKeycodes::Typing typing) const
{
    return keysym != NoSymbol && m_spares.find(keysym, typing).keycode == 0 &&
           m_map.find(keysym, maxLevel, m_spares.keycodes()).keycode == 0;
}

std::vector<KeySym> X11Keyboard::upcomingSpareKeysyms(const Input* batch, unsigned count,
                                                      unsigned from, size_t limit,
                                                      X11SpareKeycodes::Typing typing) const
{
    std::vector<KeySym> result;
    UnicodeTypingState units = m_unicodeTyping;
    for (unsigned i = from; i < count && result.size() < limit; ++i) {
        if (!isKeyDown(batch[i]))
            continue;
        const KeyboardInput& record = batch[i].keyboard;
        KeySym keysym = NoSymbol;
        int maxLevel = kPlainLevel;
        if (record.flags & KeyFlag::Unicode) {
            const char32_t codepoint = joinCodeUnit(record.scan, units);
            keysym = codepoint ? unicodeToKeysym(codepoint) : NoSymbol;
            maxLevel = kShiftLevel;
        } else {
            keysym = vkToKeysym(record.vk);
        }
        if (needsSpare(keysym, maxLevel, typing) &&
            std::find(result.begin(), result.end(), keysym) == result.end())
            result.push_back(keysym);
    }
    return result;
}

// A key the map lacks goes through a spare keycode; a character bound on a Shift
// level gets our Shift press around it unless Shift is down already. A virtual key
// means the key itself: it never gets a Shift of ours.
bool X11Keyboard::planOnSpare(KeySym keysym, bool virtualKey, const Input* batch, unsigned count,
                              unsigned index, Pressed& plan)
{
    unsigned group = 0;
    unsigned mods = 0;
    const KeyCode shift = m_map.find(XK_Shift_L, kPlainLevel).keycode;
    X11SpareKeycodes::Typing typing;
    // Without a reading, assume Shift is down: the keysym then gets a keycode alone.
    typing.shiftDown = !keyboardState(group, mods) || (mods & ShiftMask);
    typing.capsLock = mods & LockMask;
    typing.mayAddShift = !virtualKey && shift != 0;

    X11SpareKeycodes::Binding at = m_spares.find(keysym, typing);
    if (!at.keycode) {
        const size_t limit =
            m_spares.capacity() > 0 ? static_cast<size_t>(m_spares.capacity()) : kDefaultLookAhead;
        std::vector<KeySym> keysyms{keysym};
        for (KeySym next : upcomingSpareKeysyms(batch, count, index + 1, limit - 1, typing)) {
            if (next != keysym)
                keysyms.push_back(next);
        }
        at = m_spares.bind(keysyms, typing);
        m_mappingChanged |= at.keycode != 0;
    }
    if (!at.keycode)
        return false;
    plan.keycode = at.keycode;
    plan.shift = at.addShift ? shift : 0;
    plan.spare = true;
    return true;
}

// The server hands a changed mapping to clients when the next key goes down, and
// Qt clients then rebuild their keyboard state and forget the modifiers held at
// that moment until the state next changes: a Shift held across a newly bound key
// would be lost for the keys after it. A lock and unlock of an unused modifier is
// such a change, with nothing typed.
void X11Keyboard::reannounceModifiers()
{
    constexpr unsigned kUnusedModifier = Mod3Mask; // on no key of the usual layouts
    XkbStateRec state{};
    if (XkbGetState(m_display, XkbUseCoreKbd, &state) != Success)
        return;
    if (state.mods == 0 || (state.locked_mods & kUnusedModifier))
        return;
    XkbLockModifiers(m_display, XkbUseCoreKbd, kUnusedModifier, kUnusedModifier);
    XkbLockModifiers(m_display, XkbUseCoreKbd, kUnusedModifier, 0);
}

void X11Keyboard::press(const Pressed& key)
{
    if (key.shift) {
        XTestFakeKeyEvent(m_display, key.shift, True, CurrentTime);
        ++m_ownShifts;
    }
    XTestFakeKeyEvent(m_display, key.keycode, True, CurrentTime);
    if (key.spare)
        m_spares.pressed(key.keycode);
    if (m_mappingChanged) {
        m_mappingChanged = false;
        reannounceModifiers();
    }
}

void X11Keyboard::release(const Pressed& key)
{
    XTestFakeKeyEvent(m_display, key.keycode, False, CurrentTime);
    if (key.shift) {
        XTestFakeKeyEvent(m_display, key.shift, False, CurrentTime);
        m_ownShifts = std::max(0, m_ownShifts - 1);
    }
    if (key.spare)
        m_spares.released(key.keycode);
}

void X11Keyboard::releaseAll()
{
    for (const auto& entry : m_virtualKeysDown)
        release(entry.second);
    for (const auto& entry : m_unicodeDown)
        release(entry.second);
    m_virtualKeysDown.clear();
    m_unicodeDown.clear();
    m_unicodeTyping = {};
}

} // namespace platform::x11
