#pragma once
// Key combinations in sway's notation ("Mod4+Shift+a"), and the ones a sway
// configuration already binds: those are taken, as a key another program has
// grabbed is on X11. Sway's IPC lists no bindings, so its configuration is read.

#include <QString>

#include <set>

struct SwayCombo
{
    quint32 modifiers = 0; // XKB real modifier bits, see SwayModifier
    quint32 keysym = 0;    // lower case, as sway matches keys whatever the case

    bool operator<(const SwayCombo& other) const
    {
        return keysym != other.keysym ? keysym < other.keysym : modifiers < other.modifiers;
    }
    bool operator==(const SwayCombo& other) const
    {
        return keysym == other.keysym && modifiers == other.modifiers;
    }
};

namespace SwayModifier {
constexpr quint32 Shift = 1u << 0;
constexpr quint32 Lock = 1u << 1;
constexpr quint32 Control = 1u << 2;
constexpr quint32 Mod1 = 1u << 3; // Alt
constexpr quint32 Mod2 = 1u << 4;
constexpr quint32 Mod3 = 1u << 5;
constexpr quint32 Mod4 = 1u << 6; // Super
constexpr quint32 Mod5 = 1u << 7;
} // namespace SwayModifier

// Parses a combination; false when a part is neither a modifier nor a key name.
bool parseSwayCombo(const QString& text, SwayCombo* out);

// The combination as a bindsym argument: "Mod4+Ctrl+Shift+F2".
QString swayComboText(const SwayCombo& combo);

// Every combination the configuration binds with bindsym in its default mode
// (press or release, whatever the flags), with its `set` variables expanded.
std::set<SwayCombo> configuredSwayCombos(const QString& config);
