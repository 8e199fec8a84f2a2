#pragma once
// A snapshot of the server's keyboard and modifier mapping, read fresh from the
// server: Xlib's own cache is never refreshed while Qt owns the event queue.

#include <X11/Xlib.h>

#include <vector>

class X11Keymap
{
public:
    explicit X11Keymap(Display* display);

    // Re-reads both mappings from the server.
    void reload();

    // 0 when no key produces the keysym; keys that give it unshifted are preferred.
    KeyCode keycodeFor(KeySym keysym) const;

    unsigned altMask() const { return m_altMask; }
    unsigned superMask() const { return m_superMask; }
    // CapsLock, NumLock and ScrollLock as the modifier map assigns them (0 if unassigned).
    unsigned lockMasks() const { return LockMask | m_numLockMask | m_scrollLockMask; }

private:
    void readKeysyms();
    void readModifiers();
    KeySym symbol(int keycode, int level) const;

    Display* m_display;
    int m_minKeycode = 0;
    int m_maxKeycode = 0;
    int m_symsPerKeycode = 0;
    std::vector<KeySym> m_keysyms;
    unsigned m_altMask = Mod1Mask;
    unsigned m_superMask = Mod4Mask;
    unsigned m_numLockMask = 0;
    unsigned m_scrollLockMask = 0;
};
