#include "hotkeyrules.h"

#include "qtcompat.h"

#include <QKeySequence>

namespace HotkeyRules {

bool takesTypingKey(const QKeySequence& key)
{
    if (key.isEmpty())
        return false;
    const int combined = QtCompat::keyCombination(key, 0);
    const Qt::KeyboardModifiers modifiers(combined & int(Qt::KeyboardModifierMask));
    if (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const int code = combined & ~int(Qt::KeyboardModifierMask);
    // Below Escape Qt's key codes are characters: letters, digits, Space, punctuation.
    if (code < Qt::Key_Escape)
        return true;
    // Escape, Tab, Backspace, Return, Enter, Insert, Delete, Home, End, the arrows,
    // Page Up and Page Down; Pause, Print, SysReq and Clear among them type nothing.
    switch (code) {
    case Qt::Key_Pause:
    case Qt::Key_Print:
    case Qt::Key_SysReq:
    case Qt::Key_Clear:
        return false;
    default:
        return code <= Qt::Key_PageDown;
    }
}

} // namespace HotkeyRules
