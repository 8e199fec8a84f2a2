#pragma once
// The key-name vocabulary: upper-case key names mapped to Windows virtual-key codes,
// and the modifier keys of operations (Qt keyboard-modifier flags), which are sent
// and printed in the fixed order Shift, Ctrl, Alt, Win.

#include <QMap>
#include <QString>
#include <Qt>

// Virtual-key code of a key name, ignoring case and surrounding white space
// (" pgdn " is PAGEDOWN); 0 for a name outside the vocabulary.
quint16 keyNameToVk(const QString& name);

// The whole vocabulary, built once on first use and never changed.
const QMap<QString, quint16>& keyNameTable();

// "Shift", "Ctrl", "Alt", "Win" of the set flags, joined by "+"; other bits print nothing.
QString modifiersToString(Qt::KeyboardModifiers modifiers);

// One key-down (press) or key-up (release) call per set modifier, in the order
// Shift, Ctrl, Alt, Win for both (release is not reversed).
void pressModifiers(Qt::KeyboardModifiers modifiers);
void releaseModifiers(Qt::KeyboardModifiers modifiers);
