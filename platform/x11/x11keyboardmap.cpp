#include "x11keyboardmap.h"

#include <algorithm>
#include <memory>

namespace platform::x11 {

bool X11KeyboardMap::load(Display* display)
{
    int min = 0;
    int max = 0;
    XDisplayKeycodes(display, &min, &max);
    int perKeycode = 0;
    std::unique_ptr<KeySym, int (*)(void*)> keysyms(
        XGetKeyboardMapping(display, static_cast<KeyCode>(min), max - min + 1, &perKeycode), XFree);
    if (!keysyms || perKeycode <= 0)
        return false;
    m_min = min;
    m_max = max;
    m_perKeycode = perKeycode;
    m_keysyms.assign(keysyms.get(), keysyms.get() + (max - min + 1) * perKeycode);
    return true;
}

KeySym X11KeyboardMap::keysym(int keycode, int column) const
{
    if (!contains(keycode) || column < 0 || column >= m_perKeycode)
        return NoSymbol;
    return m_keysyms[static_cast<size_t>((keycode - m_min) * m_perKeycode + column)];
}

bool X11KeyboardMap::isEmpty(int keycode) const
{
    if (!contains(keycode))
        return false;
    for (int column = 0; column < m_perKeycode; ++column) {
        if (keysym(keycode, column) != NoSymbol)
            return false;
    }
    return true;
}

std::vector<KeySym> X11KeyboardMap::row(int keycode) const
{
    std::vector<KeySym> result;
    for (int column = 0; column < m_perKeycode; ++column)
        result.push_back(keysym(keycode, column));
    return result;
}

X11KeyboardMap::Location X11KeyboardMap::find(KeySym wanted, int maxLevel,
                                              const std::vector<KeyCode>& exclude) const
{
    if (wanted == NoSymbol)
        return {};
    // The first two columns are the plain and the Shift level of the first group.
    const int levels = std::min(maxLevel + 1, std::min(m_perKeycode, 2));
    for (int level = 0; level < levels; ++level) {
        for (int keycode = m_min; keycode <= m_max; ++keycode) {
            if (keysym(keycode, level) != wanted)
                continue;
            if (std::find(exclude.begin(), exclude.end(), keycode) != exclude.end())
                continue;
            return {static_cast<KeyCode>(keycode), level};
        }
    }
    return {};
}

} // namespace platform::x11
