#include "x11keymap.h"

#include <X11/keysym.h>

#include <memory>

namespace {

constexpr int modifierCount = 8;
// Levels searched for a modifier key's symbol: unshifted and shifted.
constexpr int modifierLevels = 2;

struct XFreeDeleter
{
    void operator()(void* data) const { XFree(data); }
};
struct ModifiermapDeleter
{
    void operator()(XModifierKeymap* map) const { XFreeModifiermap(map); }
};

} // namespace

X11Keymap::X11Keymap(Display* display) : m_display(display)
{
    reload();
}

void X11Keymap::reload()
{
    readKeysyms();
    readModifiers();
}

void X11Keymap::readKeysyms()
{
    XDisplayKeycodes(m_display, &m_minKeycode, &m_maxKeycode);
    const int count = m_maxKeycode - m_minKeycode + 1;
    int perKeycode = 0;
    std::unique_ptr<KeySym, XFreeDeleter> syms(
        XGetKeyboardMapping(m_display, KeyCode(m_minKeycode), count, &perKeycode));
    m_keysyms.clear();
    m_symsPerKeycode = 0;
    if (!syms || perKeycode <= 0)
        return;
    m_symsPerKeycode = perKeycode;
    m_keysyms.assign(syms.get(), syms.get() + size_t(count) * size_t(perKeycode));
}

KeySym X11Keymap::symbol(int keycode, int level) const
{
    if (keycode < m_minKeycode || keycode > m_maxKeycode || level >= m_symsPerKeycode)
        return NoSymbol;
    return m_keysyms[size_t(keycode - m_minKeycode) * size_t(m_symsPerKeycode) + size_t(level)];
}

KeyCode X11Keymap::keycodeFor(KeySym keysym) const
{
    for (int level = 0; level < m_symsPerKeycode; ++level) {
        for (int keycode = m_minKeycode; keycode <= m_maxKeycode; ++keycode) {
            if (symbol(keycode, level) == keysym)
                return KeyCode(keycode);
        }
    }
    return 0;
}

void X11Keymap::readModifiers()
{
    m_altMask = 0;
    m_superMask = 0;
    m_numLockMask = 0;
    m_scrollLockMask = 0;
    std::unique_ptr<XModifierKeymap, ModifiermapDeleter> map(XGetModifierMapping(m_display));
    if (map) {
        const int perModifier = map->max_keypermod;
        for (int modifier = 0; modifier < modifierCount; ++modifier) {
            const unsigned mask = 1u << modifier;
            for (int i = 0; i < perModifier; ++i) {
                const int keycode = map->modifiermap[modifier * perModifier + i];
                for (int level = 0; keycode && level < modifierLevels; ++level) {
                    switch (symbol(keycode, level)) {
                    case XK_Num_Lock: m_numLockMask |= mask; break;
                    case XK_Scroll_Lock: m_scrollLockMask |= mask; break;
                    case XK_Alt_L:
                    case XK_Alt_R: m_altMask |= mask; break;
                    case XK_Super_L:
                    case XK_Super_R: m_superMask |= mask; break;
                    default: break;
                    }
                }
            }
        }
    }
    // Shift, Lock and Control are fixed by the protocol; the rest may be absent.
    const unsigned fixed = ShiftMask | LockMask | ControlMask;
    m_numLockMask &= ~fixed;
    m_scrollLockMask &= ~(fixed | m_numLockMask);
    // A hotkey needs one bit per modifier: with Alt on two bits only the first counts.
    m_altMask = m_altMask ? (m_altMask & (~m_altMask + 1)) : unsigned(Mod1Mask);
    m_superMask = m_superMask ? (m_superMask & (~m_superMask + 1)) : unsigned(Mod4Mask);
}
