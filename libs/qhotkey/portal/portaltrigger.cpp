#include "portaltrigger.h"

#include "../keysymhotkey.h"
#include "../sway/swaybindings.h"
#include "qtcompat.h"

#include <QKeySequence>
#include <QStringList>

#include <algorithm>

#include <xkbcommon/xkbcommon.h>

namespace {

struct ModifierName
{
    const char* name;
    quint32 bit;
};

// The first name of each bit is the one written.
// clang-format off
const ModifierName ModifierNames[] = {
    {"CTRL", SwayModifier::Control}, {"ALT", SwayModifier::Mod1},
    {"SHIFT", SwayModifier::Shift},  {"LOGO", SwayModifier::Mod4},
    {"CONTROL", SwayModifier::Control}, {"SUPER", SwayModifier::Mod4},
    {"META", SwayModifier::Mod4},
};
// clang-format on
constexpr int WrittenModifierCount = 4;

// The key of a text in Qt's notation ("Ctrl+F9"); false when Qt cannot read it.
bool readQtNotation(const QString& trigger, NativeHotkey* out)
{
    const QKeySequence sequence = QKeySequence::fromString(trigger, QKeySequence::PortableText);
    if (sequence.count() != 1)
        return false;
    const int combined = QtCompat::keyCombination(sequence, 0);
    const auto key = Qt::Key(combined & ~int(Qt::KeyboardModifierMask));
    if (key == Qt::Key_unknown || key == 0)
        return false;
    return toKeysymHotkey(key, Qt::KeyboardModifiers(combined & int(Qt::KeyboardModifierMask)),
                          out);
}

// The key of a text in the portal's notation ("LOGO+a"); false when it is not one.
bool readPortalNotation(const QString& trigger, NativeHotkey* out)
{
    const QStringList parts = trigger.split(QLatin1Char('+'));
    NativeHotkey hotkey;
    for (int i = 0; i + 1 < parts.size(); ++i) {
        const auto named = std::find_if(
            std::begin(ModifierNames), std::end(ModifierNames), [&](const ModifierName& m) {
                return parts.at(i).trimmed().compare(QLatin1String(m.name), Qt::CaseInsensitive) ==
                       0;
            });
        if (named == std::end(ModifierNames))
            return false;
        hotkey.modifiers |= named->bit;
    }
    const xkb_keysym_t keysym = xkb_keysym_from_name(parts.last().trimmed().toUtf8().constData(),
                                                     XKB_KEYSYM_CASE_INSENSITIVE);
    if (keysym == XKB_KEY_NoSymbol)
        return false;
    hotkey.key = xkb_keysym_to_lower(keysym);
    *out = hotkey;
    return true;
}

} // namespace

QString portalTrigger(const NativeHotkey& hotkey)
{
    QString text;
    for (int i = 0; i < WrittenModifierCount; ++i) {
        if (hotkey.modifiers & ModifierNames[i].bit)
            text += QLatin1String(ModifierNames[i].name) + QLatin1Char('+');
    }
    char name[64] = "";
    xkb_keysym_get_name(hotkey.key, name, sizeof name);
    return text + QString::fromUtf8(name);
}

bool triggerNames(const QString& trigger, const NativeHotkey& hotkey)
{
    if (trigger.trimmed().isEmpty())
        return false;
    NativeHotkey named;
    if (readQtNotation(trigger, &named) || readPortalNotation(trigger, &named))
        return named == hotkey;
    return true;
}
