#include "wlrkeyboard.h"

#include "../platformlog.h"
#include "../unicodekeys.h"
#include "platform/backend.h"
#include "waylandconnection.h"
#include "waylandkeys.h"
#include "wlrpointer.h"

#include "virtual-keyboard-unstable-v1-client-protocol.h"

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <algorithm>

namespace platform::wayland {
namespace {

struct ModifierCode
{
    uint32_t code;
    uint32_t mask;     // WaylandKeymap bit
    uint32_t modifier; // platform::ModifierKey bit
};

// clang-format off
constexpr ModifierCode kModifierCodes[] = {
    {KEY_LEFTSHIFT, WaylandKeymap::ShiftMask, ModifierKey::Shift},
    {KEY_RIGHTSHIFT, WaylandKeymap::ShiftMask, ModifierKey::Shift},
    {KEY_LEFTCTRL, WaylandKeymap::ControlMask, ModifierKey::Control},
    {KEY_RIGHTCTRL, WaylandKeymap::ControlMask, ModifierKey::Control},
    {KEY_LEFTALT, WaylandKeymap::AltMask, ModifierKey::Alt},
    {KEY_RIGHTALT, WaylandKeymap::AltMask, ModifierKey::Alt},
    {KEY_LEFTMETA, WaylandKeymap::SuperMask, ModifierKey::Meta},
    {KEY_RIGHTMETA, WaylandKeymap::SuperMask, ModifierKey::Meta},
};
constexpr ModifierCode kLockCodes[] = {
    {KEY_CAPSLOCK, WaylandKeymap::LockMask, 0},
    {KEY_NUMLOCK, WaylandKeymap::NumLockMask, 0},
};
// clang-format on

bool isKeyDown(const Input& in)
{
    return in.type == Input::Type::Keyboard && !(in.keyboard.flags & KeyFlag::KeyUp);
}

} // namespace

std::unique_ptr<WlrKeyboard> WlrKeyboard::create(WaylandConnection& connection)
{
    if (!connection.keyboardManager() || !connection.seat())
        return nullptr;
    zwp_virtual_keyboard_v1* keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(
        connection.keyboardManager(), connection.seat());
    std::unique_ptr<WlrKeyboard> result(new WlrKeyboard(keyboard));
    if (!result->uploadKeymap())
        return nullptr;
    // A new device loses its first event (the seat gains the keyboard capability
    // on it): an empty modifier state is that event.
    result->sendModifiers();
    return result;
}

WlrKeyboard::~WlrKeyboard()
{
    releaseAll();
    zwp_virtual_keyboard_v1_destroy(m_keyboard);
}

bool WlrKeyboard::uploadKeymap()
{
    const std::string text = m_keymap.text();
    const int fd = memfd_create("kliqora-keymap", MFD_CLOEXEC);
    if (fd < 0) {
        qCWarning(platformLog(), "Cannot create the keymap file: %s", strerror(errno));
        return false;
    }
    // With its terminating zero: compositors read it as a C string.
    const size_t size = text.size() + 1;
    const bool written = write(fd, text.c_str(), size) == ssize_t(size);
    if (written)
        zwp_virtual_keyboard_v1_keymap(m_keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                       uint32_t(size));
    close(fd); // the request carries a duplicate
    return written;
}

bool WlrKeyboard::send(const Input* batch, unsigned count, unsigned index)
{
    const KeyboardInput& record = batch[index].keyboard;
    if (record.flags & KeyFlag::Unicode)
        return sendUnicode(record, batch, count, index);
    return sendVirtualKey(record);
}

bool WlrKeyboard::sendVirtualKey(const KeyboardInput& record)
{
    if (record.flags & KeyFlag::KeyUp) {
        const auto it = m_virtualKeysDown.find(record.vk);
        if (it != m_virtualKeysDown.end()) {
            key(it->second, false);
            m_virtualKeysDown.erase(it);
        }
        // A key this keyboard never pressed is not down on it: nothing to release.
        return true;
    }
    const auto held = m_virtualKeysDown.find(record.vk);
    if (held != m_virtualKeysDown.end()) {
        key(held->second, true); // pressed again while down: a repeat
        return true;
    }
    const KeyDefinition* definition = keyForVk(record.vk);
    if (!definition)
        return true; // a code without a key (such as 0) types nothing, as on Windows
    key(definition->evdevCode, true);
    m_virtualKeysDown[record.vk] = definition->evdevCode;
    return true;
}

bool WlrKeyboard::sendUnicode(const KeyboardInput& record, const Input* batch, unsigned count,
                              unsigned index)
{
    const uint16_t unit = record.scan;
    const auto held = m_unicodeDown.find(unit);
    if (held != m_unicodeDown.end()) {
        // A key-up, or a second key-down without one: the earlier press ends here.
        key(held->second, false);
        m_unicodeDown.erase(held);
    }
    if (record.flags & KeyFlag::KeyUp)
        return true;
    const char32_t codepoint = joinCodeUnit(unit, m_unicodeTyping);
    const uint32_t keysym = codepoint ? uint32_t(unicodeToKeysym(codepoint)) : 0;
    if (!keysym)
        return true; // half a pair so far, or a character nothing can type
    const uint32_t code = keyForCharacter(keysym, batch, count, index);
    if (!code)
        return false;
    key(code, true);
    m_unicodeDown[unit] = code;
    return true;
}

// The fixed key that types `keysym` as it stands, with the modifiers held now;
// 0 when none does.
uint32_t WlrKeyboard::fixedKeyTyping(uint32_t keysym) const
{
    const uint32_t shifting = WaylandKeymap::ShiftMask | WaylandKeymap::LockMask;
    if ((depressedModifiers() | m_lockedModifiers) & shifting)
        return 0; // its plain level would come out shifted
    for (const KeyDefinition& definition : fixedKeys()) {
        if (definition.keysym == keysym)
            return definition.evdevCode;
    }
    return 0;
}

uint32_t WlrKeyboard::keyForCharacter(uint32_t keysym, const Input* batch, unsigned count,
                                      unsigned index)
{
    if (const uint32_t fixed = fixedKeyTyping(keysym))
        return fixed;
    if (const uint32_t slot = m_keymap.slotFor(keysym))
        return slot;
    std::vector<uint32_t> keysyms{keysym};
    for (uint32_t next : upcomingSlotKeysyms(batch, count, index + 1)) {
        if (std::find(keysyms.begin(), keysyms.end(), next) == keysyms.end())
            keysyms.push_back(next);
    }
    const std::set<uint32_t> busy(m_codesDown.begin(), m_codesDown.end());
    if (m_keymap.bind(keysyms, busy) > 0 && !uploadKeymap())
        return 0;
    return m_keymap.slotFor(keysym);
}

std::vector<uint32_t> WlrKeyboard::upcomingSlotKeysyms(const Input* batch, unsigned count,
                                                       unsigned from) const
{
    std::vector<uint32_t> result;
    UnicodeTypingState typing = m_unicodeTyping;
    for (unsigned i = from; i < count && result.size() < m_keymap.slotCount(); ++i) {
        if (!isKeyDown(batch[i]) || !(batch[i].keyboard.flags & KeyFlag::Unicode))
            continue;
        const char32_t codepoint = joinCodeUnit(batch[i].keyboard.scan, typing);
        const uint32_t keysym = codepoint ? uint32_t(unicodeToKeysym(codepoint)) : 0;
        if (keysym && !fixedKeyTyping(keysym) && !m_keymap.slotFor(keysym))
            result.push_back(keysym);
    }
    return result;
}

void WlrKeyboard::key(uint32_t code, bool down)
{
    zwp_virtual_keyboard_v1_key(m_keyboard, eventTime(), code,
                                down ? WL_KEYBOARD_KEY_STATE_PRESSED
                                     : WL_KEYBOARD_KEY_STATE_RELEASED);
    if (down) {
        m_codesDown.insert(code);
    } else {
        const auto it = m_codesDown.find(code);
        if (it == m_codesDown.end())
            return;
        m_codesDown.erase(it);
    }
    bool changesModifiers = false;
    for (const ModifierCode& lock : kLockCodes) {
        if (lock.code == code && down) {
            m_lockedModifiers ^= lock.mask;
            changesModifiers = true;
        }
    }
    for (const ModifierCode& modifier : kModifierCodes)
        changesModifiers |= modifier.code == code;
    if (changesModifiers)
        sendModifiers();
}

uint32_t WlrKeyboard::depressedModifiers() const
{
    uint32_t depressed = 0;
    for (const ModifierCode& modifier : kModifierCodes) {
        if (m_codesDown.count(modifier.code))
            depressed |= modifier.mask;
    }
    return depressed;
}

void WlrKeyboard::sendModifiers()
{
    zwp_virtual_keyboard_v1_modifiers(m_keyboard, depressedModifiers(), 0, m_lockedModifiers, 0);
}

uint32_t WlrKeyboard::heldModifiers() const
{
    uint32_t held = 0;
    for (const ModifierCode& modifier : kModifierCodes) {
        if (m_codesDown.count(modifier.code))
            held |= modifier.modifier;
    }
    return held;
}

void WlrKeyboard::releaseAll()
{
    while (!m_codesDown.empty())
        key(*m_codesDown.rbegin(), false);
    m_virtualKeysDown.clear();
    m_unicodeDown.clear();
    m_unicodeTyping = {};
}

} // namespace platform::wayland
