#pragma once
#include <X11/Xlib.h>

#include <vector>

namespace platform::x11 {

// A snapshot of the core keyboard mapping: the keysyms of every keycode.
class X11KeyboardMap
{
public:
    struct Location
    {
        KeyCode keycode = 0;
        int level = 0; // 0 plain, 1 with Shift
    };

    // Reads the current mapping from the server; false on failure.
    bool load(Display* display);

    int minKeycode() const { return m_min; }
    int maxKeycode() const { return m_max; }
    int keysymsPerKeycode() const { return m_perKeycode; }
    bool contains(int keycode) const { return keycode >= m_min && keycode <= m_max; }

    KeySym keysym(int keycode, int column) const;
    // True when the keycode has no keysym at all: free to bind for the moment.
    bool isEmpty(int keycode) const;
    std::vector<KeySym> row(int keycode) const;

    // Where the keysym sits in the first group, plain level before Shift level and
    // lower keycodes first, skipping the keycodes in `exclude`; keycode 0 when absent.
    Location find(KeySym keysym, int maxLevel, const std::vector<KeyCode>& exclude = {}) const;

private:
    int m_min = 0;
    int m_max = -1;
    int m_perKeycode = 0;
    std::vector<KeySym> m_keysyms;
};

} // namespace platform::x11
