#include "keysymhotkey.h"

#include "sway/swaybindings.h"

// After Qt: X11's macros clash with Qt headers.
#include "x11/x11qtkeys.h"

#include <xkbcommon/xkbcommon.h>

bool toKeysymHotkey(Qt::Key key, Qt::KeyboardModifiers modifiers, NativeHotkey* out)
{
    const quint32 keysym = quint32(qtKeyToKeysym(key, modifiers.testFlag(Qt::KeypadModifier)));
    if (!keysym)
        return false;
    quint32 mask = 0;
    if (modifiers.testFlag(Qt::ShiftModifier))
        mask |= SwayModifier::Shift;
    if (modifiers.testFlag(Qt::ControlModifier))
        mask |= SwayModifier::Control;
    if (modifiers.testFlag(Qt::AltModifier))
        mask |= SwayModifier::Mod1;
    if (modifiers.testFlag(Qt::MetaModifier))
        mask |= SwayModifier::Mod4;
    out->key = xkb_keysym_to_lower(keysym);
    out->modifiers = mask;
    return true;
}
